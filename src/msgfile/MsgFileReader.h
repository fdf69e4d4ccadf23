#pragma once
// Reads a message file from a stream into a store. After its header has
// passed, the whole file is read in one piece and kept by the store, whose
// messages point into it.
//
// A file whose server header gives more than 2 levels is read by walking its
// index tree from the root, taking the leaves in key order: such files keep
// full index nodes among the leaves, which must not be taken for records. A
// leaf ends where the next structure (leaf or node) begins. Every other file
// holds its records back to back from offset 16 up to IndexOffset.

#include "msgfile/MsgFile.h"

#include <QByteArray>
#include <set>

class TMsgFileReader
{
public:
    explicit TMsgFileReader(QIODevice &stream);

    std::unique_ptr<TMsgData> Read(TMsgLayout *indexRead);

private:
    QByteArray ReadRange(qint64 offset, qint64 count);
    void ReadFlat(TMsgData &data, qint32 indexOffset, TMsgLayout &layout);
    void ReadTree(TMsgData &data, qint32 rootOffset, const TMsgGeometry &geometry, TMsgLayout &layout);
    void WalkNode(quint32 offset, int level, const TMsgGeometry &geometry, TMsgLayout &layout,
                  std::vector<quint32> &leaves, std::set<quint32> &visited);
    std::vector<TMsgIndexEntry> ReadNodeEntries(quint32 offset, size_t maxEntries, int level);
    void ReadRecords(TMsgData &data, qint64 begin, qint64 end);
    void CheckStructureOffset(quint32 offset, const char *what);

    QIODevice &m_stream;
    qint64 m_start;
    QByteArray m_bytes; // the file, from the stream's start
};
