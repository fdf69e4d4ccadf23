#pragma once
// The Windows profile files (INI files such as WIN.INI): sections of
// "name=value" entries, read as Windows' profile functions read them. The
// file WIN.INI in SystemConfigDir() plays the system profile.

#include <QString>

// The entry Key of Section in the profile file FileName, or Default (less
// its trailing blanks) when there is none; sections and keys compare
// ignoring case and surrounding blanks, the value is trimmed and loses one
// pair of surrounding double or single quotes, and at most Size - 1
// characters are returned. Only the first section of a name is searched and
// the first entry of a key in it is taken. Lines starting with ";" are
// comments. The file is read as UTF-8.
QString GetPrivateProfileString(const QString &section, const QString &key, const QString &defaultValue,
                                int size, const QString &fileName);

// The same, from the system profile file WIN.INI.
QString GetProfileString(const QString &section, const QString &key, const QString &defaultValue, int size);

// The path of the system profile file WIN.INI.
QString WinIniFileName();
