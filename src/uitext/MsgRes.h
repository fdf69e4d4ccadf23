#pragma once
// The user-interface text for a key, from the current language table.

#include <QString>

// The current table's text for Key, or Key itself when the table lacks it.
QString GetMsg(const QString &key);
