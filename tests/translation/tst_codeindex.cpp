// Finding messages by code as import and the update do: the same message as
// IndexOfCode (the lowest index of the code) whatever the order of the codes
// in the file and of the codes sought, only among the messages wanted, and
// the count of codes never sought.

#include "msgfile/MsgData.h"
#include "translation/CodeIndex.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

TMsgData Messages(const QList<quint32> &codes)
{
    TMsgData data;
    for (const quint32 code : codes)
        data.AddMessage(code, QByteArray::number(code));
    return data;
}

} // namespace

class TestCodeIndex : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsWhatIndexOfCodeFinds_data()
    {
        QTest::addColumn<QList<quint32>>("codes");
        QTest::addColumn<QList<quint32>>("sought");
        QTest::newRow("ascending, in order") << QList<quint32>{1, 2, 5, 9} << QList<quint32>{1, 2, 5, 9};
        QTest::newRow("ascending, sought out of order") << QList<quint32>{1, 2, 5, 9} << QList<quint32>{9, 1, 5, 5, 2};
        QTest::newRow("missing codes") << QList<quint32>{1, 2, 5, 9} << QList<quint32>{0, 3, 10, 5, 0xFFFFFFFF};
        QTest::newRow("unordered") << QList<quint32>{7, 3, 9, 1} << QList<quint32>{1, 3, 7, 9, 4};
        QTest::newRow("duplicates") << QList<quint32>{4, 2, 4, 2, 8, 2} << QList<quint32>{2, 4, 8, 2, 4};
        QTest::newRow("ascending with a duplicate") << QList<quint32>{1, 3, 3, 5} << QList<quint32>{1, 3, 5, 3};
        QTest::newRow("empty") << QList<quint32>{} << QList<quint32>{1};
    }
    void findsWhatIndexOfCodeFinds()
    {
        QFETCH(QList<quint32>, codes);
        QFETCH(QList<quint32>, sought);
        const TMsgData messages = Messages(codes);
        TCodeIndex index(messages);
        for (const quint32 code : std::as_const(sought))
            QCOMPARE(index.Find(code), messages.IndexOfCode(code));
    }

    void randomOrders()
    {
        QRandomGenerator random(20261209);
        for (int round = 0; round < 50; ++round) {
            QList<quint32> codes;
            const int count = int(random.bounded(1, 60));
            for (int i = 0; i < count; ++i)
                codes << random.bounded(40u);
            if (round % 2 == 0)
                std::sort(codes.begin(), codes.end());
            const TMsgData messages = Messages(codes);
            TCodeIndex index(messages);
            for (int i = 0; i < 80; ++i) {
                const quint32 code = random.bounded(45u);
                QCOMPARE(index.Find(code), messages.IndexOfCode(code));
            }
        }
    }

    // Only the wanted messages are found: a code's lowest wanted index.
    void onlyWanted()
    {
        const TMsgData messages = Messages({5, 1, 5, 3, 1});
        TCodeIndex index(messages, [](int i) { return i != 0 && i != 3; });
        QCOMPARE(index.Find(5), 2);
        QCOMPARE(index.Find(1), 1);
        QCOMPARE(index.Find(3), -1);
    }

    void countsCodesNeverFound()
    {
        const TMsgData messages = Messages({1, 2, 2, 3, 4});
        TCodeIndex index(messages);
        QCOMPARE(index.CountNeverFound(), 4);
        QCOMPARE(index.Find(2), 1);
        QCOMPARE(index.Find(9), -1);
        QCOMPARE(index.Find(2), 1);
        QCOMPARE(index.CountNeverFound(), 3);
        QCOMPARE(index.Find(4), 4);
        QCOMPARE(index.Find(1), 0);
        QCOMPARE(index.CountNeverFound(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCodeIndex)
#include "tst_codeindex.moc"
