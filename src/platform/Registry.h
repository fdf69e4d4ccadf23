#pragma once
// A small registry: keys named by backslash paths, each holding named,
// typed values; the subset of the Windows registry the program uses.
//
// Each root ("hive") is a text file in the format of the registry editor's
// .reg files, one per root: HKEY_LOCAL_MACHINE.reg in SystemConfigDir() and
// HKEY_CURRENT_USER.reg in UserConfigDir():
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\InterBase Corp\InterBase\CurrentVersion]
//   "RootDirectory"="/opt/interbase"
//   "Level"=dword:00000001
//
// Key and value names compare ignoring case; "@" names a key's default value.
// String values are quoted, with \\ and \" escaped (a backslash before any
// other character stays as written); dword: values are 32-bit numbers;
// hex(2): (REG_EXPAND_SZ) and hex(1): (REG_SZ) are UTF-16LE text readable as
// strings; hex: and other hex(N): lines hold other types, kept but not
// readable as strings. Long hex lines may continue on the next line after a
// trailing backslash. The file is UTF-8 (a UTF-16LE file with its byte order
// mark, as the registry editor exports, is read too); blank lines, ";"
// comments and lines that cannot be understood are ignored on reading and
// kept on writing. A parent key exists when any key below it exists; when a
// key appears twice its values merge, the later one winning.
//
// The file is read whenever a key is opened and again just before a value is
// written, and replaced as a whole (atomically) on every change. A string
// holding a line break or another control character is written as hex(1):.

#include "diagnostics/Exception.h"

#include <QString>
#include <QStringList>
#include <memory>

LEXIVANE_DECLARE_EXCEPTION(ERegistryException);

enum class RegistryRoot { LocalMachine, CurrentUser };

class TRegistry
{
public:
    explicit TRegistry(RegistryRoot root);
    ~TRegistry();
    TRegistry(const TRegistry &) = delete;
    TRegistry &operator=(const TRegistry &) = delete;

    // Opens Key (a path such as "\SOFTWARE\Borland\Interbase"; a leading
    // backslash makes it absolute from the root, otherwise it is relative to
    // the open key). Returns false when the key does not exist and CanCreate
    // is false; with CanCreate the key and its parents come into being.
    bool OpenKey(const QString &key, bool canCreate);
    // Opens an existing key for reading only; false when it does not exist.
    bool OpenKeyReadOnly(const QString &key);
    // The open key's path from the root, without a leading backslash; empty
    // when no key is open.
    QString CurrentPath() const;

    bool ValueExists(const QString &name) const;
    // The value as a string; "" when the value does not exist. Raises
    // ERegistryException "Invalid data type for '%s'" when the value is not a
    // string (REG_SZ or REG_EXPAND_SZ). The text ends at its first NUL.
    QString ReadString(const QString &name) const;
    // Writes a string (REG_SZ) value into the open key; raises
    // ERegistryException "Failed to set data for '%s'" when that fails.
    void WriteString(const QString &name, const QString &value);

private:
    bool Open(const QString &key, bool canCreate, bool readOnly);
    // Key as components from the root: absolute, or relative to the open key.
    QStringList ResolvePath(const QString &key) const;
    QStringList CurrentComponents() const;

    class Hive;
    std::unique_ptr<Hive> m_hive;
    QString m_currentPath;
    bool m_open = false;
    bool m_readOnly = false;
};
