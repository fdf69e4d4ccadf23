// lexivane-msg export, import and update: their reports, exit status and
// files, on files the tests make.

#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "msgtool/MsgTool.h"
#include "support/RunMsgTool.h"
#include "platform/CodePages.h"
#include "support/MsgTexts.h"
#include "support/TestEnvironment.h"
#include "support/TranslationFixtures.h"

#include <QDir>
#include <QtTest>

namespace {

QString LastLine(const QString &text)
{
    return text.trimmed().section(QLatin1Char('\n'), -1);
}

} // namespace

class TestMsgToolExchange : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437")); }

    // A translation exported and imported again without a change gives the
    // file resave writes, and keeps its review marks.
    void exportThenImportIsResave_data()
    {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("summary");
        // The message to review is exported fuzzy, and skipped without --fuzzy.
        QTest::newRow("PO") << "po" << "applied: 0, unchanged: 11, skipped: 1, refused: 0, unknown: 0";
        QTest::newRow("XLIFF") << "xlf" << "applied: 0, unchanged: 11, skipped: 1, refused: 0, unknown: 0";
        QTest::newRow("XLIFF, long extension") << "xliff" << "applied: 0, unchanged: 11, skipped: 1, refused: 0, unknown: 0";
        QTest::newRow("CSV") << "csv" << "applied: 0, unchanged: 12, skipped: 0, refused: 0, unknown: 0";
    }
    void exportThenImportIsResave()
    {
        QFETCH(QString, extension);
        QFETCH(QString, summary);
        TestEnvironment environment;
        const QString file = environment.path("x.msg");
        const QString exported = environment.path("x." + extension);
        const QString out = environment.path("out.msg");
        const QString resaved = environment.path("resaved.msg");
        SaveTranslationFiles(HardTranslation(), file);

        const TToolResult exportResult = RunTool({"export", file, exported});
        QCOMPARE(exportResult.code, 0);
        QVERIFY2(exportResult.err.isEmpty(), qPrintable(exportResult.err));
        QCOMPARE(LastLine(exportResult.out), exported + ": 12 messages, 9 translated, 1 to review");
        const TToolResult importResult = RunTool({"import", file, exported, out});
        QCOMPARE(importResult.code, 0);
        QCOMPARE(importResult.out.trimmed(), summary);
        QCOMPARE(RunTool({"resave", file, resaved}).code, 0);
        QCOMPARE(ReadWholeFile(out), ReadWholeFile(resaved));
        QCOMPARE(ReadWholeFile(ReviewFileName(out)), ReadWholeFile(ReviewFileName(file)));
    }

    // Without an initial backup every message is untranslated; --original
    // names the originals instead.
    void exportOriginals()
    {
        TestEnvironment environment;
        const QString file = environment.path("x.msg");
        const QString other = environment.path("other.msg");
        const QString po = environment.path("x.po");
        const TTranslationFixture fixture = ConsistentTranslation();
        SaveMsgData(file, fixture.Messages);
        SaveMsgData(other, fixture.Originals);
        QCOMPARE(LastLine(RunTool({"export", file, po}).out), po + ": 9 messages, 0 translated, 0 to review");
        QVERIFY(!ReadWholeFile(po).contains("msgstr \"Tabelle"));
        QCOMPARE(LastLine(RunTool({"export", file, po, "--original", other}).out), po + ": 9 messages, 7 translated, 0 to review");
        QVERIFY(ReadWholeFile(po).contains("msgstr \"Tabelle %s nicht gefunden\""));
        QVERIFY(!FileExists(InitialBackupName(file)));
    }

    // Import's report, exit status and output file for every kind of input.
    void importReports_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("report"); // standard output, or standard error when nothing is written
        QTest::addColumn<QList<QByteArray>>("texts");

        const QList<QByteArray> before{"Tabelle %s nicht gefunden", "Zeile eins\nZeile zwei", "Sag \"hallo\", dann geh",
                                       "Untranslated", "Pr\xFC" "fe @1", "", "%d von %d Zeilen",
                                       "Endet mit einem Zeilenvorschub\n", "Akzent: Caf\xE9"};
        QList<QByteArray> applied = before;
        applied[3] = "Nicht mehr";
        const QByteArray csvHead = "code,original,translation\r\n";
        QTest::newRow("applied") << "in.csv" << QByteArray(csvHead + "14000004,Untranslated,Nicht mehr\r\n") << QStringList{}
                                 << 0 << "applied: 1, unchanged: 0, skipped: 0, refused: 0, unknown: 0\n" << applied;
        QTest::newRow("refused and applied")
            << "in.csv" << QByteArray(csvHead + "14000004,Untranslated,Nicht mehr\r\n14000006,," + QByteArray(256, 'z') + "\r\n")
            << QStringList{} << 1
            << "in.csv:3: 14000006: refused: 256 characters in stored form; a message holds at most 255\n"
               "applied: 1, unchanged: 0, skipped: 0, refused: 1, unknown: 0\n"
            << applied;
        QTest::newRow("unknown") << "in.csv" << QByteArray(csvHead + "ABCDEF,x,y\r\n") << QStringList{} << 1
                                 << "in.csv:2: 00ABCDEF: unknown: no message has this code\n"
                                    "applied: 0, unchanged: 0, skipped: 0, refused: 0, unknown: 1\n"
                                 << before;
        const QByteArray fuzzy = "msgctxt \"14000004\"\nmsgid \"Untranslated\"\nmsgstr \"Nicht mehr\"\n\n"
                                 "#, fuzzy\n#| msgid \"Shorter\"\nmsgctxt \"14000003\"\nmsgid \"Say \\\"hello\\\", then go\"\nmsgstr \"Sag's\"\n";
        QList<QByteArray> fuzzyApplied = applied;
        fuzzyApplied[2] = "Sag's";
        QTest::newRow("fuzzy skipped") << "in.po" << fuzzy << QStringList{} << 0
                                       << "applied: 1, unchanged: 0, skipped: 1, refused: 0, unknown: 0\n" << applied;
        QTest::newRow("fuzzy applied") << "in.po" << fuzzy << QStringList{"--fuzzy"} << 0
                                       << "applied: 2, unchanged: 0, skipped: 0, refused: 0, unknown: 0\n" << fuzzyApplied;
        QTest::newRow("placeholder warning") << "in.po" << QByteArray("msgctxt \"14000001\"\nmsgid \"Table %s not found\"\nmsgstr \"Tabelle fehlt\"\n")
                                             << QStringList{} << 0
                                             << "in.po:1: 14000001: warning: Placeholders %s became none; applied\n"
                                                "applied: 1, unchanged: 0, skipped: 0, refused: 0, unknown: 0\n"
                                             << QList<QByteArray>{"Tabelle fehlt"} + before.mid(1);
        QTest::newRow("malformed PO") << "in.po" << QByteArray("msgctxt \"1\"\nmsgid \"a\nmsgstr \"\"\n") << QStringList{} << 2
                                      << "lexivane-msg: IN:2:7: PO syntax: a string without its closing quote\n" << QList<QByteArray>{};
        QTest::newRow("malformed XLIFF") << "in.xlf" << QByteArray("<xliff>\n<file>\n</xliff>\n") << QStringList{} << 2
                                         << "lexivane-msg: IN:3:8: XML: Opening and ending tag mismatch.\n" << QList<QByteArray>{};
        QTest::newRow("CSV quote left open") << "in.csv" << QByteArray(csvHead + "1,\"a,b\r\n") << QStringList{} << 2
                                             << "lexivane-msg: IN:2:3: CSV: a quote opened here is never closed\n"
                                             << QList<QByteArray>{};
        QTest::newRow("CSV without a code column") << "in.csv" << QByteArray("original,translation\r\na,b\r\n") << QStringList{} << 2
                                                   << "lexivane-msg: IN:1: CSV: the header row has no column \"code\"\n"
                                                   << QList<QByteArray>{};
        QTest::newRow("unknown format") << "in.txt" << QByteArray("x") << QStringList{} << 64
                                        << "lexivane-msg: cannot tell the format of IN: its name must end in .po, .xlf, .xliff or .csv\n"
                                        << QList<QByteArray>{};
    }
    void importReports()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, options);
        QFETCH(int, code);
        QFETCH(QString, report);
        QFETCH(QList<QByteArray>, texts);
        TestEnvironment environment;
        const QString file = environment.path("x.msg");
        const QString in = environment.path(name);
        const QString out = environment.path("out.msg");
        SaveTranslationFiles(ConsistentTranslation(), file);
        QVERIFY(WriteWholeFile(in, bytes));

        const TToolResult result = RunTool(QStringList{"import", file, in, out} + options);
        QCOMPARE(result.code, code);
        if (texts.isEmpty()) {
            QCOMPARE(result.err, QString(report).replace("IN", in));
            QVERIFY(result.out.isEmpty());
            QVERIFY(!FileExists(out));
            return;
        }
        QCOMPARE(result.out, QString(report).replace("in.", environment.path("in.")));
        QCOMPARE(TextsOnDisk(out), texts);
        QString warning;
        const TReviewMarks marks = LoadReviewMarks(out, warning);
        const std::vector<quint32> marked = options.isEmpty() ? std::vector<quint32>{0x14000005}
                                                              : std::vector<quint32>{0x14000003, 0x14000005};
        QCOMPARE(marks.Codes(), marked);
    }

    // OUT keeps telling what was translated: without an initial backup of its
    // own it gets FILE's original (FILE's initial backup, else FILE as it was
    // before the import, also when OUT is FILE); one it has is kept.
    void importGivesOutTheOriginal_data()
    {
        QTest::addColumn<bool>("fileHasBackup");
        QTest::addColumn<bool>("inPlace");
        QTest::addColumn<bool>("outHasBackup");
        QTest::newRow("new OUT, FILE with initial backup") << true << false << false;
        QTest::newRow("new OUT, FILE without one") << false << false << false;
        QTest::newRow("FILE itself, without one") << false << true << false;
        QTest::newRow("OUT with an initial backup of its own") << true << false << true;
    }
    void importGivesOutTheOriginal()
    {
        QFETCH(bool, fileHasBackup);
        QFETCH(bool, inPlace);
        QFETCH(bool, outHasBackup);
        TestEnvironment environment;
        const QString file = environment.path("x.msg");
        const QString po = environment.path("x.po");
        const QString out = inPlace ? file : environment.path("out.msg");
        SaveTranslationFiles(ConsistentTranslation(), file);
        const TToolResult exportResult = RunTool({"export", file, po});
        QCOMPARE(exportResult.code, 0);
        const int translatedBefore = LastLine(exportResult.out).section(", ", 1, 1).section(' ', 0, 0).toInt();
        QByteArray exported = ReadWholeFile(po);
        const int newlyTranslated = int(exported.count("msgstr \"\"\n\n"));
        QVERIFY(newlyTranslated > 0);
        exported.replace("msgstr \"\"\n\n", "msgstr \"Neu\"\n\n");
        QVERIFY(WriteWholeFile(po, exported));
        if (!fileHasBackup)
            QVERIFY(DeleteFileQuiet(InitialBackupName(file)));
        const QByteArray expectedOriginal = ReadWholeFile(fileHasBackup ? InitialBackupName(file) : file);
        const QByteArray ownBackup = "not a message file, kept as it is";
        if (outHasBackup)
            QVERIFY(WriteWholeFile(InitialBackupName(out), ownBackup));

        // Against FILE alone, what the export called translated is FILE's own text.
        const TToolResult result = RunTool({"import", file, po, out});
        QVERIFY2(result.code == 0 || result.code == 1, qPrintable(result.err));
        QVERIFY(ReadWholeFile(out) != expectedOriginal);
        QCOMPARE(ReadWholeFile(InitialBackupName(out)), outHasBackup ? ownBackup : expectedOriginal);
        if (!outHasBackup) {
            const QString lint = RunTool({"lint", out}).out;
            QVERIFY2(lint.contains(QStringLiteral("translated: %1,").arg((fileHasBackup ? translatedBefore : 0) + newlyTranslated)),
                     qPrintable(lint));
        }
    }

    void importOfAMissingFile()
    {
        TestEnvironment environment;
        const QString file = environment.path("x.msg");
        SaveTranslationFiles(ConsistentTranslation(), file);
        const TToolResult result = RunTool({"import", file, environment.path("missing.po"), environment.path("out.msg")});
        QCOMPARE(result.code, 2);
        QVERIFY2(result.err.contains("missing.po"), qPrintable(result.err));
        QVERIFY(!FileExists(environment.path("out.msg")));
    }

    // Update on files: NEW drops code 2, rewrites 3 and adds 7; OUT has NEW
    // as its initial backup and the marks beside it; it is never replaced;
    // without originals there is nothing to update.
    void updateFiles()
    {
        TestEnvironment environment;
        const QString translated = environment.path("x.msg");
        const QString next = environment.path("next.msg");
        const QString out = environment.path("out.msg");
        TTranslationFixture fixture = MakeTranslation({1, 2, 3, 4}, {"One", "Two", "Three", "Four"}, {"Eins", "Zwei", "Drei", "Four"});
        SaveTranslationFiles(fixture, translated);
        const TTranslationFixture release = MakeTranslation({1, 3, 4, 7}, {"One", "Three!", "Four", "Seven"}, {"One", "Three!", "Four", "Seven"});
        SaveMsgData(next, release.Messages);

        TToolResult result = RunTool({"update", translated, next, out});
        QCOMPARE(result.code, 0);
        QCOMPARE(result.out, QStringLiteral("carried: 1, needs review: 1, untranslated: 2, dropped: 1\n"));
        QCOMPARE(TextsOnDisk(out), (QList<QByteArray>{"Eins", "Drei", "Four", "Seven"}));
        QCOMPARE(ReadWholeFile(InitialBackupName(out)), ReadWholeFile(next));
        QCOMPARE(ReadWholeFile(ReviewFileName(out)), QByteArray("# Lexivane review marks\n00000003 Three\n"));

        const QByteArray written = ReadWholeFile(out);
        result = RunTool({"update", translated, next, out});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.err.contains("exists already"), qPrintable(result.err));
        QCOMPARE(ReadWholeFile(out), written);

        // The translated file without its initial backup.
        const QString bare = environment.path("bare.msg");
        const QString out2 = environment.path("out2.msg");
        SaveMsgData(bare, fixture.Messages);
        result = RunTool({"update", bare, next, out2});
        QCOMPARE(result.code, 2);
        QVERIFY2(result.err.contains("--original"), qPrintable(result.err));
        QVERIFY(!FileExists(out2) && !FileExists(InitialBackupName(out2)));
        result = RunTool({"update", bare, next, out2, "--original", InitialBackupName(translated)});
        QCOMPARE(result.code, 0);
        QCOMPARE(TextsOnDisk(out2), (QList<QByteArray>{"Eins", "Drei", "Four", "Seven"}));
    }

    void wrongUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("export without OUT") << QStringList{"export", "x.msg"};
        QTest::newRow("export, --original without a value") << QStringList{"export", "x.msg", "x.po", "--original"};
        QTest::newRow("import without OUT") << QStringList{"import", "x.msg", "x.po"};
        QTest::newRow("update without OUT") << QStringList{"update", "x.msg", "y.msg"};
        QTest::newRow("export to an unknown format") << QStringList{"export", "x.msg", "x.txt"};
    }
    void wrongUsage()
    {
        QFETCH(QStringList, arguments);
        const TToolResult result = RunTool(arguments);
        QCOMPARE(result.code, 64);
        QVERIFY(!result.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestMsgToolExchange)
#include "tst_msgtool_exchange.moc"
