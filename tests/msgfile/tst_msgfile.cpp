// The message file format: golden bytes of the writer, the reader's view of
// what the writer makes, and the refusal of corrupt files.

#include "msgfile/MsgFile.h"
#include "msgfile/MsgFileBytes.h"
#include "support/TestEnvironment.h"
#include "uitext/LangUtils.h"

#include <QBuffer>
#include <QtEndian>
#include <QtTest>

#include <limits>

namespace {

QByteArray Written(const TMsgData &data)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    WriteMsgData(buffer, data);
    return buffer.data();
}

std::unique_ptr<TMsgData> ReadBytes(const QByteArray &bytes, TMsgLayout *index = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadMsgData(buffer, index);
}

QByteArray HeaderWith(const QByteArray &first4, const QByteArray &last8)
{
    return first4 + QByteArray(4, '\0') + last8;
}

QByteArray Hex(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

QByteArray UInt32Bytes(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(value, bytes.data());
    return bytes;
}

QByteArray Record(quint32 code, const QByteArray &text, char padding = '\0')
{
    QByteArray record = UInt32Bytes(code) + UInt32Bytes(quint32(text.size())) + text;
    while (record.size() % 4)
        record.append(padding);
    return record;
}

// A file laid out by hand: header bytes with IndexOffset patched in.
constexpr qint32 AfterRecords = std::numeric_limits<qint32>::min();

QByteArray FileOf(const QByteArray &records, const QByteArray &index, qint32 indexOffset = AfterRecords)
{
    QByteArray header(16, '\0');
    qToLittleEndian(indexOffset == AfterRecords ? qint32(16 + records.size()) : indexOffset, header.data() + 4);
    return header + records + index;
}

QByteArray IndexEntry(quint32 key, quint32 offset)
{
    return UInt32Bytes(key) + UInt32Bytes(offset);
}

// A device that takes a fixed number of bytes and then refuses to write.
class FullDevice : public QIODevice
{
public:
    explicit FullDevice(qint64 capacity) : m_capacity(capacity) { open(QIODevice::WriteOnly); }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *, qint64 size) override
    {
        const qint64 taken = qMin(size, m_capacity - m_written);
        m_written += taken;
        return taken > 0 ? taken : -1;
    }

private:
    qint64 m_capacity;
    qint64 m_written = 0;
};

} // namespace

class TestMsgFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup()
    {
        CurrentKeys().clear();
        CurrentValues().clear();
    }

    void align4_data()
    {
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("aligned");
        QTest::newRow("0") << 0 << 0;
        QTest::newRow("1") << 1 << 4;
        QTest::newRow("3") << 3 << 4;
        QTest::newRow("4") << 4 << 4;
        QTest::newRow("5") << 5 << 8;
        QTest::newRow("1016") << 1016 << 1016;
        QTest::newRow("1017") << 1017 << 1020;
    }
    void align4()
    {
        QFETCH(int, n);
        QFETCH(int, aligned);
        QCOMPARE(Align4Long(n), qint64(aligned));
    }

    // Two messages in one bucket, header bytes carried.
    void writesTwoMessagesByteForByte()
    {
        TMsgData data;
        data.SetHeader(HeaderWith(Hex("A0A1A2A3"), Hex("B0B1B2B3B4B5B6B7")));
        data.AddMessage(1, "abc");
        data.AddMessage(2, "hello");
        const QByteArray expected = Hex("A0A1A2A3 2C000000 B0B1B2B3B4B5B6B7"
                                        "01000000 03000000 61626300"
                                        "02000000 05000000 68656C6C6F000000"
                                        "FFFFFFFF 10000000");
        QCOMPARE(Written(data).toHex(' '), expected.toHex(' '));
        // The store keeps the header it had.
        QCOMPARE(data.Header().mid(4, 4), QByteArray(4, '\0'));
    }

    void breaksBucketWhenRecordDoesNotFit()
    {
        TMsgData data;
        for (quint32 code : {0x10u, 0x11u, 0x12u})
            data.AddMessage(code, QByteArray(392, 'x'));
        const QByteArray bytes = Written(data);
        QCOMPARE(bytes.size(), 1232);
        QCOMPARE(qFromLittleEndian<qint32>(bytes.constData() + 4), 1216);
        QCOMPARE(bytes.mid(16, 4), UInt32Bytes(0x10));
        QCOMPARE(bytes.mid(416, 4), UInt32Bytes(0x11));
        QCOMPARE(bytes.mid(816, 4), UInt32Bytes(0x12));
        QCOMPARE(bytes.mid(1216), IndexEntry(0x11, 16) + IndexEntry(0xFFFFFFFF, 816));
    }

    void emptyStoreIsTwentyFourBytes()
    {
        TMsgData data;
        const QByteArray bytes = Written(data);
        QCOMPARE(bytes, FileOf({}, IndexEntry(0xFFFFFFFF, 16)));
        QCOMPARE(ReadBytes(bytes)->Count(), 0);
    }

    void recordSizes_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("recordSize");
        QTest::newRow("empty") << 0 << 8;
        for (int length = 1; length <= 4; ++length)
            QTest::addRow("%d bytes", length) << length << 12;
        QTest::newRow("5 bytes") << 5 << 16;
        QTest::newRow("1013 bytes") << 1013 << 1024;
        QTest::newRow("1016 bytes") << 1016 << 1024;
    }
    void recordSizes()
    {
        QFETCH(int, length);
        QFETCH(int, recordSize);
        TMsgData data;
        data.AddMessage(7, QByteArray(length, 'a'));
        const QByteArray bytes = Written(data);
        QCOMPARE(bytes.size(), 16 + recordSize + 8);
        // Padding is written as zero bytes.
        QCOMPARE(bytes.mid(16 + 8 + length, recordSize - 8 - length), QByteArray(recordSize - 8 - length, '\0'));
    }

    void refusesTextTooLargeForBucket()
    {
        TMsgData data;
        data.AddMessage(1, QByteArray(1017, 'a'));
        QVERIFY_THROWS_EXCEPTION(EMsgFileError, Written(data));
        try {
            Written(data);
        } catch (const EMsgFileError &e) {
            QCOMPARE(e.Message(), QStringLiteral("TooLargeItem")); // no language set yet
        }
        CurrentKeys() << QStringLiteral("TooLargeItem");
        CurrentValues() << QStringLiteral("Text item is too large");
        try {
            Written(data);
            QFAIL("a text of 1017 bytes was written");
        } catch (const EMsgFileError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Text item is too large"));
        }
    }

    void bucketFillOfExactly1024Fits_data()
    {
        QTest::addColumn<int>("lastLength");
        QTest::addColumn<int>("buckets");
        // Two records of 512 bytes (8 + 504) fill a bucket exactly.
        QTest::newRow("exactly 1024") << 504 << 1;
        QTest::newRow("4 bytes more") << 508 << 2;
    }
    void bucketFillOfExactly1024Fits()
    {
        QFETCH(int, lastLength);
        QFETCH(int, buckets);
        TMsgData data;
        data.AddMessage(1, QByteArray(504, 'a'));
        data.AddMessage(2, QByteArray(lastLength, 'b'));
        TMsgLayout index;
        ReadBytes(Written(data), &index);
        QCOMPARE(int(index.Nodes.at(0).Entries.size()), buckets);
        QCOMPARE(int(ComputeMsgLayout(data).Nodes.at(0).Entries.size()), buckets);
    }

    void bucketStartingWithCodeZeroGetsLastKeyBeforeIt()
    {
        TMsgData data;
        data.AddMessage(5, QByteArray(1000, 'a'));
        data.AddMessage(0, QByteArray(1000, 'b'));
        data.AddMessage(9, QByteArray(1000, 'c'));
        const TMsgLayout layout = ComputeMsgLayout(data);
        const std::vector<TMsgIndexEntry> &entries = layout.Nodes.at(0).Entries;
        QCOMPARE(int(entries.size()), 3);
        QCOMPARE(entries[0].Key, 0xFFFFFFFFu);
        QCOMPARE(entries[1].Key, 8u);
        QCOMPARE(entries[2].Key, 0xFFFFFFFFu);
        // The reader stops at the first last key and still has every message.
        TMsgLayout index;
        const auto read = ReadBytes(Written(data), &index);
        QCOMPARE(int(index.Nodes.at(0).Entries.size()), 1);
        QCOMPARE(read->Count(), 3);
        QCOMPARE(read->Codes(2), 9u);
    }

    void roundTripKeepsMessagesAndHeader()
    {
        TMsgData data;
        data.SetHeader(Hex("01000004 00000000 11223344 02000000"));
        data.AddMessage(0xFFFFFFFF, "last code");
        data.AddMessage(0, QByteArray());
        data.AddMessage(20001, QByteArray("line one\nline two\ttabbed"));
        data.AddMessage(20002, QByteArray("\x00\xFF\x80 binary", 10));
        data.AddMessage(20003, QByteArray(600, 'L')); // longer than the editor lets a user type
        for (int i = 0; i < 300; ++i)
            data.AddMessage(30000 + i, QByteArray::number(i).repeated(i % 40));
        const QByteArray bytes = Written(data);
        const auto read = ReadBytes(bytes);
        QCOMPARE(read->Count(), data.Count());
        for (int i = 0; i < data.Count(); ++i) {
            QCOMPARE(read->Codes(i), data.Codes(i));
            QCOMPARE(read->Texts(i), data.Texts(i));
            QCOMPARE(read->Oem(i), false);
        }
        QCOMPARE(read->Header().left(4), data.Header().left(4));
        QCOMPARE(read->Header().mid(8), data.Header().mid(8));
        // Written again, it gives the same bytes.
        QCOMPARE(Written(*read), bytes);
    }

    void readsIndexWithWrongKeysAndOffsets()
    {
        const QByteArray records = Record(3, "abc") + Record(4, "de");
        const QByteArray index = IndexEntry(0x12345678, 999) + IndexEntry(0xFFFFFFFF, 4);
        const auto read = ReadBytes(FileOf(records, index));
        QCOMPARE(read->Count(), 2);
        QCOMPARE(read->Texts(1), QByteArray("de"));
    }

    void skipsNonZeroPadding()
    {
        const QByteArray records = Record(1, "a", '\xEE') + Record(2, "bcdef", '\x55');
        const auto read = ReadBytes(FileOf(records, IndexEntry(0xFFFFFFFF, 16)));
        QCOMPARE(read->Count(), 2);
        QCOMPARE(read->Texts(0), QByteArray("a"));
        QCOMPARE(read->Texts(1), QByteArray("bcdef"));
    }

    void readsFromStreamPosition()
    {
        TMsgData data;
        data.AddMessage(42, "placed after other bytes");
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        buffer.write(QByteArray(100, '#'));
        WriteMsgData(buffer, data);
        buffer.seek(100);
        const auto read = ReadMsgData(buffer);
        QCOMPARE(read->Texts(0), data.Texts(0));
        QCOMPARE(buffer.data().mid(100), Written(data));
    }

    void refusesCorruptFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray last = IndexEntry(0xFFFFFFFF, 16);
        const QByteArray records = Record(1, "abc") + Record(2, "hello");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("half a header") << QByteArray(8, '\0');
        QTest::newRow("index offset inside the header") << FileOf({}, last, 12);
        QTest::newRow("negative index offset") << FileOf({}, last, -16);
        QTest::newRow("index offset not a multiple of 4") << FileOf(records, last, 18);
        QTest::newRow("index offset beyond the end") << FileOf(records, last, 4000);
        QTest::newRow("index offset near 2 GiB") << FileOf(records, last, 0x7FFFFFFC);
        QTest::newRow("negative length") << FileOf(UInt32Bytes(1) + UInt32Bytes(0xFFFFFFF0) + QByteArray(8, 'x'), last);
        QTest::newRow("huge length") << FileOf(UInt32Bytes(1) + UInt32Bytes(0x7FFFFFF0) + QByteArray(8, 'x'), last);
        QTest::newRow("length past the index") << FileOf(UInt32Bytes(1) + UInt32Bytes(9) + QByteArray(4, 'x'), last);
        QTest::newRow("record head across the index") << FileOf(Record(1, "abc") + QByteArray(4, '\0'), last);
        QTest::newRow("index without last key") << FileOf(records, IndexEntry(5, 16) + IndexEntry(6, 28));
        QTest::newRow("no index at all") << FileOf(records, {});
        QTest::newRow("index cut short") << FileOf(records, last.left(6));
    }
    void refusesCorruptFiles()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY_THROWS_EXCEPTION(EMsgFileError, ReadBytes(bytes));
    }

    // Every prefix of a sound file is refused, never read as something else.
    void refusesEveryTruncation()
    {
        TMsgData data;
        for (int i = 0; i < 40; ++i)
            data.AddMessage(100 + i, QByteArray(i * 7 % 90, char('a' + i % 26)));
        const QByteArray bytes = Written(data);
        for (qsizetype size = 0; size < bytes.size(); ++size) {
            try {
                ReadBytes(bytes.left(size));
                QFAIL(qPrintable(QStringLiteral("a file cut to %1 of %2 bytes was read").arg(size).arg(bytes.size())));
            } catch (const EMsgFileError &) {
            }
        }
        QCOMPARE(ReadBytes(bytes)->Count(), 40);
    }

    void corruptFileMessageSaysWhat()
    {
        try {
            ReadBytes(FileOf(Record(1, "abc"), IndexEntry(0xFFFFFFFF, 16), 18));
            QFAIL("read");
        } catch (const EMsgFileError &e) {
            QVERIFY2(e.Message().contains(QStringLiteral("18")), qPrintable(e.Message()));
            QVERIFY2(e.Message().contains(QStringLiteral("multiple of 4")), qPrintable(e.Message()));
        }
    }

    void writeErrorWhenStreamIsFull()
    {
        TMsgData data;
        for (int i = 0; i < 100; ++i)
            data.AddMessage(i, QByteArray(100, 'z'));
        FullDevice device(5000);
        try {
            WriteMsgData(device, data);
            QFAIL("a full stream took the whole file");
        } catch (const EWriteError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Stream write error"));
        }
    }

    void loadAndSaveNamedFiles()
    {
        TestEnvironment environment;
        TMsgData data;
        data.AddMessage(10001, "first");
        data.AddMessage(10002, "second");
        const QString fileName = environment.path(QStringLiteral("a.msg"));
        // Saving over a longer file leaves nothing of it behind.
        QVERIFY(WriteWholeFile(fileName, QByteArray(5000, 'Q')));
        SaveMsgData(fileName, data);
        QCOMPARE(ReadWholeFile(fileName), Written(data));
        const auto loaded = LoadMsgData(fileName);
        QCOMPARE(loaded->Count(), 2);
        QCOMPARE(loaded->Texts(1), QByteArray("second"));
    }

    void loadAndSaveErrors()
    {
        TestEnvironment environment;
        const QString missing = environment.path(QStringLiteral("missing.msg"));
        try {
            LoadMsgData(missing);
            QFAIL("loaded a missing file");
        } catch (const EFOpenError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Cannot open file ") + missing);
        }
        QVERIFY_THROWS_EXCEPTION(EFOpenError, LoadMsgData(environment.root()));

        const QString unreachable = environment.path(QStringLiteral("no/such/dir/x.msg"));
        try {
            SaveMsgData(unreachable, TMsgData());
            QFAIL("saved into a missing folder");
        } catch (const EFCreateError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Cannot create file ") + unreachable);
        }
    }
};

QTEST_GUILESS_MAIN(TestMsgFile)
#include "tst_msgfile.moc"
