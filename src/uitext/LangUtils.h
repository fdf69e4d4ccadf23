#pragma once
// The current language table and the lookup of texts in it. The table is two
// parallel lists, one item per row in the order of the table's text,
// duplicates kept; until a language is set both are empty and every key is
// answered with itself.

#include <QString>
#include <QStringList>

QStringList &CurrentKeys();
QStringList &CurrentValues();

// The value of the first row whose key equals Key ignoring case, or Key
// itself when no row has it. Looked up every time: nothing is cached.
QString FindTranslation(const QString &key);
