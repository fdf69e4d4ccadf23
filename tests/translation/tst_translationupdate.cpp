// The update of a translation to a new server file: which messages carry
// their translation, which are to review and remember what they were made
// for, what is dropped; and the files it writes: the message file, its
// initial backup (the new file, byte for byte) and its review file, never
// replacing one and never leaving some of them after a failure.

#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "support/MsgTexts.h"
#include "support/ScriptedFaults.h"
#include "support/TestEnvironment.h"
#include "support/TranslationFixtures.h"
#include "translation/TranslationUpdate.h"

#include <QDir>
#include <QtTest>

namespace {

// The translated release: codes 1 to 6, all translated but 6; 5 was
// already to review when the update came.
TTranslationFixture Translated()
{
    TTranslationFixture fixture = MakeTranslation({1, 2, 3, 4, 5, 6},
                                                  {"One", "Two", "Three", "Four", "Five", "Six"},
                                                  {"Eins", "Zwei", "Drei", "Vier", "F\xFC" "nf", "Six"});
    fixture.Marks.Mark(5, "Fife");
    return fixture;
}

// The next release: 2 is gone, 3 rewritten, 4 and 1 swapped places, 7 new,
// 5 and 6 as they were.
TMsgData NextRelease()
{
    TMsgData data;
    data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
    data.AddMessage(4, "Four");
    data.AddMessage(3, "Three, rewritten");
    data.AddMessage(1, "One");
    data.AddMessage(5, "Five");
    data.AddMessage(6, "Six");
    data.AddMessage(7, "Seven");
    return data;
}

QStringList FilesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestTranslationUpdate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void carriedMarkedAndDropped()
    {
        const TTranslationFixture translated = Translated();
        const TMsgData next = NextRelease();
        const TUpdateResult result = UpdateTranslation(translated.Messages, translated.Originals, translated.Marks, next);

        QCOMPARE(TextsOf(*result.Messages), (QList<QByteArray>{"Vier", "Drei", "Eins", "F\xFC" "nf", "Six", "Seven"}));
        QCOMPARE(result.Messages->Header(), next.Header());
        for (int i = 0; i < next.Count(); ++i)
            QCOMPARE(result.Messages->Codes(i), next.Codes(i));
        // 3 was made for "Three"; 5 remembers what its earlier mark did.
        QCOMPARE(result.Marks.Codes(), (std::vector<quint32>{3, 5}));
        QCOMPARE(*result.Marks.PreviousOriginal(3), QByteArray("Three"));
        QCOMPARE(*result.Marks.PreviousOriginal(5), QByteArray("Fife"));
        QCOMPARE(result.Carried, 2);
        QCOMPARE(result.NeedsReview, 2);
        QCOMPARE(result.Untranslated, 2);
        QCOMPARE(result.Dropped, 1);
    }

    // An original store shorter than the translated one: the messages past
    // its end had empty originals, so their texts count as translations.
    void shorterOriginal()
    {
        TTranslationFixture translated = MakeTranslation({1, 2}, {"One", "Two"}, {"Eins", "Zwei"});
        TMsgData shorter;
        shorter.AddMessage(1, "One");
        TMsgData next;
        next.AddMessage(2, "");
        next.AddMessage(1, "One");
        const TUpdateResult result = UpdateTranslation(translated.Messages, shorter, {}, next);
        QCOMPARE(TextsOf(*result.Messages), (QList<QByteArray>{"Zwei", "Eins"}));
        QCOMPARE(result.Marks.Codes(), std::vector<quint32>{});
        QCOMPARE(result.Carried, 2);
    }

    void filesWritten()
    {
        TestEnvironment environment;
        const QString newName = environment.path(QStringLiteral("next.msg"));
        const QString out = environment.path(QStringLiteral("out.msg"));
        SaveMsgData(newName, NextRelease());
        const TTranslationFixture translated = Translated();
        const TUpdateResult result = UpdateTranslation(translated.Messages, translated.Originals, translated.Marks,
                                                       NextRelease());
        SaveUpdatedTranslation(out, newName, result);

        QCOMPARE(FilesIn(environment.root()),
                 (QStringList{"next.msg", "out.msg", "out.msg.OrigBAK", "out.msg.review"}));
        QCOMPARE(ReadWholeFile(InitialBackupName(out)), ReadWholeFile(newName));
        QCOMPARE(TextsOnDisk(out), TextsOf(*result.Messages));
        QString warning;
        QVERIFY(LoadReviewMarks(out, warning) == result.Marks);

        // Once there, neither the file nor its backup is replaced.
        const QByteArray written = ReadWholeFile(out);
        QVERIFY_THROWS_EXCEPTION(Exception, SaveUpdatedTranslation(out, newName, result));
        QCOMPARE(ReadWholeFile(out), written);
        QVERIFY(DeleteFileQuiet(out));
        QVERIFY_THROWS_EXCEPTION(Exception, SaveUpdatedTranslation(out, newName, result));
        QCOMPARE(FilesIn(environment.root()), (QStringList{"next.msg", "out.msg.OrigBAK", "out.msg.review"}));
    }

    // A step that fails leaves no file of the update behind.
    void failureLeavesNothing_data()
    {
        QTest::addColumn<int>("point");
        QTest::newRow("creating a temporary file") << int(TFailPoint::CreateTemp);
        QTest::newRow("writing the file") << int(TFailPoint::Write);
        QTest::newRow("syncing it") << int(TFailPoint::SyncFile);
        QTest::newRow("copying the backup") << int(TFailPoint::CopyFile);
        QTest::newRow("syncing the folder") << int(TFailPoint::SyncDirectory);
    }
    void failureLeavesNothing()
    {
        QFETCH(int, point);
        TestEnvironment environment;
        const QString newName = environment.path(QStringLiteral("next.msg"));
        const QString out = environment.path(QStringLiteral("out.msg"));
        SaveMsgData(newName, NextRelease());
        const TTranslationFixture translated = Translated();
        const TUpdateResult result = UpdateTranslation(translated.Messages, translated.Originals, translated.Marks,
                                                       NextRelease());
        ScriptedFaults faults;
        faults.Fail(TFailPoint(point), EIO);
        QVERIFY_THROWS_EXCEPTION(Exception, SaveUpdatedTranslation(out, newName, result));
        QVERIFY(faults.Failures() > 0);
        QCOMPARE(FilesIn(environment.root()), QStringList{"next.msg"});
    }
};

QTEST_GUILESS_MAIN(TestTranslationUpdate)
#include "tst_translationupdate.moc"
