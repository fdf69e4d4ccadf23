// lexivane-msg: each command's output, files and exit status.

#include "msgfile/MsgFile.h"
#include "msgtool/MsgTool.h"
#include "support/RunMsgTool.h"
#include "translation/ReviewMarks.h"
#include "support/MsgFileLayouts.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QtEndian>
#include <QtTest>

namespace {

TMsgData Sample()
{
    TMsgData data;
    data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
    for (int i = 1; i <= 30; ++i)
        data.AddMessage(10000 + i, QByteArray("message number ") + QByteArray::number(i).repeated(i));
    return data;
}

QByteArray Bytes(const TMsgData &data)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    WriteMsgData(buffer, data);
    return buffer.data();
}

// A file the writer never makes: a flat index of 130 full buckets, whose last
// two the server cannot reach.
QByteArray FlatOf130Buckets()
{
    std::vector<LaidOutMessage> messages;
    for (quint32 i = 0; i < 130; ++i)
        messages.push_back({0x10000u + i, QByteArray(1000, 'u')});
    return LayOutFlat(messages, ServerHeader(1024, 0, 2));
}

// 2900 messages laid out as the server's own tools do: 3 levels, full nodes
// among the leaves.
QByteArray ServerToolsFile()
{
    std::vector<LaidOutMessage> messages;
    for (quint32 i = 0; i < 2900; ++i)
        messages.push_back({(i / 500) * 10000 + i % 500 + 1, QByteArray(int(i % 150), 's')});
    return LayOutLikeServerTools(messages).Bytes;
}

// A text longer than a bucket can hold, which the reader takes and the
// writer refuses.
QByteArray OverLongText()
{
    return LayOutFlat({{10001, QByteArray(MsgMaxTextLength + 1, 'o')}}, ServerHeader(1024, 0, 2));
}

// Arguments with "IN" and "OUT" standing for the files given.
QStringList WithFiles(const QStringList &arguments, const QString &in, const QString &out)
{
    QStringList replaced;
    for (const QString &argument : arguments)
        replaced << (argument == QLatin1String("IN") ? in : argument == QLatin1String("OUT") ? out : argument);
    return replaced;
}

// The keys of the English table's rows.
QStringList EnglishKeys()
{
    QStringList keys;
    for (const QString &row : EnglishTable().split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        keys << row.section(QLatin1Char('='), 0, 0);
    return keys;
}

} // namespace

class TestMsgTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void dumpWritesTheDump()
    {
        TestEnvironment environment;
        const QString in = environment.path(QStringLiteral("in.msg"));
        const QString out = environment.path(QStringLiteral("out.txt"));
        SaveMsgData(in, Sample());
        const TToolResult result = RunTool({QStringLiteral("dump"), in, out});
        QCOMPARE(result.code, 0);
        QVERIFY(result.err.isEmpty());
        const QByteArray dump = ReadWholeFile(out);
        QVERIFY(dump.startsWith("00002711 message number 1\r\n"));
        QCOMPARE(dump.count("\r\n"), 30);
    }

    void resaveGivesBackTheWritersFile()
    {
        TestEnvironment environment;
        const QString in = environment.path(QStringLiteral("in.msg"));
        const QString out = environment.path(QStringLiteral("out.msg"));
        SaveMsgData(in, Sample());
        QCOMPARE(RunTool({QStringLiteral("resave"), in, out}).code, 0);
        QCOMPARE(ReadWholeFile(out), ReadWholeFile(in));
    }

    void checkSoundFile()
    {
        TestEnvironment environment;
        const QString in = environment.path(QStringLiteral("in.msg"));
        SaveMsgData(in, Sample());
        const TToolResult result = RunTool({QStringLiteral("check"), in});
        QCOMPARE(result.code, 0);
        const qsizetype buckets = ComputeMsgLayout(Sample()).Nodes.at(0).Entries.size();
        QVERIFY2(result.out.contains(QStringLiteral("30 messages, %1 buckets, 2 levels, %2 bytes").arg(buckets).arg(QFileInfo(in).size())),
                 qPrintable(result.out));
        QVERIFY(result.out.endsWith(QLatin1String("\nsound\n")));
    }

    // Without --strict the codes' order and the server's lookup decide, and
    // an index other than the writer's is only reported; with --strict, put
    // before or after the file, it makes the file unsound as well.
    void checkVerdicts_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("finding");
        const QStringList check{QStringLiteral("check"), QStringLiteral("IN")};
        const QStringList strict{QStringLiteral("check"), QStringLiteral("--strict"), QStringLiteral("IN")};
        const QStringList strictAfter{QStringLiteral("check"), QStringLiteral("IN"), QStringLiteral("--strict")};
        const QString information = QStringLiteral(" (for information: only --strict requires the writer's index)\n");

        const QByteArray writers = Bytes(Sample());
        QTest::newRow("writer's file") << writers << check << 0 << QStringLiteral("index: as the writer makes it\n");
        QTest::newRow("writer's file, strict") << writers << strict << 0 << QStringLiteral("index: as the writer makes it\n");

        const QByteArray server = ServerToolsFile();
        QTest::newRow("server tools' index") << server << check << 0 << information;
        QTest::newRow("server tools' index, strict") << server << strict << 1 << QStringLiteral("in the writer's index\ncodes: ascending\n");
        QTest::newRow("server tools' index, strict after the file") << server << strictAfter << 1
                                                                    << QStringLiteral("in the writer's index\ncodes: ascending\n");

        TMsgData unordered = Sample();
        unordered.AddMessage(10003, "out of order");
        const QString order = QStringLiteral("codes: message 30 has code 00002713 after 0000272E\n");
        QTest::newRow("codes out of order") << Bytes(unordered) << check << 1 << order;
        QTest::newRow("codes out of order, strict") << Bytes(unordered) << strict << 1 << order;

        const QString unreachable = QStringLiteral("lookup: the server cannot find 2 messages\n"
                                                   "unreachable: 00010080\n"
                                                   "unreachable: 00010081\n");
        QTest::newRow("unreachable codes") << FlatOf130Buckets() << check << 1 << unreachable;
        QTest::newRow("unreachable codes, strict") << FlatOf130Buckets() << strict << 1 << unreachable;

        // The first bucket's key above every code: the second bucket's codes
        // are out of the server's reach.
        QByteArray wrongKey = Bytes(Sample());
        const qint32 indexOffset = qFromLittleEndian<qint32>(wrongKey.constData() + 4);
        qToLittleEndian(quint32(0x12345678), wrongKey.data() + indexOffset);
        const QString entry = QStringLiteral("index entry 0 of the node at offset %1 is (key 12345678").arg(indexOffset);
        QTest::newRow("wrong key") << wrongKey << check << 1 << entry;
        QTest::newRow("wrong key, strict") << wrongKey << strict << 1 << entry;
    }
    void checkVerdicts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        QFETCH(QString, finding);
        TestEnvironment environment;
        const QString in = environment.path(QStringLiteral("in.msg"));
        QVERIFY(WriteWholeFile(in, bytes));
        const TToolResult result = RunTool(WithFiles(arguments, in, QString()));
        QCOMPARE(result.code, code);
        QVERIFY2(result.err.isEmpty(), qPrintable(result.err));
        QVERIFY2(result.out.contains(finding), qPrintable(result.out));
        QVERIFY2(result.out.endsWith(code == 0 ? QLatin1String("\nsound\n") : QLatin1String("\nnot sound\n")), qPrintable(result.out));
    }

    // A flat index of more than 128 buckets hides the later buckets from
    // the server; resave gives it a tree that reaches them.
    void resaveMakesUnreachableCodesReachable()
    {
        TestEnvironment environment;
        const QString in = environment.path(QStringLiteral("flat.msg"));
        QVERIFY(WriteWholeFile(in, FlatOf130Buckets()));
        const QString resaved = environment.path(QStringLiteral("resaved.msg"));
        QCOMPARE(RunTool({QStringLiteral("resave"), in, resaved}).code, 0);
        const TToolResult again = RunTool({QStringLiteral("check"), QStringLiteral("--strict"), resaved});
        QCOMPARE(again.code, 0);
        QVERIFY2(again.out.contains(QLatin1String("130 messages, 130 buckets, 3 levels")), qPrintable(again.out));
        QVERIFY(again.out.contains(QLatin1String("lookup: the server finds every message\n")));
    }

    // The server tools' index (its full nodes among the leaves) becomes the
    // writer's.
    void resaveGivesServerToolsFileTheWritersIndex()
    {
        TestEnvironment environment;
        const QString in = environment.path(QStringLiteral("server.msg"));
        QVERIFY(WriteWholeFile(in, ServerToolsFile()));
        const QString resaved = environment.path(QStringLiteral("resaved.msg"));
        QCOMPARE(RunTool({QStringLiteral("resave"), in, resaved}).code, 0);
        const TToolResult result = RunTool({QStringLiteral("check"), QStringLiteral("--strict"), resaved});
        QCOMPARE(result.code, 0);
        QVERIFY2(result.out.contains(QLatin1String(": 2900 messages, ")), qPrintable(result.out));
        QVERIFY2(result.out.contains(QLatin1String("index: as the writer makes it\n")), qPrintable(result.out));
    }

    void unreadableInput_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("check") << QStringLiteral("check");
        QTest::newRow("dump") << QStringLiteral("dump");
        QTest::newRow("resave") << QStringLiteral("resave");
    }
    void unreadableInput()
    {
        QFETCH(QString, command);
        TestEnvironment environment;
        const QString in = environment.path(QStringLiteral("bad.msg"));
        const QString out = environment.path(QStringLiteral("out"));
        QVERIFY(WriteWholeFile(in, QByteArray(40, '\x7F')));
        QStringList arguments{command, in};
        if (command != QLatin1String("check"))
            arguments << out;
        const TToolResult result = RunTool(arguments);
        QCOMPARE(result.code, 2);
        QVERIFY(result.err.startsWith(QLatin1String("lexivane-msg: ") + in));
        QCOMPARE(result.err.count(QLatin1Char('\n')), 1);
        QVERIFY(!QFile::exists(out));
    }

    void unwritableOutput()
    {
        TestEnvironment environment;
        const QString in = environment.path(QStringLiteral("in.msg"));
        SaveMsgData(in, Sample());
        const TToolResult result = RunTool({QStringLiteral("resave"), in, environment.path(QStringLiteral("no/dir/out.msg"))});
        QCOMPARE(result.code, 1);
        QVERIFY(result.err.contains(QLatin1String("Cannot create file")));
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::newRow("nothing") << QStringList{} << 64;
        QTest::newRow("unknown command") << QStringList{QStringLiteral("frobnicate")} << 64;
        QTest::newRow("dump without output") << QStringList{QStringLiteral("dump"), QStringLiteral("in.msg")} << 64;
        QTest::newRow("check with two files") << QStringList{QStringLiteral("check"), QStringLiteral("a"), QStringLiteral("b")} << 64;
        QTest::newRow("check --strict without a file") << QStringList{QStringLiteral("check"), QStringLiteral("--strict")} << 64;
        QTest::newRow("check --strict with two files")
            << QStringList{QStringLiteral("check"), QStringLiteral("a"), QStringLiteral("--strict"), QStringLiteral("b")} << 64;
        QTest::newRow("check --strict twice")
            << QStringList{QStringLiteral("check"), QStringLiteral("--strict"), QStringLiteral("a"), QStringLiteral("--strict")} << 64;
        QTest::newRow("lint without a file") << QStringList{QStringLiteral("lint")} << 64;
        QTest::newRow("lint with three files")
            << QStringList{QStringLiteral("lint"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")} << 64;
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0;
        QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0;
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        const TToolResult result = RunTool(arguments);
        QCOMPARE(result.code, code);
        if (code == 0) {
            QVERIFY(result.err.isEmpty());
            QVERIFY(result.out.contains(QLatin1String("lexivane-msg")));
            // The table breaks lines with CR; the terminal gets LF.
            QVERIFY(!result.out.contains(QChar(13)));
            QVERIFY(result.out.endsWith(QLatin1Char('\n')));
            if (arguments.first() == QLatin1String("--help")) {
                for (const char *command : {"dump IN OUT", "resave IN OUT", "check [--strict] IN", "lint FILE [ORIGINAL]",
                                            "export FILE OUT [--original ORIGINAL]", "import FILE IN OUT [--fuzzy]",
                                            "update TRANSLATED NEW OUT [--original ORIGINAL]"})
                    QVERIFY2(result.out.contains(QLatin1String(command)), command);
            }
        } else {
            QVERIFY(result.out.isEmpty());
            QCOMPARE(result.err.count(QLatin1Char('\n')), 1);
        }
    }

    // The writer refuses a text longer than a bucket can hold; the reader
    // takes it, and the server gives back only what its bucket holds.
    void overLongText_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("resave") << QStringList{QStringLiteral("resave"), QStringLiteral("IN"), QStringLiteral("OUT")} << QString()
                                << QStringLiteral("lexivane-msg: OUT: Text item is too large\n");
        QTest::newRow("check") << QStringList{QStringLiteral("check"), QStringLiteral("IN")}
                               << QStringLiteral("\nindex: Text item is too large (for information") << QString();
        QTest::newRow("check --strict") << QStringList{QStringLiteral("check"), QStringLiteral("--strict"), QStringLiteral("IN")}
                                        << QStringLiteral("\nindex: Text item is too large\ncodes: ascending\n"
                                                          "lookup: the server cannot find 1 messages\nunreachable: 00002711\n")
                                        << QString();
    }
    void overLongText()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        QFETCH(QString, err);
        TestEnvironment environment;
        const QString in = environment.path(QStringLiteral("in.msg"));
        const QString written = environment.path(QStringLiteral("out.msg"));
        QVERIFY(WriteWholeFile(in, OverLongText()));
        const TToolResult result = RunTool(WithFiles(arguments, in, written));
        QCOMPARE(result.code, 1);
        QVERIFY2(result.out.contains(out), qPrintable(result.out));
        QCOMPARE(result.err, err.replace(QLatin1String("OUT"), written));
    }

    // Run makes the English table current however often it runs.
    void englishTableMadeCurrentOnce()
    {
        QCOMPARE(RunTool({QStringLiteral("--version")}).code, 0);
        const qsizetype languages = LanguageNames().size();
        QCOMPARE(RunTool({QStringLiteral("--version")}).code, 0);
        QCOMPARE(LanguageNames().size(), languages);
        QCOMPARE(LanguageNames().filter(QStringLiteral("ENGLISH="), Qt::CaseInsensitive).size(), 1);
        QCOMPARE(GetMsg(QStringLiteral("TooLargeItem")), QStringLiteral("Text item is too large"));
    }

    // Every command's every way out speaks in the table's texts: no output
    // holds one of its keys.
    void lint_data()
    {
        QTest::addColumn<QByteArrayList>("texts");     // FILE's, codes 10001, 10002, ...
        QTest::addColumn<QByteArrayList>("originals"); // empty: none written
        QTest::addColumn<QString>("originalAs");      // "backup": FILE.OrigBAK; "given": ORIGINAL; "none"
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");             // a piece of it; empty: nothing

        const QByteArrayList originals{"file @1 not found", "%s of %d", "plain", "100% sure"};
        QTest::newRow("nothing translated") << originals << originals << "backup" << 0
                                            << "messages: 4, translated: 0, untranslated: 4, placeholder problems: 0, needs review: 0\n" << "";
        QTest::newRow("translated, placeholders kept")
            << QByteArrayList{"fichier @1 introuvable", "%s de %d", "simple", "100% sûr"} << originals << "backup" << 0
            << "messages: 4, translated: 4, untranslated: 0, placeholder problems: 0, needs review: 0\n" << "";
        QTest::newRow("two problems, one line each")
            << QByteArrayList{"fichier introuvable", "%d de %s", "simple", "100% sure"} << originals << "given" << 1
            << "00002711: Missing @1\n00002712: Placeholders %s %d became %d %s\n"
               "messages: 4, translated: 3, untranslated: 1, placeholder problems: 2, needs review: 0\n"
            << "";
        QTest::newRow("paired by position, counts differ")
            << QByteArrayList{"file @1 not found", "%s of %d", "plain", "100% sure", "new @2"} << originals << "backup" << 1
            << "00002715: Extra @2\nmessages: 5, translated: 1, untranslated: 4, placeholder problems: 1, needs review: 0\n"
            << "holds 5 messages, its original";
        QTest::newRow("marks for review counted")
            << QByteArrayList{"fichier @1 introuvable", "%s de %d", "simple", "100% sur"} << originals << "review" << 0
            << "messages: 4, translated: 4, untranslated: 0, placeholder problems: 0, needs review: 2\n" << "";
        QTest::newRow("no initial backup") << originals << QByteArrayList{} << "none" << 2 << "" << "give the original file as ORIGINAL";
        QTest::newRow("the original given is missing") << originals << QByteArrayList{} << "given" << 2 << "" << "original.msg";
    }
    void lint()
    {
        QFETCH(QByteArrayList, texts);
        QFETCH(QByteArrayList, originals);
        QFETCH(QString, originalAs);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        TestEnvironment environment;
        const auto store = [](const QByteArrayList &list) {
            TMsgData data;
            data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
            for (qsizetype i = 0; i < list.size(); ++i)
                data.AddMessage(quint32(10001 + i), list.at(i));
            return data;
        };
        const QString file = environment.path(QStringLiteral("x.msg"));
        SaveMsgData(file, store(texts));
        const QString original = originalAs == QLatin1String("given") ? environment.path(QStringLiteral("original.msg"))
                                                                      : file + QStringLiteral(".OrigBAK");
        if (originalAs == QLatin1String("review")) {
            TReviewMarks marks;
            marks.Mark(10001, "file not found");
            marks.Mark(10003, "simple text");
            SaveReviewMarks(file, marks);
        }
        if (!originals.isEmpty())
            SaveMsgData(original, store(originals));
        QStringList arguments{QStringLiteral("lint"), file};
        if (originalAs == QLatin1String("given"))
            arguments << original;
        const TToolResult result = RunTool(arguments);
        QCOMPARE(result.code, code);
        QCOMPARE(result.out, out);
        QCOMPARE(result.err.isEmpty(), err.isEmpty());
        QVERIFY2(result.err.contains(err), qPrintable(result.err));
    }

    void noOutputIsATableKey_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("arguments");
        const QStringList dump{QStringLiteral("dump"), QStringLiteral("IN"), QStringLiteral("OUT")};
        const QStringList resave{QStringLiteral("resave"), QStringLiteral("IN"), QStringLiteral("OUT")};
        const QStringList check{QStringLiteral("check"), QStringLiteral("IN")};
        const QStringList strict{QStringLiteral("check"), QStringLiteral("--strict"), QStringLiteral("IN")};
        const QByteArray sound = Bytes(Sample());
        const QByteArray unreadable(40, '\x7F');
        TMsgData unordered = Sample();
        unordered.AddMessage(10003, "out of order");
        QByteArray plainHeader = Bytes(Sample());
        plainHeader[0] = 0;

        QTest::newRow("help") << QByteArray() << QStringList{QStringLiteral("--help")};
        QTest::newRow("version") << QByteArray() << QStringList{QStringLiteral("--version")};
        QTest::newRow("no command") << QByteArray() << QStringList{};
        QTest::newRow("wrong command") << QByteArray() << QStringList{QStringLiteral("frobnicate")};
        QTest::newRow("dump") << sound << dump;
        QTest::newRow("dump of an unreadable file") << unreadable << dump;
        QTest::newRow("dump into no folder") << sound << QStringList{QStringLiteral("dump"), QStringLiteral("IN"), QStringLiteral("/no/dir/out")};
        QTest::newRow("resave") << sound << resave;
        QTest::newRow("resave of an over-long text") << OverLongText() << resave;
        QTest::newRow("resave into no folder") << sound << QStringList{QStringLiteral("resave"), QStringLiteral("IN"), QStringLiteral("/no/dir/out")};
        QTest::newRow("check, sound") << sound << strict;
        QTest::newRow("check, not a server header") << plainHeader << check;
        QTest::newRow("check, server tools' index") << ServerToolsFile() << check;
        QTest::newRow("check --strict, server tools' index") << ServerToolsFile() << strict;
        QTest::newRow("check, codes out of order") << Bytes(unordered) << strict;
        QTest::newRow("check, unreachable codes") << FlatOf130Buckets() << strict;
        QTest::newRow("check, over-long text") << OverLongText() << strict;
        QTest::newRow("check of an unreadable file") << unreadable << check;
        QTest::newRow("check of a missing file") << QByteArray() << check;
    }
    void noOutputIsATableKey()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, arguments);
        TestEnvironment environment;
        const QString in = environment.path(QStringLiteral("in.msg"));
        if (!bytes.isEmpty())
            QVERIFY(WriteWholeFile(in, bytes));
        const TToolResult result = RunTool(WithFiles(arguments, in, environment.path(QStringLiteral("out"))));
        const QString output = result.out + result.err;
        QVERIFY(!output.isEmpty() || arguments.first() != QLatin1String("check"));
        for (const QString &key : EnglishKeys()) {
            const QRegularExpression word(QStringLiteral("\\b%1\\b").arg(QRegularExpression::escape(key)));
            QVERIFY2(!output.contains(word), qPrintable(key + QStringLiteral(" in: ") + output));
        }
    }
};

QTEST_GUILESS_MAIN(TestMsgTool)
#include "tst_msgtool.moc"
