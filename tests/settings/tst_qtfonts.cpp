// The font record as QFont and QColor: plain and system colours, styles and
// sizes, the stand-in for "Courier New", and the way back into the record.

#include "settings/QtFonts.h"
#include "support/TestEnvironment.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QScreen>
#include <QtTest>

namespace {

// Points HOME (and with it the font caches) at a temporary folder before the
// application object starts.
const TestEnvironment ProcessEnvironment;

TFontRecord Record(const QString &name, int size, int style, qint32 color, int charSet)
{
    TFontRecord font;
    font.Name = name;
    font.Size = size;
    font.Style = TFontStyles::fromInt(style);
    font.Color = color;
    font.CharSet = static_cast<quint8>(charSet);
    return font;
}

QString Describe(const TFontRecord &font)
{
    return QStringLiteral("%1 %2pt style %3 color %4 charset %5")
        .arg(font.Name)
        .arg(font.Size)
        .arg(font.Style.toInt())
        .arg(font.Color)
        .arg(font.CharSet);
}

// A palette whose every entry has a colour of its own.
QPalette DistinctPalette()
{
    QPalette palette;
    const QPalette::ColorGroup groups[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};
    for (int g = 0; g < 3; ++g) {
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            palette.setColor(groups[g], QPalette::ColorRole(role), QColor(10 + 60 * g, 5 * role, 77));
    }
    return palette;
}

} // namespace

Q_DECLARE_METATYPE(TFontRecord)

class TestQtFonts : public QObject
{
    Q_OBJECT

private slots:
    void paletteEntriesAreDistinct();
    void plainColors_data();
    void plainColors();
    void systemColors_data();
    void systemColors();
    void windowTextFollowsTheApplicationPalette();
    void fromQColor_data();
    void fromQColor();
    void toQFont_data();
    void toQFont();
    void courierNewHasAMonospaceStandIn();
    void assignQFont_data();
    void assignQFont();
    void assignPixelSizedFont();
    void recordRoundTrip_data();
    void recordRoundTrip();
};

// The system colour tests rely on this.
void TestQtFonts::paletteEntriesAreDistinct()
{
    const QPalette palette = DistinctPalette();
    QSet<QRgb> seen;
    for (int g = 0; g < 3; ++g) {
        for (int role = 0; role < QPalette::NColorRoles; ++role)
            seen.insert(palette.color(QPalette::ColorGroup(g), QPalette::ColorRole(role)).rgb());
    }
    QCOMPARE(seen.size(), 3 * int(QPalette::NColorRoles));
}

void TestQtFonts::plainColors_data()
{
    QTest::addColumn<qint32>("color");
    QTest::addColumn<QColor>("expected");
    QTest::newRow("black") << 0 << QColor(0, 0, 0);
    QTest::newRow("red") << 0x0000FF << QColor(255, 0, 0);
    QTest::newRow("green") << 0x00FF00 << QColor(0, 255, 0);
    QTest::newRow("blue") << 0xFF0000 << QColor(0, 0, 255);
    QTest::newRow("navy") << 0x800000 << QColor(0, 0, 128);
    QTest::newRow("mixed") << 0x123456 << QColor(0x56, 0x34, 0x12);
    QTest::newRow("white") << 0xFFFFFF << QColor(255, 255, 255);
    QTest::newRow("high byte ignored") << 0x02112233 << QColor(0x33, 0x22, 0x11);
}

void TestQtFonts::plainColors()
{
    QFETCH(qint32, color);
    QFETCH(QColor, expected);
    QCOMPARE(ToQColor(color, DistinctPalette()), expected);
}

void TestQtFonts::systemColors_data()
{
    QTest::addColumn<qint32>("color");
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("role");
    const auto system = [](int index) { return SystemColorBase + index; };
    QTest::newRow("window text") << clWindowText << int(QPalette::Active) << int(QPalette::WindowText);
    QTest::newRow("window") << system(5) << int(QPalette::Active) << int(QPalette::Base);
    QTest::newRow("menu text") << system(7) << int(QPalette::Active) << int(QPalette::WindowText);
    QTest::newRow("highlight") << system(13) << int(QPalette::Active) << int(QPalette::Highlight);
    QTest::newRow("highlighted text") << system(14) << int(QPalette::Active) << int(QPalette::HighlightedText);
    QTest::newRow("button face") << system(15) << int(QPalette::Active) << int(QPalette::Button);
    QTest::newRow("button shadow") << system(16) << int(QPalette::Active) << int(QPalette::Dark);
    QTest::newRow("gray text") << system(17) << int(QPalette::Disabled) << int(QPalette::Text);
    QTest::newRow("button text") << system(18) << int(QPalette::Active) << int(QPalette::ButtonText);
    QTest::newRow("button highlight") << system(20) << int(QPalette::Active) << int(QPalette::Light);
    QTest::newRow("3D dark shadow") << system(21) << int(QPalette::Active) << int(QPalette::Shadow);
    QTest::newRow("info text") << system(23) << int(QPalette::Active) << int(QPalette::ToolTipText);
    QTest::newRow("info background") << system(24) << int(QPalette::Active) << int(QPalette::ToolTipBase);
    QTest::newRow("inactive caption") << system(3) << int(QPalette::Inactive) << int(QPalette::Highlight);
    QTest::newRow("menu bar") << system(30) << int(QPalette::Active) << int(QPalette::Window);
    QTest::newRow("unused index 25") << system(25) << int(QPalette::Active) << int(QPalette::WindowText);
    QTest::newRow("index beyond the table") << system(200) << int(QPalette::Active) << int(QPalette::WindowText);
    QTest::newRow("only the low byte counts") << system(0x105) << int(QPalette::Active) << int(QPalette::Base);
}

void TestQtFonts::systemColors()
{
    QFETCH(qint32, color);
    QFETCH(int, group);
    QFETCH(int, role);
    const QPalette palette = DistinctPalette();
    QCOMPARE(ToQColor(color, palette), palette.color(QPalette::ColorGroup(group), QPalette::ColorRole(role)));
}

void TestQtFonts::windowTextFollowsTheApplicationPalette()
{
    const QPalette saved = QGuiApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::WindowText, QColor(1, 2, 3));
    QGuiApplication::setPalette(palette);
    const QColor color = ToQColor(clWindowText);
    QGuiApplication::setPalette(saved);
    QCOMPARE(color, QColor(1, 2, 3));
}

void TestQtFonts::fromQColor_data()
{
    QTest::addColumn<QColor>("color");
    QTest::addColumn<qint32>("expected");
    QTest::newRow("red") << QColor(255, 0, 0) << 0xFF;
    QTest::newRow("navy") << QColor(0, 0, 128) << 8388608;
    QTest::newRow("mixed") << QColor(0x56, 0x34, 0x12) << 0x123456;
    QTest::newRow("white") << QColor(Qt::white) << 0xFFFFFF;
    QTest::newRow("alpha dropped") << QColor(1, 2, 3, 4) << 0x030201;
    QTest::newRow("from HSV") << QColor::fromHsv(120, 255, 255) << 0x00FF00;
}

void TestQtFonts::fromQColor()
{
    QFETCH(QColor, color);
    QFETCH(qint32, expected);
    QCOMPARE(FromQColor(color), expected);
    QCOMPARE(ToQColor(FromQColor(color)).rgb(), color.toRgb().rgb());
}

void TestQtFonts::toQFont_data()
{
    QTest::addColumn<TFontRecord>("font");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("points");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<bool>("italic");
    QTest::addColumn<bool>("underline");
    QTest::addColumn<bool>("strikeOut");
    QTest::newRow("normal") << TFontRecord() << "Courier New" << 10 << false << false << false << false;
    QTest::newRow("bold") << Record("Arial", 12, fsBold, 0, 0) << "Arial" << 12 << true << false << false << false;
    QTest::newRow("italic") << Record("Arial", 9, fsItalic, 0, 0) << "Arial" << 9 << false << true << false << false;
    QTest::newRow("underline") << Record("Arial", 9, fsUnderline, 0, 0) << "Arial" << 9 << false << false << true << false;
    QTest::newRow("strikeout") << Record("Arial", 9, fsStrikeOut, 0, 0) << "Arial" << 9 << false << false << false << true;
    QTest::newRow("all") << Record("Liberation Mono", 72, 15, 0, 0) << "Liberation Mono" << 72 << true << true << true << true;
    QTest::newRow("size 0 as 1") << Record("Arial", 0, 0, 0, 0) << "Arial" << 1 << false << false << false << false;
    QTest::newRow("negative size as 1") << Record("Arial", -5, 0, 0, 0) << "Arial" << 1 << false << false << false << false;
}

void TestQtFonts::toQFont()
{
    QFETCH(TFontRecord, font);
    QFETCH(QString, family);
    QFETCH(int, points);
    QFETCH(bool, bold);
    QFETCH(bool, italic);
    QFETCH(bool, underline);
    QFETCH(bool, strikeOut);
    const QFont qfont = ToQFont(font);
    QCOMPARE(qfont.family(), family);
    QCOMPARE(qfont.pointSize(), points);
    QCOMPARE(qfont.bold(), bold);
    QCOMPARE(qfont.italic(), italic);
    QCOMPARE(qfont.underline(), underline);
    QCOMPARE(qfont.strikeOut(), strikeOut);
}

void TestQtFonts::courierNewHasAMonospaceStandIn()
{
    const QFont qfont = ToQFont(TFontRecord());
    QCOMPARE(qfont.family(), QStringLiteral("Courier New"));
    // Qt keeps substitutes in lower case.
    QCOMPARE(QFont::substitutes(QStringLiteral("Courier New")).value(0), QStringLiteral("liberation mono"));
    QVERIFY2(QFontDatabase::families().contains(QStringLiteral("Liberation Mono")), "fonts-liberation is not installed");
    const QFontInfo info(qfont);
    if (!QFontDatabase::families().contains(QStringLiteral("Courier New")))
        QCOMPARE(info.family(), QStringLiteral("Liberation Mono"));
    QVERIFY(info.fixedPitch());
    QCOMPARE(info.pointSize(), 10);
}

void TestQtFonts::assignQFont_data()
{
    QTest::addColumn<TFontRecord>("before");
    QTest::addColumn<QFont>("qfont");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<TFontRecord>("after");

    const QPalette palette = QGuiApplication::palette();
    const QColor windowText = palette.color(QPalette::Active, QPalette::WindowText);
    QColor otherThanWindowText(windowText.red() ^ 0x80, windowText.green(), windowText.blue());

    QFont arialBold(QStringLiteral("Arial"), 14);
    arialBold.setBold(true);
    QFont monoItalicStruck(QStringLiteral("Liberation Mono"), 8);
    monoItalicStruck.setItalic(true);
    monoItalicStruck.setStrikeOut(true);
    QFont fractional(QStringLiteral("Arial"));
    fractional.setPointSizeF(11.6);

    QTest::newRow("system colour kept") << Record("Courier New", 10, 0, clWindowText, 204) << arialBold << windowText
                                        << Record("Arial", 14, fsBold, clWindowText, 204);
    QTest::newRow("system colour changed") << Record("Courier New", 10, 0, clWindowText, 1) << arialBold
                                           << otherThanWindowText
                                           << Record("Arial", 14, fsBold, FromQColor(otherThanWindowText), 1);
    QTest::newRow("plain colour replaced") << Record("Courier New", 10, fsBold, clNavy, 0) << monoItalicStruck
                                           << QColor(255, 0, 0)
                                           << Record("Liberation Mono", 8, fsItalic | fsStrikeOut, 0xFF, 0);
    QTest::newRow("plain colour equal to window text stays plain")
        << Record("Courier New", 10, 0, FromQColor(windowText), 0) << arialBold << windowText
        << Record("Arial", 14, fsBold, FromQColor(windowText), 0);
    QTest::newRow("fractional size rounded") << Record("Courier New", 10, fsUnderline, clNavy, 238) << fractional
                                             << QColor(0, 0, 128) << Record("Arial", 12, 0, clNavy, 238);
}

void TestQtFonts::assignQFont()
{
    QFETCH(TFontRecord, before);
    QFETCH(QFont, qfont);
    QFETCH(QColor, color);
    QFETCH(TFontRecord, after);
    TFontRecord font = before;
    AssignQFont(font, qfont, color);
    QCOMPARE(Describe(font), Describe(after));
}

void TestQtFonts::assignPixelSizedFont()
{
    QFont qfont(QStringLiteral("Liberation Mono"));
    qfont.setPixelSize(32);
    const qreal dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    TFontRecord font;
    AssignQFont(font, qfont, QColor(0, 0, 0));
    QCOMPARE(font.Size, qRound(32 * 72.0 / dpi));
    QVERIFY(font.Size > 1);
}

void TestQtFonts::recordRoundTrip_data()
{
    QTest::addColumn<TFontRecord>("font");
    for (int style = 0; style < 16; ++style)
        QTest::addRow("style %d", style) << Record("Liberation Mono", 6 + style, style, 0x00ABCDEF, 238);
    QTest::newRow("normal") << DefaultNamedFont(QStringLiteral("NormalFont"));
    QTest::newRow("origin") << DefaultNamedFont(QStringLiteral("OriginFont"));
    QTest::newRow("title") << DefaultNamedFont(QStringLiteral("TitleFont"));
    QTest::newRow("button face") << Record("Arial", 10, 0, SystemColorBase + 15, 0);
}

void TestQtFonts::recordRoundTrip()
{
    QFETCH(TFontRecord, font);
    // Qt carries neither the character set nor the knowledge that a colour
    // is a system colour: those come from the record assigned to.
    const qint32 color = IsSystemColor(font.Color) ? font.Color : 0x010203;
    TFontRecord copy = Record("x", 99, 0, color, font.CharSet);
    AssignQFont(copy, ToQFont(font), ToQColor(font.Color));
    QCOMPARE(Describe(copy), Describe(font));
}

QTEST_MAIN(TestQtFonts)
#include "tst_qtfonts.moc"
