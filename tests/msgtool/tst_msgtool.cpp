// lexivane-msg: each command's output, files and exit status.

#include "msgfile/MsgFile.h"
#include "msgtool/MsgTool.h"
#include "support/MsgFileLayouts.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <QtEndian>
#include <QtTest>

namespace {

struct Result
{
    int code;
    QString out;
    QString err;
};

Result RunTool(const QStringList &arguments)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    const int code = MsgTool::Run(arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return {code, out, err};
}

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
        const Result result = RunTool({QStringLiteral("dump"), in, out});
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
        const Result result = RunTool({QStringLiteral("check"), in});
        QCOMPARE(result.code, 0);
        const qsizetype buckets = ComputeMsgLayout(Sample()).Nodes.at(0).Entries.size();
        QVERIFY2(result.out.contains(QStringLiteral("30 messages, %1 buckets, 2 levels, %2 bytes").arg(buckets).arg(QFileInfo(in).size())),
                 qPrintable(result.out));
        QVERIFY(result.out.endsWith(QLatin1String("\nsound\n")));
    }

    void checkFindsUnsoundFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("finding");
        TMsgData unordered = Sample();
        unordered.AddMessage(10003, "out of order");
        QTest::newRow("codes out of order") << Bytes(unordered) << QStringLiteral("message 30 has code 00002713 after 0000272E");

        QByteArray wrongKey = Bytes(Sample());
        const qint32 indexOffset = qFromLittleEndian<qint32>(wrongKey.constData() + 4);
        qToLittleEndian(quint32(0x12345678), wrongKey.data() + indexOffset);
        QTest::newRow("wrong key") << wrongKey << QStringLiteral("index entry 0 of the node at offset %1 is (key 12345678").arg(indexOffset);
    }
    void checkFindsUnsoundFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, finding);
        TestEnvironment environment;
        const QString in = environment.path(QStringLiteral("in.msg"));
        QVERIFY(WriteWholeFile(in, bytes));
        const Result result = RunTool({QStringLiteral("check"), in});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.out.contains(finding), qPrintable(result.out));
        QVERIFY(result.out.endsWith(QLatin1String("\nnot sound\n")));
    }

    // A flat index of more than 128 buckets hides the later buckets from
    // the server: check names each code it cannot reach.
    void checkListsUnreachableCodes()
    {
        TestEnvironment environment;
        std::vector<LaidOutMessage> messages;
        for (quint32 i = 0; i < 130; ++i)
            messages.push_back({0x10000u + i, QByteArray(1000, 'u')});
        const QString in = environment.path(QStringLiteral("flat.msg"));
        QVERIFY(WriteWholeFile(in, LayOutFlat(messages, ServerHeader(1024, 0, 2))));
        const Result result = RunTool({QStringLiteral("check"), in});
        QCOMPARE(result.code, 1);
        QVERIFY2(result.out.contains(QLatin1String("lookup: the server cannot find 2 messages\n"
                                                   "unreachable: 00010080\n"
                                                   "unreachable: 00010081\n")),
                 qPrintable(result.out));

        const QString resaved = environment.path(QStringLiteral("resaved.msg"));
        QCOMPARE(RunTool({QStringLiteral("resave"), in, resaved}).code, 0);
        const Result again = RunTool({QStringLiteral("check"), resaved});
        QCOMPARE(again.code, 0);
        QVERIFY2(again.out.contains(QLatin1String("130 messages, 130 buckets, 3 levels")), qPrintable(again.out));
        QVERIFY(again.out.contains(QLatin1String("lookup: the server finds every message\n")));
    }

    // The server's own layout is readable and reachable, though not the
    // writer's: its full nodes lie among the leaves.
    void checkServerToolsFile()
    {
        TestEnvironment environment;
        std::vector<LaidOutMessage> messages;
        for (quint32 i = 0; i < 2900; ++i)
            messages.push_back({(i / 500) * 10000 + i % 500 + 1, QByteArray(int(i % 150), 's')});
        const QString in = environment.path(QStringLiteral("server.msg"));
        QVERIFY(WriteWholeFile(in, LayOutLikeServerTools(messages).Bytes));
        const Result result = RunTool({QStringLiteral("check"), in});
        QCOMPARE(result.code, 1);
        QVERIFY(result.out.contains(QLatin1String("2900 messages")));
        QVERIFY(result.out.contains(QLatin1String("3 levels")));
        QVERIFY(result.out.contains(QLatin1String("lookup: the server finds every message\n")));
        QVERIFY(result.out.contains(QLatin1String("codes: ascending\n")));
        QVERIFY(!result.out.contains(QLatin1String("index: as the writer makes it")));

        const QString resaved = environment.path(QStringLiteral("resaved.msg"));
        QCOMPARE(RunTool({QStringLiteral("resave"), in, resaved}).code, 0);
        QCOMPARE(RunTool({QStringLiteral("check"), resaved}).code, 0);
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
        const Result result = RunTool(arguments);
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
        const Result result = RunTool({QStringLiteral("resave"), in, environment.path(QStringLiteral("no/dir/out.msg"))});
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
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0;
        QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0;
    }
    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, code);
        const Result result = RunTool(arguments);
        QCOMPARE(result.code, code);
        if (code == 0) {
            QVERIFY(result.err.isEmpty());
            QVERIFY(result.out.contains(QLatin1String("lexivane-msg")));
        } else {
            QVERIFY(result.out.isEmpty());
            QCOMPARE(result.err.count(QLatin1Char('\n')), 1);
        }
    }
};

QTEST_GUILESS_MAIN(TestMsgTool)
#include "tst_msgtool.moc"
