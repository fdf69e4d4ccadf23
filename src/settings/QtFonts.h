#pragma once
// The font record as Qt shows it: a QFont for the name, size and style, a
// QColor for the colour. The character set has no Qt counterpart (Qt picks
// glyphs by Unicode) and stays in the record.
//
// "Courier New", the default face, is usually missing on Linux. ToQFont
// keeps the name (so it is saved as it was loaded) and registers Liberation
// Mono, its metric-compatible stand-in (package fonts-liberation), as its
// substitute, and DejaVu Sans Mono after it.

#include "settings/FontRecord.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QPalette>
#include <optional>

// Name, size (at least 1 point) and style of the record.
[[nodiscard]] QFont ToQFont(const TFontRecord &font);

// A plain colour 0x00BBGGRR as it is; a system colour as the palette's
// entry for it (SystemColorRole), the window text for an index without one.
[[nodiscard]] QColor ToQColor(qint32 color, const QPalette &palette = QGuiApplication::palette());

// A colour as a plain colour 0x00BBGGRR (its alpha dropped).
[[nodiscard]] qint32 FromQColor(const QColor &color);

// Takes the family, size (rounded to whole points) and style of QFont and
// the colour Color into Font. The character set stays, and so does a system
// colour while it still gives Color, so that an unchanged colour keeps
// following the desktop's palette.
void AssignQFont(TFontRecord &font, const QFont &qfont, const QColor &color,
                 const QPalette &palette = QGuiApplication::palette());

// Where a palette keeps a Windows system colour (COLOR_WINDOWTEXT = 8 is the
// window text, COLOR_WINDOW = 5 the base of text entry widgets, ...).
struct TPaletteEntry
{
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};
[[nodiscard]] std::optional<TPaletteEntry> SystemColorRole(int index);

// Registers the substitutes of "Courier New"; ToQFont does it once by itself.
void InstallFontSubstitutes();
