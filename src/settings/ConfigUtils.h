#pragma once
// The settings store and the font records kept in it.
//
// The store keeps string values in the current user's registry: below the
// program key "\Software" + AppKey (AppKey starts with a backslash:
// "\Tessavel\Lexivane\1.0"), one subkey per section, one value per setting,
// always REG_SZ. Integers are kept as signed decimal text, booleans as "1"
// and "0". On Linux the registry is the text file HKEY_CURRENT_USER.reg in
// the user's folder (platform/Registry.h).
//
// Errors reach the caller: EAppIniError without an application key,
// ERegistryException when a key cannot be created or a value is not a
// string.

#include "diagnostics/Exception.h"
#include "platform/Registry.h"
#include "settings/FontRecord.h"

#include <QString>
#include <functional>
#include <memory>

LEXIVANE_DECLARE_EXCEPTION(EAppIniError);

// The application key the program sets at start-up, and its one section.
inline const QString LexivaneAppKey = QStringLiteral("\\Tessavel\\Lexivane\\1.0");
inline const QString LastSection = QStringLiteral("Last");

class TAppIni
{
public:
    TAppIni();
    ~TAppIni();
    TAppIni(const TAppIni &) = delete;
    TAppIni &operator=(const TAppIni &) = delete;

    // A key different from AppKey (compared exactly) closes the open key and
    // becomes AppKey; the next access opens it. The same key changes nothing.
    void SetAppKey(const QString &key);
    [[nodiscard]] const QString &AppKey() const { return m_appKey; }

    // Opens the program key, creating it and its parents, unless a key is
    // open. Raises EAppIniError "No application key specified" when AppKey is
    // empty and ERegistryException "Failed to create key %s" (the program
    // key) when the key can be neither opened nor created.
    void EnsureOpen();
    void CloseKey();
    [[nodiscard]] bool IsOpen() const { return m_registry != nullptr; }

    // The value, or Default when the section or the value does not exist.
    // Raises ERegistryException "Invalid data type for '%s'" when the value
    // is not a string.
    [[nodiscard]] QString ReadString(const QString &section, const QString &ident, const QString &defaultValue);
    // Creates the section when missing (ERegistryException "Failed to create
    // key %s" when it cannot) and sets the value as REG_SZ.
    void WriteString(const QString &section, const QString &ident, const QString &value);

    // The value as an integer: "0x"/"0X" followed by hexadecimal digits (the
    // whole text longer than 2 characters), "$" followed by hexadecimal
    // digits, or decimal digits with an optional sign. Hexadecimal reads up
    // to 8 significant digits as 32 bits ("0xFFFFFFFF" is -1); decimal must
    // lie in the 32-bit range. Anything else, blanks and the empty text
    // included, gives Default.
    [[nodiscard]] qint32 ReadInteger(const QString &section, const QString &ident, qint32 defaultValue);
    void WriteInteger(const QString &section, const QString &ident, qint32 value);

    // ReadInteger with Default as 1 or 0; any integer but 0 is true.
    [[nodiscard]] bool ReadBool(const QString &section, const QString &ident, bool defaultValue);
    void WriteBool(const QString &section, const QString &ident, bool value);

private:
    // The section's key path from the root; the program key must be open.
    QString SectionPath(const QString &section) const;

    std::unique_ptr<TRegistry> m_registry; // the program key, while open
    QString m_appKey;
};

// The program's one settings store: created with no AppKey on first use and
// destroyed, closing its key, when the program ends.
TAppIni &AppIni();

// Font records: the values Prefix + ".CharSet", ".Color", ".Size", ".Name"
// and ".Style" in Section, processed in that order, those of Attributes only.
//
// LoadFont changes the chosen attributes to the stored ones; a value that is
// absent, or an integer that does not parse, leaves its attribute as it
// was. The character set takes the low 8 bits of its value, the size is at
// least 1. The style is "*" followed by member names separated by commas:
// the first character is dropped whatever it is, the names are trimmed and
// compared ignoring case; an empty style value, or one naming something that
// is not a style, leaves the style as it was (the attributes loaded before it
// stay loaded).
void LoadFont(TAppIni &store, const QString &section, const QString &prefix, TFontAttrs attributes,
              TFontRecord &font);
// Writes the chosen attributes; the style as "*fsBold,fsUnderline" ("*" for
// none), members in their declaration order.
void SaveFont(TAppIni &store, const QString &section, const QString &prefix, TFontAttrs attributes,
              const TFontRecord &font);

// Runs one step that reads or writes preferences. Preferences are a
// convenience: a settings store that cannot be read or written (a damaged or
// unwritable file, a value of another type) must not stop the program, so a
// failure of the step is written to the log and what it did not read keeps
// its default.
void TrySettings(const std::function<void()> &step);

// All five attributes of Name + ".Font" in section "Last" of AppIni().
void LoadNamedFont(const QString &name, TFontRecord &font);
void SaveNamedFont(const QString &name, const TFontRecord &font);
