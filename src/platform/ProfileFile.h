#pragma once
// The Windows profile files (INI files such as WIN.INI): sections of
// "name=value" entries. On Windows the system's own functions are used;
// elsewhere the file WIN.INI in SystemConfigDir() plays the system profile.

#include <QString>

// The entry Key of Section in the profile file FileName, or Default when
// there is none; sections and keys compare ignoring case, the value is
// trimmed and loses one pair of surrounding quotes, and at most Size - 1
// characters are returned.
QString GetPrivateProfileString(const QString &section, const QString &key, const QString &defaultValue,
                                int size, const QString &fileName);

// The same, from the system profile file WIN.INI.
QString GetProfileString(const QString &section, const QString &key, const QString &defaultValue, int size);

// The path of the system profile file WIN.INI.
QString WinIniFileName();
