#pragma once
// CSV files (RFC 4180), in UTF-8 with a byte order mark, as spreadsheets
// read them: a header row "code,original,translation", then one row per
// message, its translation empty when it is untranslated. Rows end in CR LF;
// a field that holds a comma, a quote, a CR or a LF is quoted, its quotes
// doubled, and its line breaks kept as they are.
//
// CSV says nothing of review: its entries are of the state Unstated.

#include "translation/TranslationEntry.h"

#include <QByteArrayView>
#include <QIODevice>

// The rows after the header, in file order. The columns are found by name
// in the header row (in any order and case; "original" may be missing, then
// no entry has one); blank rows are skipped. Raises ETranslationFileError
// for a header without "code" or "translation", a quote left open (the line
// where it opened), text after a closing quote, a quote inside an unquoted
// field, a row with more fields than the header, and a code that is none.
[[nodiscard]] TTranslationEntries ReadCsv(QByteArrayView bytes);

// Writes the byte order mark, the header row and one row per entry. Raises
// EWriteError when the device does not take the bytes.
void WriteCsv(QIODevice &device, const TTranslationEntries &entries);
