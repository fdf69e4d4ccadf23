// The counts the session keeps as it changes: after every kind of change
// they are those a fresh pass over the texts gives.

#include "editor/EditSession.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "support/EnglishTable.h"
#include "support/QuietSessionView.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/LangUtils.h"

#include <QtTest>

namespace {

void WriteTexts(const QString &fileName, const QByteArrayList &texts)
{
    TMsgData data;
    for (qsizetype i = 0; i < texts.size(); ++i)
        data.AddMessage(quint32(0x10000 + i), texts.at(i));
    SaveMsgData(fileName, data);
}

} // namespace

class TestSessionCounts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        UseEnglishTable();
    }

    void countsFollowEveryChange_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("translated");
        QTest::addColumn<int>("problems");

        // The file: message 0 and 2 translated, its initial backup the
        // originals "open @1", "%s of %d", "plain", "last".
        QTest::newRow("as opened") << QStringList{} << 2 << 0;
        QTest::newRow("an edit that drops a placeholder") << QStringList{"edit 0 ouvrir"} << 2 << 1;
        QTest::newRow("an edit that reorders printf") << QStringList{"edit 1 %d de %s"} << 3 << 1;
        QTest::newRow("an edit back to the original") << QStringList{"edit 0 open @1"} << 1 << 0;
        QTest::newRow("an edit, then undo") << QStringList{"edit 3 dernier %s", "undo"} << 2 << 0;
        QTest::newRow("two edits, then undo") << QStringList{"edit 0 ouvrir", "edit 3 x", "undo"} << 2 << 1;
        QTest::newRow("revert to saved") << QStringList{"edit 1 %d de %s", "revert saved"} << 2 << 0;
        QTest::newRow("revert to the initial backup") << QStringList{"revert initial"} << 0 << 0;
        // The last backup has no initial backup of its own: its own texts are
        // its originals.
        QTest::newRow("save, then revert to the last backup")
            << QStringList{"edit 3 dernier", "save", "revert backup"} << 0 << 0;
        QTest::newRow("save and open again") << QStringList{"edit 1 %d de %s", "save", "open"} << 3 << 1;
        QTest::newRow("close") << QStringList{"edit 0 ouvrir", "close"} << 0 << 0;
    }
    void countsFollowEveryChange()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, translated);
        QFETCH(int, problems);

        TestEnvironment environment;
        ScriptedMessageBoxes boxes;
        boxes.SetDefaultAnswer(TModalResult::mrYes); // every question: Yes
        ScriptedDialogs dialogs;
        QuietSessionView view;
        TEditSession session(view);
        const QString file = environment.path(QStringLiteral("x.msg"));
        WriteTexts(file, {"ouvrir @1", "%s of %d", "simple", "last"});
        WriteTexts(InitialBackupName(file), {"open @1", "%s of %d", "plain", "last"});
        QVERIFY(session.OpenDocument(file));

        for (const QString &step : steps) {
            const QStringList words = step.split(QLatin1Char(' '));
            if (words.at(0) == QLatin1String("edit")) {
                const QByteArray text = words.mid(2).join(QLatin1Char(' ')).toLatin1();
                dialogs.OnEditText = [text](QByteArray &edited, const QByteArray &, bool &) {
                    edited = text;
                    return true;
                };
                session.EditMessage(words.at(1).toInt());
            } else if (step == QLatin1String("undo")) {
                session.UndoLastEntry();
            } else if (step == QLatin1String("revert saved")) {
                session.RevertToSaved();
            } else if (step == QLatin1String("revert backup")) {
                session.RevertToBackup();
            } else if (step == QLatin1String("revert initial")) {
                session.RevertToOriginal();
            } else if (step == QLatin1String("save")) {
                QVERIFY(session.SaveDocument());
            } else if (step == QLatin1String("open")) {
                QVERIFY(session.OpenDocument(file));
            } else if (step == QLatin1String("close")) {
                QVERIFY(session.CloseDocument(false));
            }
        }

        const TTranslationStatus &kept = session.Status();
        QCOMPARE(kept.Translated(), translated);
        QCOMPARE(kept.Problems(), problems);
        if (!session.IsOpen()) {
            QCOMPARE(kept.Messages(), 0);
            return;
        }
        TTranslationStatus fresh;
        fresh.Recount(*session.Messages(), *session.OriginalMessages());
        QCOMPARE(kept.Messages(), fresh.Messages());
        QCOMPARE(kept.Translated(), fresh.Translated());
        QCOMPARE(kept.Problems(), fresh.Problems());
        for (int index = 0; index < fresh.Messages(); ++index) {
            QCOMPARE(kept.IsTranslated(index), fresh.IsTranslated(index));
            QCOMPARE(kept.HasProblem(index), fresh.HasProblem(index));
        }
    }
};

QTEST_MAIN(TestSessionCounts)
#include "tst_sessioncounts.moc"
