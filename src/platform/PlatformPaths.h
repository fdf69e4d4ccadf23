#pragma once
// Where the stand-ins for the Windows registry and WIN.INI keep their files.
//
//   LEXIVANE_SYSTEM_DIR  the machine-wide folder: HKEY_LOCAL_MACHINE.reg and
//                        WIN.INI (default /etc/lexivane)
//   LEXIVANE_USER_DIR    the user's folder: HKEY_CURRENT_USER.reg
//                        (default $XDG_CONFIG_HOME/lexivane, that is
//                        ~/.config/lexivane)
//
// Tests point both at temporary folders.

#include <QString>

QString SystemConfigDir();
QString UserConfigDir();
