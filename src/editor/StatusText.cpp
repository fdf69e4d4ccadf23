#include "editor/StatusText.h"

#include "translation/MessageFilter.h"
#include "translation/TranslationStatus.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

QString StatusCountsText(const TTranslationStatus &status, const TShownMessages &shown)
{
    QString text = Format(GetMsg(QStringLiteral("StatusCounts")),
                          {status.Messages(), status.Translated(), status.TranslatedPercent(), status.Problems()});
    if (status.NeedsReview() > 0)
        text += Format(GetMsg(QStringLiteral("StatusNeedsReview")), {status.NeedsReview()});
    if (!shown.ShowsAll())
        text += Format(GetMsg(QStringLiteral("StatusShown")), {shown.Count()});
    return text;
}
