#include "msgfile/MsgFileReader.h"

#include "msgfile/MsgFileBytes.h"
#include "uitext/Format.h"

#include <algorithm>
#include <limits>

namespace {

[[noreturn]] void RaiseCorrupt(const QString &what, std::initializer_list<FormatArg> args = {})
{
    throw EMsgFileError(QStringLiteral("Not a valid message file: ") + Format(what, args));
}

[[noreturn]] void RaiseCutShort(qint64 size, const QString &what)
{
    throw EMsgFileError(Format(QStringLiteral("Stream read error: the file ends at offset %d, inside %s"), {size, what}));
}

// Offsets in a message file are signed 32-bit numbers: no sound file is
// larger than this, and nothing larger is read into memory.
constexpr qint64 MaxMsgFileSize = std::numeric_limits<qint32>::max();

void CheckFileSize(qint64 size)
{
    if (size > MaxMsgFileSize)
        RaiseCorrupt(QStringLiteral("the file holds %d bytes, more than a message file can (2 GB)"), {size});
}

void CheckIndexOffset(qint32 indexOffset, qint64 size)
{
    if (indexOffset < 0)
        RaiseCorrupt(QStringLiteral("the index offset %d lies beyond 2 GB"), {quint32(indexOffset)});
    if (indexOffset < TMsgData::HeaderSize)
        RaiseCorrupt(QStringLiteral("the index offset %d lies inside the header"), {indexOffset});
    if (indexOffset % 4 != 0)
        RaiseCorrupt(QStringLiteral("the index offset %d is not a multiple of 4"), {indexOffset});
    if (indexOffset > size)
        RaiseCutShort(size, Format(QStringLiteral("the records (the index should begin at offset %d)"), {indexOffset}));
}

} // namespace

TMsgFileReader::TMsgFileReader(QIODevice &stream)
    : m_stream(stream), m_start(stream.pos())
{
}

// Count bytes from Offset (counted from the start); fewer when the stream
// ends first. Never more than the file holds, whatever its header says.
QByteArray TMsgFileReader::ReadRange(qint64 offset, qint64 count)
{
    const qint64 size = qMax<qint64>(0, m_stream.size() - m_start);
    count = qBound<qint64>(0, count, size - offset);
    if (count <= 0 || !m_stream.seek(m_start + offset))
        return {};
    QByteArray bytes(count, Qt::Uninitialized);
    qint64 have = 0;
    while (have < count) {
        const qint64 got = m_stream.read(bytes.data() + have, count - have);
        if (got <= 0)
            break;
        have += got;
    }
    bytes.resize(have);
    return bytes;
}

std::unique_ptr<TMsgData> TMsgFileReader::Read(TMsgLayout *indexRead)
{
    // The header first: a file that cannot be a message file is refused
    // before the rest of it is read.
    const qint64 size = qMax<qint64>(0, m_stream.size() - m_start);
    const QByteArray header = ReadRange(0, TMsgData::HeaderSize);
    if (header.size() < TMsgData::HeaderSize)
        RaiseCutShort(header.size(), QStringLiteral("the 16-byte header"));
    const qint32 indexOffset = qint32(UInt32At(header, 4));
    CheckIndexOffset(indexOffset, size);
    CheckFileSize(size);
    m_bytes = ReadRange(0, size);
    if (m_bytes.size() < size)
        RaiseCutShort(m_bytes.size(), QStringLiteral("the file (it could not be read whole)"));

    auto data = std::make_unique<TMsgData>();
    data->SetHeader(header);

    TMsgLayout layout;
    const TMsgGeometry geometry = HeaderGeometry(data->Header());
    if (geometry.ServerHeader && geometry.Levels > 2)
        ReadTree(*data, indexOffset, geometry, layout);
    else
        ReadFlat(*data, indexOffset, layout);
    data->m_fileBytes = m_bytes;
    data->m_oem.fill(false, qsizetype(data->m_messages.size()));
    if (indexRead)
        *indexRead = std::move(layout);
    return data;
}

// The index first: a file without one is refused before its records are
// taken apart.
void TMsgFileReader::ReadFlat(TMsgData &data, qint32 indexOffset, TMsgLayout &layout)
{
    // The index: entries up to the one whose key is 0xFFFFFFFF.
    TMsgIndexNode root{quint32(indexOffset), 1, {}};
    for (qint64 offset = indexOffset;; offset += MsgIndexEntrySize) {
        if (offset + MsgIndexEntrySize > m_bytes.size())
            RaiseCutShort(m_bytes.size(), QStringLiteral("the index: it has no last entry (key FFFFFFFF)"));
        root.Entries.push_back({UInt32At(m_bytes, offset), UInt32At(m_bytes, offset + 4)});
        if (root.Entries.back().Key == MsgLastKey)
            break;
    }
    layout.IndexOffset = indexOffset;
    layout.Levels = 2;
    layout.Nodes.push_back(std::move(root));

    ReadRecords(data, TMsgData::HeaderSize, indexOffset);
}

void TMsgFileReader::ReadTree(TMsgData &data, qint32 rootOffset, const TMsgGeometry &geometry, TMsgLayout &layout)
{
    const int maxLevels = MaxIndexLevels(geometry.BucketSize);
    if (geometry.Levels > maxLevels)
        RaiseCorrupt(QStringLiteral("the header gives the index %d levels; a message file of %d-byte buckets has at most %d"),
                     {geometry.Levels, geometry.BucketSize, maxLevels});
    std::vector<quint32> leaves;
    std::set<quint32> visited;
    WalkNode(quint32(rootOffset), 1, geometry, layout, leaves, visited);

    // A leaf ends where the next structure begins, or at the end of the file.
    std::vector<quint32> starts(visited.begin(), visited.end());
    for (quint32 leaf : leaves) {
        const auto next = std::upper_bound(starts.begin(), starts.end(), leaf);
        const qint64 end = next == starts.end() ? m_bytes.size() : qint64(*next);
        ReadRecords(data, leaf, end);
    }
    std::sort(layout.Nodes.begin(), layout.Nodes.end(),
              [](const TMsgIndexNode &a, const TMsgIndexNode &b) { return a.Offset < b.Offset; });
    layout.IndexOffset = rootOffset;
    layout.Levels = geometry.Levels;
}

void TMsgFileReader::CheckStructureOffset(quint32 offset, const char *what)
{
    if (offset < quint32(TMsgData::HeaderSize) || offset % 4 != 0 || qint64(offset) + MsgRecordHeadSize > m_bytes.size())
        RaiseCorrupt(QStringLiteral("the index points to a %s at offset %d, outside the file's %d bytes of data"),
                     {what, qint64(offset), qint64(m_bytes.size())});
}

// Visits a node and, depth first, every node below it, collecting the leaves
// in key order.
void TMsgFileReader::WalkNode(quint32 offset, int level, const TMsgGeometry &geometry, TMsgLayout &layout,
                              std::vector<quint32> &leaves, std::set<quint32> &visited)
{
    CheckStructureOffset(offset, "node");
    if (!visited.insert(offset).second)
        RaiseCorrupt(QStringLiteral("the index reaches the structure at offset %d twice"), {qint64(offset)});
    std::vector<TMsgIndexEntry> entries = ReadNodeEntries(offset, size_t(geometry.BucketSize / MsgIndexEntrySize), level);
    const bool aboveLeaves = level + 1 == geometry.Levels;
    for (const TMsgIndexEntry &entry : entries) {
        if (aboveLeaves) {
            CheckStructureOffset(entry.Offset, "leaf");
            if (!visited.insert(entry.Offset).second)
                RaiseCorrupt(QStringLiteral("the index reaches the structure at offset %d twice"), {qint64(entry.Offset)});
            leaves.push_back(entry.Offset);
        } else {
            WalkNode(entry.Offset, level + 1, geometry, layout, leaves, visited);
        }
    }
    layout.Nodes.push_back({offset, level, std::move(entries)});
}

// The entries of a node: up to a full bucket of them, ending early after the
// one whose key is 0xFFFFFFFF. Keys must ascend.
std::vector<TMsgIndexEntry> TMsgFileReader::ReadNodeEntries(quint32 offset, size_t maxEntries, int level)
{
    std::vector<TMsgIndexEntry> entries;
    for (qint64 at = offset; entries.size() < maxEntries; at += MsgIndexEntrySize) {
        if (at + MsgIndexEntrySize > m_bytes.size())
            RaiseCutShort(m_bytes.size(), Format(QStringLiteral("the index node at offset %d"), {qint64(offset)}));
        const TMsgIndexEntry entry{UInt32At(m_bytes, at), UInt32At(m_bytes, at + 4)};
        if (!entries.empty() && entry.Key < entries.back().Key)
            RaiseCorrupt(QStringLiteral("the keys of the index node at offset %d (level %d) do not ascend"),
                         {qint64(offset), level});
        entries.push_back(entry);
        if (entry.Key == MsgLastKey)
            break;
    }
    return entries;
}

// Takes the records that lie back to back from Begin up to End.
void TMsgFileReader::ReadRecords(TMsgData &data, qint64 begin, qint64 end)
{
    for (qint64 offset = begin; offset < end;) {
        if (offset + MsgRecordHeadSize > end)
            RaiseCorrupt(QStringLiteral("the record at offset %d runs into the structure at offset %d"), {offset, end});
        const quint32 code = UInt32At(m_bytes, offset);
        const quint32 lengthField = UInt32At(m_bytes, offset + 4);
        const TRecordLength length = SplitLengthField(lengthField);
        const qint64 textOffset = offset + MsgRecordHeadSize;
        if (textOffset + length.Length > end)
            RaiseCorrupt(QStringLiteral("the record at offset %d (code %8.8x) has the length field %8.8x and runs past the structure at offset %d"),
                         {offset, code, lengthField, end});
        data.m_messages.push_back({code, -1, quint32(textOffset), quint32(length.Length), length.Flags});
        offset = Align4Long(textOffset + length.Length);
    }
}
