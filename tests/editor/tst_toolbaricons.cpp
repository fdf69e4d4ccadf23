// The toolbar pictures: rendered through QIcon at the sizes and device pixel
// ratios a toolbar asks for, and checked by their pixels: coverage, colour,
// sharpness at large sizes, the greyed disabled mode, placement inside the
// rectangle they are painted into, and that no two pictures look alike.

#include "editor/ToolbarIcons.h"
#include "support/TestEnvironment.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QtTest>

#include <memory>
#include <tuple>
#include <utility>
#include <vector>

Q_DECLARE_METATYPE(TToolbarPicture)

namespace {

// Points HOME and the settings at a temporary folder before the application
// object starts.
const TestEnvironment ProcessEnvironment;

const std::vector<std::pair<TToolbarPicture, const char *>> Pictures = {
    {TToolbarPicture::Open, "Open"},
    {TToolbarPicture::Save, "Save"},
    {TToolbarPicture::Undo, "Undo"},
    {TToolbarPicture::Find, "Find"},
    {TToolbarPicture::FindNext, "FindNext"},
    {TToolbarPicture::ViewOriginal, "ViewOriginal"},
    {TToolbarPicture::About, "About"},
};

// Straight (not premultiplied) colours, so a pixel's colour can be judged
// apart from its alpha.
QImage Straight(const QImage &image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

struct TCoverage
{
    int Transparent = 0; // alpha 0
    int Partial = 0;     // alpha strictly between 0 and 255: antialiased edges
    int Opaque = 0;      // alpha 255

    [[nodiscard]] int Total() const { return Transparent + Partial + Opaque; }
    [[nodiscard]] int Drawn() const { return Partial + Opaque; }
};

TCoverage Coverage(const QImage &image)
{
    const QImage straight = Straight(image);
    TCoverage coverage;
    for (int y = 0; y < straight.height(); ++y) {
        for (int x = 0; x < straight.width(); ++x) {
            const int alpha = qAlpha(straight.pixel(x, y));
            if (alpha == 0)
                ++coverage.Transparent;
            else if (alpha == 255)
                ++coverage.Opaque;
            else
                ++coverage.Partial;
        }
    }
    return coverage;
}

// The mean HSV saturation of the pixels that are at least half opaque.
double MeanSaturation(const QImage &image)
{
    const QImage straight = Straight(image);
    double sum = 0;
    int count = 0;
    for (int y = 0; y < straight.height(); ++y) {
        for (int x = 0; x < straight.width(); ++x) {
            const QRgb pixel = straight.pixel(x, y);
            if (qAlpha(pixel) < 128)
                continue;
            sum += QColor::fromRgb(pixel).hsvSaturationF();
            ++count;
        }
    }
    return count == 0 ? 0.0 : sum / count;
}

// How many pixels differ by more than Tolerance in any premultiplied
// channel; -1 when the sizes differ.
int DifferingPixels(const QImage &first, const QImage &second, int tolerance)
{
    if (first.size() != second.size())
        return -1;
    const QImage a = first.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = second.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int count = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int difference = qMax(qMax(qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q))),
                                        qMax(qAbs(qBlue(p) - qBlue(q)), qAbs(qAlpha(p) - qAlpha(q))));
            if (difference > tolerance)
                ++count;
        }
    }
    return count;
}

int DifferingAlpha(const QImage &first, const QImage &second, int tolerance)
{
    const QImage a = Straight(first);
    const QImage b = Straight(second);
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (qAbs(qAlpha(a.pixel(x, y)) - qAlpha(b.pixel(x, y))) > tolerance)
                ++count;
    return count;
}

// The engine painting straight into an image of ImageSize device pixels.
QImage PaintDirectly(TToolbarPicture picture, const QSize &imageSize, const QRect &rect,
                     QIcon::Mode mode = QIcon::Normal)
{
    QImage image(imageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    TToolbarIconEngine engine(picture);
    QPainter painter(&image);
    engine.paint(&painter, rect, mode, QIcon::Off);
    return image;
}

QImage Rendered(TToolbarPicture picture, int size, QIcon::Mode mode = QIcon::Normal)
{
    return ToolbarIcon(picture).pixmap(QSize(size, size), 1.0, mode).toImage();
}

} // namespace

class TestToolbarIcons : public QObject
{
    Q_OBJECT

private slots:
    void pixmapFollowsSizeAndRatio_data();
    void pixmapFollowsSizeAndRatio();
    void largePixmapIsDrawnNotUpscaled_data();
    void largePixmapIsDrawnNotUpscaled();
    void edgesAreAntialiased_data();
    void edgesAreAntialiased();
    void highDpiPaintDrawsDevicePixels_data();
    void highDpiPaintDrawsDevicePixels();
    void disabledIsGreyer_data();
    void disabledIsGreyer();
    void picturesDiffer_data();
    void picturesDiffer();
    void paintUsesCentredSquare_data();
    void paintUsesCentredSquare();
    void cloneDrawsTheSamePicture_data();
    void cloneDrawsTheSamePicture();
};

void TestToolbarIcons::pixmapFollowsSizeAndRatio_data()
{
    QTest::addColumn<TToolbarPicture>("picture");
    QTest::addColumn<int>("size");
    QTest::addColumn<qreal>("ratio");
    for (const auto &[picture, name] : Pictures)
        for (const int size : {16, 24, 32})
            for (const qreal ratio : {1.0, 1.5, 2.0})
                QTest::addRow("%s-%d@%g", name, size, ratio) << picture << size << ratio;
}

void TestToolbarIcons::pixmapFollowsSizeAndRatio()
{
    QFETCH(TToolbarPicture, picture);
    QFETCH(int, size);
    QFETCH(qreal, ratio);

    const QIcon icon = ToolbarIcon(picture);
    QVERIFY(!icon.isNull());
    const QPixmap pixmap = icon.pixmap(QSize(size, size), ratio);
    const int physical = qRound(size * ratio);
    QCOMPARE(pixmap.devicePixelRatio(), ratio);
    QCOMPARE(pixmap.size(), QSize(physical, physical));
    QCOMPARE(pixmap.deviceIndependentSize(), QSizeF(size, size));

    // A picture, not a blank or a filled square: a good part is drawn, some
    // of it fully opaque, and the corners of the square stay clear.
    const TCoverage coverage = Coverage(pixmap.toImage());
    QVERIFY2(coverage.Drawn() * 100 >= coverage.Total() * 15, qPrintable(QString::number(coverage.Drawn())));
    QVERIFY(coverage.Opaque > 0);
    QVERIFY2(coverage.Transparent * 100 >= coverage.Total() * 5, qPrintable(QString::number(coverage.Transparent)));

    // Drawn at the physical size: the same pixels as the picture asked for
    // at that many pixels and ratio 1.
    const QImage plain = Rendered(picture, physical);
    QCOMPARE(DifferingPixels(pixmap.toImage(), plain, 0), 0);
}

void TestToolbarIcons::largePixmapIsDrawnNotUpscaled_data()
{
    QTest::addColumn<TToolbarPicture>("picture");
    QTest::addColumn<int>("size");
    for (const auto &[picture, name] : Pictures)
        for (const int size : {48, 64, 128})
            QTest::addRow("%s-%d", name, size) << picture << size;
}

void TestToolbarIcons::largePixmapIsDrawnNotUpscaled()
{
    QFETCH(TToolbarPicture, picture);
    QFETCH(int, size);

    const QImage drawn = Rendered(picture, size);
    QCOMPARE(drawn.size(), QSize(size, size));
    QCOMPARE(DifferingPixels(drawn, PaintDirectly(picture, drawn.size(), drawn.rect()), 0), 0);

    // Vector edges stay about one pixel wide whatever the size; the design
    // size scaled up smears every edge over several pixels.
    const QImage upscaled = Rendered(picture, TToolbarIconEngine::DesignSize)
                                .scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const TCoverage sharp = Coverage(drawn);
    const TCoverage blurred = Coverage(upscaled);
    QVERIFY2(sharp.Partial * 3 < blurred.Partial,
             qPrintable(QStringLiteral("%1 edge pixels drawn, %2 upscaled").arg(sharp.Partial).arg(blurred.Partial)));
}

void TestToolbarIcons::edgesAreAntialiased_data()
{
    QTest::addColumn<TToolbarPicture>("picture");
    QTest::addColumn<int>("size");
    for (const auto &[picture, name] : Pictures)
        for (const int size : {20, 24, 40})
            QTest::addRow("%s-%d", name, size) << picture << size;
}

void TestToolbarIcons::edgesAreAntialiased()
{
    QFETCH(TToolbarPicture, picture);
    QFETCH(int, size);

    // At a size that is not a whole multiple of the design grid, edges fall
    // between pixels; antialiased drawing shows them as partly covered
    // pixels instead of jagged steps.
    const TCoverage coverage = Coverage(Rendered(picture, size));
    QVERIFY2(coverage.Partial * 100 >= coverage.Total(), qPrintable(QString::number(coverage.Partial)));
}

void TestToolbarIcons::highDpiPaintDrawsDevicePixels_data()
{
    QTest::addColumn<TToolbarPicture>("picture");
    QTest::addColumn<qreal>("ratio");
    for (const auto &[picture, name] : Pictures)
        for (const qreal ratio : {1.5, 2.0, 3.0})
            QTest::addRow("%s@%g", name, ratio) << picture << ratio;
}

void TestToolbarIcons::highDpiPaintDrawsDevicePixels()
{
    QFETCH(TToolbarPicture, picture);
    QFETCH(qreal, ratio);

    // QIcon::paint on a high-DPI device (a button painting itself): the
    // 16-pixel rectangle covers 16 * ratio device pixels, every one drawn.
    const int physical = qRound(TToolbarIconEngine::DesignSize * ratio);
    QImage device(physical, physical, QImage::Format_ARGB32_Premultiplied);
    device.fill(Qt::transparent);
    device.setDevicePixelRatio(ratio);
    {
        QPainter painter(&device);
        const int side = TToolbarIconEngine::DesignSize;
        ToolbarIcon(picture).paint(&painter, QRect(0, 0, side, side));
    }
    device.setDevicePixelRatio(1.0);

    const QImage expected = Rendered(picture, physical);
    const int differing = DifferingPixels(device, expected, 8);
    QVERIFY2(differing == 0, qPrintable(QString::number(differing)));
}

void TestToolbarIcons::disabledIsGreyer_data()
{
    QTest::addColumn<TToolbarPicture>("picture");
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("throughPaint");
    for (const auto &[picture, name] : Pictures) {
        for (const int size : {16, 32}) {
            QTest::addRow("%s-%d-pixmap", name, size) << picture << size << false;
            QTest::addRow("%s-%d-paint", name, size) << picture << size << true;
        }
    }
}

void TestToolbarIcons::disabledIsGreyer()
{
    QFETCH(TToolbarPicture, picture);
    QFETCH(int, size);
    QFETCH(bool, throughPaint);

    const QSize square(size, size);
    const auto render = [&](QIcon::Mode mode) {
        return throughPaint ? PaintDirectly(picture, square, QRect(QPoint(0, 0), square), mode)
                            : Rendered(picture, size, mode);
    };
    const QImage normal = render(QIcon::Normal);
    const QImage disabled = render(QIcon::Disabled);

    const double normalSaturation = MeanSaturation(normal);
    const double disabledSaturation = MeanSaturation(disabled);
    QVERIFY2(normalSaturation > 0.2, qPrintable(QString::number(normalSaturation)));
    QVERIFY2(disabledSaturation * 4 < normalSaturation,
             qPrintable(QStringLiteral("%1 disabled, %2 normal").arg(disabledSaturation).arg(normalSaturation)));
    // The same shapes, only greyed: the outline of the picture is kept.
    QVERIFY(DifferingPixels(normal, disabled, 16) > 0);
    QCOMPARE(DifferingAlpha(normal, disabled, 2), 0);
}

void TestToolbarIcons::picturesDiffer_data()
{
    QTest::addColumn<TToolbarPicture>("first");
    QTest::addColumn<TToolbarPicture>("second");
    QTest::addColumn<int>("size");
    for (std::size_t i = 0; i < Pictures.size(); ++i)
        for (std::size_t j = i + 1; j < Pictures.size(); ++j)
            for (const int size : {16, 32})
                QTest::addRow("%s-%s-%d", Pictures[i].second, Pictures[j].second, size)
                    << Pictures[i].first << Pictures[j].first << size;
}

void TestToolbarIcons::picturesDiffer()
{
    QFETCH(TToolbarPicture, first);
    QFETCH(TToolbarPicture, second);
    QFETCH(int, size);

    // Clearly different: at least 10% of the pixels differ markedly, in the
    // normal and in the disabled mode alike.
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
        const int differing = DifferingPixels(Rendered(first, size, mode), Rendered(second, size, mode), 48);
        QVERIFY2(differing * 100 >= size * size * 10, qPrintable(QString::number(differing)));
    }
}

void TestToolbarIcons::paintUsesCentredSquare_data()
{
    QTest::addColumn<TToolbarPicture>("picture");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<QRect>("square");
    const std::vector<std::tuple<const char *, QRect, QRect>> rects = {
        {"corner", QRect(0, 0, 24, 24), QRect(0, 0, 24, 24)},
        {"inside", QRect(5, 3, 20, 20), QRect(5, 3, 20, 20)},
        {"wide", QRect(2, 4, 30, 20), QRect(7, 4, 20, 20)},
        {"tall", QRect(6, 1, 14, 26), QRect(6, 7, 14, 14)},
        {"odd", QRect(3, 2, 25, 20), QRect(5, 2, 20, 20)},
    };
    for (const auto &[picture, name] : Pictures)
        for (const auto &[rectName, rect, square] : rects)
            QTest::addRow("%s-%s", name, rectName) << picture << rect << square;
}

void TestToolbarIcons::paintUsesCentredSquare()
{
    QFETCH(TToolbarPicture, picture);
    QFETCH(QRect, rect);
    QFETCH(QRect, square);

    const QImage canvas = PaintDirectly(picture, QSize(40, 30), rect);
    // Nothing outside the square, and in it exactly the picture of its size.
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (!square.contains(x, y))
                QVERIFY2(qAlpha(canvas.pixel(x, y)) == 0, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    const QImage expected = Rendered(picture, square.width());
    QCOMPARE(DifferingPixels(canvas.copy(square), expected, 0), 0);

    // Through QIcon the same: a non-square request gets the square picture.
    const QIcon icon = ToolbarIcon(picture);
    QCOMPARE(icon.actualSize(rect.size()), square.size());
    QCOMPARE(icon.pixmap(rect.size(), 1.0).size(), square.size());
}

void TestToolbarIcons::cloneDrawsTheSamePicture_data()
{
    QTest::addColumn<TToolbarPicture>("picture");
    for (const auto &[picture, name] : Pictures)
        QTest::addRow("%s", name) << picture;
}

void TestToolbarIcons::cloneDrawsTheSamePicture()
{
    QFETCH(TToolbarPicture, picture);

    TToolbarIconEngine engine(picture);
    const std::unique_ptr<QIconEngine> clone(engine.clone());
    QVERIFY(clone != nullptr);
    QVERIFY(clone.get() != &engine);
    QCOMPARE(clone->key(), engine.key());
    for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
        const QImage original = engine.pixmap(QSize(20, 20), mode, QIcon::Off).toImage();
        const QImage copied = clone->pixmap(QSize(20, 20), mode, QIcon::Off).toImage();
        QCOMPARE(copied.size(), QSize(20, 20));
        QCOMPARE(DifferingPixels(copied, original, 0), 0);
    }

    // A QIcon that detaches from a shared copy clones the engine and keeps
    // drawing our picture.
    const QIcon icon = ToolbarIcon(picture);
    QIcon detached = icon;
    QPixmap red(8, 8);
    red.fill(Qt::red);
    detached.addPixmap(red);
    QCOMPARE(DifferingPixels(detached.pixmap(QSize(24, 24), 1.0).toImage(), Rendered(picture, 24), 0), 0);
}

QTEST_MAIN(TestToolbarIcons)
#include "tst_toolbaricons.moc"
