#include "msgfile/MsgFile.h"

#include "msgfile/BufferedStream.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
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

// Reads the records that lie back to back from the current position up to
// EndOffset (relative to Start).
void ReadRecords(BufferedReader &reader, qint64 start, qint64 endOffset, TMsgData &data)
{
    while (reader.position() - start < endOffset) {
        const qint64 recordOffset = reader.position() - start;
        if (recordOffset + MsgRecordHeadSize > endOffset)
            RaiseCorrupt(QStringLiteral("the record at offset %d runs into the index at offset %d"), {recordOffset, endOffset});
        const QByteArrayView head = reader.take(MsgRecordHeadSize);
        if (head.size() < MsgRecordHeadSize)
            RaiseCutShort(recordOffset + head.size(), QStringLiteral("a record"));
        const quint32 code = UInt32At(head, 0);
        const qint32 length = qint32(UInt32At(head, 4));
        if (length < 0)
            RaiseCorrupt(QStringLiteral("the record at offset %d has a negative length (%d)"), {recordOffset, length});
        if (recordOffset + MsgRecordHeadSize + length > endOffset)
            RaiseCorrupt(QStringLiteral("the record at offset %d (code %8.8x) is %d bytes long and runs past the index at offset %d"),
                         {recordOffset, code, length, endOffset});
        const QByteArrayView text = reader.take(length);
        if (text.size() < length)
            RaiseCutShort(recordOffset + MsgRecordHeadSize + text.size(), QStringLiteral("a message text"));
        data.AddMessage(code, text.toByteArray());
        reader.seek(start + Align4Long(recordOffset + MsgRecordHeadSize + length));
    }
}

void ReadIndex(BufferedReader &reader, qint64 start, std::vector<TMsgIndexEntry> *indexRead)
{
    for (;;) {
        const qint64 entryOffset = reader.position() - start;
        const QByteArrayView entry = reader.take(MsgIndexEntrySize);
        if (entry.size() < MsgIndexEntrySize)
            RaiseCutShort(entryOffset + entry.size(), QStringLiteral("the index: it has no last entry (key FFFFFFFF)"));
        const TMsgIndexEntry read{UInt32At(entry, 0), UInt32At(entry, 4)};
        if (indexRead)
            indexRead->push_back(read);
        if (read.Key == MsgLastKey)
            return;
    }
}

} // namespace

TMsgLayout ComputeMsgLayout(const TMsgData &data)
{
    TMsgLayout layout;
    qint64 position = TMsgData::HeaderSize;
    qint64 fill = 0;
    quint32 bucketOffset = TMsgData::HeaderSize;
    for (int i = 0; i < data.Count(); ++i) {
        const qint64 size = MsgRecordHeadSize + Align4Long(data.Texts(i).size());
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
    const qint64 start = stream.pos();
    const qint64 size = stream.size() - start;
    BufferedReader reader(stream);
    auto data = std::make_unique<TMsgData>();

    const QByteArrayView header = reader.take(TMsgData::HeaderSize);
    if (header.size() < TMsgData::HeaderSize)
        RaiseCutShort(header.size(), QStringLiteral("the 16-byte header"));
    data->SetHeader(header.toByteArray());
    const qint32 indexOffset = qint32(UInt32At(header, 4));
    CheckIndexOffset(indexOffset, size);

    ReadRecords(reader, start, indexOffset, *data);
    reader.seek(start + indexOffset);
    ReadIndex(reader, start, indexRead);
    return data;
}

void WriteMsgData(QIODevice &stream, const TMsgData &data)
{
    const TMsgLayout layout = ComputeMsgLayout(data);
    BufferedWriter writer(stream);

    QByteArray header = data.Header();
    qToLittleEndian(layout.IndexOffset, header.data() + 4);
    writer.write(header);

    for (int i = 0; i < data.Count(); ++i) {
        const QByteArray &text = data.Texts(i);
        writer.writeUInt32(data.Codes(i));
        writer.writeUInt32(quint32(text.size()));
        writer.write(text);
        writer.writeZeros(Align4Long(text.size()) - text.size());
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
