#pragma once
// The two single-byte code pages the message texts are written in: the ANSI
// code page (the usual one, shown and edited as Unicode) and the OEM
// (console) code page of messages marked as OEM. Converting OEM bytes to ANSI
// keeps the length: one byte for one byte.
//
// The code pages are chosen at first use, from the environment variables
// LEXIVANE_ANSI_CODEPAGE and LEXIVANE_OEM_CODEPAGE (any name Qt's string
// converters know, e.g. windows-1251 and IBM866), or else from the user's
// locale language (Cyrillic languages: windows-1251 and IBM866; Central
// European: windows-1250 and IBM852; Greek: windows-1253 and IBM737;
// Turkish: windows-1254 and IBM857; Baltic: windows-1257 and IBM775;
// others: windows-1252 and IBM437). SetCodePages changes them at run time.
//
// Every code page is read into 256-entry tables once per choice. Bytes the
// converter leaves undefined get a character of their own (the Latin-1
// character of the same value, else one from the private use area), so the
// byte-to-character mapping is always one to one. Code pages that keep ASCII
// but shuffle its control codes (IBM's tables move 1A, 1C and 7F) have bytes
// 00-7F mapped to themselves, as Windows does.

#include "diagnostics/Exception.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QLocale>
#include <QString>

#include <memory>

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

// The code pages chosen from the environment variables and the locale as they
// are now; the code pages in use start as these. A variable naming a code
// page that Qt does not know, or one that is not single-byte, is ignored.
CodePageNames DefaultCodePages();

// Each code page from its environment variable where that is set (and
// usable), else Otherwise's: the variables win over any other choice.
CodePageNames EnvironmentCodePages(const CodePageNames &otherwise);
// Whether either variable is set.
[[nodiscard]] bool CodePagesFromEnvironment();

// The code pages Windows uses for a language (windows-1252 and IBM437 for
// any language without a pair of its own).
CodePageNames CodePagesForLanguage(QLocale::Language language);

// In-place conversion from the OEM to the ANSI code page. A character that
// the ANSI code page lacks becomes its nearest plain letter, else "?".
void OemToCharA(QByteArray &text);

// ANSI bytes to Unicode. Every one of the 256 bytes maps to its own
// character, so UnicodeToAnsi gives back exactly the bytes given here.
QString AnsiToUnicode(QByteArrayView text);

// Unicode to ANSI bytes. Returns false, with the position of the first
// character that the ANSI code page cannot hold in *badPosition, when the
// text cannot be converted; nothing is ever turned silently into another byte.
[[nodiscard]] bool UnicodeToAnsi(const QString &text, QByteArray &result, qsizetype *badPosition = nullptr);

// The same pair for the OEM code page: a text marked as OEM is shown and
// edited through these, so that every byte survives as it does for ANSI.
QString OemToUnicode(QByteArrayView text);
[[nodiscard]] bool UnicodeToOem(const QString &text, QByteArray &result, qsizetype *badPosition = nullptr);

struct CodePageTables;

// The ANSI code page and UTF-8, for a pass over many texts (an export or an
// import of a whole file): the same conversions as AnsiToUnicode and
// UnicodeToAnsi with UTF-8 for Unicode, from tables made once per choice of
// code pages, with no string in between. It keeps the code page in use when
// it was made for as long as it lives.
class AnsiUtf8Codec
{
public:
    AnsiUtf8Codec();
    ~AnsiUtf8Codec();

    // The UTF-8 of ANSI bytes: AnsiToUnicode(Ansi).toUtf8().
    [[nodiscard]] QByteArray ToUtf8(QByteArrayView ansi) const;
    // UTF-8 to ANSI bytes. Returns false, with the offset in Utf8 of the
    // first character that the ANSI code page cannot hold (or of the first
    // byte that is not UTF-8) in *badOffset, when it cannot be converted.
    [[nodiscard]] bool FromUtf8(QByteArrayView utf8, QByteArray &result, qsizetype *badOffset = nullptr) const;
    // Whether UTF-8 text Utf8 is what ANSI bytes Ansi show as.
    [[nodiscard]] bool Shows(QByteArrayView utf8, QByteArrayView ansi) const;

private:
    std::shared_ptr<const CodePageTables> m_tables;
};
