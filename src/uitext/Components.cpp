#include "uitext/Components.h"

#include <QApplication>
#include <QMenu>

bool IsForm(const QObject *object)
{
    const auto *widget = qobject_cast<const QWidget *>(object);
    return widget && widget->isWindow() && !qobject_cast<const QMenu *>(widget);
}

QWidget *OwnerForm(const QObject *object)
{
    if (!object || IsForm(object))
        return nullptr;
    for (QObject *parent = object->parent(); parent; parent = parent->parent()) {
        if (IsForm(parent))
            return static_cast<QWidget *>(parent);
    }
    return nullptr;
}

QList<QObject *> OwnedComponents(const QWidget *form)
{
    QList<QObject *> components;
    const QList<QObject *> descendants = form->findChildren<QObject *>();
    for (QObject *object : descendants) {
        if (OwnerForm(object) == form)
            components.append(object);
    }
    return components;
}

QList<QWidget *> ExistingForms()
{
    QList<QWidget *> forms;
    const QList<QWidget *> topLevel = QApplication::topLevelWidgets();
    for (QWidget *widget : topLevel) {
        if (IsForm(widget))
            forms.append(widget);
    }
    return forms;
}
