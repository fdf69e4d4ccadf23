#pragma once
// The English language table: the program's only built-in language. One text
// of rows "key=value" separated by LF; window rows ("Form1.N1.Caption") give
// the texts of windows and their components, the other rows the message
// texts asked for by key. A CR inside a value breaks the line where it is
// shown.

#include <QString>

// The entry under which the English table is added: name and display name.
inline constexpr char EnglishLanguageEntry[] = "ENGLISH=English";

QString EnglishTable();
