#pragma once
// The program's entry: the program-wide objects, the start-up sequence that
// creates the main window and the dialogs that live for the whole run, the
// message loop, and the one handler of every exception that escapes an event
// handler (AppExceptionHandler): it logs the exception, shows the
// "Exception" box and ends the program when the user answers Yes.
//
// Exit status: 0 when the main window closes, StartupFailedExitCode after a
// start-up failure, TerminatedExitCode when the user ends the program from
// the fatal-error box.
//
// Unattended runs: when the environment variable LEXIVANE_EXIT_AFTER_START
// holds a number of milliseconds, the program ends its message loop (and any
// modal box open in it) that long after start-up, with exit status 0 and
// without asking anything. Tests run the program this way.

#include "diagnostics/Exception.h"

#include <QApplication>
#include <QStringList>
#include <exception>
#include <functional>
#include <memory>

class TAboutBox;
class TForm1;
class TForm2;
class TForm4;
class THelpViewer;
class TQtDialogs;
class TQtFileDialogs;
class TQtFontDialogPresenter;
class TQtMessageBoxPresenter;

// Something was thrown that is no exception class: the handler gets this one
// in its place ("Exception of an unknown kind").
LEXIVANE_DECLARE_EXCEPTION(EForeignException);

inline constexpr int StartupFailedExitCode = 1;
inline constexpr int TerminatedExitCode = 2;

// The application object: every exception that escapes an event handler is
// caught here and handed to AppExceptionHandler; the event counts as not
// handled and the program goes on. It names the program's desktop entry
// (LEXIVANE_APP_ID.desktop).
class TApplication : public QApplication
{
    Q_OBJECT

public:
    TApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};

// Logs Error (whether or not DebugMode is set), shows the "Exception" text
// filled with its message in an error box with Yes and No, and on Yes ends
// the program through the terminate hook. On No it returns and the program
// goes on in whatever state the failed command left. Never raises.
void AppExceptionHandler(const std::exception &error);

// How the program is ended from the fatal-error box. The program's own way
// ends the message loop and every modal loop in it at once with
// TerminatedExitCode; no window is asked to close, so unsaved changes are
// lost. Tests plug in their own to see that it was asked. An empty hook
// restores the program's own; returns the hook plugged in before.
using TTerminateHook = std::function<void()>;
TTerminateHook SetTerminateHook(TTerminateHook hook);
void TerminateApplication();

// The start-up sequence in steps a caller can run one by one: Prepare, Start,
// Run. Owns the windows it creates and the presenters it plugs in, and frees
// them in the reverse order of their creation when it is destroyed; the
// handlers of exceptions raised by help requests and link clicks then go
// back to writing the log only.
class TStartup
{
public:
    // Makes the application object when the caller has none yet and returns
    // the command line's arguments after the program's name.
    using TApplicationInit = std::function<QStringList()>;
    // Runs the message loop and returns the exit status.
    using TEventLoop = std::function<int()>;

    TStartup();
    ~TStartup();
    TStartup(const TStartup &) = delete;
    TStartup &operator=(const TStartup &) = delete;

    // The program-wide objects, in this order: the log (nothing written), the
    // language list, the settings store (no application key yet), and the
    // English table added as "ENGLISH=English". The help file name follows
    // the program's path, which is known once the application object exists.
    void Prepare();

    // The start-up sequence under one guard: the settings key, the
    // application object, the built-in title, the English table, the command
    // line, the presenters of every seam, the main window, the about box, the
    // text edit and font setup dialogs, the table applied to them. True when
    // it went through; on a failure the exception is logged, the
    // "StartupError" box shown, and false returned: the program must end
    // without showing the main window.
    //
    // Each seam that has no presenter yet gets the Qt one (message boxes as
    // soon as the application object exists); a seam a test has plugged
    // keeps the test's.
    [[nodiscard]] bool Start(const TApplicationInit &initApplication);

    // Shows the main window and runs the message loop; its exit status.
    int Run();
    // Replaces the message loop (QApplication::exec) that Run runs; an empty
    // loop restores it.
    void SetEventLoop(TEventLoop loop);

    // The windows created at start; nullptr before their creation.
    [[nodiscard]] TForm1 *Form1() const { return m_form1.get(); }
    [[nodiscard]] TAboutBox *AboutBox() const { return m_aboutBox.get(); }
    [[nodiscard]] TForm2 *Form2() const { return m_form2.get(); }
    [[nodiscard]] TForm4 *Form4() const { return m_form4.get(); }

    // The end of the user's session asks the main window's close query:
    // false when the user wants to stay.
    [[nodiscard]] bool QueryEndSession();

private:
    void RunSequence(const TApplicationInit &initApplication);
    void ReportStartupError(const std::exception &error);
    void PlugMessageBoxes();
    void PlugServices();
    void PlugDialogs();
    void ConnectSessionEnd();
    // Unplugs the presenters and handlers that are still this object's.
    void Unplug();

    TEventLoop m_eventLoop;
    std::unique_ptr<TQtMessageBoxPresenter> m_messageBoxes;
    std::unique_ptr<TQtFileDialogs> m_fileDialogs;
    std::unique_ptr<TQtFontDialogPresenter> m_fontDialog;
    std::unique_ptr<THelpViewer> m_helpViewer;
    bool m_exceptionHandlersSet = false;
    std::unique_ptr<TForm1> m_form1;
    std::unique_ptr<TAboutBox> m_aboutBox;
    std::unique_ptr<TForm2> m_form2;
    std::unique_ptr<TForm4> m_form4;
    std::unique_ptr<TQtDialogs> m_dialogs;
};

// The whole program: Prepare, Start with the application object made from
// the command line, Run; the exit status.
int RunLexivane(int argc, char **argv);
