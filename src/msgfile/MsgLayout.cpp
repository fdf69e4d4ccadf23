#include "msgfile/MsgFile.h"

#include "msgfile/MsgFileBytes.h"
#include "uitext/MsgRes.h"

#include <limits>

TMsgGeometry HeaderGeometry(const QByteArray &header)
{
    TMsgGeometry geometry;
    if (header.size() < TMsgData::HeaderSize || quint8(header[0]) != 1)
        return geometry;
    const int bucketSize = UInt16At(header, 2);
    if (bucketSize < 64 || bucketSize % MsgIndexEntrySize != 0)
        return geometry;
    geometry.ServerHeader = true;
    geometry.BucketSize = bucketSize;
    geometry.Levels = UInt16At(header, 12);
    return geometry;
}

int MaxIndexLevels(int bucketSize)
{
    // Every bucket holds at least one record of 8 bytes, so a file below
    // 2 GB has fewer than 2^28 buckets; the levels above them must reach that
    // many, the root's one node (level 1) fanning out to the leaves.
    constexpr quint64 maxBuckets = quint64(1) << 28;
    const quint64 fanout = quint64(qMax(bucketSize, 64) / MsgIndexEntrySize);
    quint64 reach = fanout;
    int levels = 2;
    while (reach < maxBuckets) {
        reach *= fanout;
        ++levels;
    }
    return qMax(levels, MsgMaxLevels);
}

namespace {

[[noreturn]] void RaiseTooLargeForFile()
{
    throw EMsgFileError(QStringLiteral("The messages are too large for one message file (over 2 GB)"));
}

// The buckets: each as many consecutive records as fit into BucketSize. The
// key of a bucket is the code of the next bucket's first record minus 1; the
// last bucket's is 0xFFFFFFFF. Position ends past the last record.
std::vector<TMsgIndexEntry> PlanBuckets(const TMsgData &data, int bucketSize, qint64 &position)
{
    std::vector<TMsgIndexEntry> buckets;
    position = TMsgData::HeaderSize;
    qint64 fill = 0;
    quint32 bucketOffset = TMsgData::HeaderSize;
    for (int i = 0; i < data.Count(); ++i) {
        const qint64 size = MsgRecordHeadSize + Align4Long(data.TextView(i).size());
        if (size > bucketSize)
            throw EMsgFileError(GetMsg(QStringLiteral("TooLargeItem")));
        if (fill + size > bucketSize) {
            buckets.push_back({data.Codes(i) - 1u, bucketOffset});
            bucketOffset = quint32(position);
            fill = 0;
        }
        position += size;
        fill += size;
        // Offsets are signed 32-bit numbers in the file.
        if (position > std::numeric_limits<qint32>::max())
            RaiseTooLargeForFile();
    }
    buckets.push_back({MsgLastKey, bucketOffset});
    return buckets;
}

// A tree's reader ends a node at the key 0xFFFFFFFF and refuses keys that
// descend, and codes out of order (which the store allows) would give both:
// a bucket followed by one that starts with code 0 gets that key, and a lower
// code a lower key. So in a tree the keys of the buckets never descend and
// only the last bucket's is 0xFFFFFFFF (a code 0 gives 0). Codes that ascend
// keep the plain keys. A flat index keeps them in any case: its reader takes
// the records without it.
void MakeTreeKeysWalkable(std::vector<TMsgIndexEntry> &buckets)
{
    quint32 previous = 0;
    for (size_t i = 0; i + 1 < buckets.size(); ++i) {
        const quint32 key = buckets[i].Key == MsgLastKey ? 0u : buckets[i].Key;
        previous = qMax(previous, key);
        buckets[i].Key = previous;
    }
}

} // namespace

TMsgLayout ComputeMsgLayout(const TMsgData &data)
{
    const TMsgGeometry geometry = HeaderGeometry(data.Header());
    const int bucketSize = geometry.ServerHeader ? geometry.BucketSize : MsgBucketSize;

    qint64 position = 0;
    std::vector<TMsgIndexEntry> entries = PlanBuckets(data, bucketSize, position);

    // Index levels from the bottom up: the entries of one level go into
    // nodes of at most Fanout entries; each node gives the level above one
    // entry, with its last key. A single node is the root. Only a server
    // header can tell a reader that the index is a tree, so a file with any
    // other header keeps one flat index, however long.
    TMsgLayout layout;
    const size_t fanout = geometry.ServerHeader ? size_t(bucketSize / MsgIndexEntrySize) : entries.size();
    if (entries.size() > fanout)
        MakeTreeKeysWalkable(entries);
    int indexLevels = 0;
    for (;;) {
        ++indexLevels;
        std::vector<TMsgIndexEntry> parents;
        for (size_t first = 0; first < entries.size(); first += fanout) {
            const size_t last = qMin(entries.size(), first + fanout);
            TMsgIndexNode node{quint32(position), indexLevels, {entries.begin() + qsizetype(first), entries.begin() + qsizetype(last)}};
            parents.push_back({node.Entries.back().Key, node.Offset});
            position += qint64(node.Entries.size()) * MsgIndexEntrySize;
            if (position > std::numeric_limits<qint32>::max())
                RaiseTooLargeForFile();
            layout.Nodes.push_back(std::move(node));
        }
        if (parents.size() == 1)
            break;
        entries = std::move(parents);
    }
    // Levels were counted from the bottom; the root is level 1.
    for (TMsgIndexNode &node : layout.Nodes)
        node.Level = indexLevels + 1 - node.Level;
    layout.Levels = indexLevels + 1;
    layout.IndexOffset = qint32(layout.Nodes.back().Offset);
    return layout;
}
