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
        // The design's rows keep their order among ours.
        qsizetype previous = idTitle;
        for (const char *anchor : {"Application.Title", "Form2.Caption", "Form3.Caption", "AboutBox.Caption",
                                   "Form4.Caption", "StringEnterForm.CancelBtn.Caption", "FailedMailerLaunch",
                                   "CharNotInCodePage"}) {
            const qsizetype at = CurrentKeys().indexOf(QLatin1String(anchor));
            QVERIFY2(at > previous, anchor);
            previous = at;
        }
        // After the code page refusal, only message rows of our own.
        for (qsizetype i = previous + 1; i < CurrentKeys().size(); ++i)
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
