#pragma once
// Language tables: the list of available languages and the current table.
//
// A language table is one text of rows separated by LF, each "key=value"; a
// CR at the end of a row is dropped; a row without "=" is skipped. Languages
// are added under an entry "NAME=Display name" and found by the name,
// ignoring case, the first match counting.
//
// The current table is two parallel lists, one item per row in the order of
// the table's text, duplicates kept; until a language is set both are empty
// and every key is answered with itself.

#include <QString>
#include <QStringList>

QStringList &CurrentKeys();
QStringList &CurrentValues();

// The available languages: entries ("ENGLISH=English") and table texts at
// the same positions, in the order they were added.
QStringList &LanguageNames();
QStringList &LanguageTables();

// Adds a language; adding one twice keeps both, the first is found.
void AddLanguage(const QString &entry, const QString &table);

// Fills Keys and Values from the table of the language Name. A name that was
// never added changes nothing.
void LoadLanguageTable(const QString &name, QStringList &keys, QStringList &values);

// The value of the first row whose key equals Key ignoring case, or Key
// itself when no row has it. Looked up every time: nothing is cached.
QString FindTranslation(const QString &key);

// The application's title, which the current table's "Application.Title"
// row sets; the main window shows it.
QString ApplicationTitle();
void SetApplicationTitle(const QString &title);
