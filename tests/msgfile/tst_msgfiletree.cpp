// Message files with an index tree: files laid out the way the server's own
// tools do are read in key order, and large stores are written as trees the
// server's lookup can walk, while files of up to 128 buckets keep the flat
// layout byte for byte.

#include "msgfile/MsgFile.h"
#include "msgfile/ServerLookup.h"
#include "support/MsgFileLayouts.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtEndian>
#include <QtTest>

#include <algorithm>

namespace {

std::unique_ptr<TMsgData> ReadBytes(const QByteArray &bytes, TMsgLayout *layout = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadMsgData(buffer, layout);
}

QByteArray Written(const TMsgData &data)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    WriteMsgData(buffer, data);
    return buffer.data();
}

// Messages numbered as a server numbers them (facility times 10000 plus the
// message's number), texts of 0 to 200 bytes, some of several lines.
std::vector<LaidOutMessage> ServerMessages(int count, quint32 seed = 7)
{
    QRandomGenerator random(seed);
    std::vector<LaidOutMessage> messages;
    for (int i = 0; i < count; ++i) {
        const quint32 code = quint32((i / 400) * 10000 + i % 400 + 1);
        QByteArray text = "message " + QByteArray::number(code) + ": ";
        text += QByteArray(int(random.bounded(200)), char('a' + i % 26));
        if (i % 17 == 0)
            text += "\nsecond line\twith a tab";
        messages.push_back({code, text.left(int(random.bounded(220)))});
    }
    return messages;
}

TMsgData StoreOf(const std::vector<LaidOutMessage> &messages, const QByteArray &header)
{
    TMsgData data;
    data.SetHeader(header);
    for (const LaidOutMessage &message : messages)
        data.AddMessage(message.Code, message.Text, message.Flags);
    return data;
}

void CompareMessages(const TMsgData &data, const std::vector<LaidOutMessage> &messages)
{
    QCOMPARE(data.Count(), int(messages.size()));
    for (int i = 0; i < data.Count(); ++i) {
        QCOMPARE(data.Codes(i), messages[size_t(i)].Code);
        QCOMPARE(data.Texts(i), messages[size_t(i)].Text);
        QCOMPARE(data.RecordFlags(i), messages[size_t(i)].Flags);
    }
}

QList<quint32> Unreachable(const QByteArray &file, const TMsgData &data)
{
    const TServerLookup lookup(file);
    QList<quint32> missing;
    for (int i = 0; i < data.Count(); ++i) {
        if (!lookup.Find(data.Codes(i)))
            missing.append(data.Codes(i));
    }
    return missing;
}

// The keys of a layout's buckets: the entries of the level above the
// leaves, in file order.
std::vector<quint32> BucketKeys(const TMsgLayout &layout)
{
    std::vector<quint32> keys;
    for (const TMsgIndexNode &node : layout.Nodes) {
        if (node.Level + 1 != layout.Levels)
            continue;
        for (const TMsgIndexEntry &entry : node.Entries)
            keys.push_back(entry.Key);
    }
    return keys;
}

quint16 LevelsField(const QByteArray &file)
{
    return qFromLittleEndian<quint16>(file.constData() + 12);
}

} // namespace

class TestMsgFileTree : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // About 2,900 messages in some 140 leaves: three levels, with a full node
    // written among the leaves.
    void readsFileOfServerTools()
    {
        std::vector<LaidOutMessage> messages = ServerMessages(2900);
        messages[5].Flags = 0x0003;
        messages[2000].Flags = 0x8001;
        const LaidOutFile file = LayOutLikeServerTools(messages);
        QCOMPARE(file.Levels, 3);
        QVERIFY(file.Leaves.size() > 128);
        QVERIFY2(file.Nodes.front() < file.Leaves.back(), "no node lies among the leaves");

        TMsgLayout found;
        const auto data = ReadBytes(file.Bytes, &found);
        CompareMessages(*data, messages);
        QCOMPARE(found.Levels, 3);
        QCOMPARE(found.IndexOffset, qint32(file.Nodes.back()));
        QCOMPARE(found.Nodes.size(), file.Nodes.size());

        // The server finds every message of such a file.
        QVERIFY(Unreachable(file.Bytes, *data).isEmpty());
    }

    void resavedServerFileStaysReachable()
    {
        std::vector<LaidOutMessage> messages = ServerMessages(2900, 11);
        messages[100].Flags = 0x0042;
        const LaidOutFile file = LayOutLikeServerTools(messages);
        const auto data = ReadBytes(file.Bytes);
        const QByteArray resaved = Written(*data);

        QCOMPARE(LevelsField(resaved), quint16(3));
        QVERIFY(Unreachable(resaved, *data).isEmpty());
        // Header bytes other than the root's offset come through.
        QCOMPARE(resaved.left(4), file.Bytes.left(4));
        QCOMPARE(resaved.mid(8, 4), file.Bytes.mid(8, 4));
        TMsgLayout layout;
        const auto again = ReadBytes(resaved, &layout);
        CompareMessages(*again, messages);
        QCOMPARE(layout.IndexOffset, ComputeMsgLayout(*data).IndexOffset);
    }

    void lookupFindsEveryCodeOf200Buckets()
    {
        std::vector<LaidOutMessage> messages;
        for (quint32 i = 0; i < 200; ++i) {
            // Each text fills a bucket of its own; some buckets hold two.
            const int length = i % 3 == 0 ? 500 : 1000;
            messages.push_back({70000 + i * 3, QByteArray(length, char('A' + i % 26))});
        }
        const TMsgData data = StoreOf(messages, ServerHeader(1024, 0, 2));
        const QByteArray bytes = Written(data);
        QCOMPARE(LevelsField(bytes), quint16(3));
        QVERIFY(Unreachable(bytes, data).isEmpty());
        // Codes that are not there are not found.
        const TServerLookup lookup(bytes);
        QVERIFY(!lookup.Find(70001));
        QVERIFY(!lookup.Find(69999));
        QVERIFY(!lookup.Find(0xFFFFFFFE));
        CompareMessages(*ReadBytes(bytes), messages);
    }

    void flatLayoutUpTo128Buckets_data()
    {
        QTest::addColumn<int>("buckets");
        QTest::addColumn<bool>("serverHeader");
        for (int buckets : {1, 2, 64, 127, 128}) {
            QTest::addRow("%d buckets, server header", buckets) << buckets << true;
            QTest::addRow("%d buckets, other header", buckets) << buckets << false;
        }
        QTest::newRow("500 buckets, other header") << 500 << false;
    }
    void flatLayoutUpTo128Buckets()
    {
        QFETCH(int, buckets);
        QFETCH(bool, serverHeader);
        std::vector<LaidOutMessage> messages;
        for (int i = 0; i < buckets; ++i) {
            messages.push_back({quint32(10 * i + 1), QByteArray(600, 'x')});
            messages.push_back({quint32(10 * i + 2), QByteArray(300, 'y')});
        }
        const QByteArray header = serverHeader ? ServerHeader(1024, 0, 2, 0) : QByteArray::fromHex("A0A1A2A300000000B0B1B2B3B4B5B6B7");
        const QByteArray expected = LayOutFlat(messages, header);
        QCOMPARE(Written(StoreOf(messages, header)), expected);
        CompareMessages(*ReadBytes(expected), messages);
    }

    void becomesTreeBeyond128Buckets()
    {
        std::vector<LaidOutMessage> messages;
        for (quint32 i = 0; i < 129; ++i)
            messages.push_back({i + 1, QByteArray(1000, 'z')});
        const TMsgData data = StoreOf(messages, ServerHeader(1024, 0, 2));
        const TMsgLayout layout = ComputeMsgLayout(data);
        QCOMPARE(layout.Levels, 3);
        QCOMPARE(int(layout.Nodes.size()), 3);
        QCOMPARE(int(layout.Nodes[0].Entries.size()), 128);
        QCOMPARE(int(layout.Nodes[1].Entries.size()), 1);
        // The root: one entry per node below, each with its node's last key.
        const TMsgIndexNode &root = layout.Nodes[2];
        QCOMPARE(root.Level, 1);
        QCOMPARE(root.Offset, quint32(layout.IndexOffset));
        QCOMPARE(root.Entries[0].Key, layout.Nodes[0].Entries.back().Key);
        QCOMPARE(root.Entries[0].Key, 128u); // the 129th code minus 1
        QCOMPARE(root.Entries[1].Key, 0xFFFFFFFFu);
        QCOMPARE(root.Entries[1].Offset, layout.Nodes[1].Offset);

        const QByteArray bytes = Written(data);
        QVERIFY(bytes != LayOutFlat(messages, data.Header()));
        QVERIFY(Unreachable(bytes, data).isEmpty());
        // The flat layout of the same messages loses the 129th bucket.
        const QByteArray flat = LayOutFlat(messages, ServerHeader(1024, 0, 2));
        QCOMPARE(Unreachable(flat, data), QList<quint32>{129});
    }

    void bucketSizeComesFromServerHeader()
    {
        std::vector<LaidOutMessage> messages;
        for (quint32 i = 0; i < 100; ++i)
            messages.push_back({i + 1, QByteArray(400, 'q')});
        const TMsgData data = StoreOf(messages, ServerHeader(512, 0, 2));
        const TMsgLayout layout = ComputeMsgLayout(data);
        QCOMPARE(layout.Levels, 3); // 100 buckets of 512 bytes, 64 entries a node
        QCOMPARE(int(layout.Nodes[0].Entries.size()), 64);
        const QByteArray bytes = Written(data);
        QVERIFY(Unreachable(bytes, data).isEmpty());
        CompareMessages(*ReadBytes(bytes), messages);

        TMsgData tooLarge;
        tooLarge.SetHeader(ServerHeader(512, 0, 2));
        tooLarge.AddMessage(1, QByteArray(600, 'q'));
        QVERIFY_THROWS_EXCEPTION(EMsgFileError, Written(tooLarge));
    }

    // The store keeps codes in any order. When the writer makes a tree of
    // such a store, the reader must still walk it: keys that never descend,
    // and the key FFFFFFFF for the last bucket only (a code 0 starting a
    // bucket would otherwise give the bucket before it that key).
    void treeOfCodesOutOfOrderReadsBack_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<int>("textLength"); // one record a bucket
        QTest::addColumn<QList<quint32>>("codes");
        QTest::addColumn<int>("levels");
        const QByteArray small = ServerHeader(64, 0, 2);
        QList<quint32> ascending;
        for (quint32 code = 1; code <= 20; ++code)
            ascending.append(code * 10);
        QList<quint32> lower = ascending;
        lower[12] = 3;
        QList<quint32> zero = ascending;
        zero[5] = 0;
        QList<quint32> many;
        for (quint32 code = 1; code <= 130; ++code)
            many.append(code == 100 ? 0 : code);
        QTest::newRow("tree, a code below the one before") << small << 28 << lower << 3;
        QTest::newRow("tree, a code 0 starts a bucket") << small << 28 << zero << 3;
        QTest::newRow("tree, codes descending") << small << 28 << QList<quint32>{900, 800, 700, 600, 500, 400, 300, 200, 100, 50, 1} << 3;
        QTest::newRow("bucket size 1024, a code 0 starts a bucket") << ServerHeader(1024, 0, 2) << 1000 << many << 3;
        QTest::newRow("tree, ascending, zeros over ten buckets")
            << small << 28 << QList<quint32>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5, 6} << 3;
    }
    void treeOfCodesOutOfOrderReadsBack()
    {
        QFETCH(QByteArray, header);
        QFETCH(int, textLength);
        QFETCH(QList<quint32>, codes);
        QFETCH(int, levels);
        std::vector<LaidOutMessage> messages;
        for (quint32 code : codes)
            messages.push_back({code, QByteArray(textLength, char('a' + messages.size() % 26))});
        const TMsgData data = StoreOf(messages, header);
        const TMsgLayout planned = ComputeMsgLayout(data);
        QCOMPARE(planned.Levels, levels);
        QCOMPARE(BucketKeys(planned).size(), size_t(codes.size()));

        TMsgLayout found;
        const QByteArray bytes = Written(data);
        const auto again = ReadBytes(bytes, &found);
        CompareMessages(*again, messages);
        QCOMPARE(found.Levels, planned.Levels);
        QCOMPARE(found.IndexOffset, planned.IndexOffset);
        QVERIFY(found.Nodes == planned.Nodes);
        const std::vector<quint32> keys = BucketKeys(found);
        QVERIFY(std::is_sorted(keys.begin(), keys.end()));
        QCOMPARE(std::count(keys.begin(), keys.end(), MsgLastKey), 1);
        // With codes that ascend, the server finds every message.
        if (std::is_sorted(codes.begin(), codes.end()))
            QCOMPARE(Unreachable(bytes, data), QList<quint32>{});
    }

    // Eight entries a node: 32,769 buckets of 64 bytes (a file of 2.4 MB)
    // take seven levels, more than 1024-byte buckets ever need. The file
    // written is read back and the server's lookup walks it; a header that
    // claims more levels than such buckets can need is still refused.
    void smallBucketsMakeDeepTreeThatReadsBack()
    {
        TMsgData data;
        data.SetHeader(ServerHeader(64, 0, 2));
        const int count = 8 * 32769; // eight empty texts fill a bucket
        for (int i = 0; i < count; ++i)
            data.AddMessage(quint32(3 * i + 1), QByteArray(), quint16(i % 1000 == 0 ? 0x0001 : 0));
        const QByteArray bytes = Written(data);
        QCOMPARE(LevelsField(bytes), quint16(7));

        TMsgLayout found;
        const auto again = ReadBytes(bytes, &found);
        QCOMPARE(found.Levels, 7);
        QCOMPARE(again->Count(), count);
        for (int i = 0; i < count; i += 997) {
            QCOMPARE(again->Codes(i), data.Codes(i));
            QCOMPARE(again->RecordFlags(i), data.RecordFlags(i));
        }
        QCOMPARE(again->Codes(count - 1), data.Codes(count - 1));
        QCOMPARE(Unreachable(bytes, data), QList<quint32>{});

        QByteArray deeper = bytes;
        qToLittleEndian(quint16(12), deeper.data() + 12);
        QVERIFY_THROWS_EXCEPTION(EMsgFileError, ReadBytes(deeper));
    }

    void lengthFieldWithFlags_data()
    {
        QTest::addColumn<quint32>("field");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("flags");
        QTest::newRow("plain") << 5u << 5 << 0;
        QTest::newRow("flags") << 0x00070005u << 5 << 7;
        QTest::newRow("high flag bit") << 0x80010003u << 3 << 0x8001;
        QTest::newRow("empty text with flags") << 0x00010000u << 0 << 1;
    }
    void lengthFieldWithFlags()
    {
        QFETCH(quint32, field);
        QFETCH(int, length);
        QFETCH(int, flags);
        QByteArray file = ServerHeader(1024, 0, 2);
        char raw[4];
        qToLittleEndian(quint32(42), raw);
        file.append(raw, 4);
        qToLittleEndian(field, raw);
        file.append(raw, 4);
        file.append(QByteArray(length, 't'));
        while (file.size() % 4)
            file.append('\x99');
        qToLittleEndian(quint32(file.size()), file.data() + 4);
        qToLittleEndian(0xFFFFFFFFu, raw);
        file.append(raw, 4);
        qToLittleEndian(16u, raw);
        file.append(raw, 4);

        const auto data = ReadBytes(file);
        QCOMPARE(data->Count(), 1);
        QCOMPARE(data->Texts(0), QByteArray(length, 't'));
        QCOMPARE(int(data->RecordFlags(0)), flags);
        // Written back with the same length field; the padding becomes zero.
        const QByteArray written = Written(*data);
        QCOMPARE(qFromLittleEndian<quint32>(written.constData() + 20), field);
        QCOMPARE(written.size(), file.size());
        QCOMPARE(data->Clone()->RecordFlags(0), quint16(flags));
    }

    void refusesCorruptTrees_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const LaidOutFile good = LayOutLikeServerTools(ServerMessages(2900));
        const quint32 root = good.Nodes.back();
        const quint32 firstNode = good.Nodes.front();
        auto patched = [&](quint32 at, quint32 value) {
            QByteArray bytes = good.Bytes;
            qToLittleEndian(value, bytes.data() + at);
            return bytes;
        };
        QTest::newRow("node offset outside the file") << patched(root + 4, quint32(good.Bytes.size()) + 64);
        QTest::newRow("node offset inside the header") << patched(root + 4, 8);
        QTest::newRow("leaf offset outside the file") << patched(firstNode + 4, 0x7FFFFFF0);
        QTest::newRow("node points at itself") << patched(root + 4, root);
        QTest::newRow("two entries share a leaf") << patched(firstNode + 12, good.Leaves[0]);
        QTest::newRow("keys descend") << patched(firstNode + 8, 0);
        QTest::newRow("too many levels") << [&] {
            QByteArray bytes = good.Bytes;
            qToLittleEndian(quint16(40), bytes.data() + 12);
            return bytes;
        }();
        QTest::newRow("root cut short") << good.Bytes.left(root + 4);
        QTest::newRow("leaf points into a node") << patched(firstNode + 4, root);
    }
    void refusesCorruptTrees()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY_THROWS_EXCEPTION(EMsgFileError, ReadBytes(bytes));
    }

    // A node that points back up makes a loop; the walk must end with an error.
    void refusesLoopBetweenLevels()
    {
        std::vector<LaidOutMessage> messages = ServerMessages(40000);
        const LaidOutFile file = LayOutLikeServerTools(messages);
        QVERIFY(file.Levels >= 3);
        QByteArray bytes = file.Bytes;
        // The first entry of the root's first child is made to point at the root.
        const quint32 root = file.Nodes.back();
        const quint32 child = qFromLittleEndian<quint32>(bytes.constData() + root + 4);
        qToLittleEndian(root, bytes.data() + child + 4);
        QVERIFY_THROWS_EXCEPTION(EMsgFileError, ReadBytes(bytes));
    }
};

QTEST_GUILESS_MAIN(TestMsgFileTree)
#include "tst_msgfiletree.moc"
