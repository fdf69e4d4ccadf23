#include "uitext/MsgRes.h"

#include "uitext/LangUtils.h"

QString GetMsg(const QString &key)
{
    return FindTranslation(key);
}
