#pragma once
// The two single-byte code pages the message texts are written in: the ANSI
// code page (the usual one, shown and edited as Unicode) and the OEM
// (console) code page of messages marked as OEM. Conversions between them
// keep the length: one byte for one byte.
//
// The code pages are chosen once, from the environment variables
// LEXIVANE_ANSI_CODEPAGE and LEXIVANE_OEM_CODEPAGE (any name Qt's string
// converters know, e.g. windows-1251 and IBM866), or else from the user's
// locale language (Cyrillic languages: windows-1251 and IBM866; others:
// windows-1252 and IBM437). SetCodePages changes them at run time.

#include "diagnostics/Exception.h"

#include <QByteArray>
#include <QString>

LEXIVANE_DECLARE_EXCEPTION(ECodePageError);

struct CodePageNames
{
    QString Ansi;
    QString Oem;
};

// The names of the code pages in use.
CodePageNames CurrentCodePages();

// Uses the given code pages from now on; raises ECodePageError when Qt does
// not know one of them or it is not a single-byte code page.
void SetCodePages(const QString &ansi, const QString &oem);

// The code pages chosen from the environment or the locale, as at start-up.
CodePageNames DefaultCodePages();

// In-place conversions between the OEM and ANSI code pages. A character that
// the target code page lacks becomes its nearest plain letter, else "?".
void CharToOemA(QByteArray &text);
void OemToCharA(QByteArray &text);

// ANSI bytes to Unicode. Every one of the 256 bytes maps to its own
// character, so UnicodeToAnsi gives back exactly the bytes given here.
QString AnsiToUnicode(const QByteArray &text);

// Unicode to ANSI bytes. Returns false, with the position of the first
// character that the ANSI code page cannot hold in *badPosition, when the
// text cannot be converted; nothing is ever turned silently into another byte.
[[nodiscard]] bool UnicodeToAnsi(const QString &text, QByteArray &result, qsizetype *badPosition = nullptr);
