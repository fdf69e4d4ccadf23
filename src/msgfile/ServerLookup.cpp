#include "msgfile/ServerLookup.h"

#include "msgfile/MsgFile.h"
#include "msgfile/MsgFileBytes.h"

TServerLookup::TServerLookup(const QByteArray &file)
    : m_file(file)
{
    if (m_file.size() < TMsgData::HeaderSize)
        return;
    const TMsgGeometry geometry = HeaderGeometry(m_file.left(TMsgData::HeaderSize));
    m_root = qint32(UInt32At(m_file, 4));
    m_bucketSize = geometry.BucketSize;
    m_levels = geometry.Levels;
}

bool TServerLookup::Find(quint32 code) const
{
    if (m_levels < 1 || m_levels > MaxIndexLevels(m_bucketSize))
        return false;
    qint64 offset = m_root;
    for (int level = 1; level < m_levels; ++level) {
        const qint64 end = qMin<qint64>(m_file.size(), offset + m_bucketSize);
        qint64 next = -1;
        for (qint64 at = offset; at >= 0 && at + MsgIndexEntrySize <= end; at += MsgIndexEntrySize) {
            if (UInt32At(m_file, at) >= code) {
                next = UInt32At(m_file, at + 4);
                break;
            }
        }
        if (next < 0)
            return false;
        offset = next;
    }
    return FindInLeaf(offset, code);
}

bool TServerLookup::FindInLeaf(qint64 offset, quint32 code) const
{
    const qint64 end = qMin<qint64>(m_file.size(), offset + m_bucketSize);
    for (qint64 at = offset; at >= 0 && at + MsgRecordHeadSize <= end;) {
        const quint32 found = UInt32At(m_file, at);
        const qint64 next = at + MsgRecordHeadSize + UInt16At(m_file, at + 4);
        // The server reads one bucket: of a text that runs past it, it gives
        // what the bucket holds and garbage for the rest.
        if (found == code)
            return next <= end;
        // It takes a leaf's codes as ascending: a greater one ends the search.
        if (found > code)
            return false;
        at = Align4Long(next);
    }
    return false;
}
