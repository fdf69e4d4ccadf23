#pragma once
// Find and go to over the editing session: the search of one text column
// downward from the current message, ignoring case, and the go-to loop that
// asks for a message code in hexadecimal. Both only work out the message to
// move to (an index, counted from 0); the window moves the grid there.
// Questions and reports go through the dialog and message box seams.

#include <QString>

class TEditSession;
class TShownMessages;

namespace MessageSearch {

// The first message after CurrentIndex whose text in the searched column
// contains FindText, ignoring case; -1 when none does. InOriginal searches
// the original texts, else the current texts; each text is looked at
// exactly as the grid's cell shows it (GridCellBytes). Letter case is folded
// character by character through the ANSI code page, so every letter of the
// code page counts, not only ASCII. The search never wraps and never looks
// at CurrentIndex itself (-1 starts at the first message). Only the
// messages Shown shows are looked at (every message without it). No file or
// an empty FindText: -1.
[[nodiscard]] int FindMessage(const TEditSession &session, int currentIndex, bool inOriginal, const QString &findText,
                              const TShownMessages *shown = nullptr);

// The find dialog's find command: FindMessage, and when it finds nothing the
// information box "NotFound". Returns FindMessage's index.
int FindNext(const TEditSession &session, int currentIndex, bool inOriginal, const QString &findText,
             const TShownMessages *shown = nullptr);

// Text without the blanks and control characters at either end.
[[nodiscard]] QString TrimBlanks(const QString &text);

// Reads Text (already trimmed) as a message code: one or more hexadecimal
// digits (0-9, A-F, a-f) and nothing else, with a value of at most FFFFFFFF
// (leading zeros do not count). False, Code unchanged, otherwise.
[[nodiscard]] bool ParseMessageCode(const QString &text, quint32 &code);

// The go-to command: asks for a message code with EnterString until the
// answer names a message, and returns the index of the first message with
// that code; -1 when the user cancels. An answer that is not a code
// gives "InvalidHex", a code no message has "LineNotFound"; either way the
// question comes again with the answer as typed. Without a file nothing is
// asked and the result is -1.
[[nodiscard]] int GoToMessage(const TEditSession &session);

} // namespace MessageSearch
