// The message store: its accessors, copies and the plain-text dump.

#include "msgfile/MsgData.h"
#include "msgfile/MsgFile.h"
#include "platform/CodePages.h"
#include "support/TestEnvironment.h"
#include "uitext/Format.h"

#include <QtTest>

namespace {

TMsgData Sample()
{
    TMsgData data;
    data.SetHeader(QByteArray("0123456789ABCDEF"));
    data.AddMessage(0x1A, "abc");
    data.AddMessage(0xFFFFFFFF, "two\nlines");
    data.AddMessage(0x1A, "same code again");
    data.AddMessage(7, QByteArray());
    return data;
}

} // namespace

class TestMsgData : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { SetCodePages(QStringLiteral("windows-1251"), QStringLiteral("IBM866")); }

    void indexOfCodeFindsFirstOccurrence()
    {
        const TMsgData data = Sample();
        QCOMPARE(data.IndexOfCode(0x1A), 0);
        QCOMPARE(data.IndexOfCode(7), 3);
        QCOMPARE(data.IndexOfCode(0x1B), -1);
    }

    void textsCanBeReplacedAndEmptied()
    {
        TMsgData data = Sample();
        data.SetOem(0, true);
        data.SetTexts(0, QByteArray());
        QCOMPARE(data.Texts(0), QByteArray());
        QCOMPARE(data.Codes(0), 0x1Au);
        QCOMPARE(data.Oem(0), true);
        QCOMPARE(data.Count(), 4);
    }

    void indexOutOfBounds_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("-1") << -1;
        QTest::newRow("count") << 4;
        QTest::newRow("far") << 1000000;
    }
    void indexOutOfBounds()
    {
        QFETCH(int, index);
        TMsgData data = Sample();
        const QString expected = QStringLiteral("List index out of bounds (%1)").arg(index);
        auto expectListError = [&](auto operation) {
            try {
                operation();
                QFAIL("no error for an index outside the list");
            } catch (const EListError &e) {
                QCOMPARE(e.Message(), expected);
            }
        };
        expectListError([&] { data.Texts(index); });
        expectListError([&] { data.Codes(index); });
        expectListError([&] { data.Oem(index); });
        expectListError([&] { data.SetTexts(index, "x"); });
        expectListError([&] { data.SetOem(index, true); });
    }

    void cloneIsEqualAndIndependent()
    {
        TMsgData data = Sample();
        data.SetOem(1, true);
        const auto copy = data.Clone();
        QCOMPARE(copy->Header(), data.Header());
        QCOMPARE(copy->Count(), data.Count());
        for (int i = 0; i < data.Count(); ++i) {
            QCOMPARE(copy->Codes(i), data.Codes(i));
            QCOMPARE(copy->Texts(i), data.Texts(i));
            QCOMPARE(copy->Oem(i), data.Oem(i));
        }
        copy->SetTexts(0, "changed");
        copy->SetOem(2, true);
        QCOMPARE(data.Texts(0), QByteArray("abc"));
        QCOMPARE(data.Oem(2), false);

        const auto emptyCopy = TMsgData().Clone();
        QCOMPARE(emptyCopy->Count(), 0);
        QCOMPARE(emptyCopy->Header(), QByteArray(16, '\0'));
    }

    void assignReplacesEverything()
    {
        TMsgData target;
        target.AddMessage(99, "old");
        target.SetOem(0, true);
        const TMsgData source = Sample();
        target.Assign(source);
        QCOMPARE(target.Count(), 4);
        QCOMPARE(target.Header(), source.Header());
        QCOMPARE(target.Oem(0), false);
        target.Assign(target);
        QCOMPARE(target.Count(), 4);
    }

    void loadClearsOemFlags()
    {
        TestEnvironment environment;
        TMsgData data = Sample();
        for (int i = 0; i < data.Count(); ++i)
            data.SetOem(i, true);
        const QString fileName = environment.path(QStringLiteral("oem.msg"));
        SaveMsgData(fileName, data);
        const auto loaded = LoadMsgData(fileName);
        for (int i = 0; i < loaded->Count(); ++i)
            QCOMPARE(loaded->Oem(i), false);
    }

    void dumpWritesOneLinePerMessage()
    {
        TestEnvironment environment;
        const QString fileName = environment.path(QStringLiteral("dump.txt"));
        Sample().DumpToFile(fileName);
        QCOMPARE(ReadWholeFile(fileName),
                 QByteArray("0000001A abc\r\n"
                            "FFFFFFFF two\nlines\r\n"
                            "0000001A same code again\r\n"
                            "00000007 \r\n"));
    }

    // Each line is the program's "%8.8x %s" pattern filled with code and text.
    void dumpLinesFollowThePattern()
    {
        TestEnvironment environment;
        TMsgData data;
        for (quint32 code : {0u, 1u, 0xABCu, 0x7FFFFFFFu, 0x80000000u, 0xDEADBEEFu})
            data.AddMessage(code, QByteArray("text ") + QByteArray::number(code));
        const QString fileName = environment.path(QStringLiteral("dump.txt"));
        data.DumpToFile(fileName);
        QByteArray expected;
        for (int i = 0; i < data.Count(); ++i)
            expected += Format(QStringLiteral("%8.8x %s"), {data.Codes(i), QString::fromLatin1(data.Texts(i))}).toLatin1() + "\r\n";
        QCOMPARE(ReadWholeFile(fileName), expected);
    }

    void dumpConvertsOemTextsInTheCopyOnly()
    {
        TestEnvironment environment;
        const QByteArray oemText("\x8F\xE0\xA8\xA2\xA5\xE2"); // "Привет" in IBM866
        const QByteArray ansiText("\xCF\xF0\xE8\xE2\xE5\xF2"); // the same in windows-1251
        TMsgData data;
        data.AddMessage(1, oemText);
        data.SetOem(0, true);
        const QString first = environment.path(QStringLiteral("first.txt"));
        const QString second = environment.path(QStringLiteral("second.txt"));
        data.DumpToFile(first);
        data.DumpToFile(second);
        QCOMPARE(ReadWholeFile(first), QByteArray("00000001 ") + ansiText + "\r\n");
        QCOMPARE(ReadWholeFile(second), ReadWholeFile(first));
        QCOMPARE(data.Texts(0), oemText);

        // A save writes the unconverted bytes.
        const QString saved = environment.path(QStringLiteral("saved.msg"));
        SaveMsgData(saved, data);
        QCOMPARE(LoadMsgData(saved)->Texts(0), oemText);
    }

    void dumpOfEmptyStoreIsEmptyAndReplacesFile()
    {
        TestEnvironment environment;
        const QString fileName = environment.path(QStringLiteral("dump.txt"));
        QVERIFY(WriteWholeFile(fileName, "previous contents"));
        TMsgData().DumpToFile(fileName);
        QVERIFY(QFile::exists(fileName));
        QCOMPARE(ReadWholeFile(fileName), QByteArray());
    }

    void dumpErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing folder") << QStringLiteral("no/such/dir/dump.txt") << QStringLiteral("File not found");
        QTest::newRow("folder as file") << QString() << QStringLiteral("I/O error 21");
    }
    void dumpErrors()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TestEnvironment environment;
        const QString fileName = name.isEmpty() ? environment.root() : environment.path(name);
        try {
            Sample().DumpToFile(fileName);
            QFAIL("the dump reported success");
        } catch (const EInOutError &e) {
            QCOMPARE(e.Message(), message);
        }
    }

    void dumpReportsFullDisk()
    {
        QFileInfo device(QStringLiteral("/dev/full"));
        if (!device.exists() || device.isFile())
            QSKIP("no /dev/full device here");
        TMsgData data;
        data.AddMessage(1, "will not fit");
        try {
            data.DumpToFile(QStringLiteral("/dev/full"));
            QFAIL("the dump reported success on a full device");
        } catch (const EInOutError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Disk full"));
        }
    }
};

QTEST_GUILESS_MAIN(TestMsgData)
#include "tst_msgdata.moc"
