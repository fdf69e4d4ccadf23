// Bad files at scale: each is refused with a message that says what is
// wrong, before the reader spends time or memory on it.

#include "msgfile/MsgFile.h"
#include "support/MsgFileLayouts.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <QtEndian>
#include <QtTest>

namespace {

constexpr qint64 HundredMegabytes = 100LL * 1000 * 1000;

QString RefusalOf(const QString &fileName)
{
    try {
        LoadMsgData(fileName);
    } catch (const EMsgFileError &e) {
        return e.Message();
    }
    return QStringLiteral("(loaded)");
}

// A file of Size bytes: Header, then zeros (a sparse file on most file
// systems, so a large one costs no disk).
void MakeFile(const QString &fileName, const QByteArray &header, qint64 size)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(header), header.size());
    QVERIFY(file.resize(size));
}

QByteArray HeaderWithIndexAt(quint32 indexOffset)
{
    QByteArray header(16, '\0');
    qToLittleEndian(indexOffset, header.data() + 4);
    return header;
}

} // namespace

class TestBadFiles : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusedWithAClearMessage_data()
    {
        QTest::addColumn<QByteArray>("header");
        QTest::addColumn<qint64>("size");
        QTest::addColumn<QString>("reason");
        QTest::newRow("100 MB of zeros") << QByteArray(16, '\0') << HundredMegabytes
                                         << QStringLiteral("the index offset 0 lies inside the header");
        QTest::newRow("index claimed beyond 2 GiB") << HeaderWithIndexAt(0x90000000u) << qint64(4096)
                                                    << QStringLiteral("the index offset 2415919104 lies beyond 2 GB");
        QTest::newRow("one endless record") << HeaderWithIndexAt(0x7FFFFFF0u) << HundredMegabytes
                                            << QStringLiteral("the file ends at offset 100000000");
        QTest::newRow("larger than a message file can be") << HeaderWithIndexAt(16) << qint64(3) * 1024 * 1024 * 1024
                                                           << QStringLiteral("more than a message file can (2 GB)");
    }
    void refusedWithAClearMessage()
    {
        QFETCH(QByteArray, header);
        QFETCH(qint64, size);
        QFETCH(QString, reason);
        TestEnvironment environment;
        const QString fileName = environment.path(QStringLiteral("bad.msg"));
        MakeFile(fileName, header, size);
        const QString refusal = RefusalOf(fileName);
        QVERIFY2(refusal.contains(reason), qPrintable(refusal));
    }

    // A large tree whose deepest node points back at the root.
    void treeWhoseNodesPointAtEachOther()
    {
        std::vector<LaidOutMessage> messages;
        for (int i = 0; i < 60000; ++i)
            messages.push_back({quint32(i + 1), QByteArray(40 + i % 80, char('a' + i % 26))});
        const LaidOutFile file = LayOutLikeServerTools(messages);
        QVERIFY(file.Levels >= 3);
        QByteArray bytes = file.Bytes;
        // The last node written below the root gets the root as its first child.
        const quint32 root = file.Nodes.back();
        const quint32 lastBelow = file.Nodes.at(file.Nodes.size() - 2);
        qToLittleEndian(root, bytes.data() + lastBelow + 4);
        TestEnvironment environment;
        const QString fileName = environment.path(QStringLiteral("loop.msg"));
        QVERIFY(WriteWholeFile(fileName, bytes));
        const QString refusal = RefusalOf(fileName);
        QVERIFY2(refusal.contains(QStringLiteral("twice")), qPrintable(refusal));
    }

    // A flat file with records but no index is refused before its records
    // are taken apart into messages.
    void missingIndexFoundFirst()
    {
        TestEnvironment environment;
        const QString fileName = environment.path(QStringLiteral("noindex.msg"));
        QByteArray bytes = HeaderWithIndexAt(quint32(16 + 8 * 100000));
        bytes.append(QByteArray(8 * 100000, '\0')); // a hundred thousand empty records
        QVERIFY(WriteWholeFile(fileName, bytes));
        const QString refusal = RefusalOf(fileName);
        QVERIFY2(refusal.contains(QStringLiteral("no last entry")), qPrintable(refusal));
    }
};

QTEST_GUILESS_MAIN(TestBadFiles)
#include "tst_badfiles.moc"
