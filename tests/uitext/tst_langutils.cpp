// The lookup of texts in the current language table: FindTranslation and
// GetMsg, which answers through it.

#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"

#include <QtTest>

class tst_LangUtils : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void withoutTable_data();
    void withoutTable();
    void lookup_data();
    void lookup();
    void caseOfKeyDoesNotMatter_data();
    void caseOfKeyDoesNotMatter();
    void changesShowAtOnce();

private:
    static void setTable(const QStringList &keys, const QStringList &values);
};

void tst_LangUtils::setTable(const QStringList &keys, const QStringList &values)
{
    CurrentKeys() = keys;
    CurrentValues() = values;
}

void tst_LangUtils::init()
{
    CurrentKeys().clear();
    CurrentValues().clear();
}

void tst_LangUtils::cleanup()
{
    CurrentKeys().clear();
    CurrentValues().clear();
}

void tst_LangUtils::withoutTable_data()
{
    QTest::addColumn<QString>("key");
    QTest::newRow("known key") << "TooLargeItem";
    QTest::newRow("lower case kept") << "confirmsave";
    QTest::newRow("empty") << "";
    QTest::newRow("with equals sign") << "a=b";
}

// Until a language is set every key is answered with itself.
void tst_LangUtils::withoutTable()
{
    QFETCH(QString, key);
    QVERIFY(CurrentKeys().isEmpty());
    QCOMPARE(GetMsg(key), key);
    QCOMPARE(FindTranslation(key), key);
}

void tst_LangUtils::lookup_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QStringList keys{"ConfirmSave", "TooLargeItem", "Equation", "Blank"};
    const QStringList values{"Save changes?", "Item too large", "a=b=c", ""};
    QTest::newRow("first row") << keys << values << "ConfirmSave" << "Save changes?";
    QTest::newRow("later row") << keys << values << "TooLargeItem" << "Item too large";
    QTest::newRow("other case") << keys << values << "toolargeitem" << "Item too large";
    QTest::newRow("value with equals signs whole") << keys << values << "Equation" << "a=b=c";
    QTest::newRow("empty value") << keys << values << "Blank" << "";
    QTest::newRow("missing key answered as asked") << keys << values << "NoSuchKey" << "NoSuchKey";
    QTest::newRow("prefix of a key is not the key") << keys << values << "Confirm" << "Confirm";
    QTest::newRow("longer than a key is not the key") << keys << values << "ConfirmSaveAs" << "ConfirmSaveAs";
    QTest::newRow("blanks are significant") << keys << values << " ConfirmSave" << " ConfirmSave";
    QTest::newRow("value is not a key") << keys << values << "Save changes?" << "Save changes?";

    const QStringList caseTwins{"Title", "TITLE", "Other"};
    const QStringList twinValues{"first", "second", "third"};
    QTest::newRow("case twins, first form") << caseTwins << twinValues << "Title" << "first";
    QTest::newRow("case twins, second form") << caseTwins << twinValues << "TITLE" << "first";
    QTest::newRow("case twins, third form") << caseTwins << twinValues << "title" << "first";

    const QStringList sameKeys{"Dup", "Dup"};
    QTest::newRow("exact duplicates") << sameKeys << QStringList{"one", "two"} << "Dup" << "one";
    QTest::newRow("first empty, second set") << sameKeys << QStringList{"", "two"} << "Dup" << "";
}

void tst_LangUtils::lookup()
{
    QFETCH(QStringList, keys);
    QFETCH(QStringList, values);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    setTable(keys, values);
    QCOMPARE(FindTranslation(key), expected);
    QCOMPARE(GetMsg(key), expected);
    // An empty value is an answer of its own, never the key.
    if (expected.isEmpty())
        QVERIFY(GetMsg(key) != key);
}

void tst_LangUtils::caseOfKeyDoesNotMatter_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("stored");
    QTest::newRow("all lower") << "confirmsave" << "ConfirmSave";
    QTest::newRow("all upper") << "CONFIRMSAVE" << "ConfirmSave";
    QTest::newRow("stored upper") << "ConfirmSave" << "CONFIRMSAVE";
    QTest::newRow("with digits and underscore") << "msg_file_2" << "MSG_File_2";
}

void tst_LangUtils::caseOfKeyDoesNotMatter()
{
    QFETCH(QString, asked);
    QFETCH(QString, stored);
    setTable({QStringLiteral("Before"), stored, QStringLiteral("After")},
             {QStringLiteral("b"), QStringLiteral("the value"), QStringLiteral("a")});
    QCOMPARE(GetMsg(asked), GetMsg(stored));
    QCOMPARE(GetMsg(asked), QStringLiteral("the value"));
}

// Nothing is cached: every change of the table is seen by the next lookup.
void tst_LangUtils::changesShowAtOnce()
{
    const QString key = QStringLiteral("ConfirmSave");
    QCOMPARE(GetMsg(key), key);

    setTable({key}, {QStringLiteral("Save?")});
    QCOMPARE(GetMsg(key), QStringLiteral("Save?"));

    CurrentValues()[0] = QStringLiteral("Speichern?");
    QCOMPARE(GetMsg(key), QStringLiteral("Speichern?"));

    CurrentKeys().prepend(QStringLiteral("CONFIRMSAVE"));
    CurrentValues().prepend(QStringLiteral("Enregistrer ?"));
    QCOMPARE(GetMsg(key), QStringLiteral("Enregistrer ?"));

    setTable({QStringLiteral("Other")}, {QStringLiteral("x")});
    QCOMPARE(GetMsg(key), key);

    CurrentKeys().clear();
    CurrentValues().clear();
    QCOMPARE(GetMsg(QStringLiteral("Other")), QStringLiteral("Other"));
}

QTEST_GUILESS_MAIN(tst_LangUtils)
#include "tst_langutils.moc"
