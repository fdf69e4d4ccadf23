#pragma once
// How the grid shows a stored text, the one rule that the grid's cells and
// the search both follow, so that Find finds exactly what the translator
// sees: each tab becomes the blanks up to the next multiple of 8 (counted in
// the text as converted so far), each line feed the two characters backslash
// and "n", and a text marked as OEM is converted to the ANSI code page (one
// byte for one byte). The result is bytes of the ANSI code page.

#include <QByteArray>
#include <QByteArrayView>

class TEditSession;

// The display form of Text, whose OEM flag is Oem. A text that the rule
// leaves as it is comes back as Text itself; any other is built in Buffer,
// which the caller may reuse from text to text. The view is valid while
// Text and Buffer are.
[[nodiscard]] QByteArrayView ToGridBytes(QByteArrayView text, bool oem, QByteArray &buffer);

// The display form as a string of its own.
[[nodiscard]] QByteArray ToGridText(const QByteArray &text, bool oem);

// What a text cell of message Index shows: its original text (with the
// original store's OEM flag) or its current text (with its own), through
// ToGridBytes. A message without a partner in the original store shows an
// empty original.
[[nodiscard]] QByteArrayView GridCellBytes(const TEditSession &session, int index, bool fromOriginal,
                                           QByteArray &buffer);
