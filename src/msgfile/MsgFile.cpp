#include "msgfile/MsgFile.h"

#include "msgfile/BufferedWriter.h"
#include "msgfile/MsgFileBytes.h"
#include "msgfile/MsgFileReader.h"
#include "uitext/Format.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>

std::unique_ptr<TMsgData> ReadMsgData(QIODevice &stream, TMsgLayout *indexRead)
{
    return TMsgFileReader(stream).Read(indexRead);
}

void WriteMsgData(QIODevice &stream, const TMsgData &data)
{
    const TMsgLayout layout = ComputeMsgLayout(data);
    BufferedWriter writer(stream);

    QByteArray header = data.Header();
    qToLittleEndian(layout.IndexOffset, header.data() + 4);
    if (HeaderGeometry(header).ServerHeader)
        qToLittleEndian(quint16(layout.Levels), header.data() + 12);
    writer.write(header);

    for (int i = 0; i < data.Count(); ++i) {
        const QByteArrayView text = data.TextView(i);
        const qint64 size = MsgRecordHeadSize + Align4Long(text.size()); // at most a bucket
        char *record = writer.claim(size);
        qToLittleEndian(data.Codes(i), record);
        qToLittleEndian(quint32(text.size()) | (quint32(data.RecordFlags(i)) << 16), record + 4);
        // The view of an empty text may have no data pointer, which memcpy
        // must not be given even for no bytes.
        if (!text.isEmpty())
            std::memcpy(record + MsgRecordHeadSize, text.data(), size_t(text.size()));
        std::memset(record + MsgRecordHeadSize + text.size(), 0, size_t(size - MsgRecordHeadSize - text.size()));
    }
    for (const TMsgIndexNode &node : layout.Nodes) {
        for (const TMsgIndexEntry &entry : node.Entries) {
            writer.writeUInt32(entry.Key);
            writer.writeUInt32(entry.Offset);
        }
    }
    writer.flush();
}

std::unique_ptr<TMsgData> LoadMsgData(const QString &fileName, TMsgLayout *indexRead)
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
