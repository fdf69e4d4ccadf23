// What changed between a message's previous original and its original, word
// by word.

#include "translation/TextDiff.h"

#include <QtTest>

namespace {

// The ranges as the pieces of Text they cover, joined by "|".
QString Pieces(const QString &text, const QList<TTextRange> &ranges)
{
    QStringList pieces;
    for (const TTextRange &range : ranges)
        pieces << text.mid(range.Start, range.Length);
    return pieces.join(QLatin1Char('|'));
}

} // namespace

class TestTextDiff : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void diffWords_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QString>("added");
        QTest::newRow("the same") << "cannot open file %s" << "cannot open file %s" << "" << "";
        QTest::newRow("a word changed") << "cannot open file %s" << "cannot read file %s" << "open" << "read";
        QTest::newRow("a word added") << "file %s" << "file %s not found" << "" << " not found";
        QTest::newRow("a word dropped") << "the database file %s" << "the file %s" << "database " << "";
        QTest::newRow("a placeholder changed") << "line %d" << "line %ld" << "d" << "ld";
        QTest::newRow("whole words, not letters") << "connection" << "connections" << "connection" << "connections";
        QTest::newRow("two places") << "a b c d" << "a x c y" << "b|d" << "x|y";
        QTest::newRow("from nothing") << "" << "new text" << "" << "new text";
        QTest::newRow("to nothing") << "old text" << "" << "old text" << "";
        QTest::newRow("letters beyond ASCII") << "fichier introuvable" << "fichier déplacé" << "introuvable"
                                              << "déplacé";
    }
    void diffWords()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(QString, removed);
        QFETCH(QString, added);
        const TTextDiff diff = DiffWords(before, after);
        QCOMPARE(Pieces(before, diff.Removed), removed);
        QCOMPARE(Pieces(after, diff.Added), added);
    }
};

QTEST_GUILESS_MAIN(TestTextDiff)
#include "tst_textdiff.moc"
