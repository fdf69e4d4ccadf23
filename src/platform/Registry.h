#pragma once
// A small registry: keys named by backslash paths, each holding named,
// typed values; the subset of the Windows registry the program uses.
//
// On Windows this is the real registry. Elsewhere each root ("hive") is a
// text file in the format of the registry editor's .reg files, one per root:
// HKEY_LOCAL_MACHINE.reg in SystemConfigDir() and HKEY_CURRENT_USER.reg in
// UserConfigDir():
//
//   [HKEY_LOCAL_MACHINE\SOFTWARE\InterBase Corp\InterBase\CurrentVersion]
//   "RootDirectory"="/opt/interbase"
//   "Level"=dword:00000001
//
// Key and value names compare ignoring case. String values are quoted, with
// \\ and \" escaped; dword: values are 32-bit numbers; hex: and hex(N): lines
// hold other types, kept but not readable as strings.

#include "diagnostics/Exception.h"

#include <QString>
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
    void CloseKey();
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
    class Hive;
    std::unique_ptr<Hive> m_hive;
    QString m_currentPath;
    bool m_open = false;
    bool m_readOnly = false;
};
