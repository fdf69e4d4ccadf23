#pragma once
// Named cursors of our own beside the toolkit's standard ones: the link
// labels' hand cursor is added once under the name "URLHand" and used by its
// number, as a screen cursor.

#include <QCursor>
#include <QString>

// The number of the first named cursor; the standard cursors lie below it.
inline constexpr int FirstNamedCursor = 256;

// The cursor number for Name. A name added before (compared ignoring case,
// as resource names are) gets its old number and keeps its old cursor; a new
// name gets FirstNamedCursor + the count of names added before it.
int AddNamedCursor(const QString &name, const QCursor &cursor);

// The cursor of a number AddNamedCursor returned; the arrow for any other
// number.
[[nodiscard]] QCursor ScreenCursor(int number);

// The name of the hand cursor of link labels.
inline constexpr char URLHandCursorName[] = "URLHand";
