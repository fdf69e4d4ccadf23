// Every command of the main window from each way in: its menu item, its
// toolbar button and its keys, and the window's own key handling with its
// order and its Alt and Ctrl rules.

#include "diagnostics/CommandLine.h"
#include "dialogs/FileDialogs.h"
#include "dialogs/SWUtils.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit4.h"
#include "editor/FindDialog.h"
#include "editor/MessageGrid.h"
#include "editor/Unit1.h"
#include "help/HelpService.h"
#include "help/HelpUtils.h"
#include "msgfile/MsgFile.h"
#include "platform/CodePages.h"
#include "settings/ConfigUtils.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"
#include "uitext/SupportAddresses.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>
#include <QUrl>
#include <QLineEdit>
#include <QtTest>
#include <memory>

namespace {

class HelpRecorder : public THelpService
{
public:
    HelpRecorder() : m_previous(SetHelpService(this)) {}
    ~HelpRecorder() override { SetHelpService(m_previous); }
    void ShowContents() override { Requests << QStringLiteral("contents"); }
    void ShowTopic(const QString &jumpName) override { Requests << jumpName; }
    void ShowPopup(const QString &jumpName, const QPoint &) override { Requests << jumpName; }
    void ShowContext(int context) override { Requests << QStringLiteral("context %1").arg(context); }
    QStringList Requests;

private:
    THelpService *m_previous;
};

// The main window over a file of five messages, every question answered by
// a script, and the shell recorded instead of opening anything.
struct Fixture
{
    Fixture()
    {
        AppIni().SetAppKey(LexivaneAppKey);
        form1 = std::make_unique<TForm1>();
        form2 = std::make_unique<TForm2>();
        form4 = std::make_unique<TForm4>();
        form1->AttachDialogs(form2.get(), form4.get());
        SetLanguage(QStringLiteral("ENGLISH"));
        previousRunner = SetShellRunner([this](const QUrl &url) {
            opened << url.toString();
            return shellWorks;
        });
        TMsgData data;
        data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
        for (const char *text : {"alpha", "beta\nsecond line", "Gamma", "delta", "alpha again"})
            data.AddMessage(quint32(0x10 + data.Count()), text);
        file = environment.path(QStringLiteral("x.msg"));
        SaveMsgData(file, data);
    }
    ~Fixture() { SetShellRunner(previousRunner); }

    void Open()
    {
        QVERIFY(form1->Session().OpenDocument(file));
    }
    void Show()
    {
        form1->show();
        form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form1.get()));
        QTRY_COMPARE(dialogs.SelectMessageFileCalls, 1); // the start-up request, cancelled
        form1->Grid().setFocus();
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(&form1->Grid(), Qt::Key(key), modifiers);
    }
    QAction *Item(const char *name) const { return form1->findChild<QAction *>(QLatin1String(name)); }
    QToolButton *Button(const char *name) const { return form1->findChild<QToolButton *>(QLatin1String(name)); }
    TFindDialog *FindDialog() const { return form1->findChild<TFindDialog *>(QStringLiteral("FindDialog1")); }
    void Edit(int index, const QByteArray &text)
    {
        dialogs.OnEditText = [text](QByteArray &edited, const QByteArray &, bool &) {
            edited = text;
            return true;
        };
        form1->Session().EditMessage(index);
        dialogs.OnEditText = nullptr;
    }

    TestEnvironment environment;
    ScriptedDialogs dialogs;
    ScriptedMessageBoxes boxes;
    ScriptedFileDialogs fileDialogs;
    HelpRecorder help;
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm4> form4;
    QString file;
    QStringList opened;
    bool shellWorks = true;
    TShellRunner previousRunner;
};

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        AddLanguage(QLatin1String(EnglishLanguageEntry), EnglishTable());
        SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437"));
    }

    void init() { DebugMode() = false; }
    void cleanup() { DebugMode() = false; }

    void keyTable_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("debug");
        QTest::addColumn<int>("command");
        const int none = int(Qt::NoModifier), alt = int(Qt::AltModifier), ctrl = int(Qt::ControlModifier),
                  shift = int(Qt::ShiftModifier);
        auto row = [](const char *name, int key, int modifiers, bool debug, TFormCommand command) {
            QTest::newRow(name) << key << modifiers << debug << int(command);
        };
        row("F5", Qt::Key_F5, none, false, TFormCommand::ToggleMaximized);
        row("Ctrl+Alt+F5", Qt::Key_F5, ctrl | alt, false, TFormCommand::ToggleMaximized);
        row("Alt+X", Qt::Key_X, alt, false, TFormCommand::Close);
        row("Alt+I", Qt::Key_I, alt, false, TFormCommand::About);
        row("Alt+Ctrl+F", Qt::Key_F, alt | ctrl, false, TFormCommand::None);
        row("Alt+Ctrl+S", Qt::Key_S, alt | ctrl, false, TFormCommand::None);
        row("Alt+F3", Qt::Key_F3, alt, false, TFormCommand::None);
        row("Ctrl+F", Qt::Key_F, ctrl, false, TFormCommand::ShowFind);
        row("Ctrl+L", Qt::Key_L, ctrl, false, TFormCommand::FindNext);
        row("Ctrl+S", Qt::Key_S, ctrl, false, TFormCommand::Save);
        row("Ctrl+Shift+S", Qt::Key_S, ctrl | shift, false, TFormCommand::Save);
        row("Ctrl+O", Qt::Key_O, ctrl, false, TFormCommand::Open);
        row("Ctrl+D without -DEBUG", Qt::Key_D, ctrl, false, TFormCommand::None);
        row("Ctrl+D with -DEBUG", Qt::Key_D, ctrl, true, TFormCommand::Dump);
        row("Ctrl+G", Qt::Key_G, ctrl, false, TFormCommand::GoTo);
        row("Ctrl+F3", Qt::Key_F3, ctrl, false, TFormCommand::None);
        row("Ctrl+Q", Qt::Key_Q, ctrl, false, TFormCommand::None);
        row("F3", Qt::Key_F3, none, false, TFormCommand::FindNext);
        row("Shift+F3", Qt::Key_F3, shift, false, TFormCommand::FindNext);
        row("X alone", Qt::Key_X, none, false, TFormCommand::None);
        row("Home stays the grid's", Qt::Key_Home, none, false, TFormCommand::None);
        row("Alt+Backspace stays the menu's", Qt::Key_Backspace, alt, false, TFormCommand::None);
    }
    void keyTable()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, debug);
        QFETCH(int, command);
        QCOMPARE(int(FormKeyCommand(key, Qt::KeyboardModifiers(modifiers), debug)), command);
    }

    // Each command from its menu item, its button and its key, on a window
    // on the screen.
    void openAndAbout()
    {
        Fixture f;
        f.Show();
        f.Item("N2")->trigger();
        f.Button("OpenBtn")->click();
        f.Key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(f.dialogs.SelectMessageFileCalls, 4);

        f.Item("N11")->trigger();
        f.Button("AboutBtn")->click();
        f.Key(Qt::Key_I, Qt::AltModifier);
        QCOMPARE(f.dialogs.AboutBoxCalls, 3);
        f.form1->hide();
    }

    void saveFromEveryWayIn()
    {
        Fixture f;
        f.Show();
        f.Open();
        // Ctrl+S reaches the save also while Save is disabled: nothing to save.
        f.Key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(f.boxes.Count(), 0);

        for (int way = 0; way < 3; ++way) {
            f.Edit(0, "edited " + QByteArray::number(way));
            QVERIFY(f.Item("SaveItem")->isEnabled() && f.Button("SaveBtn")->isEnabled());
            f.boxes.Answer(TModalResult::mrNo); // no initial backup
            if (way == 0)
                f.Item("SaveItem")->trigger();
            else if (way == 1)
                f.Button("SaveBtn")->click();
            else
                f.Key(Qt::Key_S, Qt::ControlModifier);
            QVERIFY2(!f.form1->Session().Modified(), qPrintable(QString::number(way)));
            QCOMPARE(LoadMsgData(f.file)->Texts(0), "edited " + QByteArray::number(way));
        }
        f.form1->hide();
    }

    void undoFromMenuButtonAndKeys()
    {
        Fixture f;
        f.Show();
        f.Open();
        for (int way = 0; way < 3; ++way) {
            f.Edit(2, "changed");
            QVERIFY(f.Item("UndoItem")->isEnabled() && f.Button("UndoBtn")->isEnabled());
            if (way == 0)
                f.Item("UndoItem")->trigger();
            else if (way == 1)
                f.Button("UndoBtn")->click();
            else
                f.Key(Qt::Key_Backspace, Qt::AltModifier);
            QCOMPARE(f.form1->Session().Messages()->Texts(2), QByteArray("Gamma"));
            QVERIFY(!f.Item("UndoItem")->isEnabled() && !f.Button("UndoBtn")->isEnabled());
        }
        f.form1->hide();
    }

    void findFromEveryWayIn()
    {
        Fixture f;
        f.Show();
        f.Open();
        TFindDialog *find = f.FindDialog();
        QVERIFY(find);
        // F3 with an empty find text opens the dialog.
        f.Key(Qt::Key_F3);
        QVERIFY(find->isVisible());
        find->hide();
        f.Key(Qt::Key_F, Qt::ControlModifier);
        QVERIFY(find->isVisible());
        find->hide();
        f.Item("N8")->trigger();
        QVERIFY(find->isVisible());
        find->hide();
        f.Button("FindBtn")->click();
        QVERIFY(find->isVisible());
        find->hide();
        // Alt+Ctrl+F is no Ctrl combination for the window.
        f.Key(Qt::Key_F, Qt::AltModifier | Qt::ControlModifier);
        QVERIFY(!find->isVisible());

        find->FindWhatEdit->setText(QStringLiteral("ALPHA"));
        f.form1->Grid().SetCurrentMessage(0);
        f.form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.form1.get()));
        f.form1->Grid().setFocus();
        f.Key(Qt::Key_F3);
        QCOMPARE(f.form1->Grid().CurrentMessage(), 4);
        QCOMPARE(f.boxes.Count(), 0);
        // Nothing below: "Text not found!", the row stays.
        f.Key(Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(f.form1->Grid().CurrentMessage(), 4);
        QCOMPARE(f.boxes.Last().Text, QStringLiteral("Text not found!"));
        f.form1->Grid().SetCurrentMessage(0);
        f.Button("FindNextBtn")->click();
        QCOMPARE(f.form1->Grid().CurrentMessage(), 4);
        f.form1->Grid().SetCurrentMessage(0);
        f.Item("N9")->trigger();
        QCOMPARE(f.form1->Grid().CurrentMessage(), 4);
        f.form1->hide();
    }

    void findWithoutFileReportsNotFound()
    {
        Fixture f;
        f.Show();
        f.FindDialog()->FindWhatEdit->setText(QStringLiteral("x"));
        f.Key(Qt::Key_F3);
        QCOMPARE(f.boxes.Last().Text, QStringLiteral("Text not found!"));
        f.form1->hide();
    }

    void goToFromMenuAndKeys()
    {
        Fixture f;
        f.Show();
        // Without a file, go to asks nothing.
        f.Key(Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(f.dialogs.EnterStringCalls.size(), 0);
        f.Open();
        f.dialogs.OnEnterString = [](QString &text) {
            text = QStringLiteral(" 13 ");
            return true;
        };
        f.Key(Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(f.form1->Grid().CurrentMessage(), 3);
        QCOMPARE(f.dialogs.EnterStringCalls.last().Caption, QStringLiteral("Enter a message identifier to go to"));
        QCOMPARE(f.dialogs.EnterStringCalls.last().HelpKey, QStringLiteral("Form1.GotoDialog"));
        f.form1->Grid().SetCurrentMessage(0);
        f.Item("N18")->trigger();
        QCOMPARE(f.form1->Grid().CurrentMessage(), 3);
        f.form1->hide();
    }

    void dumpOnlyWithDebug()
    {
        Fixture f;
        f.Show();
        f.Open();
        QVERIFY(!f.Item("N13")->isVisible());
        const QString dump = f.environment.path(QStringLiteral("x.out"));
        f.Key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(f.fileDialogs.SaveRequests.size(), 0);

        DebugMode() = true;
        f.fileDialogs.Answer(dump);
        f.Key(Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(f.fileDialogs.SaveRequests.size(), 1);
        const TFileDialogRequest &request = f.fileDialogs.SaveRequests.first();
        QCOMPARE(request.DefaultExt, QStringLiteral("OUT"));
        QCOMPARE(request.Filter, QStringLiteral("Dump files (*.OUT)|*.OUT|All files (*.*)|*.*"));
        QVERIFY(request.Options.testFlag(TOpenOption::ofOverwritePrompt));
        QVERIFY(request.Options.testFlag(TOpenOption::ofHideReadOnly));
        QVERIFY(request.Options.testFlag(TOpenOption::ofPathMustExist));
        QVERIFY(ReadWholeFile(dump).startsWith("00000010 alpha\r\n00000011 beta\nsecond line\r\n"));
        f.form1->hide();
    }

    void saveAsAsksWithItsDialog()
    {
        Fixture f;
        f.Show();
        f.Open();
        const QString other = f.environment.path(QStringLiteral("copy.msg"));
        f.fileDialogs.Answer(other);
        f.Item("N4")->trigger();
        QCOMPARE(f.fileDialogs.SaveRequests.size(), 1);
        const TFileDialogRequest &request = f.fileDialogs.SaveRequests.first();
        QCOMPARE(request.DefaultExt, QStringLiteral("MSG"));
        QCOMPARE(request.Filter, QStringLiteral("Message files (*.MSG)|*.MSG|All files (*.*)|*.*"));
        QVERIFY(request.Options.testFlag(TOpenOption::ofOverwritePrompt));
        QVERIFY(request.Options.testFlag(TOpenOption::ofShowHelp));
        QCOMPARE(f.form1->Session().FileName(), other);
        QCOMPARE(f.form1->windowTitle(), QStringLiteral("Lexivane - ") + other);
        QCOMPARE(LoadMsgData(other)->Count(), 5);
        f.form1->hide();
    }

    void webSiteAndMail()
    {
        Fixture f;
        f.Show();
        f.Item("Web1")->trigger();
        f.Item("N23")->trigger();
        QCOMPARE(f.opened, (QStringList{QLatin1String(WebSiteAddress), QStringLiteral("mailto:") + QLatin1String(SupportMailAddress)}));
        QCOMPARE(f.boxes.Count(), 0);

        f.shellWorks = false;
        f.Item("Web1")->trigger();
        QCOMPARE(f.boxes.Last().Kind, TMsgDlgType::mtError);
        QCOMPARE(f.boxes.Last().Text, QStringLiteral("Can't open web-site \"%1\". May be you have no default browser installed!")
                                          .arg(QLatin1String(WebSiteAddress)));
        f.Item("N23")->trigger();
        QCOMPARE(f.boxes.Last().Text, QStringLiteral("Can't write an E-mail to \"mailto:%1\". May be you have no default mail program installed!")
                                          .arg(QLatin1String(SupportMailAddress)));
        f.form1->hide();
    }

    void viewOptionsAndHelp()
    {
        Fixture f;
        f.Show();
        f.Open();
        QAction *toolbar = f.Item("ToolbarItem");
        toolbar->trigger();
        QVERIFY(!f.form1->findChild<QWidget *>(QStringLiteral("ToolPanel"))->isVisible());
        QVERIFY(!toolbar->isChecked());
        toolbar->trigger();
        QVERIFY(toolbar->isChecked());

        f.Item("ViewOrigItem")->trigger();
        QVERIFY(f.Button("ViewOrigBtn")->isChecked() && f.form1->Grid().IsViewingOriginal());
        f.Button("ViewOrigBtn")->click();
        QVERIFY(!f.Item("ViewOrigItem")->isChecked() && !f.form1->Grid().IsViewingOriginal());
        f.Key(Qt::Key_Left);
        QVERIFY(f.Item("ViewOrigItem")->isChecked() && f.Button("ViewOrigBtn")->isChecked());

        f.Item("N14")->trigger();
        QCOMPARE(f.dialogs.FontSetupCalls, 1);
        f.Item("N19")->trigger();
        QCOMPARE(f.help.Requests.last(), QStringLiteral("contents"));
        f.Key(Qt::Key_F1);
        QCOMPARE(f.help.Requests.last(), QStringLiteral("Form1"));
        QVERIFY(!f.Item("N16")->isVisible() && !f.Item("N16")->isEnabled());

        const Qt::WindowStates before = f.form1->windowState();
        f.Key(Qt::Key_F5);
        QVERIFY(f.form1->windowState() != before);
        f.Key(Qt::Key_F5);
        QCOMPARE(f.form1->windowState(), before);
        f.form1->hide();
    }

    // F1 on a highlighted menu item names the item; the "Revert to" item,
    // without a help context of its own, names its parent "File".
    void helpOnMenuItems()
    {
        Fixture f;
        f.Show();
        f.Open();
        f.Edit(0, "modified, so that revert to saved is enabled");
        QMenu *revert = f.Item("RevertItem")->menu();
        QMenu *file = f.Item("N1")->menu();
        file->popup(f.form1->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        file->setActiveAction(f.Item("RevertItem"));
        QCOMPARE(MenuHelpName(file), QStringLiteral("Form1.N1"));
        revert->popup(f.form1->mapToGlobal(QPoint(40, 40)));
        QVERIFY(QTest::qWaitForWindowExposed(revert));
        revert->setActiveAction(f.Item("RevertSavedItem"));
        QCOMPARE(MenuHelpName(revert), QStringLiteral("Form1.RevertSavedItem"));
        QTest::keyClick(revert, Qt::Key_F1);
        QCOMPARE(f.help.Requests.last(), QStringLiteral("Form1.RevertSavedItem"));
        revert->hide();
        file->hide();
        f.form1->hide();
    }

    void exitAsksAboutChanges()
    {
        Fixture f;
        f.Show();
        f.Open();
        f.Edit(1, "unsaved");
        f.boxes.Answer(TModalResult::mrCancel);
        f.Key(Qt::Key_X, Qt::AltModifier);
        QCOMPARE(f.boxes.Last().Text, QStringLiteral("Text has been modified, save?"));
        QVERIFY(f.form1->isVisible());
        QVERIFY(f.form1->Session().IsOpen());
        f.boxes.Answer(TModalResult::mrNo);
        f.Item("N6")->trigger();
        QVERIFY(!f.form1->isVisible());
    }
};

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
