#include "platform/ByteWords.h"

#include <QRandomGenerator>
#include <QtTest>

namespace {

bool InSet(unsigned char byte, const ByteWords::ByteSet &set)
{
    if (byte < set.Below || (set.High && byte >= 0x80))
        return true;
    for (int i = 0; i < set.EqualCount; ++i) {
        if (byte == static_cast<unsigned char>(set.Equal[i]))
            return true;
    }
    return false;
}

qsizetype NaiveFindFirst(const QByteArray &text, qsizetype from, const ByteWords::ByteSet &set)
{
    for (qsizetype at = from; at < text.size(); ++at) {
        if (InSet(static_cast<unsigned char>(text[at]), set))
            return at;
    }
    return text.size();
}

} // namespace

class TestByteWords : public QObject
{
    Q_OBJECT

private slots:
    void findFirstFindsWhatAByteByByteSearchFinds_data();
    void findFirstFindsWhatAByteByByteSearchFinds();
};

void TestByteWords::findFirstFindsWhatAByteByByteSearchFinds_data()
{
    QTest::addColumn<unsigned>("below");
    QTest::addColumn<QByteArray>("equal");
    QTest::addColumn<bool>("high");

    QTest::newRow("beyond ASCII") << 0u << QByteArray() << true;
    QTest::newRow("CSV delimiters") << 0u << QByteArray(",\"\r\n") << false;
    QTest::newRow("controls, quote and backslash") << 0x20u << QByteArray("\"\\") << false;
    QTest::newRow("controls and beyond ASCII") << 0x20u << QByteArray() << true;
    QTest::newRow("below 0x80") << 0x80u << QByteArray() << false;
    QTest::newRow("XML specials and beyond ASCII") << 0x20u << QByteArray("<&>\x7f") << true;
}

// Every length across the sixteen- and eight-byte steps and the padded
// tail, from every start, with the sought bytes rare and next to bytes that
// differ from them by one (where a borrow between bytes would show).
void TestByteWords::findFirstFindsWhatAByteByByteSearchFinds()
{
    QFETCH(unsigned, below);
    QFETCH(QByteArray, equal);
    QFETCH(bool, high);
    ByteWords::ByteSet set;
    set.Below = below;
    set.EqualCount = int(equal.size());
    for (int i = 0; i < set.EqualCount; ++i)
        set.Equal[i] = equal[i];
    set.High = high;

    QRandomGenerator random(20261209);
    const char near[] = {'\x00', '\x01', '\x1f', '\x20', '\x21', '\x7f', '\x80', '\x81', '\xff', ',', '-', '"', '#',
                         '\\', ']', '\r', '\x0e', '\n', '\x0b', '<', '=', '&', '\'', '>', '?'};
    for (int round = 0; round < 40; ++round) {
        for (int size = 0; size <= 70; ++size) {
            QByteArray text(size, 'a');
            for (int i = 0; i < size; ++i) {
                if (random.bounded(8) == 0)
                    text[i] = near[random.bounded(int(sizeof near))];
                else
                    text[i] = char('a' + random.bounded(26));
            }
            for (qsizetype from = 0; from <= size; ++from) {
                const qsizetype found = ByteWords::FindFirst(text.constData(), text.size(), from, set);
                if (found != NaiveFindFirst(text, from, set)) {
                    QFAIL(qPrintable(QStringLiteral("text %1 from %2: found %3, byte by byte %4")
                                         .arg(QString::fromLatin1(text.toHex()))
                                         .arg(from)
                                         .arg(found)
                                         .arg(NaiveFindFirst(text, from, set))));
                }
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestByteWords)
#include "tst_bytewords.moc"
