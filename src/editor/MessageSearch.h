#pragma once
// Find and go to over the editing session: the search of one text column
// downward from the grid's current row, ignoring case, and the go-to loop
// that asks for a message code in hexadecimal. Both only work out the design
// row to move to (1 is the first message); the window moves the grid there.
// Questions and reports go through the dialog and message box seams.

#include <QString>

class TEditSession;

namespace MessageSearch {

// The design row of the first message below CurrentRow whose text in
// CurrentColumn contains FindText, ignoring case; 0 when none does. Column 1
// searches the original texts, any other column above 0 the current texts;
// each text is looked at as the grid shows it (ToGridText with the OEM flag
// of the current store, for both columns). Letter case is folded character
// by character through the ANSI code page: a stored byte is decoded with
// AnsiToUnicode and mapped to its upper-case letter, so every letter of the
// code page counts, not only ASCII. The search never wraps and never looks
// at CurrentRow itself. No file, a column not above 0 or an empty FindText:
// 0.
[[nodiscard]] int FindRow(const TEditSession &session, int currentRow, int currentColumn, const QString &findText);

// The find dialog's find command: FindRow, and when it gives 0 the
// information box "NotFound". Returns FindRow's row.
int FindNext(const TEditSession &session, int currentRow, int currentColumn, const QString &findText);

// Text without the blanks and control characters at either end.
[[nodiscard]] QString TrimBlanks(const QString &text);

// Reads Text (already trimmed) as a message code: one or more hexadecimal
// digits (0-9, A-F, a-f) and nothing else, with a value of at most FFFFFFFF
// (leading zeros do not count). False, Code unchanged, otherwise.
[[nodiscard]] bool ParseMessageCode(const QString &text, quint32 &code);

// The go-to command: asks for a message code with EnterString until the
// answer names a message, and returns the design row of the first message
// with that code; 0 when the user cancels. An answer that is not a code
// gives "InvalidHex", a code no message has "LineNotFound"; either way the
// question comes again with the answer as typed. Without a file nothing is
// asked and the result is 0.
[[nodiscard]] int GoToMessage(const TEditSession &session);

} // namespace MessageSearch
