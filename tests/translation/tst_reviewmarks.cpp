// The review marks and their file beside the message file: saved and read
// back exactly, removed when no mark is left, dropped with a warning when
// damaged, and never half-written.

#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "support/EnglishTable.h"
#include "support/ScriptedFaults.h"
#include "support/TestEnvironment.h"
#include "translation/ReviewMarks.h"
#include "translation/TranslationEntry.h"
#include "uitext/EnglishMsg.h"
#include "uitext/LangUtils.h"

#include <QDir>
#include <QtTest>

namespace {

TReviewMarks SomeMarks()
{
    TReviewMarks marks;
    QByteArray everyByte;
    for (int b = 0; b < 256; ++b)
        everyByte += char(b);
    marks.Mark(0, everyByte);
    marks.Mark(0x14000001, "Table @1 not found\n\\ and \\x41 as text");
    marks.Mark(0xFFFFFFFF, QByteArray());
    return marks;
}

QStringList FilesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files, QDir::Name);
}

} // namespace

class TestReviewMarks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        UseEnglishTable();
    }

    // Saved beside the message file, read back equal; marks are kept by
    // code and answer by index as well; saving no marks removes the file.
    void savedReloadedAndCleared()
    {
        TestEnvironment environment;
        const QString file = environment.path(QStringLiteral("x.msg"));
        TMsgData messages;
        messages.AddMessage(0x14000001, "Table @1 is missing");
        messages.AddMessage(7, "not marked");
        TReviewMarks marks = SomeMarks();
        QCOMPARE(marks.CountIn(messages), 1);
        QVERIFY(marks.IsMarked(messages, 0));
        QVERIFY(!marks.IsMarked(messages, 1));

        SaveReviewMarks(file, marks);
        QCOMPARE(ReviewFileName(file), environment.path(QStringLiteral("x.msg.review")));
        QCOMPARE(FilesIn(environment.root()), QStringList{QStringLiteral("x.msg.review")});
        const QByteArray bytes = ReadWholeFile(ReviewFileName(file));
        QVERIFY(bytes.startsWith("# Lexivane review marks\n00000000 \\x00\\x01"));
        for (const char c : bytes)
            QVERIFY2(c == '\n' || (c >= 0x20 && c <= 0x7E), qPrintable(QString::number(int(c))));

        QString warning = QStringLiteral("stale");
        TReviewMarks loaded = LoadReviewMarks(file, warning);
        QVERIFY(warning.isEmpty());
        QVERIFY(loaded == marks);

        QVERIFY(loaded.Clear(messages, 0));
        QVERIFY(!loaded.Clear(0x14000001));
        loaded.KeepOnly(messages);
        QVERIFY(loaded.IsEmpty());
        SaveReviewMarks(file, loaded);
        QVERIFY(FilesIn(environment.root()).isEmpty());
        QVERIFY(LoadReviewMarks(file, warning).IsEmpty());
        QVERIFY(warning.isEmpty());
    }

    // A damaged file gives no marks and a warning naming its line; the
    // message file beside it opens as ever.
    void damagedDropped_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        const QByteArray head = "# Lexivane review marks\n";
        QTest::newRow("empty") << QByteArray() << 1;
        QTest::newRow("another first line") << QByteArray("# Review\n00000001 a\n") << 1;
        QTest::newRow("cut short") << QByteArray(head + "00000001 a\n00000002 b") << 3;
        QTest::newRow("no blank after the code") << QByteArray(head + "00000001a\n") << 2;
        QTest::newRow("a code of seven digits") << QByteArray(head + "0000001 a\n") << 2;
        QTest::newRow("not hexadecimal") << QByteArray(head + "0000000G a\n") << 2;
        QTest::newRow("a blank line") << QByteArray(head + "00000001 a\n\n") << 3;
        QTest::newRow("a code twice") << QByteArray(head + "00000001 a\n00000001 b\n") << 3;
        QTest::newRow("an unknown escape") << QByteArray(head + "00000001 a\\qb\n") << 2;
        QTest::newRow("a short hexadecimal escape") << QByteArray(head + "00000001 a\\x4\n") << 2;
        QTest::newRow("a tab as it is") << QByteArray(head + "00000001 a\tb\n") << 2;
        QTest::newRow("a byte beyond ASCII") << QByteArray(head + "00000001 caf\xC3\xA9\n") << 2;
        QTest::newRow("a CR at the line end") << QByteArray(head + "00000001 a\r\n") << 2;
    }
    void damagedDropped()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        TestEnvironment environment;
        const QString file = environment.path(QStringLiteral("x.msg"));
        TMsgData messages;
        messages.AddMessage(1, "a");
        SaveMsgData(file, messages);
        QVERIFY(WriteWholeFile(ReviewFileName(file), bytes));

        QString warning;
        QVERIFY(LoadReviewMarks(file, warning).IsEmpty());
        QVERIFY2(warning.contains(ReviewFileName(file)) && warning.contains(QStringLiteral("line %1:").arg(line)),
                 qPrintable(warning));
        try {
            (void)ParseReviewMarks(bytes);
            QFAIL("the damaged marks were read");
        } catch (const ETranslationFileError &error) {
            QCOMPARE(error.Line(), line);
        }
        QCOMPARE(LoadMsgData(file)->Count(), 1);
    }

    // A save that fails at any step leaves the previous review file whole
    // and no temporary file behind.
    void failedSaveKeepsThePreviousFile_data()
    {
        QTest::addColumn<int>("point");
        QTest::newRow("creating the temporary file") << int(TFailPoint::CreateTemp);
        QTest::newRow("syncing it") << int(TFailPoint::SyncFile);
        QTest::newRow("renaming it into place") << int(TFailPoint::ReplaceFile);
    }
    void failedSaveKeepsThePreviousFile()
    {
        QFETCH(int, point);
        TestEnvironment environment;
        const QString file = environment.path(QStringLiteral("x.msg"));
        TReviewMarks previous;
        previous.Mark(1, "previous");
        SaveReviewMarks(file, previous);
        const QByteArray before = ReadWholeFile(ReviewFileName(file));

        ScriptedFaults faults;
        faults.Fail(TFailPoint(point), EIO);
        QVERIFY_THROWS_EXCEPTION(Exception, SaveReviewMarks(file, SomeMarks()));
        QCOMPARE(faults.Failures(), 1);
        QCOMPARE(ReadWholeFile(ReviewFileName(file)), before);
        QCOMPARE(FilesIn(environment.root()), QStringList{QStringLiteral("x.msg.review")});
    }
};

QTEST_GUILESS_MAIN(TestReviewMarks)
#include "tst_reviewmarks.moc"
