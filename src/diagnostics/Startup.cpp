#include "diagnostics/Startup.h"

#include "diagnostics/CommandLine.h"
#include "diagnostics/Exception.h"
#include "diagnostics/LogUtils.h"
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
#include "help/HelpUtils.h"
#include "help/HelpViewer.h"
#include "settings/ConfigUtils.h"
#include "uitext/DlgUtils.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"
#include "uitext/QtMessageBox.h"

#include <QSessionManager>
#include <QTimer>

#include <cstdio>

namespace {

// The title the application bears until a language table gives its own.
const QString kBuiltInTitle = QStringLiteral("Редактор сообщений Interbase");
const QString kLanguage = QStringLiteral("ENGLISH");
const char kExitAfterStartVariable[] = "LEXIVANE_EXIT_AFTER_START";

QString MessageOf(const std::exception &error)
{
    if (const auto *own = dynamic_cast<const Exception *>(&error))
        return own->Message();
    return QString::fromUtf8(error.what());
}

EForeignException ForeignException()
{
    return EForeignException(QStringLiteral("Exception of an unknown kind"));
}

// Where a box could not be shown, the text goes to standard error so that
// the failure is not lost.
void ShowOnConsole(const QString &text, const std::exception &why)
{
    std::fprintf(stderr, "%s\n(%s)\n", qUtf8Printable(text), qUtf8Printable(MessageOf(why)));
}

TTerminateHook &TerminateHook()
{
    static TTerminateHook hook;
    return hook;
}

// The dialog presenter plugged in; that seam has no getter of its own.
TDialogPresenter *CurrentDialogPresenter()
{
    TDialogPresenter *current = SetDialogPresenter(nullptr);
    SetDialogPresenter(current);
    return current;
}

} // namespace

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The desktop entry the package installs, which gives the windows the
    // menu's name and icon.
    setDesktopFileName(QStringLiteral(LEXIVANE_APP_ID));
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        AppExceptionHandler(error);
    } catch (...) {
        AppExceptionHandler(ForeignException());
    }
    return false;
}

void AppExceptionHandler(const std::exception &error)
{
    LogFile().LogException(error);
    QString text;
    TModalResult answer = TModalResult::mrNo;
    try {
        text = Format(GetMsg(QStringLiteral("Exception")), {MessageOf(error)});
        answer = ShowMessageBox(text, TMsgDlgType::mtError, TMsgDlgBtn::mbYes | TMsgDlgBtn::mbNo);
    } catch (const std::exception &notShown) {
        // Without an answer the program goes on: ending it would lose the
        // user's data without asking.
        ShowOnConsole(text.isEmpty() ? MessageOf(error) : text, notShown);
        return;
    }
    if (answer == TModalResult::mrYes)
        TerminateApplication();
}

TTerminateHook SetTerminateHook(TTerminateHook hook)
{
    TTerminateHook previous = std::move(TerminateHook());
    TerminateHook() = std::move(hook);
    return previous;
}

void TerminateApplication()
{
    if (TerminateHook()) {
        TerminateHook()();
        return;
    }
    // Ends every loop running, modal ones included; a loop started from now
    // on returns at once.
    QCoreApplication::exit(TerminatedExitCode);
}

TStartup::TStartup() = default;

TStartup::~TStartup()
{
    if (m_dialogs && CurrentDialogPresenter() == m_dialogs.get())
        SetDialogPresenter(nullptr);
    m_dialogs.reset();
    m_form4.reset();
    m_form2.reset();
    m_aboutBox.reset();
    m_form1.reset();
    Unplug();
    m_helpViewer.reset();
    m_fontDialog.reset();
    m_fileDialogs.reset();
    m_messageBoxes.reset();
}

void TStartup::Prepare()
{
    // The function statics behind these come into being here, in this
    // order, and are destroyed in the reverse order when the program ends.
    LogFile();
    LanguageNames();
    LanguageTables();
    AppIni();
    AddLanguage(QString::fromLatin1(EnglishLanguageEntry), EnglishTable());
}

bool TStartup::Start(const TApplicationInit &initApplication)
{
    try {
        RunSequence(initApplication);
        return true;
    } catch (const std::exception &error) {
        ReportStartupError(error);
    } catch (...) {
        ReportStartupError(ForeignException());
    }
    return false;
}

void TStartup::RunSequence(const TApplicationInit &initApplication)
{
    AppIni().SetAppKey(LexivaneAppKey);
    const QStringList arguments = initApplication ? initApplication() : QStringList();
    PlugMessageBoxes();
    SetApplicationTitle(kBuiltInTitle);
    SetLanguage(kLanguage);
    StartupFileName().clear();
    ReadCommandLine(arguments);
    PlugServices();

    m_form1 = std::make_unique<TForm1>();
    ConnectSessionEnd();
    m_aboutBox = std::make_unique<TAboutBox>();
    m_form2 = std::make_unique<TForm2>();
    m_form4 = std::make_unique<TForm4>();
    PlugDialogs();
    m_form1->AttachDialogs(m_form2.get(), m_form4.get());
    SetLanguage(kLanguage);
}

void TStartup::ReportStartupError(const std::exception &error)
{
    LogFile().LogException(error);
    const QString format = GetMsg(QStringLiteral("StartupError"));
    try {
        PlugMessageBoxes();
        ShowErrorFmt(format, {MessageOf(error)});
    } catch (const std::exception &notShown) {
        ShowOnConsole(Format(format, {MessageOf(error)}), notShown);
    }
}

void TStartup::PlugMessageBoxes()
{
    if (MessageBoxPresenter() || !qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    m_messageBoxes = std::make_unique<TQtMessageBoxPresenter>();
    SetMessageBoxPresenter(m_messageBoxes.get());
}

void TStartup::PlugServices()
{
    if (!FileDialogPresenter()) {
        m_fileDialogs = std::make_unique<TQtFileDialogs>();
        SetFileDialogPresenter(m_fileDialogs.get());
    }
    if (!FontDialogPresenter()) {
        m_fontDialog = std::make_unique<TQtFontDialogPresenter>();
        SetFontDialogPresenter(m_fontDialog.get());
    }
    if (!HelpService()) {
        m_helpViewer = std::make_unique<THelpViewer>(HelpFileName());
        // An open help window does not keep the program alive once the main
        // window has closed.
        m_helpViewer->setAttribute(Qt::WA_QuitOnClose, false);
        SetHelpService(m_helpViewer.get());
    }
    SetHelpExceptionHandler(AppExceptionHandler);
    SetURLExceptionHandler(AppExceptionHandler);
    m_exceptionHandlersSet = true;
}

void TStartup::PlugDialogs()
{
    if (CurrentDialogPresenter())
        return;
    m_dialogs = std::make_unique<TQtDialogs>(*m_form2, *m_form4, *m_aboutBox);
    SetDialogPresenter(m_dialogs.get());
}

void TStartup::ConnectSessionEnd()
{
#ifndef QT_NO_SESSIONMANAGER
    auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!application)
        return;
    // The connection ends with the main window.
    QObject::connect(application, &QGuiApplication::commitDataRequest, m_form1.get(),
                     [this](QSessionManager &manager) {
                         if (!manager.allowsInteraction())
                             return;
                         const bool mayEnd = QueryEndSession();
                         manager.release();
                         if (!mayEnd)
                             manager.cancel();
                     });
#endif
}

bool TStartup::QueryEndSession()
{
    if (!m_form1)
        return true;
    return m_form1->Session().CloseQuery();
}

int TStartup::Run()
{
    if (!m_form1)
        return StartupFailedExitCode;
    m_form1->show();
    if (m_eventLoop)
        return m_eventLoop();
    return QApplication::exec();
}

void TStartup::SetEventLoop(TEventLoop loop)
{
    m_eventLoop = std::move(loop);
}

void TStartup::Unplug()
{
    if (m_exceptionHandlersSet) {
        SetHelpExceptionHandler({});
        SetURLExceptionHandler({});
    }
    if (m_helpViewer && HelpService() == m_helpViewer.get())
        SetHelpService(nullptr);
    if (m_fontDialog && FontDialogPresenter() == m_fontDialog.get())
        SetFontDialogPresenter(nullptr);
    if (m_fileDialogs && FileDialogPresenter() == m_fileDialogs.get())
        SetFileDialogPresenter(nullptr);
    if (m_messageBoxes && MessageBoxPresenter() == m_messageBoxes.get())
        SetMessageBoxPresenter(nullptr);
}

int RunLexivane(int argc, char **argv)
{
    // Declared first, so that it outlives every window.
    std::unique_ptr<TApplication> application;
    TStartup startup;
    startup.Prepare();
    const bool started = startup.Start([&] {
        application = std::make_unique<TApplication>(argc, argv);
        return QCoreApplication::arguments().mid(1);
    });
    if (!started)
        return StartupFailedExitCode;

    bool unattended = false;
    const int exitAfter = qEnvironmentVariableIntValue(kExitAfterStartVariable, &unattended);
    if (unattended && exitAfter >= 0) {
        // Asked again and again: a box shown before the main loop runs ends
        // only its own loop, and the main loop must end too.
        auto *quit = new QTimer(application.get());
        QObject::connect(quit, &QTimer::timeout, [] { QCoreApplication::exit(0); });
        QTimer::singleShot(exitAfter, quit, [quit] { quit->start(100); QCoreApplication::exit(0); });
    }
    return startup.Run();
}
