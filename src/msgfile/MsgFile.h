#pragma once
// The server's message file: a 16-byte header, the message records, and an
// index. All numbers are little-endian.
//
//   header   bytes 4-7 hold IndexOffset, the offset of the index's root; in
//            a server header (byte 0 is 1, the major version) bytes 2-3 are
//            the bucket size and bytes 12-13 the number of levels of the
//            index tree; every other header byte is carried unchanged
//   record   Code, Length, Length text bytes, padding to a multiple of 4;
//            a Length whose upper 16 bits are set is a 16-bit length
//            followed by 16 bits of flags
//   bucket   (a leaf) as many consecutive records as fit into the bucket
//            size (1024 bytes), back to back from offset 16
//   index    nodes of at most bucket size / 8 entries (Key, Offset); the
//            server follows the first entry whose key is at least the code
//            it looks for, from the root (level 1) down to a leaf. A file
//            with up to 128 buckets has one node, the root, after its last
//            record: 2 levels.
//
// Reading refuses a corrupt or truncated file with EMsgFileError and never
// allocates more than the file's size calls for, whatever its header says.

#include "diagnostics/Exception.h"
#include "msgfile/MsgData.h"

#include <QIODevice>
#include <QString>
#include <memory>
#include <vector>

// A file that is not a readable message file, or a store that cannot be
// written as one ("Text item is too large").
LEXIVANE_DECLARE_EXCEPTION(EMsgFileError);

constexpr int MsgBucketSize = 1024;
constexpr int MsgRecordHeadSize = 8;
constexpr int MsgIndexEntrySize = 8;
constexpr int MsgMaxTextLength = MsgBucketSize - MsgRecordHeadSize; // 1016
constexpr quint32 MsgLastKey = 0xFFFFFFFFu;
// With 1024-byte buckets, deeper trees cannot occur in a file below 2 GB; a
// header that claims more levels is corrupt. Smaller buckets make deeper
// trees: see MaxIndexLevels.
constexpr int MsgMaxLevels = 6;

// What a header says of the index.
struct TMsgGeometry
{
    bool ServerHeader = false;     // major version 1, a bucket size that is a multiple of 8 and at least 64
    int BucketSize = MsgBucketSize; // of a server header; 1024 otherwise
    int Levels = 2;                 // of a server header; 2 otherwise
};

TMsgGeometry HeaderGeometry(const QByteArray &header);

// The most levels a file below 2 GB can need with nodes of BucketSize / 8
// entries (the writer makes every such file), and never fewer than
// MsgMaxLevels: 6 for 1024 bytes, 11 for 64. A header that gives more is
// corrupt.
int MaxIndexLevels(int bucketSize);

struct TMsgIndexEntry
{
    quint32 Key;
    quint32 Offset; // of a bucket (leaf) or of a node one level down
    bool operator==(const TMsgIndexEntry &other) const { return Key == other.Key && Offset == other.Offset; }
};

struct TMsgIndexNode
{
    quint32 Offset;
    int Level; // 1 is the root
    std::vector<TMsgIndexEntry> Entries;
    bool operator==(const TMsgIndexNode &other) const
    {
        return Offset == other.Offset && Level == other.Level && Entries == other.Entries;
    }
};

// The index of a file: the writer's plan for a store, or what the reader
// found in a file. Nodes are in file order.
struct TMsgLayout
{
    qint32 IndexOffset = 0; // the root's offset
    int Levels = 2;
    std::vector<TMsgIndexNode> Nodes;
};

// The layout the writer gives Data: its buckets back to back from offset 16,
// then the index: with a server header, nodes of at most bucket size / 8
// entries level by level, the root last; with any other header, one flat
// node. Raises EMsgFileError with GetMsg("TooLargeItem") for a record larger
// than a bucket.
TMsgLayout ComputeMsgLayout(const TMsgData &data);

// Reads one message file from the stream's current position (a random-access
// device). A server header with more than 2 levels is read by walking its
// tree, leaves in key order; any other file takes the records from offset 16
// up to IndexOffset. When IndexRead is given, it receives the index found.
std::unique_ptr<TMsgData> ReadMsgData(QIODevice &stream, TMsgLayout *indexRead = nullptr);

// Writes Data as one message file from the stream's current position.
// Raises EMsgFileError for an over-long text and EWriteError when the stream
// does not take the bytes.
void WriteMsgData(QIODevice &stream, const TMsgData &data);

// Opens the file for reading and reads it; "Cannot open file %s" when it
// cannot be opened.
std::unique_ptr<TMsgData> LoadMsgData(const QString &fileName, TMsgLayout *indexRead = nullptr);

// Creates (or empties) the file and writes Data into it; "Cannot create file
// %s" when it cannot be created. A failed write leaves what was written; the
// caller, which always writes to a temporary file, deletes it.
void SaveMsgData(const QString &fileName, const TMsgData &data);
