#pragma once
// XLIFF 1.2 files, one trans-unit per message:
//
//   <trans-unit id="0000271A" maxwidth="255" size-unit="char" xml:space="preserve">
//     <source>original</source>
//     <target state="translated">translation</target>     none: untranslated
//     <alt-trans alttranstype="previous-version">          a translation to
//       <source>the original it was made for</source>       review: its
//       <target>translation</target>                        target's state is
//     </alt-trans>                                          needs-review-translation
//   </trans-unit>
//
// A unit with a final translation also has approved="yes", which Qt's
// lconvert and the Translate Toolkit look at rather than the state.
//
// XML cannot hold the control characters other than tab, line feed and
// carriage return, and a reader turns a carriage return into a line feed; so
// each of U+0000 to U+001F other than tab and line feed is written as an
// empty inline element <x id="..." ctype="x-char-0D"/> (two hexadecimal
// digits) and read back as that character.

#include "translation/TranslationEntry.h"

#include <QByteArrayView>
#include <QIODevice>

// The trans-units of an XLIFF file, in file order. A target without a state,
// or with the state "translated", "final" or "signed-off", is final; any
// other state is to review. Raises ETranslationFileError (with the line and
// column) for XML that is not well formed and for a trans-unit whose id is
// no code or that has no source.
[[nodiscard]] TTranslationEntries ReadXliff(QByteArrayView bytes);

// Writes one file element (original: Info's file name, source language
// English) with one trans-unit per entry. Raises EWriteError when the device
// does not take the bytes.
void WriteXliff(QIODevice &device, const TTranslationEntries &entries, const TExportInfo &info);
