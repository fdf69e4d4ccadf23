#pragma once
// The font record kept in the settings: a plain value (no QFont, so the core
// needs no GUI), its style and attribute sets, and the defaults of the four
// named display fonts of the main window.

#include <QFlags>
#include <QObject>
#include <QString>

namespace FontTypes {
Q_NAMESPACE

// The style members; each value is the member's bit in TFontStyles.
enum TFontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_FLAG_NS(TFontStyles)

// Which values of a font record a load or save touches.
enum TFontAttr { faName = 0x1, faStyle = 0x2, faSize = 0x4, faColor = 0x8, faCharSet = 0x10 };
Q_DECLARE_FLAGS(TFontAttrs, TFontAttr)
Q_FLAG_NS(TFontAttrs)

} // namespace FontTypes

Q_DECLARE_OPERATORS_FOR_FLAGS(FontTypes::TFontStyles)
Q_DECLARE_OPERATORS_FOR_FLAGS(FontTypes::TFontAttrs)

using FontTypes::TFontAttr;
using FontTypes::TFontAttrs;
using FontTypes::TFontStyle;
using FontTypes::TFontStyles;
using FontTypes::faCharSet;
using FontTypes::faColor;
using FontTypes::faName;
using FontTypes::faSize;
using FontTypes::faStyle;
using FontTypes::fsBold;
using FontTypes::fsItalic;
using FontTypes::fsStrikeOut;
using FontTypes::fsUnderline;

inline constexpr TFontAttrs AllFontAttrs = faName | faStyle | faSize | faColor | faCharSet;

// Colours are 32-bit signed values: 0x00BBGGRR for a plain colour; a
// negative value is a system colour, its low byte the system colour index.
inline constexpr qint32 SystemColorBase = -0x7FFFFFFF - 1; // 0x80000000
inline constexpr qint32 clWindowText = SystemColorBase + 8; // stored as "-2147483640"
inline constexpr qint32 clNavy = 0x800000;                  // red 0, green 0, blue 128

[[nodiscard]] constexpr bool IsSystemColor(qint32 color) { return color < 0; }
[[nodiscard]] constexpr int SystemColorIndex(qint32 color) { return color & 0xFF; }

// A default-constructed record is the normal text font: "Courier New",
// 10 points, no style, window text, character set 1 (default).
struct TFontRecord
{
    QString Name = QStringLiteral("Courier New");
    int Size = 10; // points
    TFontStyles Style;
    qint32 Color = clWindowText;
    quint8 CharSet = 1; // 0 ANSI, 1 default, 204 Cyrillic, ...
};

[[nodiscard]] bool operator==(const TFontRecord &a, const TFontRecord &b);
[[nodiscard]] inline bool operator!=(const TFontRecord &a, const TFontRecord &b) { return !(a == b); }

// The font a named display font of the main window ("NormalFont",
// "TitleFont", "OriginFont", "ChangedFont") has before its settings are
// loaded: the normal font, bold for "TitleFont" and "ChangedFont", navy for
// "OriginFont". Any other name gives the normal font.
[[nodiscard]] TFontRecord DefaultNamedFont(const QString &name);
