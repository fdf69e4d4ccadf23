#pragma once
// gettext PO files, as CAT tools (Poedit, Lokalize, Weblate, OmegaT) read
// and write them, in UTF-8:
//
//   msgid ""                       the header entry (no msgctxt): charset
//   msgstr "Content-Type: ..."     UTF-8 and the usual fields
//
//   #, fuzzy, c-format             fuzzy: to review; c-format: the original
//   #| msgid "previous original"   has printf-style placeholders
//   msgctxt "0000271A"             the message code
//   msgid "original"
//   msgstr "translation"           empty: untranslated
//
// An empty original is written as msgid "" like any other: the msgctxt keeps
// it apart from the header, which alone has none (msgfmt accepts that, and
// the reader tells the two apart the same way). Control characters are
// written as C escapes (\n \t \r \a \b \f \v, others as three octal digits)
// and read back exactly.

#include "translation/TranslationEntry.h"

#include <QByteArrayView>
#include <QIODevice>

// The entries of a PO file, in file order; the header and obsolete ("#~")
// entries are not among them. Raises ETranslationFileError at the first
// thing that is not PO, or not what a message file's entry can be (no
// msgctxt, a msgctxt that is no code, plural forms, a charset other than
// UTF-8).
[[nodiscard]] TTranslationEntries ReadPo(QByteArrayView bytes);

// Writes the header entry and one entry per element of Entries. Raises
// EWriteError when the device does not take the bytes.
void WritePo(QIODevice &device, const TTranslationEntries &entries, const TExportInfo &info);
