// Language tables: adding and loading them, and the English table itself.

#include "uitext/EnglishMsg.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"
#include "uitext/SupportAddresses.h"

#include <QtTest>

class TestEnglishMsg : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        LanguageNames().clear();
        LanguageTables().clear();
        CurrentKeys().clear();
        CurrentValues().clear();
    }

    void loadSplitsRows_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QStringList>("values");
        QTest::newRow("LF rows") << "a=1\nb=2\n" << QStringList{"a", "b"} << QStringList{"1", "2"};
        QTest::newRow("CR LF rows") << "a=1\r\nb=2\r\n" << QStringList{"a", "b"} << QStringList{"1", "2"};
        QTest::newRow("no final LF") << "a=1\nb=2" << QStringList{"a", "b"} << QStringList{"1", "2"};
        QTest::newRow("two equals signs") << "k=v=w" << QStringList{"k"} << QStringList{"v=w"};
        QTest::newRow("rows without equals skipped") << "junk\n\na=1\n" << QStringList{"a"} << QStringList{"1"};
        QTest::newRow("nothing trimmed") << " a = 1 \n" << QStringList{" a "} << QStringList{" 1 "};
        QTest::newRow("CR inside a value kept") << "a=x\ry\r\n" << QStringList{"a"} << QStringList{"x\ry"};
        QTest::newRow("empty value and key") << "a=\n=b\n" << QStringList{"a", ""} << QStringList{"", "b"};
        QTest::newRow("duplicates kept") << "a=1\nA=2\n" << QStringList{"a", "A"} << QStringList{"1", "2"};
    }
    void loadSplitsRows()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, keys);
        QFETCH(QStringList, values);
        AddLanguage(QStringLiteral("TEST=Test"), table);
        QStringList loadedKeys{QStringLiteral("stale")};
        QStringList loadedValues{QStringLiteral("stale")};
        LoadLanguageTable(QStringLiteral("test"), loadedKeys, loadedValues);
        QCOMPARE(loadedKeys, keys);
        QCOMPARE(loadedValues, values);
    }

    void unknownLanguageChangesNothing()
    {
        AddLanguage(QStringLiteral("TEST=Test"), QStringLiteral("a=1"));
        QStringList keys{QStringLiteral("kept")};
        QStringList values{QStringLiteral("value")};
        LoadLanguageTable(QStringLiteral("TES"), keys, values);
        LoadLanguageTable(QStringLiteral("Test=Test"), keys, values);
        QCOMPARE(keys, QStringList{QStringLiteral("kept")});
        QCOMPARE(values, QStringList{QStringLiteral("value")});
    }

    void firstOfTwoEqualNamesCounts()
    {
        AddLanguage(QStringLiteral("TEST=First"), QStringLiteral("a=first"));
        AddLanguage(QStringLiteral("test=Second"), QStringLiteral("a=second"));
        QCOMPARE(LanguageNames().size(), 2);
        QStringList keys, values;
        LoadLanguageTable(QStringLiteral("Test"), keys, values);
        QCOMPARE(values, QStringList{QStringLiteral("first")});
    }

    void englishTableHasItsRowsInOrder()
    {
        AddLanguage(QLatin1String(EnglishLanguageEntry), EnglishTable());
        QCOMPARE(LanguageNames(), QStringList{QStringLiteral("ENGLISH=English")});
        LoadLanguageTable(QStringLiteral("ENGLISH"), CurrentKeys(), CurrentValues());
        // The 104 rows of the program's design stand in their order; rows
        // of our own come after the runs they belong to: the main window's
        // new commands within its run, message texts after the 104.
        QCOMPARE(CurrentKeys().first(), QStringLiteral("Form1.N1.Caption"));
        QCOMPARE(CurrentKeys().at(34), QStringLiteral("Form1.UndoItem.Caption"));
        const qsizetype idTitle = CurrentKeys().indexOf(QStringLiteral("IdTitle"));
        for (qsizetype i = 35; i < idTitle; ++i)
            QVERIFY2(CurrentKeys().at(i).startsWith(QLatin1String("Form1.")), qPrintable(CurrentKeys().at(i)));
        const qsizetype ownFirst = idTitle - 35; // the rows added to the window's run
        QCOMPARE(CurrentKeys().at(44 + ownFirst), QStringLiteral("Application.Title"));
        QCOMPARE(CurrentKeys().at(45 + ownFirst), QStringLiteral("Form2.Caption"));
        QCOMPARE(CurrentKeys().at(80 + ownFirst), QStringLiteral("AboutBox.Caption"));
        QCOMPARE(CurrentKeys().at(103 + ownFirst), QStringLiteral("FailedMailerLaunch"));
        QCOMPARE(CurrentKeys().at(104 + ownFirst), QStringLiteral("CharNotInCodePage"));
        for (qsizetype i = 105 + ownFirst; i < CurrentKeys().size(); ++i)
            QVERIFY2(!CurrentKeys().at(i).contains(QLatin1Char('.')), qPrintable(CurrentKeys().at(i)));
        QCOMPARE(CurrentKeys().removeDuplicates(), 0);

        // Each window's rows stand together.
        QStringList windowsSeen;
        QString previousWindow;
        for (const QString &key : CurrentKeys()) {
            const QString window = key.section(QLatin1Char('.'), 0, 0);
            if (!key.contains(QLatin1Char('.')) || window == QLatin1String("Application")) {
                previousWindow.clear();
                continue;
            }
            if (window != previousWindow) {
                QVERIFY2(!windowsSeen.contains(window), qPrintable(key));
                windowsSeen.append(window);
            }
            previousWindow = window;
        }
        QCOMPARE(windowsSeen, (QStringList{"Form1", "Form2", "Form3", "AboutBox", "Form4", "StringEnterForm"}));
    }

    void englishTexts_data()
    {
        const QString CR(QChar(13));
        const QString report = QStringLiteral("Please report this message to ") + QLatin1String(SupportMailAddress)
            + QStringLiteral(", with a detailed description of what you were doing when this error occured. "
                             "Include a .log file from the Lexivane directory.");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::newRow("window row") << "Form2.Caption" << "Change text";
        QTest::newRow("filter") << "Form1.SaveDialog2.Filter" << "Message files (*.MSG)|*.MSG|All files (*.*)|*.*";
        QTest::newRow("quotes inside") << "FileNotExists" << "File \"%s\" does not exist";
        QTest::newRow("title") << "Application.Title" << "Lexivane";
        QTest::newRow("ConfirmBackup") << "ConfirmBackup"
            << QStringLiteral("You're about to save message file modifications. Backup of the previous file contents will be created automatically.")
                   + CR + CR + QStringLiteral(">> But we urgently recommend you to create an initial backup. <<") + CR + CR
                   + QStringLiteral("The initial backup will allow you to restore original file contents anytime and also will be used by the program to show an original text of messages.")
                   + CR + CR + QStringLiteral("Create initial backup?");
        QTest::newRow("SaveErrorDebug") << "SaveErrorDebug"
            << QStringLiteral("Error saving file \"%s\"") + CR + CR + QStringLiteral(">> %s <<") + CR + CR + report;
        QTest::newRow("Exception") << "exception"
            << QStringLiteral("Fatal error occured during the execution:") + CR + CR + QStringLiteral(">> %s <<") + CR + CR + report
                   + CR + CR + QStringLiteral(">> It is strongly recommended to terminate the application! <<") + CR + CR
                   + QStringLiteral("But all unsaved data will be lost.") + CR + QStringLiteral("Terminate the application now?");
        QTest::newRow("StartupError") << "StartupError"
            << QStringLiteral("Fatal error occured during the startup:") + CR + CR + QStringLiteral(">> %s <<") + CR + CR + report
                   + CR + CR + QStringLiteral("Program exits...");
        QTest::newRow("FailedBrowserLaunch") << "FailedBrowserLaunch"
            << "Can't open web-site \"%s\". May be you have no default browser installed!";
        QTest::newRow("ToolUsage") << "ToolUsage"
            << QStringLiteral("Usage: lexivane-msg COMMAND ARGUMENTS") + CR
                   + QStringLiteral("Reads and writes the message files of the database server.") + CR + CR
                   + QStringLiteral("Commands:") + CR
                   + QStringLiteral("  dump IN OUT     write one line per message of IN into OUT: the code as") + CR
                   + QStringLiteral("                  eight hexadecimal digits, a blank and the text") + CR
                   + QStringLiteral("  resave IN OUT   read IN and write it again into OUT") + CR
                   + QStringLiteral("  check [--strict] IN") + CR
                   + QStringLiteral("                  tell whether the codes of IN ascend and whether the") + CR
                   + QStringLiteral("                  server's lookup finds every message (each code it cannot") + CR
                   + QStringLiteral("                  find is listed), and where the index of IN differs from") + CR
                   + QStringLiteral("                  the one the writer makes; only with --strict does such a") + CR
                   + QStringLiteral("                  difference make IN unsound") + CR
                   + QStringLiteral("  export FILE OUT [--original ORIGINAL]") + CR
                   + QStringLiteral("                  write the translation of FILE for CAT tools into OUT,") + CR
                   + QStringLiteral("                  as gettext PO (.po), XLIFF 1.2 (.xlf, .xliff) or CSV") + CR
                   + QStringLiteral("                  (.csv); ORIGINAL (default: FILE's initial backup, else") + CR
                   + QStringLiteral("                  FILE) holds the original texts") + CR
                   + QStringLiteral("  import FILE IN OUT [--fuzzy]") + CR
                   + QStringLiteral("                  apply the translations of IN (.po, .xlf, .xliff, .csv)") + CR
                   + QStringLiteral("                  to the messages of FILE with the same codes and save the") + CR
                   + QStringLiteral("                  result as OUT; --fuzzy applies entries to review too,") + CR
                   + QStringLiteral("                  marking them for review") + CR
                   + QStringLiteral("  update TRANSLATED NEW OUT [--original ORIGINAL]") + CR
                   + QStringLiteral("                  carry the translation of TRANSLATED (its originals in") + CR
                   + QStringLiteral("                  ORIGINAL, default its initial backup) to the messages of") + CR
                   + QStringLiteral("                  the new server file NEW, marking those whose English") + CR
                   + QStringLiteral("                  text changed for review; OUT gets NEW as its initial") + CR
                   + QStringLiteral("                  backup") + CR
                   + QStringLiteral("  --help          show this text") + CR
                   + QStringLiteral("  --version       show the version") + CR + CR
                   + QStringLiteral("Exit status: 0 done (check: sound), 1 check found the file unsound, import") + CR
                   + QStringLiteral("refused a translation or met an unknown code, or the output could not be") + CR
                   + QStringLiteral("written, 2 the input could not be read or is malformed, 64 wrong usage.");
        QTest::newRow("ToolWrongUsage") << "ToolWrongUsage" << "wrong command line \"%s\"; try lexivane-msg --help";
        QTest::newRow("CheckSummary") << "CheckSummary" << "%s: %d messages, %d buckets, %d levels, %d bytes";
        QTest::newRow("CheckEntryDiffers") << "CheckEntryDiffers"
            << "index entry %d of the node at offset %d is (key %8.8x, offset %d), the writer makes (key %8.8x, offset %d)";
        QTest::newRow("CheckIndexInformation") << "CheckIndexInformation"
            << "index: %s (for information: only --strict requires the writer's index)";
    }
    void englishTexts()
    {
        QFETCH(QString, key);
        QFETCH(QString, text);
        QCOMPARE(GetMsg(key), key); // nothing set yet
        AddLanguage(QLatin1String(EnglishLanguageEntry), EnglishTable());
        LoadLanguageTable(QStringLiteral("english"), CurrentKeys(), CurrentValues());
        QCOMPARE(GetMsg(key), text);
    }
};

QTEST_GUILESS_MAIN(TestEnglishMsg)
#include "tst_englishmsg.moc"
