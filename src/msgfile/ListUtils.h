#pragma once
// Small list helpers: the copy rule shared by the stores, the comma lists of
// the font preferences, and the freeing of lists of owned objects.

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

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

// Frees every object of the list, from the last to the first, then empties it.
template <typename T>
void FreeListObjects(std::vector<std::unique_ptr<T>> &list)
{
    while (!list.empty())
        list.pop_back();
}

// Trims Text, then cuts it at each "," into trimmed items. "a, b ,c" gives
// a, b and c; a blank text gives no items; "a,,b" keeps the empty middle
// item; a trailing "," adds none.
QStringList SplitCommaList(const QString &text);

// The items joined by "," with nothing around them.
QString JoinCommaList(const QStringList &list);

// Removes leading and trailing blanks and control characters.
QString TrimText(const QString &text);
