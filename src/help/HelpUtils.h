#pragma once
// Context help. Topics of the help file are addressed by jump names built
// from component names ("Form1", "Form1.N2"); a component's numeric help
// context only says whether it has a topic of its own (non-zero) or leaves
// the question to its parent (0). Every window carries one TContextHelp,
// named ContextHelp1, which takes over the window's help requests: F1 on a
// control or on a highlighted menu item, and its Help button (ShowFormHelp).
// Every request goes to the help viewer through HelpService().
//
// Help contexts are the dynamic property "HelpContext" (int) of any QObject:
// a widget, a QAction (menu item) or a QMenu. A menu item is a QAction; the
// item of a submenu is the submenu's menuAction(), whose name and help
// context may stand on the action or, when the action has none, on the QMenu
// itself. An item's parent item is the submenu item of the menu showing it.

#include <QObject>
#include <QPoint>
#include <QString>
#include <exception>
#include <functional>

class QMenu;
class QWidget;

// The screen position (-1, -1): no known position.
inline constexpr QPoint NoPosition{-1, -1};

// Help contexts: a non-zero context gives the component a topic of its own.
inline constexpr int OwnHelpTopic = 1;          // the component has a topic of its own
inline constexpr int ParentHelpTopic = 0;       // leaves the question to its parent
inline constexpr int UnqualifiedHelpTopic = -1; // a topic of its own, named without its form's name

// The help context of an object; ParentHelpTopic when it has none.
int HelpContextOf(const QObject *object);
void SetHelpContext(QObject *object, int context);

// The jump name of a component with a help context: empty for
// ParentHelpTopic; a component on a form gives the form's name, a dot and its
// own name ("Form1.N2"); a form, a free object, or a component on a form with
// UnqualifiedHelpTopic, gives its own name.
QString HelpName(const QObject *component, int context);

// The jump name for the highlighted entry of a QMenu or QMenuBar (Menu): from
// the active item up through its parent items to the first with a help
// context. A menu without an active item stands for its own submenu item;
// a pop-up menu that hangs in no other menu for itself. Empty when there is
// no Menu, or nothing on the way has a help context.
QString MenuHelpName(const QWidget *menu);

// Asks the viewer for a help context number, unless it is ParentHelpTopic:
// the toolkit's find and file dialogs and pop-up menus opened from a control
// ask this way.
void ShowHelpContext(int context);

// The help file of the program at ProgramPath: the program's path with its
// extension replaced by ".HLP" when that file exists (build/bin/lexivane.HLP
// beside build/bin/lexivane), else lexivane.HLP in the installed program's
// data folder when that exists (/usr/share/lexivane/lexivane.HLP for
// /usr/bin/lexivane), else the one beside the program.
QString HelpFileNameFor(const QString &programPath);
// The help file of this program.
QString HelpFileName();

// What becomes of an exception raised while a help request is served: the
// application's handler once start-up plugs it in; until then the exception
// is written to the log.
using THelpExceptionHandler = std::function<void(const std::exception &)>;
void SetHelpExceptionHandler(THelpExceptionHandler handler);

class TContextHelp : public QObject
{
    Q_OBJECT
    // The jump name used when neither the control nor any of its parents
    // has a help context; empty unless the window's creator sets it.
    Q_PROPERTY(QString DefaultContext READ DefaultContext WRITE SetDefaultContext)

public:
    // Stands on Form (which owns it) and takes over its help requests until
    // it is destroyed.
    explicit TContextHelp(QWidget *form);

    QString DefaultContext() const { return m_defaultContext; }
    void SetDefaultContext(const QString &context) { m_defaultContext = context; }

    // The help file's contents ("&Contents...").
    void ShowContents() const;
    // The Help buttons: ShowControlHelp(Form, NoPosition).
    void ShowFormHelp(QWidget *form) const;
    // The topic of the first of Control and its parents (within its window)
    // with a help context, else DefaultContext; nothing when that is empty.
    void ShowControlHelp(QWidget *control, const QPoint &position) const;
    // Opens the topic Name: as a pop-up at Position when the window shows a
    // context-help button in its caption and Position is known, otherwise
    // in the viewer's main window. Nothing for an empty Name.
    void ShowHelp(const QString &name, const QPoint &position) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // F1 reached Receiver; whether the request is this window's, and then
    // it has been served.
    bool ServeHelpRequest(QWidget *receiver) const;
    bool ServeMenuRequest(QMenu *menu) const;
    QPoint ClientOrigin() const;

    QWidget *m_form;
    QString m_defaultContext;
};
