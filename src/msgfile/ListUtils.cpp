#include "msgfile/ListUtils.h"

namespace {

// Text without its leading and trailing blanks and control characters.
QString TrimText(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= ' ')
        ++first;
    while (last > first && text.at(last - 1).unicode() <= ' ')
        --last;
    return text.mid(first, last - first);
}

} // namespace

QStringList SplitCommaList(const QString &text)
{
    QStringList items;
    QString rest = TrimText(text);
    while (!rest.isEmpty()) {
        const qsizetype comma = rest.indexOf(QLatin1Char(','));
        if (comma < 0) {
            items.append(rest);
            break;
        }
        items.append(TrimText(rest.left(comma)));
        rest = TrimText(rest.mid(comma + 1));
    }
    return items;
}

QString JoinCommaList(const QStringList &list)
{
    return list.join(QLatin1Char(','));
}
