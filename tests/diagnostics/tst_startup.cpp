// Start-up: the sequence that creates and translates the main window and the
// long-lived dialogs, the command line read on the way, the start-up failure,
// the handler of exceptions that escape event handlers, the end of the
// user's session, and one unattended run of the program itself.
//
// Boxes and dialogs are answered by scripts, the log is a temporary file, and
// the settings lie in a temporary folder.

#include "diagnostics/CommandLine.h"
#include "diagnostics/LogUtils.h"
#include "diagnostics/Startup.h"
#include "dialogs/DialogEntryPoints.h"
#include "dialogs/FileDialogs.h"
#include "dialogs/FontDialogSeam.h"
#include "dialogs/QtDialogs.h"
#include "dialogs/QtFileDialogs.h"
#include "dialogs/QtFontDialog.h"
#include "dialogs/SWUtils.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit4.h"
#include "dialogs/fmAbout.h"
#include "editor/Unit1.h"
#include "help/HelpService.h"
#include "help/HelpViewer.h"
#include "settings/ConfigUtils.h"
#include "support/MsgFileLayouts.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/LangUtils.h"
#include "uitext/QtMessageBox.h"

#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <optional>
#include <stdexcept>

namespace {

const QString kStartupErrorStart = QStringLiteral("Fatal error occured during the startup:");
const QString kStartupErrorEnd = QStringLiteral("Program exits...");
const QString kExceptionStart = QStringLiteral("Fatal error occured during the execution:");

// What each test needs: settings in a temporary folder, scripted boxes and
// dialogs (the selection dialog asked for when the main window shows is
// cancelled), and a temporary log for the fatal errors.
struct Fixture
{
    TestEnvironment env;
    ScriptedMessageBoxes boxes;
    ScriptedDialogs dialogs;
    TLogFile log{env.path(QStringLiteral("lexivane.LOG"))};
    TLogFile *previousLog = SetLogFile(&log);

    ~Fixture() { SetLogFile(previousLog); }

    QString LogText() const { return QString::fromUtf8(ReadWholeFile(log.LogFileName())); }
};

// Starts with the application object the test runs in and these arguments.
[[nodiscard]] bool StartWith(TStartup &startup, const QStringList &arguments)
{
    return startup.Start([arguments] { return arguments; });
}

// Records that the program was to be ended, instead of ending it.
struct TerminateRecorder
{
    int calls = 0;
    TTerminateHook previous = SetTerminateHook([this] { ++calls; });
    ~TerminateRecorder() { SetTerminateHook(previous); }
};

// Plugs a help service in for as long as it exists.
struct HelpServiceScope
{
    THelpService *previous;
    explicit HelpServiceScope(THelpService *service) : previous(SetHelpService(service)) {}
    ~HelpServiceScope() { SetHelpService(previous); }
};

// Plugs a shell runner in for as long as it exists.
struct ShellRunnerScope
{
    TShellRunner previous;
    explicit ShellRunnerScope(TShellRunner runner) : previous(SetShellRunner(std::move(runner))) {}
    ~ShellRunnerScope() { SetShellRunner(previous); }
};

class TThrowingHelp : public THelpService
{
public:
    void ShowContents() override {}
    void ShowTopic(const QString &jumpName) override
    {
        throw EInOutError(QStringLiteral("viewer failed on ") + jumpName);
    }
    void ShowPopup(const QString &, const QPoint &) override {}
    void ShowContext(int) override {}
};

enum class Thrown { ProgramException, StandardException, Foreign };

[[noreturn]] void Throw(Thrown kind)
{
    switch (kind) {
    case Thrown::ProgramException:
        throw EInOutError(QStringLiteral("Disk full"));
    case Thrown::StandardException:
        throw std::runtime_error("plain failure");
    case Thrown::Foreign:
        throw 42;
    }
    throw 0;
}

// An object whose handler of a posted user event throws.
class TThrowingObject : public QObject
{
public:
    explicit TThrowingObject(Thrown kind) : m_kind(kind) {}

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            Throw(m_kind);
        return QObject::event(event);
    }

private:
    Thrown m_kind;
};

// A widget whose key press handler throws.
class TThrowingWidget : public QWidget
{
public:
    explicit TThrowingWidget(Thrown kind) : m_kind(kind) {}

protected:
    void keyPressEvent(QKeyEvent *) override { Throw(m_kind); }

private:
    Thrown m_kind;
};

enum class Source { PostedEvent, TimerSlot, KeyPress };

// Every box whose text begins with Start.
QList<TMessageBoxRequest> BoxesStartingWith(const ScriptedMessageBoxes &boxes, const QString &start)
{
    QList<TMessageBoxRequest> found;
    for (const TMessageBoxRequest &request : boxes.Requests()) {
        if (request.Text.startsWith(start))
            found.append(request);
    }
    return found;
}

int Occurrences(const QString &text, const QString &part)
{
    return int(text.count(part));
}

QWidget *WindowNamed(const TStartup &startup, const QString &name)
{
    const QList<QWidget *> windows = {startup.Form1(), startup.AboutBox(), startup.Form2(), startup.Form4()};
    for (QWidget *window : windows) {
        if (window && window->objectName() == name)
            return window;
    }
    return nullptr;
}

bool AnyWindowVisible()
{
    const QList<QWidget *> windows = QApplication::topLevelWidgets();
    for (const QWidget *window : windows) {
        if (window->isVisible())
            return true;
    }
    return false;
}

// A message file of a few messages, written by hand.
QString WriteMessageFile(const TestEnvironment &env)
{
    const QString name = env.path(QStringLiteral("test.msg"));
    const std::vector<LaidOutMessage> messages = {{1, "first"}, {2, "second"}, {0x10000, "third"}};
    const QByteArray bytes = LayOutFlat(messages, QByteArray(16, '\0'));
    return WriteWholeFile(name, bytes) ? name : QString();
}

TDialogPresenter *CurrentDialogs()
{
    TDialogPresenter *current = SetDialogPresenter(nullptr);
    SetDialogPresenter(current);
    return current;
}

} // namespace

Q_DECLARE_METATYPE(Thrown)
Q_DECLARE_METATYPE(Source)
Q_DECLARE_METATYPE(TModalResult)

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startCreatesTheWindows();
    void startTranslatesTheWindows_data();
    void startTranslatesTheWindows();
    void titleFromTheTable_data();
    void titleFromTheTable();
    void commandLine_data();
    void commandLine();
    void presenters_data();
    void presenters();
    void runShowsTheMainWindow();

    void badTableRow_data();
    void badTableRow();
    void failureBeforeTheTable();
    void earlierLogEntriesKept();

    void exceptionDuringRun_data();
    void exceptionDuringRun();
    void yesEndsWithoutTheCloseQuestion();
    void helpAndLinkExceptions_data();
    void helpAndLinkExceptions();
    void handlerWithoutPresenter();

    void endOfSession_data();
    void endOfSession();

    void programRunsUnattended_data();
    void programRunsUnattended();

    void applicationNamesItsDesktopEntry();
};

void TestStartup::init()
{
    LanguageNames().clear();
    LanguageTables().clear();
    CurrentKeys().clear();
    CurrentValues().clear();
    SetApplicationTitle(QString());
    DebugMode() = false;
    StartupFileName().clear();
    AppIni().SetAppKey(QString());
}

void TestStartup::cleanup()
{
    // The settings key belonged to the test's temporary folder.
    AppIni().SetAppKey(QString());
}

void TestStartup::startCreatesTheWindows()
{
    Fixture fixture;
    TStartup startup;
    startup.Prepare();
    QCOMPARE(LanguageNames(), QStringList{QStringLiteral("ENGLISH=English")});
    QCOMPARE(LogFile().OpenCount(), 0);

    QVERIFY(StartWith(startup, {}));

    QVERIFY(startup.Form1());
    QVERIFY(startup.AboutBox());
    QVERIFY(startup.Form2());
    QVERIFY(startup.Form4());
    QCOMPARE(startup.Form1()->objectName(), QStringLiteral("Form1"));
    QCOMPARE(startup.AboutBox()->objectName(), QStringLiteral("AboutBox"));
    QCOMPARE(startup.Form2()->objectName(), QStringLiteral("Form2"));
    QCOMPARE(startup.Form4()->objectName(), QStringLiteral("Form4"));
    QCOMPARE(AppIni().AppKey(), LexivaneAppKey);
    QCOMPARE(ApplicationTitle(), QStringLiteral("Lexivane"));
    // Nothing shows before the loop runs, nothing was asked, nothing logged.
    QVERIFY(!AnyWindowVisible());
    QCOMPARE(fixture.boxes.Count(), 0);
    QVERIFY(!QFileInfo::exists(fixture.log.LogFileName()));
}

void TestStartup::startTranslatesTheWindows_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("component");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QString>("expected");

    QTest::newRow("main window menu") << "Form1" << "N1" << "text" << "&File";
    QTest::newRow("main window item") << "Form1" << "RevertOriginalItem" << "text" << "Initial &backup...";
    QTest::newRow("main window button hint") << "Form1" << "SaveBtn" << "toolTip" << "Save Ctrl+S";
    QTest::newRow("about box caption") << "AboutBox" << "" << "windowTitle" << "About...";
    QTest::newRow("about box menu item") << "AboutBox" << "N2" << "text" << "Copy URL";
    QTest::newRow("about box link hint") << "AboutBox" << "URLLabel1" << "toolTip" << "Opens Tessavel Web-site...";
    QTest::newRow("text edit caption") << "Form2" << "" << "windowTitle" << "Change text";
    QTest::newRow("text edit button") << "Form2" << "Button2" << "text" << "Cancel";
    QTest::newRow("text edit label") << "Form2" << "OrigLabel" << "text" << "Original text";
    QTest::newRow("font setup caption") << "Form4" << "" << "windowTitle" << "Font setup";
    QTest::newRow("font setup apply") << "Form4" << "Button4" << "text" << "&Apply";
}

void TestStartup::startTranslatesTheWindows()
{
    QFETCH(QString, window);
    QFETCH(QString, component);
    QFETCH(QString, property);
    QFETCH(QString, expected);

    Fixture fixture;
    TStartup startup;
    startup.Prepare();
    QVERIFY(StartWith(startup, {}));

    QWidget *form = WindowNamed(startup, window);
    QVERIFY(form);
    QObject *target = component.isEmpty() ? form : form->findChild<QObject *>(component);
    QVERIFY2(target, qPrintable(component));
    QCOMPARE(target->property(property.toLatin1().constData()).toString(), expected);
}

void TestStartup::titleFromTheTable_data()
{
    QTest::addColumn<QString>("tableTitle");
    QTest::addColumn<QString>("expected");

    QTest::newRow("the English table's") << QString() << "Lexivane";
    QTest::newRow("another title in the table") << "Message editor" << "Message editor";
}

void TestStartup::titleFromTheTable()
{
    QFETCH(QString, tableTitle);
    QFETCH(QString, expected);

    Fixture fixture;
    SetApplicationTitle(QStringLiteral("left over"));
    TStartup startup;
    startup.Prepare();
    if (!tableTitle.isEmpty()) {
        QString &table = LanguageTables().first();
        const QString row = QStringLiteral("\nApplication.Title=Lexivane\n");
        QVERIFY(table.contains(row));
        table.replace(row, QStringLiteral("\nApplication.Title=") + tableTitle + QLatin1Char('\n'));
    }
    QVERIFY(StartWith(startup, {}));
    QCOMPARE(ApplicationTitle(), expected);
}

void TestStartup::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("debugMode");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("none") << QStringList{} << false << QString();
    QTest::newRow("-debug x.msg") << QStringList{"-debug", "x.msg"} << true << "x.msg";
    QTest::newRow("x.msg -DEBUG") << QStringList{"x.msg", "-DEBUG"} << true << "x.msg";
    QTest::newRow("two names: the second") << QStringList{"a.msg", "b.msg"} << false << "b.msg";
    QTest::newRow("-x ignored") << QStringList{"-x"} << false << QString();
    QTest::newRow("/DEBUG is a file name") << QStringList{"/DEBUG"} << false << "/DEBUG";
    QTest::newRow("-DEBUGX ignored") << QStringList{"-DEBUGX", "y.msg"} << false << "y.msg";
}

void TestStartup::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, debugMode);
    QFETCH(QString, fileName);

    Fixture fixture;
    // A name left from before is not taken for the command line's.
    StartupFileName() = QStringLiteral("stale.msg");
    TStartup startup;
    startup.Prepare();
    QVERIFY(StartWith(startup, arguments));

    QCOMPARE(DebugMode(), debugMode);
    QCOMPARE(StartupFileName(), fileName);
    QCOMPARE(fixture.boxes.Count(), 0);
}

void TestStartup::presenters_data()
{
    QTest::addColumn<bool>("testPlugged");

    QTest::newRow("seams empty: the Qt presenters") << false;
    QTest::newRow("a test's presenters are kept") << true;
}

void TestStartup::presenters()
{
    QFETCH(bool, testPlugged);

    TestEnvironment env;
    std::unique_ptr<ScriptedMessageBoxes> boxes;
    std::unique_ptr<ScriptedDialogs> dialogs;
    TThrowingHelp help;
    std::optional<HelpServiceScope> helpScope;
    if (testPlugged) {
        boxes = std::make_unique<ScriptedMessageBoxes>();
        dialogs = std::make_unique<ScriptedDialogs>();
        helpScope.emplace(&help);
    }
    QCOMPARE(MessageBoxPresenter() != nullptr, testPlugged);
    // A real box that shows by mistake is closed, so that the test ends.
    QList<QString> unexpected;
    QTimer watchdog;
    connect(&watchdog, &QTimer::timeout, this, [&unexpected] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            unexpected.append(modal->windowTitle());
            modal->close();
        }
    });
    watchdog.start(200);

    TMessageBoxPresenter *boxesBefore = MessageBoxPresenter();
    TDialogPresenter *dialogsBefore = CurrentDialogs();
    {
        TStartup startup;
        startup.Prepare();
        QVERIFY(StartWith(startup, {}));
        if (testPlugged) {
            QCOMPARE(MessageBoxPresenter(), boxesBefore);
            QCOMPARE(CurrentDialogs(), dialogsBefore);
            QCOMPARE(HelpService(), &help);
        } else {
            QVERIFY(dynamic_cast<TQtMessageBoxPresenter *>(MessageBoxPresenter()));
            QVERIFY(dynamic_cast<TQtDialogs *>(CurrentDialogs()));
            const auto *viewer = dynamic_cast<THelpViewer *>(HelpService());
            QVERIFY(viewer);
            QVERIFY(!viewer->isVisible());
        }
        QVERIFY(dynamic_cast<TQtFileDialogs *>(FileDialogPresenter()));
        QVERIFY(dynamic_cast<TQtFontDialogPresenter *>(FontDialogPresenter()));
    }
    // Whatever start-up plugged in is gone with it; the test's stay.
    QCOMPARE(MessageBoxPresenter(), boxesBefore);
    QCOMPARE(CurrentDialogs(), dialogsBefore);
    QCOMPARE(HelpService(), testPlugged ? static_cast<THelpService *>(&help) : nullptr);
    QCOMPARE(FileDialogPresenter(), nullptr);
    QCOMPARE(FontDialogPresenter(), nullptr);
    QCOMPARE(unexpected, QList<QString>());
}

void TestStartup::runShowsTheMainWindow()
{
    Fixture fixture;
    TStartup startup;
    startup.Prepare();
    QVERIFY(StartWith(startup, {}));
    QVERIFY(!startup.Form1()->isVisible());

    bool shownInLoop = false;
    bool dialogsHidden = false;
    startup.SetEventLoop([&] {
        shownInLoop = startup.Form1()->isVisible();
        dialogsHidden = !startup.Form2()->isVisible() && !startup.Form4()->isVisible()
            && !startup.AboutBox()->isVisible();
        return 17;
    });
    QCOMPARE(startup.Run(), 17);
    QVERIFY(shownInLoop);
    QVERIFY(dialogsHidden);
}

void TestStartup::badTableRow_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("error");

    QTest::newRow("main window property") << "Form1.NoSuchThing=x" << "No such property \"NoSuchThing\"";
    QTest::newRow("about box component property") << "AboutBox.OKButton.Colour=x" << "No such property \"Colour\"";
    QTest::newRow("text edit component property") << "Form2.Button2.Capton=Cancel" << "No such property \"Capton\"";
    QTest::newRow("font setup property of another type") << "Form4.Button4.enabled=x"
                                                         << "Can't assign to \"enabled\"";
}

void TestStartup::badTableRow()
{
    QFETCH(QString, row);
    QFETCH(QString, error);

    Fixture fixture;
    TStartup startup;
    startup.Prepare();
    LanguageTables().first().prepend(row + QLatin1Char('\n'));

    QVERIFY(!StartWith(startup, QStringList{QStringLiteral("x.msg")}));

    QCOMPARE(fixture.boxes.Count(), 1);
    const TMessageBoxRequest &box = fixture.boxes.Last();
    QCOMPARE(box.Kind, TMsgDlgType::mtError);
    QCOMPARE(box.Buttons, TMsgDlgButtons(TMsgDlgBtn::mbOK));
    QVERIFY2(box.Text.startsWith(kStartupErrorStart), qPrintable(box.Text));
    QVERIFY2(box.Text.contains(QStringLiteral(">> ") + error + QStringLiteral(" <<")), qPrintable(box.Text));
    QVERIFY2(box.Text.endsWith(kStartupErrorEnd), qPrintable(box.Text));

    // The window was made but never shown.
    QVERIFY(startup.Form1());
    QVERIFY(!AnyWindowVisible());

    // Logged without -DEBUG: the header, then the entry.
    QVERIFY(!DebugMode());
    const QString logText = fixture.LogText();
    QVERIFY2(logText.startsWith(QStringLiteral("*** Log for ")), qPrintable(logText));
    QCOMPARE(Occurrences(logText, QStringLiteral("*** Log for ")), 1);
    QCOMPARE(Occurrences(logText, QStringLiteral("[!] Exception occured ")), 1);
    const qsizetype headerEnd = logText.indexOf(QStringLiteral("\r\n"));
    QVERIFY(headerEnd > 0);
    QVERIFY(logText.mid(headerEnd + 2).startsWith(QStringLiteral("[!] Exception occured ")));
    QVERIFY2(logText.contains(QStringLiteral("Exception ELexivaneError in module ")), qPrintable(logText));
    QVERIFY2(logText.endsWith(QLatin1Char('\n') + error + QStringLiteral(".\r\n")), qPrintable(logText));
}

void TestStartup::failureBeforeTheTable()
{
    Fixture fixture;
    TStartup startup;
    startup.Prepare();
    bool reachedApplication = false;
    const bool started = startup.Start([&]() -> QStringList {
        reachedApplication = true;
        throw EInOutError(QStringLiteral("No display"));
    });

    QVERIFY(!started);
    QVERIFY(reachedApplication);
    // No table is current yet: the key stands for its text.
    QCOMPARE(fixture.boxes.Count(), 1);
    QCOMPARE(fixture.boxes.Last().Text, QStringLiteral("StartupError"));
    QCOMPARE(fixture.boxes.Last().Kind, TMsgDlgType::mtError);
    // The settings key was set first; the title and the windows never came.
    QCOMPARE(AppIni().AppKey(), LexivaneAppKey);
    QCOMPARE(ApplicationTitle(), QString());
    QVERIFY(!startup.Form1());
    QVERIFY(!startup.Form4());
    const QString logText = fixture.LogText();
    QCOMPARE(Occurrences(logText, QStringLiteral("[!] Exception occured ")), 1);
    QVERIFY2(logText.contains(QStringLiteral("Exception EInOutError in module ")), qPrintable(logText));
    QVERIFY2(logText.endsWith(QStringLiteral("\nNo display.\r\n")), qPrintable(logText));
}

void TestStartup::earlierLogEntriesKept()
{
    Fixture fixture;
    const QByteArray earlier = "*** Log for an earlier run\r\n";
    QVERIFY(WriteWholeFile(fixture.log.LogFileName(), earlier));
    TStartup startup;
    startup.Prepare();
    LanguageTables().first().prepend(QStringLiteral("Form2.Nonsense=x\n"));

    QVERIFY(!StartWith(startup, {}));

    const QByteArray logBytes = ReadWholeFile(fixture.log.LogFileName());
    QVERIFY(logBytes.startsWith(earlier));
    QCOMPARE(logBytes.count("*** Log for "), 2);
    QCOMPARE(logBytes.count("[!] Exception occured "), 1);
}

void TestStartup::exceptionDuringRun_data()
{
    QTest::addColumn<Source>("source");
    QTest::addColumn<Thrown>("thrown");
    QTest::addColumn<TModalResult>("answer");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("message");

    const QString program = QStringLiteral("EInOutError");
    const QString disk = QStringLiteral("Disk full");
    QTest::newRow("posted event, No") << Source::PostedEvent << Thrown::ProgramException << TModalResult::mrNo
                                      << program << disk;
    QTest::newRow("posted event, Yes") << Source::PostedEvent << Thrown::ProgramException << TModalResult::mrYes
                                       << program << disk;
    QTest::newRow("timer slot, No") << Source::TimerSlot << Thrown::ProgramException << TModalResult::mrNo
                                    << program << disk;
    QTest::newRow("timer slot, Yes") << Source::TimerSlot << Thrown::ProgramException << TModalResult::mrYes
                                     << program << disk;
    QTest::newRow("key press, No") << Source::KeyPress << Thrown::ProgramException << TModalResult::mrNo
                                   << program << disk;
    QTest::newRow("key press, Yes") << Source::KeyPress << Thrown::ProgramException << TModalResult::mrYes
                                    << program << disk;
    QTest::newRow("standard exception, No") << Source::TimerSlot << Thrown::StandardException
                                            << TModalResult::mrNo << "std::runtime_error" << "plain failure";
    QTest::newRow("standard exception, Yes") << Source::PostedEvent << Thrown::StandardException
                                             << TModalResult::mrYes << "std::runtime_error" << "plain failure";
    QTest::newRow("not an exception class, No") << Source::TimerSlot << Thrown::Foreign << TModalResult::mrNo
                                                << "EForeignException" << "Exception of an unknown kind";
}

void TestStartup::exceptionDuringRun()
{
    QFETCH(Source, source);
    QFETCH(Thrown, thrown);
    QFETCH(TModalResult, answer);
    QFETCH(QString, className);
    QFETCH(QString, message);

    Fixture fixture;
    TerminateRecorder terminate;
    TStartup startup;
    startup.Prepare();
    QVERIFY(StartWith(startup, {}));

    fixture.boxes.Answer(answer);
    QObject context;
    TThrowingObject throwingObject(thrown);
    TThrowingWidget throwingWidget(thrown);
    int wentOn = 0;
    bool windowShownAfterwards = false;
    startup.SetEventLoop([&] {
        QTimer::singleShot(0, &context, [&] {
            switch (source) {
            case Source::PostedEvent:
                QCoreApplication::postEvent(&throwingObject, new QEvent(QEvent::User));
                return;
            case Source::TimerSlot:
                Throw(thrown);
            case Source::KeyPress:
                QTest::keyClick(&throwingWidget, Qt::Key_A);
                return;
            }
        });
        QTimer::singleShot(100, &context, [&] {
            ++wentOn;
            windowShownAfterwards = startup.Form1()->isVisible();
            QCoreApplication::exit(0);
        });
        // Whatever happens, the test does not hang.
        QTimer::singleShot(10000, &context, [] { QCoreApplication::exit(99); });
        return QCoreApplication::exec();
    });

    QCOMPARE(startup.Run(), 0);

    const QList<TMessageBoxRequest> exceptionBoxes = BoxesStartingWith(fixture.boxes, kExceptionStart);
    QCOMPARE(exceptionBoxes.size(), 1);
    const TMessageBoxRequest &box = exceptionBoxes.first();
    QCOMPARE(box.Kind, TMsgDlgType::mtError);
    QCOMPARE(box.Buttons, TMsgDlgBtn::mbYes | TMsgDlgBtn::mbNo);
    QVERIFY2(box.Text.contains(QStringLiteral(">> ") + message + QStringLiteral(" <<")), qPrintable(box.Text));

    const QString logText = fixture.LogText();
    QVERIFY2(logText.startsWith(QStringLiteral("*** Log for ")), qPrintable(logText));
    QCOMPARE(Occurrences(logText, QStringLiteral("[!] Exception occured ")), 1);
    QVERIFY2(logText.contains(QStringLiteral("Exception ") + className + QStringLiteral(" in module ")),
             qPrintable(logText));
    QVERIFY2(logText.endsWith(QLatin1Char('\n') + message + QStringLiteral(".\r\n")), qPrintable(logText));

    QCOMPARE(terminate.calls, answer == TModalResult::mrYes ? 1 : 0);
    // The recorder does not end the loop: the program went on either way.
    QCOMPARE(wentOn, 1);
    QVERIFY(windowShownAfterwards);
}

void TestStartup::yesEndsWithoutTheCloseQuestion()
{
    Fixture fixture;
    const QString fileName = WriteMessageFile(fixture.env);
    QVERIFY(!fileName.isEmpty());
    const QByteArray fileBefore = ReadWholeFile(fileName);
    TStartup startup;
    startup.Prepare();
    QVERIFY(StartWith(startup, {}));
    TEditSession &session = startup.Form1()->Session();

    fixture.boxes.Answer(TModalResult::mrYes);
    QObject context;
    bool opened = false;
    int wentOn = 0;
    startup.SetEventLoop([&] {
        // A changed file is open when the command fails, so that a close
        // would have to ask about it.
        QTimer::singleShot(0, &context, [&] {
            opened = session.OpenDocument(fileName);
            session.MarkModified(true);
            throw EInOutError(QStringLiteral("Disk full"));
        });
        QTimer::singleShot(1000, &context, [&] {
            ++wentOn;
            QCoreApplication::exit(0);
        });
        return QCoreApplication::exec();
    });

    // The program's own way of ending: the loop ends at once.
    QCOMPARE(startup.Run(), TerminatedExitCode);
    QVERIFY(opened);
    QCOMPARE(wentOn, 0);
    // One box only: the close question was not asked, the window not
    // closed, the changes neither saved nor dropped.
    QCOMPARE(fixture.boxes.Count(), 1);
    QVERIFY(fixture.boxes.Last().Text.startsWith(kExceptionStart));
    QVERIFY(startup.Form1()->isVisible());
    QVERIFY(session.IsOpen());
    QVERIFY(session.Modified());
    QCOMPARE(ReadWholeFile(fileName), fileBefore);
}

void TestStartup::helpAndLinkExceptions_data()
{
    QTest::addColumn<bool>("fromHelp");
    QTest::addColumn<TModalResult>("answer");
    QTest::addColumn<QString>("className");

    QTest::newRow("help request, No") << true << TModalResult::mrNo << "EInOutError";
    QTest::newRow("help request, Yes") << true << TModalResult::mrYes << "EInOutError";
    QTest::newRow("link click, No") << false << TModalResult::mrNo << "EURLError";
    QTest::newRow("link click, Yes") << false << TModalResult::mrYes << "EURLError";
}

void TestStartup::helpAndLinkExceptions()
{
    QFETCH(bool, fromHelp);
    QFETCH(TModalResult, answer);
    QFETCH(QString, className);

    Fixture fixture;
    TerminateRecorder terminate;
    TThrowingHelp help;
    HelpServiceScope helpScope(&help);
    ShellRunnerScope runnerScope([](const QUrl &) { return false; });
    {
        TStartup startup;
        startup.Prepare();
        QVERIFY(StartWith(startup, {}));
        fixture.boxes.Answer(answer);

        if (fromHelp) {
            QTest::keyClick(startup.Form4(), Qt::Key_F1);
        } else {
            TURLLabel label;
            label.SetURL(QStringLiteral("https://example.invalid/"));
            label.setText(QStringLiteral("link"));
            label.resize(100, 20);
            label.show();
            QVERIFY(QTest::qWaitForWindowExposed(&label));
            QTest::mouseClick(&label, Qt::LeftButton);
        }

        const QList<TMessageBoxRequest> exceptionBoxes = BoxesStartingWith(fixture.boxes, kExceptionStart);
        QCOMPARE(exceptionBoxes.size(), 1);
        QCOMPARE(exceptionBoxes.first().Buttons, TMsgDlgBtn::mbYes | TMsgDlgBtn::mbNo);
        if (fromHelp)
            QVERIFY2(exceptionBoxes.first().Text.contains(QStringLiteral(">> viewer failed on Form4 <<")),
                     qPrintable(exceptionBoxes.first().Text));
        const QString logText = fixture.LogText();
        QCOMPARE(Occurrences(logText, QStringLiteral("[!] Exception occured ")), 1);
        QVERIFY2(logText.contains(QStringLiteral("Exception ") + className + QStringLiteral(" in module ")),
                 qPrintable(logText));
        QCOMPARE(terminate.calls, answer == TModalResult::mrYes ? 1 : 0);
    }
}

void TestStartup::handlerWithoutPresenter()
{
    Fixture fixture;
    TerminateRecorder terminate;
    TMessageBoxPresenter *previous = SetMessageBoxPresenter(nullptr);

    AppExceptionHandler(EInOutError(QStringLiteral("Disk full")));

    SetMessageBoxPresenter(previous);
    // Nothing could be asked: logged, and the program goes on.
    QCOMPARE(fixture.boxes.Count(), 0);
    QCOMPARE(terminate.calls, 0);
    QCOMPARE(Occurrences(fixture.LogText(), QStringLiteral("[!] Exception occured ")), 1);
    QVERIFY(fixture.LogText().endsWith(QStringLiteral("\nDisk full.\r\n")));
}

void TestStartup::endOfSession_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<TModalResult>("answer");
    QTest::addColumn<bool>("mayEnd");
    QTest::addColumn<int>("questions");

    QTest::newRow("unchanged: no question") << false << TModalResult::mrCancel << true << 0;
    QTest::newRow("changed, Cancel: stay") << true << TModalResult::mrCancel << false << 1;
    QTest::newRow("changed, No: end") << true << TModalResult::mrNo << true << 1;
}

void TestStartup::endOfSession()
{
    QFETCH(bool, modified);
    QFETCH(TModalResult, answer);
    QFETCH(bool, mayEnd);
    QFETCH(int, questions);

    Fixture fixture;
    const QString fileName = WriteMessageFile(fixture.env);
    QVERIFY(!fileName.isEmpty());
    TStartup startup;
    startup.Prepare();
    QVERIFY(StartWith(startup, {}));
    TEditSession &session = startup.Form1()->Session();
    QVERIFY(session.OpenDocument(fileName));
    session.MarkModified(modified);
    fixture.boxes.Answer(answer);

    QCOMPARE(startup.QueryEndSession(), mayEnd);
    QCOMPARE(int(fixture.boxes.Count()), questions);
    QCOMPARE(session.Modified(), modified && !mayEnd);
}

void TestStartup::programRunsUnattended_data()
{
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("missing file") << QStringList{QStringLiteral("missing.msg")};
    QTest::newRow("missing file, -DEBUG") << QStringList{QStringLiteral("-DEBUG"), QStringLiteral("missing.msg")};
}

void TestStartup::programRunsUnattended()
{
    QFETCH(QStringList, arguments);

    TestEnvironment env;
    const QString program = QStringLiteral(LEXIVANE_PROGRAM);
    QVERIFY(QFileInfo::exists(program));
    const QFileInfo programInfo(program);
    const QString logName = programInfo.path() + QLatin1Char('/') + programInfo.completeBaseName()
        + QStringLiteral(".LOG");
    const bool logExisted = QFileInfo::exists(logName);
    const QByteArray logBefore = ReadWholeFile(logName);

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LEXIVANE_EXIT_AFTER_START"), QStringLiteral("1500"));
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(env.root());
    process.start(program, arguments);
    QVERIFY(process.waitForStarted());
    const bool finished = process.waitForFinished(60000);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    QVERIFY2(finished, "the program did not end by itself");
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QVERIFY2(process.exitCode() == 0, process.readAllStandardError().constData());
    // The main window came up: it read its placement from the settings,
    // which lie in the test's folder.
    const QString settings = QString::fromUtf8(
        ReadWholeFile(env.userDir() + QStringLiteral("/HKEY_CURRENT_USER.reg")));
    QVERIFY2(settings.contains(QStringLiteral("[HKEY_CURRENT_USER\\Software\\Tessavel\\Lexivane\\1.0]")),
             qPrintable(settings));
    // A missing file is reported by the main window, not a start-up failure:
    // nothing is logged, even with -DEBUG.
    QCOMPARE(QFileInfo::exists(logName), logExisted);
    QCOMPARE(ReadWholeFile(logName), logBefore);
}

// The desktop shows the program's windows with the menu entry's name and
// icon: the application names the entry the package installs,
// /usr/share/applications/example.tessavel.Lexivane.desktop.
void TestStartup::applicationNamesItsDesktopEntry()
{
    QCOMPARE(QGuiApplication::desktopFileName(), QStringLiteral("example.tessavel.Lexivane"));
}

// The program's own application class runs the tests, so that events sent
// during a test pass through its exception handling as in the program.
int main(int argc, char **argv)
{
    TApplication application(argc, argv);
    application.setAttribute(Qt::AA_Use96Dpi, true);
    TestStartup test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
