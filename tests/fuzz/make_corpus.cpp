// Writes the fuzzer's seed files into a folder: small valid message files of
// every shape the reader knows, each read back and checked before it is
// written. tests/fuzz/corpus holds what this program makes; tools/fuzz checks
// that the two agree.
//
//   fuzz_msgfile_corpus FOLDER

#include "msgfile/MsgFile.h"
#include "support/MsgFileLayouts.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <vector>

namespace {

struct Seed
{
    const char *Name;
    QByteArray Bytes;
    int Messages;
    int Levels; // of the index read
    bool NodeAmongLeaves = false;
};

// Texts of a few bytes, so that a 64-byte bucket holds several records.
std::vector<LaidOutMessage> SmallMessages(int count, int textLength)
{
    std::vector<LaidOutMessage> messages;
    for (int i = 0; i < count; ++i) {
        const QByteArray text = QByteArray("m") + QByteArray::number(i) + QByteArray(textLength, char('a' + i % 26));
        messages.push_back({quint32(10001 + 3 * i), text.left(textLength), quint16(i % 9 == 4 ? 0x0101 : 0)});
    }
    return messages;
}

QByteArray WrittenByTheProgram(const std::vector<LaidOutMessage> &messages, const QByteArray &header)
{
    TMsgData data;
    data.SetHeader(header);
    for (const LaidOutMessage &message : messages)
        data.AddMessage(message.Code, message.Text, message.Flags);
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    WriteMsgData(buffer, data);
    return buffer.data();
}

std::vector<Seed> Seeds()
{
    const QByteArray plainHeader(16, '\0');
    std::vector<Seed> seeds;
    seeds.push_back({"empty.msg", LayOutFlat({}, plainHeader), 0, 2});
    seeds.push_back({"two-messages.msg", LayOutFlat({{1, "Hello"}, {2, "Bye"}}, plainHeader), 2, 2});

    std::vector<LaidOutMessage> buckets;
    for (quint32 i = 0; i < 7; ++i)
        buckets.push_back({335544320u + i, QByteArray(300 + int(i) * 7, char('A' + i)) + "\n%s\t%d"});
    seeds.push_back({"flat-buckets.msg", LayOutFlat(buckets, ServerHeader(1024, 0, 2)), 7, 2});

    seeds.push_back({"record-flags.msg",
                     LayOutFlat({{42, "flagged", 0x8001}, {43, "", 0x0001}, {44, "plain"}}, plainHeader), 3, 2});

    // Bucket size 64: eight entries a node, so a few dozen records make a
    // tree of three levels, and a few more leaves one of four.
    seeds.push_back({"tree3-writer.msg", WrittenByTheProgram(SmallMessages(70, 4), ServerHeader(64, 0, 2)), 70, 3});
    seeds.push_back({"tree3-server-tools.msg", LayOutLikeServerTools(SmallMessages(70, 4), 64).Bytes, 70, 3, true});
    seeds.push_back({"tree4-server-tools.msg", LayOutLikeServerTools(SmallMessages(66, 28), 64).Bytes, 66, 4, true});
    seeds.push_back({"two-levels-bucket64.msg", LayOutLikeServerTools(SmallMessages(20, 2), 64).Bytes, 20, 2});
    return seeds;
}

// Whether an index node lies before the last leaf, as the server's tools
// write full nodes.
bool NodeAmongLeaves(const TMsgLayout &layout)
{
    quint32 lastLeaf = 0;
    for (const TMsgIndexNode &node : layout.Nodes) {
        if (node.Level + 1 != layout.Levels)
            continue;
        for (const TMsgIndexEntry &entry : node.Entries)
            lastLeaf = qMax(lastLeaf, entry.Offset);
    }
    for (const TMsgIndexNode &node : layout.Nodes) {
        if (node.Offset < lastLeaf)
            return true;
    }
    return false;
}

// The seed loads, with its messages, the index levels it was made with and,
// for the server tools' layout, a node among the leaves.
bool CheckSeed(const Seed &seed)
{
    QBuffer buffer;
    buffer.setData(seed.Bytes);
    buffer.open(QIODevice::ReadOnly);
    TMsgLayout layout;
    try {
        const auto data = ReadMsgData(buffer, &layout);
        const bool nodeAmongLeaves = NodeAmongLeaves(layout);
        if (data->Count() == seed.Messages && layout.Levels == seed.Levels && nodeAmongLeaves == seed.NodeAmongLeaves)
            return true;
        std::fprintf(stderr, "%s: %d messages in %d levels (a node among the leaves: %d), not %d in %d (%d)\n",
                     seed.Name, data->Count(), layout.Levels, int(nodeAmongLeaves), seed.Messages, seed.Levels,
                     int(seed.NodeAmongLeaves));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s: %s\n", seed.Name, error.what());
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 64;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    for (const Seed &seed : Seeds()) {
        if (!CheckSeed(seed))
            return 1;
        QFile file(QDir(folder).filePath(QString::fromLatin1(seed.Name)));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(seed.Bytes) != seed.Bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
