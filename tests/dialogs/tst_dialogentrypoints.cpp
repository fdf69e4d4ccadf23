// The dialog entry points reach whichever dialogs are plugged in, and fail
// clearly when none are.

#include "dialogs/DialogEntryPoints.h"
#include "support/ScriptedDialogs.h"

#include <QtTest>

class TestDialogEntryPoints : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void withoutDialogsEveryEntryPointFails()
    {
        QByteArray text("x");
        bool oem = false;
        QString name;
        QVERIFY_THROWS_EXCEPTION(EDialogError, EditText(text, {}, oem));
        QVERIFY_THROWS_EXCEPTION(EDialogError, SelectMessageFile(name));
        QVERIFY_THROWS_EXCEPTION(EDialogError, ExecuteFontSetup());
        QVERIFY_THROWS_EXCEPTION(EDialogError, EnterString({}, {}, name, {}, false));
        QVERIFY_THROWS_EXCEPTION(EDialogError, ShowAboutBox());
        QCOMPARE(text, QByteArray("x"));
    }

    void scriptedAnswersReachTheCaller()
    {
        ScriptedDialogs dialogs;
        dialogs.OnEditText = [](QByteArray &text, const QByteArray &, bool &oem) {
            text = "edited";
            oem = true;
            return true;
        };
        dialogs.OnEnterString = [](QString &text) {
            text = QStringLiteral(" 1F ");
            return true;
        };
        QByteArray text("old");
        bool oem = false;
        QVERIFY(EditText(text, "original", oem));
        QCOMPARE(text, QByteArray("edited"));
        QVERIFY(oem);
        QCOMPARE(dialogs.EditTextCalls.size(), 1);
        QCOMPARE(dialogs.EditTextCalls[0].Text, QByteArray("old"));
        QCOMPARE(dialogs.EditTextCalls[0].Original, QByteArray("original"));

        QString answer = QStringLiteral("7");
        QVERIFY(EnterString(QStringLiteral("Caption"), QStringLiteral("Prompt"), answer, QStringLiteral("Form1.GotoDialog"), false));
        QCOMPARE(answer, QStringLiteral(" 1F "));
        QCOMPARE(dialogs.EnterStringCalls[0].Text, QStringLiteral("7"));
        QCOMPARE(dialogs.EnterStringCalls[0].HelpKey, QStringLiteral("Form1.GotoDialog"));

        // Unscripted questions are cancelled and change nothing.
        QString name = QStringLiteral("kept");
        QVERIFY(!SelectMessageFile(name));
        QCOMPARE(name, QStringLiteral("kept"));
        QVERIFY(!ExecuteFontSetup());
        ShowAboutBox();
        QCOMPARE(dialogs.SelectMessageFileCalls, 1);
        QCOMPARE(dialogs.FontSetupCalls, 1);
        QCOMPARE(dialogs.AboutBoxCalls, 1);
    }

    void scriptIsUnpluggedWhenItEnds()
    {
        {
            ScriptedDialogs dialogs;
            QString name;
            QVERIFY(!SelectMessageFile(name));
        }
        QString name;
        QVERIFY_THROWS_EXCEPTION(EDialogError, SelectMessageFile(name));
    }
};

QTEST_GUILESS_MAIN(TestDialogEntryPoints)
#include "tst_dialogentrypoints.moc"
