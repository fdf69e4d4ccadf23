#include "settings/FontRecord.h"

bool operator==(const TFontRecord &a, const TFontRecord &b)
{
    return a.Name == b.Name && a.Size == b.Size && a.Style == b.Style && a.Color == b.Color
        && a.CharSet == b.CharSet;
}

TFontRecord DefaultNamedFont(const QString &name)
{
    TFontRecord font;
    if (name == QLatin1String("TitleFont") || name == QLatin1String("ChangedFont"))
        font.Style |= fsBold;
    else if (name == QLatin1String("OriginFont"))
        font.Color = clNavy;
    return font;
}
