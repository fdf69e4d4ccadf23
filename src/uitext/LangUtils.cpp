#include "uitext/LangUtils.h"

QStringList &CurrentKeys()
{
    static QStringList keys;
    return keys;
}

QStringList &CurrentValues()
{
    static QStringList values;
    return values;
}

QString FindTranslation(const QString &key)
{
    const QStringList &keys = CurrentKeys();
    const QStringList &values = CurrentValues();
    for (qsizetype i = 0; i < keys.size() && i < values.size(); ++i) {
        if (QString::compare(keys.at(i), key, Qt::CaseInsensitive) == 0)
            return values.at(i);
    }
    return key;
}
