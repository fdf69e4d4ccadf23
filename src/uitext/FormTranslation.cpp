#include "uitext/FormTranslation.h"

#include "uitext/Components.h"
#include "uitext/Format.h"
#include "uitext/LangUtils.h"

#include <QMetaProperty>

namespace {

// The path's first segment and what follows its first ".".
std::pair<QString, QString> SplitPath(const QString &path)
{
    const qsizetype dot = path.indexOf(QLatin1Char('.'));
    if (dot < 0)
        return {path, QString()};
    return {path.left(dot), path.mid(dot + 1)};
}

QMetaProperty PropertyNamed(const QObject *object, const QString &name)
{
    const QMetaObject *meta = object->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (name.compare(QLatin1String(property.name()), Qt::CaseInsensitive) == 0)
            return property;
    }
    return {};
}

// The property a table name stands for: a property of that name, else the
// Qt property the name maps to.
QMetaProperty FindProperty(const QObject *object, const QString &name)
{
    QMetaProperty property = PropertyNamed(object, name);
    if (property.isValid())
        return property;
    QStringList qtNames;
    if (name.compare(QLatin1String("Caption"), Qt::CaseInsensitive) == 0)
        qtNames = IsForm(object) ? QStringList{QStringLiteral("windowTitle")}
                                 : QStringList{QStringLiteral("text"), QStringLiteral("title")};
    else if (name.compare(QLatin1String("Hint"), Qt::CaseInsensitive) == 0)
        qtNames = QStringList{QStringLiteral("toolTip")};
    for (const QString &qtName : qtNames) {
        property = PropertyNamed(object, qtName);
        if (property.isValid())
            return property;
    }
    return {};
}

[[noreturn]] void RaiseCantAssign(const QString &path)
{
    throw ELexivaneError(Format(QStringLiteral("Can't assign to \"%s\""), {path}));
}

bool IsObjectProperty(const QMetaProperty &property)
{
    return property.metaType().flags().testFlag(QMetaType::PointerToQObject);
}

} // namespace

void SetLanguage(const QString &name)
{
    LoadLanguageTable(name, CurrentKeys(), CurrentValues());
    const QStringList &keys = CurrentKeys();
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys.at(i).compare(QLatin1String("Application.Title"), Qt::CaseInsensitive) == 0) {
            SetApplicationTitle(CurrentValues().value(i));
            break;
        }
    }
    const QList<QWidget *> forms = ExistingForms();
    for (QWidget *form : forms)
        TranslateForm(form);
}

void TranslateForm(QWidget *form)
{
    const QString prefix = ComponentPath(form) + QLatin1Char('.');
    const QStringList &keys = CurrentKeys();
    bool inRun = false;
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (!keys.at(i).startsWith(prefix, Qt::CaseSensitive)) {
            if (inRun)
                return;
            continue;
        }
        inRun = true;
        SetFormProperty(form, keys.at(i).mid(prefix.size()), CurrentValues().value(i));
    }
}

void SetFormProperty(QWidget *form, const QString &path, const QString &value)
{
    const auto [first, rest] = SplitPath(path);
    const QList<QObject *> components = OwnedComponents(form);
    for (QObject *component : components) {
        if (component->objectName().compare(first, Qt::CaseInsensitive) == 0) {
            SetComponentProperty(component, rest, value);
            return;
        }
    }
    SetComponentProperty(form, path, value);
}

void SetComponentProperty(QObject *object, const QString &path, const QString &value)
{
    if (path.isEmpty())
        throw ELexivaneError(QStringLiteral("Invalid property name"));
    const auto [first, rest] = SplitPath(path);
    const QMetaProperty property = FindProperty(object, first);
    if (!property.isValid())
        throw ELexivaneError(Format(QStringLiteral("No such property \"%s\""), {path}));

    switch (property.metaType().id()) {
    case QMetaType::QString:
        if (!property.isWritable())
            RaiseCantAssign(path);
        property.write(object, value);
        return;
    case QMetaType::QStringList: {
        QStringList strings = property.read(object).toStringList();
        SetStringsItem(strings, rest, value);
        if (!property.write(object, strings))
            RaiseCantAssign(path);
        return;
    }
    default:
        break;
    }
    if (IsObjectProperty(property)) {
        QObject *inner = property.read(object).value<QObject *>();
        if (!inner)
            RaiseCantAssign(path);
        SetComponentProperty(inner, rest, value);
        return;
    }
    RaiseCantAssign(path);
}

void SetStringsItem(QStringList &strings, const QString &text, const QString &value)
{
    if (text.size() < 2 || !text.startsWith(QLatin1Char('[')) || !text.endsWith(QLatin1Char(']')))
        throw ELexivaneError(QStringLiteral("Invalid property name"));
    const QString digits = text.mid(1, text.size() - 2);
    bool ok = false;
    const int index = digits.toInt(&ok);
    if (!ok)
        throw EConvertError(Format(QStringLiteral("'%s' is not a valid integer value"), {digits}));
    if (index < 0 || index >= strings.size())
        throw EListError(Format(QStringLiteral("List index out of bounds (%d)"), {index}));
    strings[index] = value;
}

QString ComponentPath(const QObject *component)
{
    const QWidget *owner = OwnerForm(component);
    if (!owner)
        return component->objectName();
    return ComponentPath(owner) + QLatin1Char('.') + component->objectName();
}
