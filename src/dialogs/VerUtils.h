#pragma once
// Version information of the program's file. Linux executables carry no
// version resource, so the program keeps its own (ProgramVersionResource)
// and the platform's query functions are stood in for here: they answer
// with that resource for the program's own file and with none for any other
// file. TVerInfo reads a file's resource and its strings in the user's
// language.

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QMap>
#include <QString>
#include <functional>
#include <optional>

// One translation of a version resource: a language identifier (the low 10
// bits the primary language, the upper 6 the sublanguage: 0x0409 is English
// (US)) and a code page (1252 for Western European ANSI).
struct TVersionTranslation
{
    quint16 Language = 0;
    quint16 CodePage = 0;
};

// A version resource: its translations in order and, per translation named
// "LLLLCCCC" (language then code page, upper-case hexadecimal), string values
// such as "FileVersion".
struct TVersionResource
{
    QList<TVersionTranslation> Translations;
    QMap<QString, QMap<QString, QString>> StringTables;
};

// The resource the program carries for its own file.
[[nodiscard]] const TVersionResource &ProgramVersionResource();

// The resource's block as the platform hands it out: raw bytes that
// VerQueryValue reads.
[[nodiscard]] QByteArray EncodeVersionResource(const TVersionResource &resource);

// Where resources come from: the resource of a file, or none. Tests plug in
// their own; an empty source stands for the program's: ProgramVersionResource
// for QCoreApplication::applicationFilePath(), none for any other file.
using TVersionResourceSource = std::function<std::optional<TVersionResource>(const QString &fileName)>;
// Plugs Source in and returns the one plugged in before.
TVersionResourceSource SetVersionResourceSource(TVersionResourceSource source);

// The size in bytes of the file's version resource block; 0 (and errno set)
// when the file has none.
[[nodiscard]] quint32 GetFileVersionInfoSize(const QString &fileName);

// Reads the file's block into Block, Size bytes at most. False with errno set
// when the file has no resource or Size is too small for it.
[[nodiscard]] bool GetFileVersionInfo(const QString &fileName, quint32 size, QByteArray &block);

// Looks SubBlock up in Block. "\VarFileInfo\Translation" gives the
// translations, 4 bytes each: the language, then the code page, each 16 bits
// little-endian. "\StringFileInfo\LLLLCCCC\Name" gives that string value in
// UTF-8 (no terminator; an empty value has length 0). Names compare ignoring
// case. False when the block has nothing there or cannot be read.
[[nodiscard]] bool VerQueryValue(const QByteArray &block, const QString &subBlock, QByteArray &value);

// The user's default language identifier, from the system locale: 0x0409 for
// English (US), 0x0419 for Russian, 0x0407 for German (Germany), ...
[[nodiscard]] quint16 GetUserDefaultLangID();

// The language identifier of a locale: the language and territory when known,
// else the language with its default sublanguage. The "C" locale counts as
// English (US); a language without an identifier gives 0 (neutral).
[[nodiscard]] quint16 LanguageIdOf(const QLocale &locale);

// A file's version resource, read when created, and its string values in the
// chosen translation.
class TVerInfo
{
public:
    // Reads the resource of FileName in the user's default language.
    // Raises EOSError when the resource exists but cannot be read.
    explicit TVerInfo(const QString &fileName);
    // The same for the user language UserLanguage.
    TVerInfo(const QString &fileName, quint16 userLanguage);

    // The chosen translation, "LLLLCCCC", or empty.
    [[nodiscard]] const QString &Translation() const { return m_translation; }

    // The string value Name in the chosen translation; empty when there is
    // no resource, no translation, no such value, or an empty one.
    [[nodiscard]] QString GetValue(const QString &name) const;

private:
    std::optional<QByteArray> m_block; // none when the file has no version resource
    QString m_translation;
};

// The version information of the program's own file, read on first use.
TVerInfo &VerInfo();
