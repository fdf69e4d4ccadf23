#include "dialogs/SomeCursors.h"

#include <QList>

namespace {

struct TNamedCursor
{
    QString Name;
    QCursor Cursor;
};

// In the order added: entry i has the number FirstNamedCursor + i.
QList<TNamedCursor> &NamedCursors()
{
    static QList<TNamedCursor> cursors;
    return cursors;
}

} // namespace

int AddNamedCursor(const QString &name, const QCursor &cursor)
{
    QList<TNamedCursor> &cursors = NamedCursors();
    for (qsizetype i = 0; i < cursors.size(); ++i) {
        if (cursors.at(i).Name.compare(name, Qt::CaseInsensitive) == 0)
            return FirstNamedCursor + int(i);
    }
    cursors.append({name, cursor});
    return FirstNamedCursor + int(cursors.size() - 1);
}

QCursor ScreenCursor(int number)
{
    const QList<TNamedCursor> &cursors = NamedCursors();
    const int index = number - FirstNamedCursor;
    if (index < 0 || index >= cursors.size())
        return QCursor(Qt::ArrowCursor);
    return cursors.at(index).Cursor;
}
