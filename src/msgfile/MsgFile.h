#pragma once
// The server's message file: a 16-byte header, the message records back to
// back from offset 16, and an index of buckets. All numbers are 32-bit
// little-endian.
//
//   header   bytes 4-7 hold IndexOffset, the offset of the index (and the end
//            of the records); every other header byte is carried unchanged
//   record   Code, Length, Length text bytes, zero padding to a multiple of 4
//   bucket   as many consecutive records as fit into 1024 bytes
//   index    one entry per bucket: Key (the code of the next bucket's first
//            record minus 1; 0xFFFFFFFF for the last bucket) and the offset
//            of the bucket's first record
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

// The smallest multiple of 4 not below N: ((N - 1) OR 3) + 1.
constexpr qint32 Align4(qint32 n)
{
    return ((n - 1) | 3) + 1;
}

struct TMsgIndexEntry
{
    quint32 Key;
    quint32 BucketOffset;
    bool operator==(const TMsgIndexEntry &other) const { return Key == other.Key && BucketOffset == other.BucketOffset; }
};

// Where the writer puts the index of a store, and what it holds.
struct TMsgLayout
{
    qint32 IndexOffset = 0;
    std::vector<TMsgIndexEntry> Index;
};

// The layout the writer gives Data. Raises EMsgFileError with
// GetMsg("TooLargeItem") for a text longer than 1016 bytes.
TMsgLayout ComputeMsgLayout(const TMsgData &data);

// Reads one message file from the stream's current position (a random-access
// device). When IndexRead is given, it receives the index entries as they
// stand in the file, up to and including the one with key 0xFFFFFFFF.
std::unique_ptr<TMsgData> ReadMsgData(QIODevice &stream, std::vector<TMsgIndexEntry> *indexRead = nullptr);

// Writes Data as one message file from the stream's current position.
// Raises EMsgFileError for an over-long text and EWriteError when the stream
// does not take the bytes.
void WriteMsgData(QIODevice &stream, const TMsgData &data);

// Opens the file for reading and reads it; "Cannot open file %s" when it
// cannot be opened.
std::unique_ptr<TMsgData> LoadMsgData(const QString &fileName, std::vector<TMsgIndexEntry> *indexRead = nullptr);

// Creates (or empties) the file and writes Data into it; "Cannot create file
// %s" when it cannot be created. A failed write leaves what was written; the
// caller, which always writes to a temporary file, deletes it.
void SaveMsgData(const QString &fileName, const TMsgData &data);
