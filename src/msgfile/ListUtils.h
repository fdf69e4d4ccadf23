#pragma once
// Small list helpers: the copy rule of the message store and the comma lists
// of the font preferences.

#include <QList>
#include <QString>
#include <QStringList>

// Empties Dest, gives it Source's count as its capacity and appends Source's
// elements in order.
template <typename T>
void CopyList(const QList<T> &source, QList<T> &dest)
{
    dest.clear();
    dest.reserve(source.size());
    for (const T &item : source)
        dest.append(item);
}

// Trims Text, then cuts it at each "," into trimmed items. "a, b ,c" gives
// a, b and c; a blank text gives no items; "a,,b" keeps the empty middle
// item; a trailing "," adds none.
QStringList SplitCommaList(const QString &text);

// The items joined by "," with nothing around them.
QString JoinCommaList(const QStringList &list);
