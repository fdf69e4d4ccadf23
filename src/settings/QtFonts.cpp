#include "settings/QtFonts.h"

#include <QFontInfo>
#include <QStringList>
#include <array>

namespace {

using Group = QPalette::ColorGroup;
using Role = QPalette::ColorRole;

struct SystemColor
{
    int Index;
    Group ColorGroup;
    Role ColorRole;
};

// The Windows system colour indexes (COLOR_SCROLLBAR = 0 ... COLOR_MENUBAR =
// 30) and the nearest palette entries; index 25 is unused there.
constexpr std::array<SystemColor, 30> SystemColors{{
    {0, QPalette::Active, QPalette::Button},              // scroll bar
    {1, QPalette::Active, QPalette::Window},              // desktop
    {2, QPalette::Active, QPalette::Highlight},           // active caption
    {3, QPalette::Inactive, QPalette::Highlight},         // inactive caption
    {4, QPalette::Active, QPalette::Window},              // menu
    {5, QPalette::Active, QPalette::Base},                // window
    {6, QPalette::Active, QPalette::Shadow},              // window frame
    {7, QPalette::Active, QPalette::WindowText},          // menu text
    {8, QPalette::Active, QPalette::WindowText},          // window text
    {9, QPalette::Active, QPalette::HighlightedText},     // caption text
    {10, QPalette::Active, QPalette::Button},             // active border
    {11, QPalette::Inactive, QPalette::Button},           // inactive border
    {12, QPalette::Active, QPalette::Dark},               // application workspace
    {13, QPalette::Active, QPalette::Highlight},          // highlight
    {14, QPalette::Active, QPalette::HighlightedText},    // highlighted text
    {15, QPalette::Active, QPalette::Button},             // button face
    {16, QPalette::Active, QPalette::Dark},               // button shadow
    {17, QPalette::Disabled, QPalette::Text},             // gray text
    {18, QPalette::Active, QPalette::ButtonText},         // button text
    {19, QPalette::Inactive, QPalette::HighlightedText},  // inactive caption text
    {20, QPalette::Active, QPalette::Light},              // button highlight
    {21, QPalette::Active, QPalette::Shadow},             // 3D dark shadow
    {22, QPalette::Active, QPalette::Midlight},           // 3D light
    {23, QPalette::Active, QPalette::ToolTipText},        // info text
    {24, QPalette::Active, QPalette::ToolTipBase},        // info background
    {26, QPalette::Active, QPalette::Link},               // hot-tracked item
    {27, QPalette::Active, QPalette::Highlight},          // active caption gradient
    {28, QPalette::Inactive, QPalette::Highlight},        // inactive caption gradient
    {29, QPalette::Active, QPalette::Highlight},          // menu highlight
    {30, QPalette::Active, QPalette::Window},             // menu bar
}};

} // namespace

std::optional<TPaletteEntry> SystemColorRole(int index)
{
    for (const SystemColor &entry : SystemColors) {
        if (entry.Index == index)
            return TPaletteEntry{entry.ColorGroup, entry.ColorRole};
    }
    return std::nullopt;
}

void InstallFontSubstitutes()
{
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")});
}

QFont ToQFont(const TFontRecord &font)
{
    static const bool substitutesInstalled = (InstallFontSubstitutes(), true);
    Q_UNUSED(substitutesInstalled);

    QFont result(font.Name);
    result.setPointSize(qMax(1, font.Size));
    result.setBold(font.Style.testFlag(fsBold));
    result.setItalic(font.Style.testFlag(fsItalic));
    result.setUnderline(font.Style.testFlag(fsUnderline));
    result.setStrikeOut(font.Style.testFlag(fsStrikeOut));
    return result;
}

QColor ToQColor(qint32 color, const QPalette &palette)
{
    if (!IsSystemColor(color))
        return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
    const std::optional<TPaletteEntry> entry = SystemColorRole(SystemColorIndex(color));
    if (!entry)
        return palette.color(QPalette::Active, QPalette::WindowText);
    return palette.color(entry->Group, entry->Role);
}

qint32 FromQColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}

void AssignQFont(TFontRecord &font, const QFont &qfont, const QColor &color, const QPalette &palette)
{
    font.Name = qfont.family();
    // A font sized in pixels has no point size of its own (-1).
    const qreal points = qfont.pointSizeF() > 0 ? qfont.pointSizeF() : QFontInfo(qfont).pointSizeF();
    font.Size = qMax(1, qRound(points));
    TFontStyles style;
    style.setFlag(fsBold, qfont.bold());
    style.setFlag(fsItalic, qfont.italic());
    style.setFlag(fsUnderline, qfont.underline());
    style.setFlag(fsStrikeOut, qfont.strikeOut());
    font.Style = style;
    const bool keepSystemColor = IsSystemColor(font.Color) && ToQColor(font.Color, palette).rgb() == color.rgb();
    if (!keepSystemColor)
        font.Color = FromQColor(color);
}
