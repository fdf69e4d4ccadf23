#include "help/HelpUtils.h"

#include "diagnostics/LogUtils.h"
#include "help/HelpService.h"
#include "platform/PlatformPaths.h"
#include "uitext/Components.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace {

const char kHelpContextProperty[] = "HelpContext";

// WinHelp took the topic as the macro JumpID("","<name>"), cut to 255
// characters; the name keeps what fitted.
constexpr int kMaxJumpNameLength = 255 - int(sizeof("JumpID(\"\",\"\")") - 1);

THelpExceptionHandler &ExceptionHandler()
{
    static THelpExceptionHandler handler;
    return handler;
}

void ReportException(const std::exception &error)
{
    if (ExceptionHandler())
        ExceptionHandler()(error);
    else
        LogFile().LogException(error);
}

// The menu or menu bar showing Item; nullptr when it shows nowhere.
QWidget *ItemContainer(const QAction *item)
{
    const QList<QObject *> objects = item->associatedObjects();
    for (QObject *object : objects) {
        if (qobject_cast<QMenu *>(object) || qobject_cast<QMenuBar *>(object))
            return static_cast<QWidget *>(object);
    }
    return nullptr;
}

// The item whose submenu Menu is; nullptr for a menu that hangs nowhere.
QAction *SubmenuItem(const QMenu *menu)
{
    QAction *item = menu->menuAction();
    return ItemContainer(item) ? item : nullptr;
}

// The outermost menu of the chain of submenus Menu belongs to.
const QMenu *RootMenu(const QMenu *menu)
{
    for (;;) {
        const QAction *item = SubmenuItem(menu);
        const auto *parentMenu = item ? qobject_cast<const QMenu *>(ItemContainer(item)) : nullptr;
        if (!parentMenu)
            return menu;
        menu = parentMenu;
    }
}

// The menu bar that Root (a root menu) hangs in, or nullptr.
const QMenuBar *MenuBarOf(const QMenu *root)
{
    const QAction *item = SubmenuItem(root);
    return item ? qobject_cast<const QMenuBar *>(ItemContainer(item)) : nullptr;
}

// The component that names a menu item: the action, or the submenu for a
// submenu item whose action has no name.
const QObject *ItemComponent(const QAction *item)
{
    if (item->objectName().isEmpty() && item->menu())
        return item->menu();
    return item;
}

int ItemContext(const QAction *item)
{
    if (!item->property(kHelpContextProperty).isValid() && item->menu())
        return HelpContextOf(item->menu());
    return HelpContextOf(item);
}

// From Item, shown in Container, up through its parent items to the first
// with a help context.
QString ItemChainHelpName(const QAction *item, const QWidget *container)
{
    while (item) {
        const int context = ItemContext(item);
        if (context != ParentHelpTopic)
            return HelpName(ItemComponent(item), context);
        const auto *menu = qobject_cast<const QMenu *>(container);
        item = menu ? SubmenuItem(menu) : nullptr;
        container = item ? ItemContainer(item) : nullptr;
    }
    return {};
}

bool IsHelpKey(const QKeyEvent *event)
{
    return event->key() == Qt::Key_F1 && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

} // namespace

int HelpContextOf(const QObject *object)
{
    return object ? object->property(kHelpContextProperty).toInt() : ParentHelpTopic;
}

void SetHelpContext(QObject *object, int context)
{
    object->setProperty(kHelpContextProperty, context);
}

QString HelpName(const QObject *component, int context)
{
    if (context == ParentHelpTopic || !component)
        return {};
    const QWidget *owner = OwnerForm(component);
    if (owner && (context != UnqualifiedHelpTopic || !IsForm(owner)))
        return HelpName(owner, context) + QLatin1Char('.') + component->objectName();
    return component->objectName();
}

QString MenuHelpName(const QWidget *menu)
{
    if (const auto *bar = qobject_cast<const QMenuBar *>(menu))
        return ItemChainHelpName(bar->activeAction(), bar);
    const auto *popup = qobject_cast<const QMenu *>(menu);
    if (!popup)
        return {};
    if (const QAction *active = popup->activeAction())
        return ItemChainHelpName(active, popup);
    if (const QAction *item = SubmenuItem(popup))
        return ItemChainHelpName(item, ItemContainer(item));
    return HelpName(popup, HelpContextOf(popup));
}

void ShowHelpContext(int context)
{
    if (context == ParentHelpTopic)
        return;
    if (THelpService *service = HelpService())
        service->ShowContext(context);
}

QString HelpFileNameFor(const QString &programPath)
{
    const QString beside = ChangeFileExt(programPath, QStringLiteral(".HLP"));
    if (QFileInfo::exists(beside))
        return beside;
    const QString installed = InstalledDataDir(programPath) + QStringLiteral("/lexivane.HLP");
    if (QFileInfo::exists(installed))
        return installed;
    return beside;
}

QString HelpFileName()
{
    return HelpFileNameFor(QCoreApplication::applicationFilePath());
}

void SetHelpExceptionHandler(THelpExceptionHandler handler)
{
    ExceptionHandler() = std::move(handler);
}

TContextHelp::TContextHelp(QWidget *form)
    : QObject(form), m_form(form)
{
    Q_ASSERT(form);
    setObjectName(QStringLiteral("ContextHelp1"));
    // F1 goes to the focused control or to an open menu, not to the window:
    // only the application sees every key first.
    QCoreApplication::instance()->installEventFilter(this);
}

void TContextHelp::ShowContents() const
{
    if (THelpService *service = HelpService())
        service->ShowContents();
}

void TContextHelp::ShowFormHelp(QWidget *form) const
{
    ShowControlHelp(form, NoPosition);
}

void TContextHelp::ShowControlHelp(QWidget *control, const QPoint &position) const
{
    QString name;
    for (QWidget *widget = control; widget; widget = widget->isWindow() ? nullptr : widget->parentWidget()) {
        const int context = HelpContextOf(widget);
        if (context != ParentHelpTopic) {
            name = HelpName(widget, context);
            break;
        }
    }
    if (name.isEmpty())
        name = m_defaultContext;
    ShowHelp(name, position);
}

void TContextHelp::ShowHelp(const QString &name, const QPoint &position) const
{
    if (name.isEmpty())
        return;
    THelpService *service = HelpService();
    if (!service)
        return;
    if (m_form->windowFlags().testFlag(Qt::WindowContextHelpButtonHint) && position != NoPosition) {
        service->ShowPopup(name, position);
        return;
    }
    service->ShowTopic(name.left(kMaxJumpNameLength));
}

bool TContextHelp::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !IsHelpKey(static_cast<QKeyEvent *>(event)))
        return false;
    auto *receiver = qobject_cast<QWidget *>(watched);
    if (!receiver)
        return false;
    try {
        return ServeHelpRequest(receiver);
    } catch (const std::exception &error) {
        ReportException(error);
        return true;
    }
}

bool TContextHelp::ServeHelpRequest(QWidget *receiver) const
{
    if (auto *menu = qobject_cast<QMenu *>(receiver))
        return ServeMenuRequest(menu);
    if (receiver->window() != m_form)
        return false;
    // The menu bar itself has the keyboard while a title is highlighted.
    if (auto *bar = qobject_cast<QMenuBar *>(receiver); bar && bar->activeAction()) {
        ShowHelp(MenuHelpName(bar), ClientOrigin());
        return true;
    }
    ShowControlHelp(receiver, receiver->mapToGlobal(QPoint(0, 0)));
    return true;
}

bool TContextHelp::ServeMenuRequest(QMenu *menu) const
{
    const QMenu *root = RootMenu(menu);
    if (const QMenuBar *bar = MenuBarOf(root)) {
        if (bar->window() != m_form)
            return false;
        ShowHelp(MenuHelpName(menu), ClientOrigin());
        return true;
    }
    if (OwnerForm(root) != m_form)
        return false;
    // The window's own pop-up menu hangs on the window itself.
    if (root->parentWidget() == m_form) {
        ShowHelp(MenuHelpName(menu), ClientOrigin());
        return true;
    }
    // A pop-up menu opened from a control is served as the toolkit serves
    // it: by the menu's help context number.
    ShowHelpContext(HelpContextOf(root));
    return true;
}

QPoint TContextHelp::ClientOrigin() const
{
    return m_form->mapToGlobal(QPoint(0, 0));
}
