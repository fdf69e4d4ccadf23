#include "editor/OverflowMark.h"

namespace {

constexpr int TriangleSize = 6;
const QRgb Outline = qRgb(0, 0, 0);
const QRgb Fill = qRgb(0, 255, 0);

} // namespace

QImage OverflowMarkImage(qreal devicePixelRatio)
{
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    // Everything in device pixels: the picture, the triangle and its outline
    // scale by the ratio, whole pixels only.
    const int size = qMax(1, qRound(OverflowMarkSize * ratio));
    const int triangle = qMax(1, qRound(TriangleSize * ratio));
    const int line = qMax(1, qRound(ratio));

    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const int top = size - triangle;
    for (int row = 0; row < triangle; ++row) {
        const int y = top + row;
        const int width = row + 1; // the slanting side: one more pixel per row
        const int left = size - width;
        const bool bottom = row >= triangle - line;
        for (int x = left; x < size; ++x) {
            const bool edge = bottom || x >= size - line || x < left + line;
            image.setPixel(x, y, edge ? Outline : Fill);
        }
    }
    image.setDevicePixelRatio(ratio);
    return image;
}

QPixmap OverflowMarkPixmap(qreal devicePixelRatio)
{
    return QPixmap::fromImage(OverflowMarkImage(devicePixelRatio));
}
