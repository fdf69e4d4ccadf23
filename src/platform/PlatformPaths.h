#pragma once
// Where the program keeps its files.
//
// The stand-ins for the Windows registry and WIN.INI:
//   LEXIVANE_SYSTEM_DIR  the machine-wide folder: HKEY_LOCAL_MACHINE.reg and
//                        WIN.INI (default /etc/lexivane)
//   LEXIVANE_USER_DIR    the user's folder: HKEY_CURRENT_USER.reg
//                        (default $XDG_CONFIG_HOME/lexivane, that is
//                        ~/.config/lexivane)
//
// The program's own files (its help file and its log) lie beside the
// program, named like it with another extension (build/bin/lexivane.HLP).
// An installed program has a data folder instead: lexivane in the data
// folder of the tree it was installed into (/usr/share/lexivane for
// /usr/bin/lexivane, found from the program's own folder, so that an
// unpacked package finds its own); its log goes to the user's state folder
// (XDG_STATE_HOME).
//
// Tests point every folder at temporary ones.

#include <QString>

QString SystemConfigDir();
QString UserConfigDir();

// Path with the extension of its file name (from the last ".") replaced by
// Extension, or Extension appended when it has none.
QString ChangeFileExt(const QString &path, const QString &extension);

// The data folder an installed ProgramPath would have: "lexivane" in the
// data folder that lies, relative to the program's folder, where the
// install rules put it (../share/lexivane beside .../bin/lexivane).
QString InstalledDataDir(const QString &programPath);
// Whether ProgramPath is installed: its data folder exists.
bool IsInstalledProgram(const QString &programPath);

// The user's state folder for the program: $XDG_STATE_HOME/lexivane, else
// (unset, empty or not an absolute path) $HOME/.local/state/lexivane.
QString UserStateDir();
