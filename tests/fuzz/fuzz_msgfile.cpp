// libFuzzer target for the message file's reader. Any bytes either load or
// are refused with an Exception. A file that loads is written again and read
// back, and must come back with the same messages, the writer's index and the
// header bytes it carries; the writer's layout and the server's lookup run on
// every file that loads too. Anything else (a crash, a sanitizer report, an
// exception of another kind, a difference) aborts with a message.

#include "diagnostics/Exception.h"
#include "msgfile/MsgFile.h"
#include "msgfile/MsgFileBytes.h"
#include "msgfile/ServerLookup.h"
#include "uitext/MsgRes.h"

#include <QBuffer>
#include <QtEndian>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void Fail(const char *format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::fputs("fuzz_msgfile: ", stderr);
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
    va_end(args);
    std::abort();
}

// Reads a file that begins at offset Start of Bytes, from a buffer positioned
// there.
std::unique_ptr<TMsgData> ReadBytes(const QByteArray &bytes, TMsgLayout *layout, qint64 start = 0)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (!buffer.open(QIODevice::ReadOnly) || !buffer.seek(start))
        Fail("cannot open a buffer for reading");
    return ReadMsgData(buffer, layout);
}

QByteArray WriteBytes(const TMsgData &data)
{
    QBuffer buffer;
    if (!buffer.open(QIODevice::ReadWrite))
        Fail("cannot open a buffer for writing");
    WriteMsgData(buffer, data);
    return buffer.data();
}

// The bucket size the writer uses for Data; no record may be larger.
int WriterBucketSize(const TMsgData &data)
{
    const TMsgGeometry geometry = HeaderGeometry(data.Header());
    return geometry.ServerHeader ? geometry.BucketSize : MsgBucketSize;
}

bool HasRecordOverBucket(const TMsgData &data)
{
    const int bucketSize = WriterBucketSize(data);
    for (int i = 0; i < data.Count(); ++i) {
        if (MsgRecordHeadSize + Align4Long(data.TextView(i).size()) > bucketSize)
            return true;
    }
    return false;
}

bool CodesAscend(const TMsgData &data)
{
    for (int i = 1; i < data.Count(); ++i) {
        if (data.Codes(i) < data.Codes(i - 1))
            return false;
    }
    return true;
}

bool IsTooLargeItem(const EMsgFileError &error)
{
    return error.Message() == GetMsg(QStringLiteral("TooLargeItem"));
}

void CompareMessages(const TMsgData &read, const TMsgData &readBack)
{
    if (readBack.Count() != read.Count())
        Fail("the file written holds %d messages, the file read %d", readBack.Count(), read.Count());
    for (int i = 0; i < read.Count(); ++i) {
        if (readBack.Codes(i) != read.Codes(i))
            Fail("message %d: code %08x written, %08x read back", i, unsigned(read.Codes(i)), unsigned(readBack.Codes(i)));
        if (readBack.TextView(i) != read.TextView(i))
            Fail("message %d (code %08x): the text read back differs (%lld bytes written, %lld read back)", i,
                 unsigned(read.Codes(i)), static_cast<long long>(read.TextView(i).size()),
                 static_cast<long long>(readBack.TextView(i).size()));
        if (readBack.RecordFlags(i) != read.RecordFlags(i))
            Fail("message %d (code %08x): flags %04x written, %04x read back", i, unsigned(read.Codes(i)),
                 unsigned(read.RecordFlags(i)), unsigned(readBack.RecordFlags(i)));
    }
}

// Whether a flat index holds the key FFFFFFFF before its last entry: a
// bucket followed by one that starts with code 0 gets it, and the reader
// stops reading the index there, which changes nothing it loads.
bool FlatIndexEndsEarly(const TMsgLayout &layout)
{
    if (layout.Levels != 2)
        return false;
    const std::vector<TMsgIndexEntry> &entries = layout.Nodes.front().Entries;
    return std::find_if(entries.begin(), entries.end() - 1,
                        [](const TMsgIndexEntry &entry) { return entry.Key == MsgLastKey; })
        != entries.end() - 1;
}

// The index the reader finds in a file the writer made: the writer's, a flat
// one up to its first key FFFFFFFF.
TMsgLayout IndexAsRead(TMsgLayout planned)
{
    if (!FlatIndexEndsEarly(planned))
        return planned;
    std::vector<TMsgIndexEntry> &entries = planned.Nodes.front().Entries;
    const auto last = std::find_if(entries.begin(), entries.end(),
                                   [](const TMsgIndexEntry &entry) { return entry.Key == MsgLastKey; });
    entries.erase(last + 1, entries.end());
    return planned;
}

void CompareLayouts(const TMsgLayout &planned, const TMsgLayout &found)
{
    if (found.IndexOffset != planned.IndexOffset)
        Fail("the index read back has its root at %d, the writer put it at %d", int(found.IndexOffset),
             int(planned.IndexOffset));
    if (found.Levels != planned.Levels)
        Fail("the index read back has %d levels, the writer wrote %d", found.Levels, planned.Levels);
    if (found.Nodes.size() != planned.Nodes.size())
        Fail("the index read back has %zu nodes, the writer wrote %zu", found.Nodes.size(), planned.Nodes.size());
    for (size_t i = 0; i < planned.Nodes.size(); ++i) {
        const TMsgIndexNode &node = planned.Nodes[i];
        if (!(found.Nodes[i] == node))
            Fail("index node %zu (offset %u, level %d, %zu entries written) reads back as offset %u, level %d, %zu entries",
                 i, unsigned(node.Offset), node.Level, node.Entries.size(), unsigned(found.Nodes[i].Offset),
                 found.Nodes[i].Level, found.Nodes[i].Entries.size());
    }
}

// The header of the file written: the root's offset, the levels of a server
// header, every other byte as read.
void CheckWrittenHeader(const QByteArray &read, const QByteArray &written, const TMsgLayout &layout)
{
    const bool server = HeaderGeometry(read).ServerHeader;
    for (int i = 0; i < TMsgData::HeaderSize; ++i) {
        const bool replaced = (i >= 4 && i < 8) || (server && (i == 12 || i == 13));
        if (!replaced && written[i] != read[i])
            Fail("header byte %d is %02x in the file written, %02x in the file read", i, unsigned(quint8(written[i])),
                 unsigned(quint8(read[i])));
    }
    if (qFromLittleEndian<qint32>(written.constData() + 4) != layout.IndexOffset)
        Fail("the header written does not give the root's offset %d", int(layout.IndexOffset));
    if (server && qFromLittleEndian<quint16>(written.constData() + 12) != layout.Levels)
        Fail("the server header written does not give the %d levels of its index", layout.Levels);
}

// The server's lookup finds every message of a file the writer made, when
// the codes ascend, every index node fits in a bucket the lookup reads and
// no flat index sends the lookup to its first bucket with a key FFFFFFFF
// (codes 0 over more than one bucket).
void CheckWrittenReachable(const QByteArray &written, const TMsgData &data, const TMsgLayout &layout)
{
    if (!CodesAscend(data) || FlatIndexEndsEarly(layout))
        return;
    const size_t fanout = size_t(WriterBucketSize(data) / MsgIndexEntrySize);
    for (const TMsgIndexNode &node : layout.Nodes) {
        if (node.Entries.size() > fanout)
            return;
    }
    const TServerLookup lookup(written);
    for (int i = 0; i < data.Count(); ++i) {
        if (!lookup.Find(data.Codes(i)))
            Fail("the server's lookup does not find code %08x (message %d) in the file written",
                 unsigned(data.Codes(i)), i);
    }
}

// Writes the store read from a file, reads it back and compares.
void CheckRoundTrip(const TMsgData &data)
{
    const bool tooLarge = HasRecordOverBucket(data);
    TMsgLayout planned;
    try {
        planned = ComputeMsgLayout(data);
    } catch (const EMsgFileError &error) {
        if (!tooLarge || !IsTooLargeItem(error))
            Fail("the writer's layout was refused: %s", error.what());
    }
    QByteArray written;
    try {
        written = WriteBytes(data);
    } catch (const EMsgFileError &error) {
        if (!tooLarge || !IsTooLargeItem(error))
            Fail("the write was refused: %s", error.what());
        return; // a text longer than a bucket can be read but not written
    }
    if (tooLarge)
        Fail("a record larger than the bucket size %d was written", WriterBucketSize(data));

    const TMsgIndexNode &last = planned.Nodes.back();
    const qint64 expectedSize = qint64(last.Offset) + qint64(last.Entries.size()) * MsgIndexEntrySize;
    if (written.size() != expectedSize)
        Fail("the file written has %lld bytes; its layout ends at %lld", static_cast<long long>(written.size()),
             static_cast<long long>(expectedSize));
    CheckWrittenHeader(data.Header(), written, planned);

    TMsgLayout found;
    std::unique_ptr<TMsgData> readBack;
    try {
        readBack = ReadBytes(written, &found);
    } catch (const Exception &error) {
        Fail("the file written cannot be read back: %s", error.what());
    }
    CompareMessages(data, *readBack);
    CompareLayouts(IndexAsRead(planned), found);

    // The reader counts offsets from where the stream stood.
    const QByteArray behindOtherBytes = QByteArray(5, '\xA5') + written;
    TMsgLayout foundBehind;
    try {
        CompareMessages(data, *ReadBytes(behindOtherBytes, &foundBehind, 5));
    } catch (const Exception &error) {
        Fail("the file written cannot be read back from offset 5 of a stream: %s", error.what());
    }
    CompareLayouts(IndexAsRead(planned), foundBehind);
    if (WriteBytes(*readBack) != written)
        Fail("the file read back is written differently");
    CheckWrittenReachable(written, data, planned);
}

void CheckLoadedFile(const QByteArray &bytes, const TMsgData &data, const TMsgLayout &found)
{
    if (found.IndexOffset != qFromLittleEndian<qint32>(bytes.constData() + 4))
        Fail("the index read has its root at %d, not where the header says", int(found.IndexOffset));

    // The lookup on the file as it was given, for every code and the one
    // after it: its answers depend on how sound the file is, so only the
    // sanitizers judge it.
    const TServerLookup lookup(bytes);
    for (int i = 0; i < data.Count(); ++i) {
        lookup.Find(data.Codes(i));
        lookup.Find(data.Codes(i) + 1);
    }

    CheckRoundTrip(data);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    // The input's own bytes, not a copy, so that a read past their end (the
    // lookup reads them in place) is a sanitizer report.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(input), qsizetype(size));
    std::unique_ptr<TMsgData> data;
    TMsgLayout found;
    try {
        data = ReadBytes(bytes, &found);
    } catch (const Exception &) {
        return 0; // refused: a corrupt or truncated file
    } catch (const std::exception &error) {
        Fail("the reader raised an exception that is not an Exception: %s", error.what());
    } catch (...) {
        Fail("the reader raised something that is not an exception");
    }

    try {
        CheckLoadedFile(bytes, *data, found);
    } catch (const std::exception &error) {
        Fail("an exception while checking a file that loaded: %s", error.what());
    } catch (...) {
        Fail("something that is not an exception was raised while checking a file that loaded");
    }
    return 0;
}
