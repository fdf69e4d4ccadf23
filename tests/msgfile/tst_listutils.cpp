// List helpers: the comma lists of the font preferences and the copy rule.

#include "msgfile/ListUtils.h"

#include <QtTest>

class TestListUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void splitCommaList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("three") << "a, b ,c" << QStringList{"a", "b", "c"};
        QTest::newRow("blanks around") << " a , b " << QStringList{"a", "b"};
        QTest::newRow("empty") << "" << QStringList{};
        QTest::newRow("blank") << "  \t " << QStringList{};
        QTest::newRow("empty middle item") << "a,,b" << QStringList{"a", "", "b"};
        QTest::newRow("trailing comma") << "a," << QStringList{"a"};
        QTest::newRow("leading comma") << ",a" << QStringList{"", "a"};
        QTest::newRow("one") << "fsBold" << QStringList{"fsBold"};
        QTest::newRow("control characters") << "\x01" "a\x02,\tb\r\n" << QStringList{"a", "b"};
    }
    void splitCommaList()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, items);
        QCOMPARE(SplitCommaList(text), items);
    }

    void joinCommaList()
    {
        QCOMPARE(JoinCommaList({}), QString());
        QCOMPARE(JoinCommaList({QStringLiteral("a")}), QStringLiteral("a"));
        QCOMPARE(JoinCommaList(SplitCommaList(QStringLiteral(" a , b "))), QStringLiteral("a,b"));
        QCOMPARE(JoinCommaList({QStringLiteral("fsBold"), QStringLiteral("fsItalic")}), QStringLiteral("fsBold,fsItalic"));
    }

    void copyListReplacesContents()
    {
        const QList<bool> source{true, false, true};
        QList<bool> dest{false, false, false, false, false};
        CopyList(source, dest);
        QCOMPARE(dest, source);
        QVERIFY(dest.capacity() >= source.size());
        CopyList(QList<bool>{}, dest);
        QVERIFY(dest.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestListUtils)
#include "tst_listutils.moc"
