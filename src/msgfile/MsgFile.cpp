#include "msgfile/MsgFile.h"

#include "msgfile/BufferedWriter.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>
#include <limits>

namespace {

constexpr qint64 Align4Long(qint64 n)
{
    return ((n - 1) | 3) + 1;
}

quint32 UInt32At(QByteArrayView bytes, qsizetype offset)
{
    return qFromLittleEndian<quint32>(bytes.data() + offset);
}

[[noreturn]] void RaiseCorrupt(const QString &what, std::initializer_list<FormatArg> args = {})
{
    throw EMsgFileError(QStringLiteral("Not a valid message file: ") + Format(what, args));
}

[[noreturn]] void RaiseCutShort(qint64 size, const QString &what)
{
    throw EMsgFileError(Format(QStringLiteral("Stream read error: the file ends at offset %d, inside %s"), {size, what}));
}

void CheckIndexOffset(qint32 indexOffset, qint64 size)
{
    if (indexOffset < TMsgData::HeaderSize)
        RaiseCorrupt(QStringLiteral("the index offset %d lies inside the header"), {indexOffset});
    if (indexOffset % 4 != 0)
        RaiseCorrupt(QStringLiteral("the index offset %d is not a multiple of 4"), {indexOffset});
    if (indexOffset > size)
        RaiseCutShort(size, Format(QStringLiteral("the records (the index should begin at offset %d)"), {indexOffset}));
}

} // namespace

// Reads a message file from a stream: the bytes up to the index are read in
// one piece and kept by the store, whose messages point into them; the index
// is read entry by entry.
class TMsgFileReader
{
public:
    explicit TMsgFileReader(QIODevice &stream) : m_stream(stream), m_start(stream.pos()), m_size(stream.size() - m_start) {}

    std::unique_ptr<TMsgData> Read(std::vector<TMsgIndexEntry> *indexRead);

private:
    QByteArray ReadAt(qint64 offset, qint64 count);
    void ReadRecords(TMsgData &data, qint64 endOffset);
    void ReadIndex(qint64 indexOffset, std::vector<TMsgIndexEntry> *indexRead);

    QIODevice &m_stream;
    qint64 m_start;
    qint64 m_size; // bytes from the start to the end of the stream
};

// Count bytes at Offset from the start; fewer when the stream ends first.
QByteArray TMsgFileReader::ReadAt(qint64 offset, qint64 count)
{
    if (!m_stream.seek(m_start + offset))
        return {};
    count = qMax<qint64>(0, qMin(count, m_size - offset));
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

std::unique_ptr<TMsgData> TMsgFileReader::Read(std::vector<TMsgIndexEntry> *indexRead)
{
    auto data = std::make_unique<TMsgData>();
    const QByteArray header = ReadAt(0, TMsgData::HeaderSize);
    if (header.size() < TMsgData::HeaderSize)
        RaiseCutShort(header.size(), QStringLiteral("the 16-byte header"));
    data->SetHeader(header);
    const qint32 indexOffset = qint32(UInt32At(header, 4));
    CheckIndexOffset(indexOffset, m_size);

    data->m_fileBytes = ReadAt(0, indexOffset);
    if (data->m_fileBytes.size() < indexOffset)
        RaiseCutShort(data->m_fileBytes.size(), QStringLiteral("the records"));
    ReadRecords(*data, indexOffset);
    ReadIndex(indexOffset, indexRead);
    return data;
}

// Takes the records that lie back to back from offset 16 up to EndOffset.
void TMsgFileReader::ReadRecords(TMsgData &data, qint64 endOffset)
{
    const QByteArrayView bytes = data.m_fileBytes;
    qint64 offset = TMsgData::HeaderSize;
    while (offset < endOffset) {
        if (offset + MsgRecordHeadSize > endOffset)
            RaiseCorrupt(QStringLiteral("the record at offset %d runs into the index at offset %d"), {offset, endOffset});
        const quint32 code = UInt32At(bytes, offset);
        const qint32 length = qint32(UInt32At(bytes, offset + 4));
        if (length < 0)
            RaiseCorrupt(QStringLiteral("the record at offset %d has a negative length (%d)"), {offset, length});
        const qint64 textOffset = offset + MsgRecordHeadSize;
        if (textOffset + length > endOffset)
            RaiseCorrupt(QStringLiteral("the record at offset %d (code %8.8x) is %d bytes long and runs past the index at offset %d"),
                         {offset, code, length, endOffset});
        data.m_messages.push_back({code, -1, quint32(textOffset), quint32(length)});
        offset = Align4Long(textOffset + length);
    }
    data.m_oem.fill(false, qsizetype(data.m_messages.size()));
}

void TMsgFileReader::ReadIndex(qint64 indexOffset, std::vector<TMsgIndexEntry> *indexRead)
{
    // Entries are read a block at a time; the index ends at its last key.
    constexpr qint64 EntriesPerBlock = 4096;
    for (qint64 offset = indexOffset;; ) {
        const QByteArray block = ReadAt(offset, EntriesPerBlock * MsgIndexEntrySize);
        qsizetype at = 0;
        for (; at + MsgIndexEntrySize <= block.size(); at += MsgIndexEntrySize) {
            const TMsgIndexEntry entry{UInt32At(block, at), UInt32At(block, at + 4)};
            if (indexRead)
                indexRead->push_back(entry);
            if (entry.Key == MsgLastKey)
                return;
        }
        if (block.size() < EntriesPerBlock * MsgIndexEntrySize)
            RaiseCutShort(offset + block.size(), QStringLiteral("the index: it has no last entry (key FFFFFFFF)"));
        offset += at;
    }
}

TMsgLayout ComputeMsgLayout(const TMsgData &data)
{
    TMsgLayout layout;
    qint64 position = TMsgData::HeaderSize;
    qint64 fill = 0;
    quint32 bucketOffset = TMsgData::HeaderSize;
    for (int i = 0; i < data.Count(); ++i) {
        const qint64 size = MsgRecordHeadSize + Align4Long(data.TextView(i).size());
        if (size > MsgBucketSize)
            throw EMsgFileError(GetMsg(QStringLiteral("TooLargeItem")));
        if (fill + size > MsgBucketSize) {
            layout.Index.push_back({data.Codes(i) - 1u, bucketOffset});
            bucketOffset = quint32(position);
            fill = 0;
        }
        position += size;
        fill += size;
        // Offsets are signed 32-bit numbers in the file.
        if (position > std::numeric_limits<qint32>::max())
            throw EMsgFileError(QStringLiteral("The messages are too large for one message file (over 2 GB)"));
    }
    layout.Index.push_back({MsgLastKey, bucketOffset});
    if (position + qint64(layout.Index.size()) * MsgIndexEntrySize > std::numeric_limits<qint32>::max())
        throw EMsgFileError(QStringLiteral("The messages are too large for one message file (over 2 GB)"));
    layout.IndexOffset = qint32(position);
    return layout;
}

std::unique_ptr<TMsgData> ReadMsgData(QIODevice &stream, std::vector<TMsgIndexEntry> *indexRead)
{
    return TMsgFileReader(stream).Read(indexRead);
}

void WriteMsgData(QIODevice &stream, const TMsgData &data)
{
    const TMsgLayout layout = ComputeMsgLayout(data);
    BufferedWriter writer(stream);

    QByteArray header = data.Header();
    qToLittleEndian(layout.IndexOffset, header.data() + 4);
    writer.write(header);

    for (int i = 0; i < data.Count(); ++i) {
        const QByteArrayView text = data.TextView(i);
        const qint64 size = MsgRecordHeadSize + Align4Long(text.size()); // at most a bucket
        char *record = writer.claim(size);
        qToLittleEndian(data.Codes(i), record);
        qToLittleEndian(quint32(text.size()), record + 4);
        std::memcpy(record + MsgRecordHeadSize, text.data(), size_t(text.size()));
        std::memset(record + MsgRecordHeadSize + text.size(), 0, size_t(size - MsgRecordHeadSize - text.size()));
    }
    for (const TMsgIndexEntry &entry : layout.Index) {
        writer.writeUInt32(entry.Key);
        writer.writeUInt32(entry.BucketOffset);
    }
    writer.flush();
}

std::unique_ptr<TMsgData> LoadMsgData(const QString &fileName, std::vector<TMsgIndexEntry> *indexRead)
{
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw EFOpenError(Format(QStringLiteral("Cannot open file %s"), {fileName}));
    return ReadMsgData(file, indexRead);
}

void SaveMsgData(const QString &fileName, const TMsgData &data)
{
    QFile file(fileName);
    if (QFileInfo(fileName).isDir() || !file.open(QIODevice::ReadWrite | QIODevice::Truncate | QIODevice::Unbuffered))
        throw EFCreateError(Format(QStringLiteral("Cannot create file %s"), {fileName}));
    WriteMsgData(file, data);
}
