#include "support/MsgFileLayouts.h"

#include <QtEndian>

namespace {

void AppendUInt32(QByteArray &bytes, quint32 value)
{
    char raw[4];
    qToLittleEndian(value, raw);
    bytes.append(raw, 4);
}

void AppendRecord(QByteArray &bytes, const LaidOutMessage &message, char padding)
{
    AppendUInt32(bytes, message.Code);
    AppendUInt32(bytes, quint32(message.Text.size()) | (quint32(message.Flags) << 16));
    bytes.append(message.Text);
    while (bytes.size() % 4)
        bytes.append(padding);
}

qsizetype RecordSize(const LaidOutMessage &message)
{
    return 8 + ((message.Text.size() + 3) / 4) * 4;
}

struct Entry
{
    quint32 Key;
    quint32 Offset;
};

class ServerToolLayout
{
public:
    ServerToolLayout(int bucketSize, char padding) : m_bucketSize(bucketSize), m_fanout(size_t(bucketSize / 8)), m_padding(padding)
    {
        m_file.Bytes = QByteArray(16, '\0');
    }

    LaidOutFile Build(const std::vector<LaidOutMessage> &messages)
    {
        qsizetype fill = 0;
        quint32 leafStart = 16;
        quint32 lastCode = 0;
        for (const LaidOutMessage &message : messages) {
            if (fill > 0 && fill + RecordSize(message) > m_bucketSize) {
                CloseLeaf(leafStart, lastCode);
                leafStart = quint32(m_file.Bytes.size());
                fill = 0;
            }
            AppendRecord(m_file.Bytes, message, m_padding);
            fill += RecordSize(message);
            lastCode = message.Code;
        }
        CloseLeaf(leafStart, lastCode);
        const quint32 root = FinishLevels();
        m_file.Levels = int(m_pending.size()) + 1;
        m_file.Bytes.replace(0, 16, ServerHeader(m_bucketSize, root, m_file.Levels));
        return m_file;
    }

private:
    void CloseLeaf(quint32 offset, quint32 lastCode)
    {
        m_file.Leaves.push_back(offset);
        Add(0, {lastCode, offset});
    }

    // A node that fills up is written at once, wherever the file has got to.
    void Add(size_t level, Entry entry)
    {
        if (m_pending.size() <= level) {
            m_pending.resize(level + 1);
            m_written.resize(level + 1, 0);
        }
        m_pending[level].push_back(entry);
        if (m_pending[level].size() == m_fanout) {
            const quint32 offset = WriteNode(level);
            Add(level + 1, {m_pending[level].back().Key, offset});
            m_pending[level].clear();
        }
    }

    quint32 WriteNode(size_t level)
    {
        const quint32 offset = quint32(m_file.Bytes.size());
        for (const Entry &entry : m_pending[level]) {
            AppendUInt32(m_file.Bytes, entry.Key);
            AppendUInt32(m_file.Bytes, entry.Offset);
        }
        m_file.Nodes.push_back(offset);
        m_lastNodeOfLevel.resize(m_pending.size(), 0);
        m_lastNodeOfLevel[level] = offset;
        m_lastNodeSize.resize(m_pending.size(), 0);
        m_lastNodeSize[level] = m_pending[level].size();
        ++m_written[level];
        return offset;
    }

    // The partly filled nodes, lowest level first; the rightmost node of each
    // level ends with the key 0xFFFFFFFF. Returns the root's offset.
    quint32 FinishLevels()
    {
        for (size_t level = 0;; ++level) {
            const bool isTop = level + 1 >= m_pending.size() || m_pending[level + 1].empty();
            if (m_pending[level].empty()) {
                // The level's last node filled up and went out already.
                PatchLastKey(m_lastNodeOfLevel[level], m_lastNodeSize[level]);
                if (isTop && m_written[level] == 1) {
                    m_pending.resize(level + 1);
                    return m_lastNodeOfLevel[level];
                }
                continue;
            }
            m_pending[level].back().Key = 0xFFFFFFFFu;
            const bool isRoot = isTop && m_written[level] == 0;
            const quint32 offset = WriteNode(level);
            m_pending[level].clear();
            if (isRoot) {
                m_pending.resize(level + 1);
                return offset;
            }
            Add(level + 1, {0xFFFFFFFFu, offset});
        }
    }

    void PatchLastKey(quint32 nodeOffset, size_t entries)
    {
        qToLittleEndian(0xFFFFFFFFu, m_file.Bytes.data() + nodeOffset + (entries - 1) * 8);
    }

    int m_bucketSize;
    size_t m_fanout;
    char m_padding;
    LaidOutFile m_file;
    std::vector<std::vector<Entry>> m_pending; // [0] is the level just above the leaves
    std::vector<int> m_written;
    std::vector<quint32> m_lastNodeOfLevel;
    std::vector<size_t> m_lastNodeSize;
};

} // namespace

QByteArray ServerHeader(int bucketSize, quint32 rootOffset, int levels, int minorVersion)
{
    QByteArray header(16, '\0');
    header[0] = 1;
    header[1] = char(minorVersion);
    qToLittleEndian(quint16(bucketSize), header.data() + 2);
    qToLittleEndian(rootOffset, header.data() + 4);
    qToLittleEndian(quint16(levels), header.data() + 12);
    return header;
}

LaidOutFile LayOutLikeServerTools(const std::vector<LaidOutMessage> &messages, int bucketSize, char padding)
{
    return ServerToolLayout(bucketSize, padding).Build(messages);
}

QByteArray LayOutFlat(const std::vector<LaidOutMessage> &messages, const QByteArray &header)
{
    QByteArray bytes = header;
    std::vector<Entry> index;
    quint32 bucketStart = 16;
    qsizetype fill = 0;
    for (const LaidOutMessage &message : messages) {
        if (fill + RecordSize(message) > 1024) {
            index.push_back({message.Code - 1, bucketStart});
            bucketStart = quint32(bytes.size());
            fill = 0;
        }
        AppendRecord(bytes, message, '\0');
        fill += RecordSize(message);
    }
    index.push_back({0xFFFFFFFFu, bucketStart});
    qToLittleEndian(quint32(bytes.size()), bytes.data() + 4);
    for (const Entry &entry : index) {
        AppendUInt32(bytes, entry.Key);
        AppendUInt32(bytes, entry.Offset);
    }
    return bytes;
}
