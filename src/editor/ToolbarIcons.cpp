#include "editor/ToolbarIcons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <initializer_list>

namespace {

// The shapes are drawn in design units (a 16 x 16 grid); outlines lie on
// half units so that at 16 pixels every one-unit line covers whole pixels.
class TCanvas
{
public:
    TCanvas(QPainter &painter, QIcon::Mode mode) : m_painter(painter), m_mode(mode) {}

    void Fill(const QPainterPath &path, QRgb fill, QRgb outline, qreal outlineWidth = 1.0)
    {
        m_painter.setPen(QPen(Ink(outline), outlineWidth, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        m_painter.setBrush(Ink(fill));
        m_painter.drawPath(path);
    }

    void Fill(const QPainterPath &path, QRgb fill)
    {
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(Ink(fill));
        m_painter.drawPath(path);
    }

    void Stroke(const QPainterPath &path, QRgb colour, qreal width, Qt::PenCapStyle cap = Qt::FlatCap)
    {
        m_painter.setPen(QPen(Ink(colour), width, Qt::SolidLine, cap, Qt::RoundJoin));
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawPath(path);
    }

private:
    // A disabled picture keeps its shapes but turns every colour into a
    // light grey of about the same lightness, as disabled buttons look.
    [[nodiscard]] QColor Ink(QRgb rgb) const
    {
        if (m_mode != QIcon::Disabled)
            return QColor::fromRgba(rgb);
        const int grey = 112 + qGray(rgb) * 128 / 255;
        return QColor(grey, grey, grey, qAlpha(rgb));
    }

    QPainter &m_painter;
    QIcon::Mode m_mode;
};

QPainterPath Rect(qreal x, qreal y, qreal width, qreal height)
{
    QPainterPath path;
    path.addRect(x, y, width, height);
    return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(points));
    path.closeSubpath();
    return path;
}

QPainterPath Line(QPointF from, QPointF to)
{
    QPainterPath path(from);
    path.lineTo(to);
    return path;
}

QPainterPath Circle(QPointF centre, qreal radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

// An opened yellow folder: the back with its tab, the front flap tilted
// open over it.
void DrawOpen(TCanvas &canvas)
{
    const QRgb outline = qRgb(140, 100, 0);
    canvas.Fill(Polygon({{1.5, 2.5}, {5.5, 2.5}, {7, 4}, {12.5, 4}, {12.5, 13.5}, {1.5, 13.5}}),
                qRgb(224, 168, 0), outline);
    canvas.Fill(Polygon({{4, 7.5}, {15.5, 7.5}, {12.5, 13.5}, {1.5, 13.5}}), qRgb(255, 213, 74), outline);
}

// A floppy disk: a dark blue body with a cut corner, the metal shutter with
// its slot at the top, a light label below.
void DrawSave(TCanvas &canvas)
{
    const QRgb outline = qRgb(11, 38, 96);
    canvas.Fill(Polygon({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}}),
                qRgb(31, 78, 156), outline);
    canvas.Fill(Rect(4.5, 1.5, 7, 5), qRgb(201, 206, 214), outline);
    canvas.Fill(Rect(8.5, 2.5, 2, 3), outline);
    canvas.Fill(Rect(3.5, 8.5, 9, 6), qRgb(245, 243, 234), outline);
}

// A green arrow that runs right, turns down and comes back, its head
// pointing left at the top.
void DrawUndo(TCanvas &canvas)
{
    const QRgb green = qRgb(30, 125, 50);
    QPainterPath curve(QPointF(5.5, 6));
    curve.lineTo(9, 6);
    curve.arcTo(QRectF(5, 6, 8, 8), 90, -180);
    curve.lineTo(4, 14);
    canvas.Stroke(curve, green, 2);
    canvas.Fill(Polygon({{0.8, 6}, {6, 1.5}, {6, 10.5}}), green);
}

// A magnifying glass: a light blue lens in a dark ring, a brown handle to
// the lower right. Centre and radius set its place and size.
void DrawGlass(TCanvas &canvas, QPointF centre, qreal radius, QPointF handleEnd, qreal handleWidth)
{
    const qreal diagonal = radius * 0.7071;
    canvas.Stroke(Line(centre + QPointF(diagonal, diagonal), handleEnd), qRgb(141, 85, 36), handleWidth,
                  Qt::RoundCap);
    canvas.Fill(Circle(centre, radius), qRgb(207, 234, 255), qRgb(55, 71, 79), 1.5);
}

void DrawFind(TCanvas &canvas)
{
    DrawGlass(canvas, {6.5, 6.5}, 4.5, {14.2, 14.2}, 2.8);
}

// A smaller glass at the upper left and a blue arrow pointing down beside
// its handle.
void DrawFindNext(TCanvas &canvas)
{
    const QRgb blue = qRgb(21, 101, 192);
    DrawGlass(canvas, {5.5, 5.5}, 3.8, {9.3, 9.3}, 2.4);
    canvas.Fill(Rect(12.2, 6.5, 1.6, 4.2), blue);
    canvas.Fill(Polygon({{10.5, 10.5}, {15.5, 10.5}, {13, 14.5}}), blue);
}

// Two pages side by side, the left one shaded with navy lines (the original
// text, in the colour of the grid's original column), the right one white.
void DrawViewOriginal(TCanvas &canvas)
{
    const QRgb outline = qRgb(47, 61, 92);
    canvas.Fill(Rect(1.5, 2.5, 6, 11), qRgb(184, 199, 224), outline);
    canvas.Fill(Rect(8.5, 2.5, 6, 11), qRgb(255, 255, 255), outline);
    for (const qreal y : {4.5, 6.5, 8.5, 10.5}) {
        canvas.Stroke(Line({3, y}, {6, y}), qRgb(0, 0, 128), 1);
        canvas.Stroke(Line({10, y}, {13, y}), qRgb(48, 48, 48), 1);
    }
}

// A blue disc with a white "i".
void DrawAbout(TCanvas &canvas)
{
    const QRgb white = qRgb(255, 255, 255);
    canvas.Fill(Circle({8, 8}, 6.5), qRgb(30, 99, 200), qRgb(13, 61, 134));
    canvas.Fill(Circle({8, 4.6}, 1.3), white);
    QPainterPath stem;
    stem.addRoundedRect(QRectF(6.9, 6.6, 2.2, 6.2), 0.6, 0.6);
    canvas.Fill(stem, white);
}

void DrawPicture(TCanvas &canvas, TToolbarPicture picture)
{
    switch (picture) {
    case TToolbarPicture::Open:
        return DrawOpen(canvas);
    case TToolbarPicture::Save:
        return DrawSave(canvas);
    case TToolbarPicture::Undo:
        return DrawUndo(canvas);
    case TToolbarPicture::Find:
        return DrawFind(canvas);
    case TToolbarPicture::FindNext:
        return DrawFindNext(canvas);
    case TToolbarPicture::ViewOriginal:
        return DrawViewOriginal(canvas);
    case TToolbarPicture::About:
        return DrawAbout(canvas);
    }
}

} // namespace

QIcon ToolbarIcon(TToolbarPicture picture)
{
    return QIcon(new TToolbarIconEngine(picture));
}

TToolbarIconEngine::TToolbarIconEngine(TToolbarPicture picture) : m_picture(picture) {}

void TToolbarIconEngine::paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State)
{
    if (painter != nullptr)
        Draw(*painter, rect, mode);
}

void TToolbarIconEngine::Draw(QPainter &painter, const QRect &rect, QIcon::Mode mode) const
{
    if (rect.isEmpty())
        return;
    // The largest square that fits, centred on whole pixels so that a
    // non-square rectangle does not blur the picture.
    const int side = qMin(rect.width(), rect.height());
    const QRect square(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setClipRect(square, Qt::IntersectClip);
    painter.translate(square.topLeft());
    painter.scale(qreal(side) / DesignSize, qreal(side) / DesignSize);
    TCanvas canvas(painter, mode);
    DrawPicture(canvas, m_picture);
    painter.restore();
}

QSize TToolbarIconEngine::actualSize(const QSize &size, QIcon::Mode, QIcon::State)
{
    const int side = qMax(0, qMin(size.width(), size.height()));
    return {side, side};
}

QPixmap TToolbarIconEngine::pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state)
{
    return Render(actualSize(size, mode, state), mode, 1.0);
}

QPixmap TToolbarIconEngine::scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale)
{
    // Size is in device pixels already (QIcon multiplies by the ratio).
    return Render(actualSize(size, mode, state), mode, scale > 0 ? scale : 1.0);
}

QIconEngine *TToolbarIconEngine::clone() const
{
    return new TToolbarIconEngine(m_picture);
}

QString TToolbarIconEngine::key() const
{
    return QStringLiteral("TToolbarIconEngine");
}

QPixmap TToolbarIconEngine::Render(const QSize &size, QIcon::Mode mode, qreal ratio) const
{
    if (size.isEmpty())
        return {};
    // Drawn in device pixels: the ratio only tells Qt how large the pixmap
    // is on the screen.
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        Draw(painter, QRect(QPoint(0, 0), size), mode);
    }
    image.setDevicePixelRatio(ratio);
    return QPixmap::fromImage(std::move(image));
}
