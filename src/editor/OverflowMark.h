#pragma once
// The overflow mark: the picture a grid cell shows in its lower right corner
// when its text does not fit. A 32 x 32 transparent picture whose lower right
// corner holds a right-angled triangle 6 pixels wide and high (rows 1 to 6
// pixels wide, flush right), outlined in black on its right, bottom and
// slanting sides and filled with bright green.

#include <QImage>
#include <QPixmap>

// The picture's size in device-independent pixels.
inline constexpr int OverflowMarkSize = 32;

// The picture drawn for a device pixel ratio: the image has that ratio and
// is drawn in device pixels, so it stays crisp on high-DPI screens (every
// pixel transparent, black or green; no blending).
[[nodiscard]] QImage OverflowMarkImage(qreal devicePixelRatio = 1.0);
[[nodiscard]] QPixmap OverflowMarkPixmap(qreal devicePixelRatio = 1.0);
