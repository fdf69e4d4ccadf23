// Context help: jump names of components and menu items, the walk up to the
// first parent with a help context, DefaultContext, and F1 reaching the help
// viewer from a focused control and from an open menu.

#include "diagnostics/Exception.h"
#include "help/HelpService.h"
#include "help/HelpUtils.h"
#include "support/TestEnvironment.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTableWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

// Writes down every request that reaches the viewer.
class THelpRecorder : public THelpService
{
public:
    QStringList calls;
    bool failTopics = false;

    void ShowContents() override { calls << QStringLiteral("contents"); }
    void ShowTopic(const QString &jumpName) override
    {
        if (failTopics)
            throw EInOutError(QStringLiteral("viewer failed"));
        calls << QStringLiteral("topic ") + jumpName;
    }
    void ShowPopup(const QString &jumpName, const QPoint &position) override
    {
        calls << QStringLiteral("popup %1 at %2,%3").arg(jumpName).arg(position.x()).arg(position.y());
    }
    void ShowContext(int context) override { calls << QStringLiteral("context ") + QString::number(context); }
};

// Counts the presses of one key that reach a widget.
class TKeyCounter : public QObject
{
public:
    explicit TKeyCounter(int key = Qt::Key_F1) : m_key(key) {}
    int presses = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == m_key)
            ++presses;
        return false;
    }

private:
    int m_key;
};

QAction *AddItem(QMenu *menu, const char *name, int context)
{
    QAction *item = menu->addAction(QString::fromLatin1(name));
    item->setObjectName(QString::fromLatin1(name));
    SetHelpContext(item, context);
    return item;
}

QMenu *AddSubmenu(QWidget *parent, const char *name, int context)
{
    auto *menu = new QMenu(QString::fromLatin1(name), parent);
    menu->setObjectName(QString::fromLatin1(name));
    SetHelpContext(menu, context);
    return menu;
}

// The main window as the program builds it, cut down to what help needs:
// Form1 (context 1) with a tool panel, a grid, the menu bar (File with the
// "Revert to" submenu, Edit, Help), a pop-up menu of the window and a link
// label with a pop-up menu of its own; and the dialog Form2 on top of it.
// Controls have the context 0, menu items 1, as in the program.
struct TWindows
{
    std::unique_ptr<QMainWindow> form1;
    QDialog *form2 = nullptr;
    TContextHelp *help1 = nullptr;
    TContextHelp *help2 = nullptr;

    TWindows()
        : form1(std::make_unique<QMainWindow>())
    {
        form1->setObjectName(QStringLiteral("Form1"));
        SetHelpContext(form1.get(), 1);
        help1 = new TContextHelp(form1.get());

        auto *client = new QWidget(form1.get());
        auto *toolPanel = new QWidget(client);
        toolPanel->setObjectName(QStringLiteral("ToolPanel"));
        auto *openBtn = new QToolButton(toolPanel);
        openBtn->setObjectName(QStringLiteral("OpenBtn"));
        openBtn->setFocusPolicy(Qt::StrongFocus);
        auto *grid = new QTableWidget(3, 3, client);
        grid->setObjectName(QStringLiteral("Grid"));
        auto *link = new QLabel(QStringLiteral("Tessavel"), client);
        link->setObjectName(QStringLiteral("URLLabel1"));
        auto *layout = new QVBoxLayout(client);
        layout->addWidget(toolPanel);
        layout->addWidget(grid);
        layout->addWidget(link);
        form1->setCentralWidget(client);

        QMenu *file = AddSubmenu(form1.get(), "N1", 1);
        AddItem(file, "N2", 1);
        AddItem(file, "SaveItem", 1);
        QMenu *revert = AddSubmenu(file, "RevertItem", 0);
        AddItem(revert, "RevertSavedItem", 1);
        AddItem(revert, "RevertBAKItem", 1);
        file->addMenu(revert);
        AddItem(file, "N6", 1);
        form1->menuBar()->addMenu(file);

        // Here the submenu's name and context stand on its item, not on the menu.
        auto *edit = new QMenu(QStringLiteral("Edit"), form1.get());
        edit->menuAction()->setObjectName(QStringLiteral("EditItem"));
        SetHelpContext(edit->menuAction(), 1);
        AddItem(edit, "UndoItem", 1);
        form1->menuBar()->addMenu(edit);

        QMenu *help = AddSubmenu(form1->menuBar(), "N10", 1);
        AddItem(help, "N19", 1);
        AddItem(help, "Web1", 1);
        help->addSeparator()->setObjectName(QStringLiteral("N22"));
        AddItem(help, "N23", 1);
        form1->menuBar()->addMenu(help);

        QMenu *popup = AddSubmenu(form1.get(), "PopupMenu1", 0);
        AddItem(popup, "CopyItem", 1);
        AddItem(popup, "PlainItem", 0);

        QMenu *urlMenu = AddSubmenu(link, "URLMenu", 1);
        AddItem(urlMenu, "OpenLinkItem", 0);
        AddItem(urlMenu, "CopyUrlItem", 0);

        form2 = new QDialog(form1.get());
        form2->setObjectName(QStringLiteral("Form2"));
        SetHelpContext(form2, 1);
        help2 = new TContextHelp(form2);
        auto *memo = new QLineEdit(form2);
        memo->setObjectName(QStringLiteral("Memo1"));
        auto *button = new QToolButton(form2);
        button->setObjectName(QStringLiteral("Button3"));
    }

    QObject *Find(const QString &name) const
    {
        if (name == form1->objectName())
            return form1.get();
        QObject *object = form1->findChild<QObject *>(name);
        Q_ASSERT_X(object, "TWindows::Find", qPrintable(name));
        return object;
    }

    QWidget *Widget(const QString &name) const { return qobject_cast<QWidget *>(Find(name)); }

    // A menu by its own name, or by the name of its submenu item.
    QMenu *Menu(const QString &name) const
    {
        if (auto *menu = form1->findChild<QMenu *>(name))
            return menu;
        return qobject_cast<QAction *>(Find(name))->menu();
    }

    // "Name=context,Name=context" applied to the components.
    void SetContexts(const QString &assignments) const
    {
        const QStringList parts = assignments.split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString &part : parts)
            SetHelpContext(Find(part.section(QLatin1Char('='), 0, 0)), part.section(QLatin1Char('='), 1).toInt());
    }
};

// Shows the window and gives Control the keyboard focus.
bool FocusInShownWindow(QWidget *window, QWidget *control)
{
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window))
        return false;
    control->setFocus();
    return QTest::qWaitFor([control] { return QApplication::focusWidget() == control; });
}

} // namespace

class TestHelpUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_recorder.calls.clear();
        m_recorder.failTopics = false;
        SetHelpService(&m_recorder);
    }
    void cleanup() { SetHelpService(nullptr); }

    void helpName_data()
    {
        QTest::addColumn<QString>("component");
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("name");
        QTest::newRow("control on the window") << "Grid" << 1 << "Form1.Grid";
        QTest::newRow("any non-zero context") << "Grid" << 7 << "Form1.Grid";
        QTest::newRow("control inside a panel: the window's name") << "OpenBtn" << 1 << "Form1.OpenBtn";
        QTest::newRow("the window") << "Form1" << 1 << "Form1";
        QTest::newRow("context 0: none") << "Grid" << 0 << "";
        QTest::newRow("context 0 on the window: none") << "Form1" << 0 << "";
        QTest::newRow("context -1: the name alone") << "Grid" << -1 << "Grid";
        QTest::newRow("context -1 on the window") << "Form1" << -1 << "Form1";
        QTest::newRow("menu item") << "N2" << 1 << "Form1.N2";
        QTest::newRow("item of a submenu") << "RevertSavedItem" << 1 << "Form1.RevertSavedItem";
        QTest::newRow("submenu") << "RevertItem" << 1 << "Form1.RevertItem";
        QTest::newRow("menu of a control") << "URLMenu" << 1 << "Form1.URLMenu";
        QTest::newRow("dialog on top of the window: its own name") << "Form2" << 1 << "Form2";
        QTest::newRow("control on the dialog") << "Button3" << 1 << "Form2.Button3";
        QTest::newRow("the help component itself") << "ContextHelp1" << 1 << "Form1.ContextHelp1";
    }
    void helpName()
    {
        QFETCH(QString, component);
        QFETCH(int, context);
        QFETCH(QString, name);
        TWindows windows;
        QCOMPARE(HelpName(windows.Find(component), context), name);
    }

    void helpNameOfFreeObject()
    {
        QObject loose;
        loose.setObjectName(QStringLiteral("Loose"));
        QCOMPARE(HelpName(&loose, 1), QStringLiteral("Loose"));
        QCOMPARE(HelpName(&loose, 0), QString());
        QCOMPARE(HelpName(nullptr, 1), QString());
    }

    void helpContextProperty()
    {
        QObject object;
        QCOMPARE(HelpContextOf(&object), 0);
        SetHelpContext(&object, 5);
        QCOMPARE(HelpContextOf(&object), 5);
        QCOMPARE(object.property("HelpContext").toInt(), 5);
        object.setProperty("HelpContext", -1);
        QCOMPARE(HelpContextOf(&object), -1);
        QCOMPARE(HelpContextOf(nullptr), 0);
    }

    // From the control up through its parents, within its own window, to
    // the first with a help context; else DefaultContext; else nothing.
    void showControlHelp_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("contexts");
        QTest::addColumn<QString>("defaultContext");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("grid: its window") << "Grid" << "" << "" << QStringList{"topic Form1"};
        QTest::newRow("control with a context of its own") << "OpenBtn" << "OpenBtn=1" << ""
                                                           << QStringList{"topic Form1.OpenBtn"};
        QTest::newRow("first parent with a context") << "OpenBtn" << "ToolPanel=1" << ""
                                                     << QStringList{"topic Form1.ToolPanel"};
        QTest::newRow("nearest parent wins") << "OpenBtn" << "ToolPanel=2,Form1=1" << ""
                                             << QStringList{"topic Form1.ToolPanel"};
        QTest::newRow("context -1 on the control") << "Grid" << "Grid=-1" << "" << QStringList{"topic Grid"};
        QTest::newRow("no context anywhere: DefaultContext") << "Grid" << "Form1=0" << "Form1.GotoDialog"
                                                             << QStringList{"topic Form1.GotoDialog"};
        QTest::newRow("a context beats DefaultContext") << "Grid" << "" << "Form1.GotoDialog"
                                                        << QStringList{"topic Form1"};
        QTest::newRow("no context, no DefaultContext: nothing") << "Grid" << "Form1=0" << "" << QStringList{};
        QTest::newRow("the walk stays in the control's window") << "Button3" << "Form2=0" << "" << QStringList{};
        QTest::newRow("dialog on top: its own topic") << "Button3" << "" << "" << QStringList{"topic Form2"};
    }
    void showControlHelp()
    {
        QFETCH(QString, control);
        QFETCH(QString, contexts);
        QFETCH(QString, defaultContext);
        QFETCH(QStringList, calls);
        TWindows windows;
        windows.SetContexts(contexts);
        windows.help1->SetDefaultContext(defaultContext);
        windows.help1->ShowControlHelp(windows.Widget(control), QPoint(10, 20));
        QCOMPARE(m_recorder.calls, calls);
    }

    // The pop-up form of a topic needs both the window's context-help caption
    // button and a known position.
    void popupOnlyWithCaptionButton_data()
    {
        QTest::addColumn<bool>("captionButton");
        QTest::addColumn<QPoint>("position");
        QTest::addColumn<QString>("call");
        QTest::newRow("button and position") << true << QPoint(10, 20) << "popup Form1 at 10,20";
        QTest::newRow("button, no position") << true << NoPosition << "topic Form1";
        QTest::newRow("position, no button") << false << QPoint(10, 20) << "topic Form1";
    }
    void popupOnlyWithCaptionButton()
    {
        QFETCH(bool, captionButton);
        QFETCH(QPoint, position);
        QFETCH(QString, call);
        TWindows windows;
        windows.form1->setWindowFlag(Qt::WindowContextHelpButtonHint, captionButton);
        windows.help1->ShowControlHelp(windows.Widget(QStringLiteral("Grid")), position);
        QCOMPARE(m_recorder.calls, QStringList{call});
    }

    // The Help buttons: the window's own topic, or DefaultContext for a
    // window without a context (the go-to prompt).
    void showFormHelp_data()
    {
        QTest::addColumn<QString>("formName");
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("defaultContext");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("go-to prompt") << "StringEnterForm" << 0 << "Form1.GotoDialog"
                                      << QStringList{"topic Form1.GotoDialog"};
        QTest::newRow("font setup") << "Form4" << 1 << "" << QStringList{"topic Form4"};
        QTest::newRow("context before DefaultContext") << "Form4" << 1 << "Other" << QStringList{"topic Form4"};
        QTest::newRow("nothing to show") << "Form9" << 0 << "" << QStringList{};
    }
    void showFormHelp()
    {
        QFETCH(QString, formName);
        QFETCH(int, context);
        QFETCH(QString, defaultContext);
        QFETCH(QStringList, calls);
        QDialog form;
        form.setObjectName(formName);
        SetHelpContext(&form, context);
        auto *help = new TContextHelp(&form);
        help->setProperty("DefaultContext", defaultContext);
        help->ShowFormHelp(&form);
        QCOMPARE(m_recorder.calls, calls);
    }

    void componentOnItsWindow()
    {
        TWindows windows;
        auto *help = windows.form1->findChild<TContextHelp *>(QStringLiteral("ContextHelp1"),
                                                             Qt::FindDirectChildrenOnly);
        QCOMPARE(help, windows.help1);
        QCOMPARE(help->parent(), windows.form1.get());
        QCOMPARE(help->DefaultContext(), QString());
        const QMetaProperty property =
            help->metaObject()->property(help->metaObject()->indexOfProperty("DefaultContext"));
        QVERIFY(property.isValid());
        QVERIFY(property.isWritable());
        QVERIFY(help->setProperty("DefaultContext", QStringLiteral("Form1.GotoDialog")));
        QCOMPARE(help->DefaultContext(), QStringLiteral("Form1.GotoDialog"));
    }

    void contentsAndContextNumbers_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("contents") << "contents" << QStringList{"contents"};
        QTest::newRow("context 1") << "1" << QStringList{"context 1"};
        QTest::newRow("context 0: nothing") << "0" << QStringList{};
    }
    void contentsAndContextNumbers()
    {
        QFETCH(QString, request);
        QFETCH(QStringList, calls);
        TWindows windows;
        if (request == QLatin1String("contents"))
            windows.help1->ShowContents();
        else
            ShowHelpContext(request.toInt());
        QCOMPARE(m_recorder.calls, calls);
    }

    // F1 in an open menu, sent to that menu: the highlighted item's topic or
    // its parents'; a control's pop-up menu asks for its context number.
    void menuF1_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("active"); // empty: no item highlighted
        QTest::addColumn<QString>("contexts");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("Saved... of Revert to") << "RevertItem" << "RevertSavedItem" << ""
                                               << QStringList{"topic Form1.RevertSavedItem"};
        QTest::newRow("Revert to itself (context 0): File") << "N1" << "RevertItem" << ""
                                                            << QStringList{"topic Form1.N1"};
        QTest::newRow("Revert to opened, nothing highlighted: File") << "RevertItem" << "" << ""
                                                                     << QStringList{"topic Form1.N1"};
        QTest::newRow("Open...") << "N1" << "N2" << "" << QStringList{"topic Form1.N2"};
        QTest::newRow("item of the Help menu") << "N10" << "N19" << "" << QStringList{"topic Form1.N19"};
        QTest::newRow("item without a context: its submenu item") << "EditItem" << "UndoItem" << "UndoItem=0"
                                                                  << QStringList{"topic Form1.EditItem"};
        QTest::newRow("up two levels") << "RevertItem" << "RevertBAKItem" << "RevertBAKItem=0"
                                       << QStringList{"topic Form1.N1"};
        QTest::newRow("no context on the way: nothing") << "N1" << "N2" << "N2=0,N1=0" << QStringList{};
        QTest::newRow("window's pop-up menu") << "PopupMenu1" << "CopyItem" << "" << QStringList{"topic Form1.CopyItem"};
        QTest::newRow("window's pop-up menu, item without a context") << "PopupMenu1" << "PlainItem" << ""
                                                                      << QStringList{};
        QTest::newRow("window's pop-up menu itself") << "PopupMenu1" << "" << "PopupMenu1=1"
                                                     << QStringList{"topic Form1.PopupMenu1"};
        QTest::newRow("control's pop-up menu: its number") << "URLMenu" << "OpenLinkItem" << ""
                                                           << QStringList{"context 1"};
        QTest::newRow("control's pop-up menu, item context ignored") << "URLMenu" << "CopyUrlItem"
                                                                     << "CopyUrlItem=5" << QStringList{"context 1"};
        QTest::newRow("control's pop-up menu without a context") << "URLMenu" << "OpenLinkItem" << "URLMenu=0"
                                                                 << QStringList{};
    }
    void menuF1()
    {
        QFETCH(QString, menu);
        QFETCH(QString, active);
        QFETCH(QString, contexts);
        QFETCH(QStringList, calls);
        TWindows windows;
        windows.SetContexts(contexts);
        QMenu *shown = windows.Menu(menu);
        shown->popup(QPoint(0, 0));
        if (!active.isEmpty())
            shown->setActiveAction(qobject_cast<QAction *>(windows.Find(active)));
        TKeyCounter counter;
        shown->installEventFilter(&counter);
        QTest::keyClick(shown, Qt::Key_F1);
        QCOMPARE(m_recorder.calls, calls);
        QCOMPARE(counter.presses, 0); // taken by the help, not passed on
    }

    // F1 while a menu bar title is highlighted.
    void menuBarF1()
    {
        TWindows windows;
        windows.form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(windows.form1.get()));
        QMenuBar *bar = windows.form1->menuBar();
        bar->setActiveAction(windows.Menu(QStringLiteral("N10"))->menuAction());
        QTest::keyClick(bar, Qt::Key_F1);
        QCOMPARE(m_recorder.calls, QStringList{QStringLiteral("topic Form1.N10")});
    }

    // Keys delivered through the window system to the focused control.
    void keyOnFocusedControl_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("contexts");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("reachesControl");
        const int none = Qt::NoModifier;
        QTest::newRow("F1 in the grid") << "Form1" << "Grid" << int(Qt::Key_F1) << none << "" << QStringList{"topic Form1"}
                                        << false;
        QTest::newRow("F1 on a button in a panel with a context")
            << "Form1" << "OpenBtn" << int(Qt::Key_F1) << none << "ToolPanel=1" << QStringList{"topic Form1.ToolPanel"}
            << false;
        QTest::newRow("F1 in a window without contexts: nothing, still taken")
            << "Form1" << "Grid" << int(Qt::Key_F1) << none << "Form1=0" << QStringList{} << false;
        QTest::newRow("F1 in the dialog on top: its own topic only")
            << "Form2" << "Memo1" << int(Qt::Key_F1) << none << "" << QStringList{"topic Form2"} << false;
        QTest::newRow("Ctrl+F1 is no help request") << "Form1" << "Grid" << int(Qt::Key_F1) << int(Qt::ControlModifier)
                                                    << "" << QStringList{} << true;
        QTest::newRow("Shift+F1 is no help request") << "Form1" << "Grid" << int(Qt::Key_F1) << int(Qt::ShiftModifier)
                                                     << "" << QStringList{} << true;
        QTest::newRow("F2 is no help request") << "Form1" << "Grid" << int(Qt::Key_F2) << none << ""
                                               << QStringList{} << true;
    }
    void keyOnFocusedControl()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, contexts);
        QFETCH(QStringList, calls);
        QFETCH(bool, reachesControl);
        TWindows windows;
        windows.SetContexts(contexts);
        windows.form1->show();
        QWidget *shownWindow = windows.Widget(window);
        QWidget *focused = windows.Widget(control);
        QVERIFY(FocusInShownWindow(shownWindow, focused));
        TKeyCounter counter(key);
        focused->installEventFilter(&counter);
        QTest::keyClick(shownWindow->windowHandle(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_recorder.calls, calls);
        QCOMPARE(counter.presses > 0, reachesControl);
    }

    // Once the component is gone, the window's F1 is an ordinary key again.
    void destroyedComponentReleasesWindow()
    {
        TWindows windows;
        QWidget *grid = windows.Widget(QStringLiteral("Grid"));
        QVERIFY(FocusInShownWindow(windows.form1.get(), grid));
        delete windows.help1;
        TKeyCounter counter;
        grid->installEventFilter(&counter);
        QTest::keyClick(windows.form1->windowHandle(), Qt::Key_F1);
        QCOMPARE(m_recorder.calls, QStringList{});
        QCOMPARE(counter.presses, 1);
    }

    // An exception while serving F1 goes to the handler; the key is taken.
    void exceptionGoesToHandler()
    {
        TWindows windows;
        QStringList handled;
        SetHelpExceptionHandler([&handled](const std::exception &error) { handled << QString::fromUtf8(error.what()); });
        m_recorder.failTopics = true;
        QWidget *grid = windows.Widget(QStringLiteral("Grid"));
        QVERIFY(FocusInShownWindow(windows.form1.get(), grid));
        TKeyCounter counter;
        grid->installEventFilter(&counter);
        QTest::keyClick(windows.form1->windowHandle(), Qt::Key_F1);
        SetHelpExceptionHandler({});
        QCOMPARE(handled, QStringList{QStringLiteral("viewer failed")});
        QCOMPARE(counter.presses, 0);
    }

    // The viewer took the topic inside a macro of at most 255 characters.
    void longJumpNameIsCut()
    {
        TWindows windows;
        QWidget *grid = windows.Widget(QStringLiteral("Grid"));
        grid->setObjectName(QString(300, QLatin1Char('g')));
        SetHelpContext(grid, 1);
        windows.help1->ShowControlHelp(grid, NoPosition);
        QCOMPARE(m_recorder.calls.size(), 1);
        const QString expected = QStringLiteral("Form1.") + QString(300, QLatin1Char('g'));
        QCOMPARE(m_recorder.calls.first(), QStringLiteral("topic ") + expected.left(242));
    }

    void helpFileBesideTheProgram()
    {
        QCOMPARE(HelpFileName(), QCoreApplication::applicationDirPath() + QStringLiteral("/tst_helputils.HLP"));
    }

    // The help beside the program wins (a build folder); else an installed
    // program's in its data folder, laid out as the package lays it out.
    void helpFileNameFor_data()
    {
        QTest::addColumn<QString>("program"); // relative to the temporary folder
        QTest::addColumn<QStringList>("files"); // made there
        QTest::addColumn<QString>("expected");
        QTest::newRow("build folder") << "build/bin/lexivane" << QStringList{"build/bin/lexivane.HLP"}
                                      << "build/bin/lexivane.HLP";
        QTest::newRow("installed") << "usr/bin/lexivane" << QStringList{"usr/share/lexivane/lexivane.HLP"}
                                   << "usr/share/lexivane/lexivane.HLP";
        QTest::newRow("beside wins") << "usr/bin/lexivane"
                                     << QStringList{"usr/bin/lexivane.HLP", "usr/share/lexivane/lexivane.HLP"}
                                     << "usr/bin/lexivane.HLP";
        QTest::newRow("program of another name") << "usr/bin/editor" << QStringList{"usr/share/lexivane/lexivane.HLP"}
                                                 << "usr/share/lexivane/lexivane.HLP";
        QTest::newRow("extension replaced") << "build/bin/lexivane.bin" << QStringList{"build/bin/lexivane.HLP"}
                                            << "build/bin/lexivane.HLP";
        QTest::newRow("none: beside") << "usr/bin/lexivane" << QStringList{} << "usr/bin/lexivane.HLP";
        QTest::newRow("data folder without help: beside") << "usr/bin/lexivane"
                                                          << QStringList{"usr/share/lexivane/other.txt"}
                                                          << "usr/bin/lexivane.HLP";
    }
    void helpFileNameFor()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, files);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("build/bin")));
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("usr/bin")));
        for (const QString &file : files) {
            QVERIFY(QDir(folder.path()).mkpath(QFileInfo(file).path()));
            QVERIFY(WriteWholeFile(folder.filePath(file), "<html></html>"));
        }
        QCOMPARE(HelpFileNameFor(folder.filePath(program)), folder.filePath(expected));
    }

private:
    TestEnvironment m_environment;
    THelpRecorder m_recorder;
};

QTEST_MAIN(TestHelpUtils)
#include "tst_helputils.moc"
