#pragma once
// Applying the current language table to windows: a row whose key begins
// with a window's name and a dot ("Form2.Button2.Caption") sets a string
// property of that window or of a component on it.
//
// Property names are looked up through Qt's meta-object system, ignoring
// case. Two names the tables use are spelled differently in Qt and are
// mapped: "Caption" is a window's windowTitle and a component's text (or
// title, for menus and group boxes); "Hint" is toolTip. Our own components
// declare the other names they need as properties of their own ("Filter",
// "DialogTitle", "Title", "Lines").

#include "diagnostics/Exception.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>

// A failure of the engine: "Invalid property name", "No such property "%s""
// or "Can't assign to "%s"".
LEXIVANE_DECLARE_EXCEPTION(ELexivaneError);

// Makes the table of language Name current (a name never added keeps the
// current table), sets the application title from its "Application.Title"
// row, and translates every window that exists.
void SetLanguage(const QString &name);

// Applies the current table's rows for one window: the run of rows whose keys
// begin with the window's name and a dot (letter case exact), up to the first
// row after the run that does not belong to it.
void TranslateForm(QWidget *form);

// Sets the property Path (relative to the window) to Value: on the
// component named by Path's first segment when the window owns one of that
// name (ignoring case), otherwise on the window itself.
void SetFormProperty(QWidget *form, const QString &path, const QString &value);

// Sets the property Path of Object, following object-valued properties and
// ending in a string property or an item of a string-list property.
void SetComponentProperty(QObject *object, const QString &path, const QString &value);

// Sets the item of Strings that Text ("[index]") names.
void SetStringsItem(QStringList &strings, const QString &text, const QString &value);

// The component's name, after its owner's path and a dot when it stands on a
// window: "Form1.N1"; a window's path is its name.
QString ComponentPath(const QObject *component);
