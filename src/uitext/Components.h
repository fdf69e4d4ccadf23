#pragma once
// Windows ("forms") and the components that stand on them. A component is
// any QObject with an object name: a widget, an action (menu item), a menu,
// or a non-visual object of our own (a file dialog's settings, say). Its
// owner is the form it stands on: the nearest ancestor that is a top-level
// window other than a pop-up menu. Forms themselves have no owner. The
// object name is the component's name, which the language table and the
// help topics use ("Form1.N2").

#include <QList>
#include <QObject>
#include <QWidget>

// Whether the object is a form: a top-level window that is not a pop-up menu.
bool IsForm(const QObject *object);

// The form the component stands on; nullptr for a form or a free object.
QWidget *OwnerForm(const QObject *object);

// Every component that stands on Form, in creation order.
QList<QObject *> OwnedComponents(const QWidget *form);

// Every form that exists, shown or not.
QList<QWidget *> ExistingForms();
