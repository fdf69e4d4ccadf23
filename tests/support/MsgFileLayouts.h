#pragma once
// Message files laid out by hand, independently of the program's writer, for
// checking the reader and the writer against them:
// - the layout of the server's own tools (an index tree whose full nodes lie
//   among the leaves, keys that are the last code of the child, non-zero
//   padding, 16-bit lengths with flags);
// - the plain layout: records and one flat index, however many buckets.

#include <QByteArray>
#include <vector>

struct LaidOutMessage
{
    quint32 Code;
    QByteArray Text;
    quint16 Flags = 0;
};

// Where a layout put its structures.
struct LaidOutFile
{
    QByteArray Bytes;
    std::vector<quint32> Leaves; // in key order
    std::vector<quint32> Nodes;  // in the order written; the root last
    int Levels = 0;
};

// A server header: version 1.Minor, the bucket size, the root's offset and
// the levels.
QByteArray ServerHeader(int bucketSize, quint32 rootOffset, int levels, int minorVersion = 1);

// The server tools' layout: leaves of at most BucketSize bytes; a node that
// fills up (BucketSize / 8 entries) is written at once, among the leaves;
// the partly filled nodes follow the last leaf, lowest level first, the root
// last. Padding bytes are Padding.
LaidOutFile LayOutLikeServerTools(const std::vector<LaidOutMessage> &messages, int bucketSize = 1024,
                                  char padding = '\xCD');

// Records back to back from offset 16 in buckets of at most 1024 bytes, then
// one index entry per bucket (key: the next bucket's first code minus 1;
// 0xFFFFFFFF for the last), with the given header (bytes 4-7 replaced).
QByteArray LayOutFlat(const std::vector<LaidOutMessage> &messages, const QByteArray &header);
