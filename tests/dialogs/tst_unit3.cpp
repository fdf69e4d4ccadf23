// The message file selection dialog: which choices it offers for the server
// files found in the registry and WIN.INI stand-ins, what it returns for each
// way of confirming, the refusal of a missing file, browsing from the file
// name box, help, and its texts from the English table.

#include "dialogs/FileDialogs.h"
#include "dialogs/FileNameEdit.h"
#include "dialogs/Unit3.h"
#include "help/HelpService.h"
#include "help/HelpUtils.h"
#include "platform/ProfileFile.h"
#include "settings/ConfigUtils.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>
#include <QQueue>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

namespace {

const char NewKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\InterBase Corp\\InterBase\\CurrentVersion";
const char OldKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Interbase\\CurrentVersion";

// How the 32-bit server is installed.
enum class Server32 { None, NewKey, OldKey, KeyWithoutFile };

// Answers file dialogs from a queue (nothing left: cancelled) and records
// every request; plugged in while it exists.
class ScriptedFileDialogs : public TFileDialogPresenter
{
public:
    ScriptedFileDialogs() : m_previous(SetFileDialogPresenter(this)) {}
    ~ScriptedFileDialogs() override { SetFileDialogPresenter(m_previous); }
    ScriptedFileDialogs(const ScriptedFileDialogs &) = delete;
    ScriptedFileDialogs &operator=(const ScriptedFileDialogs &) = delete;

    std::optional<QString> Open(const TFileDialogRequest &request) override
    {
        OpenRequests.append(request);
        return Answers.isEmpty() ? std::nullopt : Answers.dequeue();
    }
    std::optional<QString> Save(const TFileDialogRequest &request) override
    {
        SaveRequests.append(request);
        return Answers.isEmpty() ? std::nullopt : Answers.dequeue();
    }

    QQueue<std::optional<QString>> Answers;
    QList<TFileDialogRequest> OpenRequests;
    QList<TFileDialogRequest> SaveRequests;

private:
    TFileDialogPresenter *m_previous;
};

class HelpRecorder : public THelpService
{
public:
    QStringList calls;
    void ShowContents() override { calls << QStringLiteral("contents"); }
    void ShowTopic(const QString &jumpName) override { calls << QStringLiteral("topic ") + jumpName; }
    void ShowPopup(const QString &jumpName, const QPoint &) override { calls << QStringLiteral("popup ") + jumpName; }
    void ShowContext(int context) override { calls << QStringLiteral("context %1").arg(context); }
};

QString RegString(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1String("\\"), QLatin1String("\\\\")).replace(QLatin1String("\""), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// The installed servers and the other files a test chooses from, all in
// the test environment's folder.
struct Installation
{
    QString path32;
    QString path16;
    QString dir; // holds other.msg and "my msgs/inter base.msg"

    // Placeholders <32>, <16> and <dir> replaced.
    QString Expand(QString text) const
    {
        return text.replace(QLatin1String("<32>"), path32)
            .replace(QLatin1String("<16>"), path16)
            .replace(QLatin1String("<dir>"), dir);
    }
};

bool MakeFile(const QString &fileName)
{
    return QDir().mkpath(QFileInfo(fileName).absolutePath()) && WriteWholeFile(fileName, "message file");
}

// Writes the registry and WIN.INI entries of the servers asked for, with
// their message files, and the other files; false when a file could not be
// written.
bool Install(const TestEnvironment &environment, Server32 server32, bool server16, Installation &installation)
{
    installation.dir = environment.path(QStringLiteral("files"));
    if (!MakeFile(installation.dir + QStringLiteral("/other.msg"))
        || !MakeFile(installation.dir + QStringLiteral("/my msgs/inter base.msg")))
        return false;
    QString hive = QStringLiteral("Windows Registry Editor Version 5.00\n\n");
    const QString dir32 = environment.path(QStringLiteral("ib 32"));
    switch (server32) {
    case Server32::None:
        break;
    case Server32::NewKey:
        installation.path32 = dir32 + QStringLiteral("/interbase.msg");
        hive += QStringLiteral("[%1]\n\"RootDirectory\"=%2\n\n").arg(QLatin1String(NewKey), RegString(dir32));
        break;
    case Server32::OldKey:
        installation.path32 = dir32 + QStringLiteral("/interbas.msg");
        hive += QStringLiteral("[%1]\n\"RootDirectory\"=%2\n\n").arg(QLatin1String(OldKey), RegString(dir32));
        break;
    case Server32::KeyWithoutFile:
        if (!QDir().mkpath(dir32))
            return false;
        hive += QStringLiteral("[%1]\n\"RootDirectory\"=%2\n\n").arg(QLatin1String(NewKey), RegString(dir32));
        break;
    }
    if (!installation.path32.isEmpty() && !MakeFile(installation.path32))
        return false;
    if (!WriteWholeFile(environment.systemDir() + QStringLiteral("/HKEY_LOCAL_MACHINE.reg"), hive.toUtf8()))
        return false;
    if (!server16)
        return true;
    const QString dir16 = environment.path(QStringLiteral("ib16"));
    installation.path16 = dir16 + QStringLiteral("/interbas.msg");
    return MakeFile(installation.path16)
        && WriteWholeFile(WinIniFileName(), QStringLiteral("[Interbase]\nRootDirectory=%1\n").arg(dir16).toUtf8());
}

template <typename T>
T *Control(QWidget &form, const char *name)
{
    return form.findChild<T *>(QLatin1String(name));
}

TFileNameEdit *CustomEditOf(QWidget &form)
{
    return Control<TFileNameEdit>(form, "CustomEdit");
}

QString CheckedChoice(QWidget &form)
{
    for (const char *name : {"IB32Check", "IB16Check", "CustomCheck"}) {
        if (Control<QRadioButton>(form, name)->isChecked())
            return QLatin1String(name);
    }
    return QString();
}

// Where a click lands on a radio button: its indicator.
QPoint ClickPoint(QWidget *widget)
{
    auto *radio = qobject_cast<QRadioButton *>(widget);
    if (!radio)
        return widget->rect().center();
    QStyleOptionButton option;
    option.initFrom(radio);
    return radio->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, radio).center();
}

// A double click as the window system delivers it: press, release, then
// the double click and its release.
void DoubleClick(QWidget *widget)
{
    const QPoint point = ClickPoint(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, point);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, point);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, point);
}

// Acts on the dialog as a user would. Steps: "click NAME", "dblclick NAME",
// "type TEXT" (into CustomEdit), "key Enter" / "key Escape" (to the focused
// control), "close" (the close box), "delete FILE".
void RunSteps(QWidget &form, const QStringList &steps, const Installation &installation)
{
    for (const QString &step : steps) {
        const qsizetype blank = step.indexOf(QLatin1Char(' '));
        const QString verb = step.left(blank < 0 ? step.size() : blank);
        const QString argument = blank < 0 ? QString() : installation.Expand(step.mid(blank + 1));
        QWidget *focused = form.focusWidget() ? form.focusWidget() : &form;
        if (verb == QLatin1String("click")) {
            QWidget *target = form.findChild<QWidget *>(argument);
            QVERIFY2(target, qPrintable(step));
            QTest::mouseClick(target, Qt::LeftButton, {}, ClickPoint(target));
        } else if (verb == QLatin1String("dblclick")) {
            QWidget *target = form.findChild<QWidget *>(argument);
            QVERIFY2(target, qPrintable(step));
            DoubleClick(target);
        } else if (verb == QLatin1String("type")) {
            QTest::keyClicks(CustomEditOf(form), argument);
        } else if (verb == QLatin1String("key")) {
            QTest::keyClick(focused, argument == QLatin1String("Enter") ? Qt::Key_Return : Qt::Key_Escape);
        } else if (verb == QLatin1String("close")) {
            form.close();
        } else if (verb == QLatin1String("delete")) {
            QVERIFY(QFile::remove(argument));
        } else {
            QFAIL(qPrintable(QStringLiteral("unknown step ") + step));
        }
    }
}

// What became of one run of SelectMessageFile.
struct Outcome
{
    bool result = false;
    bool shown = false;
    bool rescued = false;         // still open long after the steps: cancelled
    bool openAfterSteps = false;  // the steps left the dialog open
    QString titleShown;
    QPointer<TForm3> form;        // gone once the entry point returns
    QString checkedAfterSteps;
    QString textAfterSteps;
};

// Runs the entry point; once the dialog is up, the steps act on it. A
// dialog the steps leave open is noted and then cancelled; one that is
// still open seconds later (a fault) is cancelled too, so no test hangs.
Outcome RunSelectMessageFile(QString &fileName, const QStringList &steps, const Installation &installation)
{
    Outcome outcome;
    QElapsedTimer clock;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *form = qobject_cast<TForm3 *>(QApplication::activeModalWidget());
        if (!form)
            return;
        if (outcome.shown) {
            if (clock.elapsed() > 5000) {
                outcome.rescued = true;
                form->reject();
            }
            return;
        }
        outcome.shown = true;
        outcome.titleShown = form->windowTitle();
        outcome.form = form;
        clock.start();
        RunSteps(*form, steps, installation);
        if (!form->isVisible())
            return;
        outcome.openAfterSteps = true;
        outcome.checkedAfterSteps = CheckedChoice(*form);
        outcome.textAfterSteps = CustomEditOf(*form)->text();
        QTest::mouseClick(Control<QPushButton>(*form, "Button2"), Qt::LeftButton);
    });
    poll.start(10);
    outcome.result = TForm3::SelectMessageFile(fileName);
    return outcome;
}

// A dialog as SelectMessageFile prepares it, shown without blocking.
std::unique_ptr<TForm3> ShowForm()
{
    auto form = std::make_unique<TForm3>();
    form->FindServerFiles();
    form->EnableCustomEdit(false);
    TranslateForm(form.get());
    form->show();
    return form;
}

QColor PaletteColor(QWidget *widget, QPalette::ColorRole role)
{
    return QApplication::palette(widget).color(role);
}

// The colour drawn in the middle of the box's text area.
QColor DrawnBackground(TFileNameEdit *edit)
{
    const QImage image = edit->grab().toImage();
    return image.pixelColor((edit->width() - edit->BrowseButton()->width()) / 2, edit->height() / 2);
}

} // namespace

class TestUnit3 : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_environment;
    std::unique_ptr<ScriptedMessageBoxes> m_boxes;
    std::unique_ptr<ScriptedFileDialogs> m_fileDialogs;
    HelpRecorder m_help;

private Q_SLOTS:
    void initTestCase()
    {
        AddLanguage(QLatin1String(EnglishLanguageEntry), EnglishTable());
        SetLanguage(QStringLiteral("ENGLISH"));
    }

    void init()
    {
        m_environment = std::make_unique<TestEnvironment>();
        AppIni().SetAppKey(LexivaneAppKey);
        m_boxes = std::make_unique<ScriptedMessageBoxes>();
        m_fileDialogs = std::make_unique<ScriptedFileDialogs>();
        m_help.calls.clear();
        SetHelpService(&m_help);
    }

    void cleanup()
    {
        SetHelpService(nullptr);
        m_fileDialogs.reset();
        m_boxes.reset();
        m_environment.reset();
    }

    void design()
    {
        TForm3 form;
        QCOMPARE(form.objectName(), QStringLiteral("Form3"));
        QCOMPARE(HelpContextOf(&form), 1);
        QCOMPARE(form.font().family(), QStringLiteral("Arial"));
        QCOMPARE(form.font().pixelSize(), 13);
        QVERIFY(form.width() >= 377 && form.height() >= 143);
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(Control<TOpenDialog>(form, "OpenDialog1"));
        QVERIFY(Control<TContextHelp>(form, "ContextHelp1"));
        QVERIFY(Control<QPushButton>(form, "Button1")->isDefault());
        // Tab order: the choices, the box, then the buttons.
        const QStringList controls{"IB32Check", "IB16Check", "CustomCheck", "CustomEdit",
                                   "Button1",   "Button2",   "Button3"};
        QStringList order;
        QWidget *first = Control<QWidget>(form, "IB32Check");
        QWidget *widget = first;
        do {
            if (controls.contains(widget->objectName()))
                order << widget->objectName();
            widget = widget->nextInFocusChain();
        } while (widget && widget != first);
        QCOMPARE(order, controls);
        QCOMPARE(Control<TFileNameEdit>(form, "CustomEdit")->BrowseButton()->focusPolicy(), Qt::NoFocus);
    }

    void englishTable_data()
    {
        QTest::addColumn<QString>("component");
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("expected");
        QTest::newRow("caption") << "" << "windowTitle" << "Select a message file to edit";
        QTest::newRow("32-bit choice") << "IB32Check" << "text" << "InterBase for Win95/&NT";
        QTest::newRow("16-bit choice") << "IB16Check" << "text" << "InterBase for Win &3.x";
        QTest::newRow("other choice") << "CustomCheck" << "text" << "&Other";
        QTest::newRow("OK keeps its own text") << "Button1" << "text" << "OK";
        QTest::newRow("Cancel") << "Button2" << "text" << "Cancel";
        QTest::newRow("Help") << "Button3" << "text" << "&Help";
        QTest::newRow("browse filter") << "CustomEdit" << "Filter"
                                       << "Message files (*.MSG)|*.MSG|All files (*.*)|*.*";
        QTest::newRow("browse title") << "CustomEdit" << "DialogTitle" << "Select a message file";
        QTest::newRow("browse extension") << "CustomEdit" << "DefaultExt" << "MSG";
        QTest::newRow("open dialog filter") << "OpenDialog1" << "Filter"
                                            << "Backup files (*.BACKUP)|*.BACKUP|All files (*.*)|*.*";
        QTest::newRow("open dialog title") << "OpenDialog1" << "Title" << "Restoring the message file";
    }
    void englishTable()
    {
        QFETCH(QString, component);
        QFETCH(QString, property);
        QFETCH(QString, expected);
        TForm3 form;
        TranslateForm(&form);
        QObject *object = component.isEmpty() ? &form : form.findChild<QObject *>(component);
        QVERIFY(object);
        QCOMPARE(object->property(property.toLatin1().constData()).toString(), expected);
    }

    void choicesOnShowing_data()
    {
        QTest::addColumn<int>("server32");
        QTest::addColumn<bool>("server16");
        QTest::addColumn<bool>("offers32");
        QTest::addColumn<bool>("offers16");
        QTest::addColumn<QString>("checked");
        QTest::newRow("no server found") << int(Server32::None) << false << false << false << "CustomCheck";
        QTest::newRow("32-bit server, new key") << int(Server32::NewKey) << false << true << false << "IB32Check";
        QTest::newRow("32-bit server, old key") << int(Server32::OldKey) << false << true << false << "IB32Check";
        QTest::newRow("only the 16-bit server") << int(Server32::None) << true << false << true << "IB16Check";
        QTest::newRow("both servers") << int(Server32::NewKey) << true << true << true << "IB32Check";
        QTest::newRow("32-bit key without its file") << int(Server32::KeyWithoutFile) << true << false << true
                                                     << "IB16Check";
        QTest::newRow("32-bit key without its file, no 16-bit")
            << int(Server32::KeyWithoutFile) << false << false << false << "CustomCheck";
    }
    void choicesOnShowing()
    {
        QFETCH(int, server32);
        QFETCH(bool, server16);
        QFETCH(bool, offers32);
        QFETCH(bool, offers16);
        QFETCH(QString, checked);
        Installation installation;
        QVERIFY(Install(*m_environment, Server32(server32), server16, installation));
        const auto form = ShowForm();
        QCOMPARE(Control<QRadioButton>(*form, "IB32Check")->isEnabled(), offers32);
        QCOMPARE(Control<QRadioButton>(*form, "IB16Check")->isEnabled(), offers16);
        QVERIFY(Control<QRadioButton>(*form, "CustomCheck")->isEnabled());
        QCOMPARE(CheckedChoice(*form), checked);
        const bool other = checked == QLatin1String("CustomCheck");
        TFileNameEdit *edit = CustomEditOf(*form);
        QCOMPARE(edit->isEnabled(), other);
        QCOMPARE(form->focusWidget() == edit, other);
        const QColor expected = PaletteColor(edit, other ? QPalette::Base : QPalette::Button);
        QVERIFY(PaletteColor(edit, QPalette::Base) != PaletteColor(edit, QPalette::Button));
        QCOMPARE(edit->palette().color(QPalette::Active, QPalette::Base), expected);
        QCOMPARE(edit->palette().color(QPalette::Disabled, QPalette::Base), expected);
        QCOMPARE(DrawnBackground(edit), expected);

        // Each server choice stands for the file found for it, "" when none was.
        Control<QRadioButton>(*form, "IB32Check")->setChecked(true);
        QCOMPARE(form->GetSelectedFile(), installation.path32);
        Control<QRadioButton>(*form, "IB16Check")->setChecked(true);
        QCOMPARE(form->GetSelectedFile(), installation.path16);
    }

    void selectMessageFile_data()
    {
        QTest::addColumn<int>("server32");
        QTest::addColumn<bool>("server16");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("leftOpenWith"); // the checked choice, when the steps leave it open
        QTest::addColumn<QString>("missingName");  // the name in the error box, if one is shown

        const int both = int(Server32::NewKey);
        const int none = int(Server32::None);
        const QString unchanged = QStringLiteral("unchanged");
        QTest::newRow("double click on the 32-bit choice")
            << both << true << QStringList{"dblclick IB32Check"} << true << "<32>" << "" << "";
        QTest::newRow("double click on the 16-bit choice")
            << both << true << QStringList{"dblclick IB16Check"} << true << "<16>" << "" << "";
        QTest::newRow("Enter with the choice checked on showing")
            << both << true << QStringList{"key Enter"} << true << "<32>" << "" << "";
        QTest::newRow("16-bit choice clicked, then OK")
            << both << true << QStringList{"click IB16Check", "click Button1"} << true << "<16>" << "" << "";
        QTest::newRow("old key's interbas.msg")
            << int(Server32::OldKey) << false << QStringList{"click Button1"} << true << "<32>" << "" << "";
        QTest::newRow("a server chosen after typing a missing name")
            << both << true << QStringList{"click CustomCheck", "type <dir>/missing.msg", "click IB32Check", "click Button1"}
            << true << "<32>" << "" << "";
        QTest::newRow("Other: an existing file")
            << both << false << QStringList{"click CustomCheck", "type <dir>/other.msg", "click Button1"} << true
            << "<dir>/other.msg" << "" << "";
        QTest::newRow("Other: a quoted name with blanks")
            << none << false << QStringList{"type \"<dir>/my msgs/inter base.msg\"", "click Button1"} << true
            << "<dir>/my msgs/inter base.msg" << "" << "";
        QTest::newRow("Other: an existing name with blanks, unquoted")
            << none << false << QStringList{"type <dir>/my msgs/inter base.msg", "key Enter"} << true
            << "<dir>/my msgs/inter base.msg" << "" << "";
        QTest::newRow("Other: a quoted name and more")
            << none << false << QStringList{"type  \"<dir>/my msgs/inter base.msg\" -DEBUG", "click Button1"} << true
            << "<dir>/my msgs/inter base.msg" << "" << "";
        QTest::newRow("Other: double click with a name")
            << none << false << QStringList{"type <dir>/other.msg", "dblclick CustomCheck"} << true
            << "<dir>/other.msg" << "" << "";
        QTest::newRow("Cancel") << both << true << QStringList{"click Button2"} << false << unchanged << "" << "";
        QTest::newRow("Escape") << both << true << QStringList{"key Escape"} << false << unchanged << "" << "";
        QTest::newRow("close box") << none << false << QStringList{"type <dir>/other.msg", "close"} << false
                                   << unchanged << "" << "";
        QTest::newRow("Other: a missing file")
            << none << false << QStringList{"type <dir>/missing.msg", "click Button1"} << false << unchanged
            << "CustomCheck" << "<dir>/missing.msg";
        QTest::newRow("Other: Enter on a missing file")
            << none << false << QStringList{"type <dir>/missing.msg", "key Enter"} << false << unchanged
            << "CustomCheck" << "<dir>/missing.msg";
        QTest::newRow("Other: a quoted missing name with blanks")
            << none << false << QStringList{"type \"<dir>/no such/file.msg\" x", "click Button1"} << false
            << unchanged << "CustomCheck" << "<dir>/no such/file.msg";
        QTest::newRow("Other: a missing name with blanks, unquoted")
            << none << false << QStringList{"type <dir>/no such.msg", "click Button1"} << false << unchanged
            << "CustomCheck" << "<dir>/no";
        QTest::newRow("Other: a folder")
            << none << false << QStringList{"type \"<dir>/my msgs\"", "click Button1"} << false << unchanged
            << "CustomCheck" << "<dir>/my msgs";
        QTest::newRow("server file gone before OK")
            << both << true << QStringList{"delete <32>", "click Button1"} << false << unchanged << "IB32Check"
            << "<32>";
        QTest::newRow("double click on a choice not offered")
            << none << true << QStringList{"dblclick IB32Check"} << false << unchanged << "IB16Check" << "";
    }
    void selectMessageFile()
    {
        QFETCH(int, server32);
        QFETCH(bool, server16);
        QFETCH(QStringList, steps);
        QFETCH(bool, result);
        QFETCH(QString, fileName);
        QFETCH(QString, leftOpenWith);
        QFETCH(QString, missingName);
        Installation installation;
        QVERIFY(Install(*m_environment, Server32(server32), server16, installation));

        QString chosen = QStringLiteral("unchanged");
        const Outcome outcome = RunSelectMessageFile(chosen, steps, installation);
        QVERIFY(outcome.shown);
        QVERIFY(!outcome.rescued);
        QVERIFY(outcome.form.isNull());
        QCOMPARE(outcome.titleShown, QStringLiteral("Select a message file to edit"));
        QCOMPARE(outcome.result, result);
        QCOMPARE(chosen, installation.Expand(fileName));
        QCOMPARE(outcome.openAfterSteps, !leftOpenWith.isEmpty());
        if (outcome.openAfterSteps) {
            QCOMPARE(outcome.checkedAfterSteps, leftOpenWith);
            // The typed text stays as it was.
            const qsizetype typed = steps.indexOf(QRegularExpression(QStringLiteral("^type .*")));
            QCOMPARE(outcome.textAfterSteps, typed < 0 ? QString() : installation.Expand(steps.at(typed).mid(5)));
        }
        if (missingName.isEmpty()) {
            QCOMPARE(m_boxes->Count(), 0);
        } else {
            QCOMPARE(m_boxes->Count(), 1);
            QCOMPARE(m_boxes->Last().Kind, TMsgDlgType::mtError);
            QCOMPARE(m_boxes->Last().Buttons, TMsgDlgButtons(TMsgDlgBtn::mbOK));
            QCOMPARE(m_boxes->Last().Text,
                     QStringLiteral("File \"%1\" does not exist").arg(installation.Expand(missingName)));
        }
        QCOMPARE(m_fileDialogs->OpenRequests.size(), 0);
    }

    // Each use looks the servers up again.
    void serversLookedUpAtEveryUse()
    {
        Installation installation;
        QVERIFY(Install(*m_environment, Server32::None, false, installation));
        QString chosen;
        Outcome outcome = RunSelectMessageFile(chosen, {"dblclick IB32Check"}, installation);
        QCOMPARE(outcome.openAfterSteps, true);
        QCOMPARE(outcome.result, false);

        QVERIFY(Install(*m_environment, Server32::NewKey, false, installation));
        outcome = RunSelectMessageFile(chosen, {"dblclick IB32Check"}, installation);
        QVERIFY(!outcome.rescued);
        QCOMPARE(outcome.result, true);
        QCOMPARE(chosen, installation.path32);
    }

    // OK with "Other" and no name browses instead of closing.
    void blankNameBrowses_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("answer"); // empty: the browse dialog is cancelled
        const QString chosen = QStringLiteral("<dir>/my msgs/inter base.msg");
        QTest::newRow("nothing typed, OK, file chosen") << "" << "click Button1" << chosen;
        QTest::newRow("blanks, OK, file chosen") << "   " << "click Button1" << chosen;
        QTest::newRow("empty quotes, OK, file chosen") << "\"\"" << "click Button1" << chosen;
        QTest::newRow("quoted blanks, Enter, file chosen") << "\" \"" << "key Enter" << chosen;
        QTest::newRow("nothing typed, double click on Other") << "" << "dblclick CustomCheck" << chosen;
        QTest::newRow("nothing typed, OK, cancelled") << "" << "click Button1" << "";
        QTest::newRow("blanks, Enter, cancelled") << "  " << "key Enter" << "";
    }
    void blankNameBrowses()
    {
        QFETCH(QString, typed);
        QFETCH(QString, trigger);
        QFETCH(QString, answer);
        Installation installation;
        QVERIFY(Install(*m_environment, Server32::None, false, installation));
        if (!answer.isEmpty())
            m_fileDialogs->Answers.enqueue(installation.Expand(answer));
        const auto form = ShowForm();
        TFileNameEdit *edit = CustomEditOf(*form);
        QTest::keyClicks(edit, typed);
        RunSteps(*form, {trigger}, installation);

        QCOMPARE(m_fileDialogs->OpenRequests.size(), 1);
        const TFileDialogRequest &request = m_fileDialogs->OpenRequests.first();
        QCOMPARE(request.Title, QStringLiteral("Select a message file"));
        QCOMPARE(request.Filter, QStringLiteral("Message files (*.MSG)|*.MSG|All files (*.*)|*.*"));
        QCOMPARE(request.DefaultExt, QStringLiteral("MSG"));
        QVERIFY(request.Options.testFlag(TOpenOption::ofFileMustExist));
        QVERIFY(request.Options.testFlag(TOpenOption::ofHideReadOnly));
        QVERIFY(form->isVisible());
        QCOMPARE(m_boxes->Count(), 0);
        QCOMPARE(CheckedChoice(*form), QStringLiteral("CustomCheck"));
        if (answer.isEmpty()) {
            QCOMPARE(edit->text(), typed);
            return;
        }
        QCOMPARE(edit->text(), QLatin1Char('"') + installation.Expand(answer) + QLatin1Char('"'));
        // With the name in the box, OK closes.
        QTest::mouseClick(Control<QPushButton>(*form, "Button1"), Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), int(QDialog::Accepted));
        QCOMPARE(form->GetSelectedFile(), installation.Expand(answer));
        QCOMPARE(m_fileDialogs->OpenRequests.size(), 1);
    }

    // The file CustomEdit names, with "Other" checked.
    void fileNameOfOther_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("existing name with blanks, unquoted") << "<dir>/my msgs/inter base.msg"
                                                             << "<dir>/my msgs/inter base.msg";
        QTest::newRow("quoted") << "\"<dir>/my msgs/inter base.msg\"" << "<dir>/my msgs/inter base.msg";
        QTest::newRow("quoted, then more") << "\"<dir>/my msgs/inter base.msg\" x y" << "<dir>/my msgs/inter base.msg";
        QTest::newRow("two names") << "<dir>/other.msg <dir>/x.msg" << "<dir>/other.msg";
        QTest::newRow("leading blanks") << "   <dir>/other.msg" << "<dir>/other.msg";
        QTest::newRow("trailing blank") << "<dir>/other.msg " << "<dir>/other.msg";
        QTest::newRow("quotes inside an item") << "a\"b c\"d e" << "ab cd";
        QTest::newRow("tab separates") << "first\tsecond" << "first";
        QTest::newRow("unclosed quote") << "\"a b" << "a b";
        QTest::newRow("missing name with blanks") << "<dir>/no such.msg" << "<dir>/no";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("only blanks") << "   " << "";
        QTest::newRow("empty quotes first") << "\"\" <dir>/other.msg" << "";
    }
    void fileNameOfOther()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        Installation installation;
        QVERIFY(Install(*m_environment, Server32::None, false, installation));
        const auto form = ShowForm();
        CustomEditOf(*form)->setText(installation.Expand(text));
        QCOMPARE(form->GetSelectedFile(), installation.Expand(expected));
    }

    void clicks_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("editEnabled");
        QTest::addColumn<QString>("text");
        QTest::newRow("Other") << QStringList{"click CustomCheck"} << true << "";
        QTest::newRow("Other, then the 16-bit choice") << QStringList{"click CustomCheck", "click IB16Check"} << false
                                                       << "";
        QTest::newRow("typed, 32-bit choice, Other again")
            << QStringList{"click CustomCheck", "type abc", "click IB32Check", "click CustomCheck"} << true << "abc";
        QTest::newRow("typed, then the 32-bit choice")
            << QStringList{"click CustomCheck", "type abc", "click IB32Check"} << false << "abc";
    }
    void clicks()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, editEnabled);
        QFETCH(QString, text);
        Installation installation;
        QVERIFY(Install(*m_environment, Server32::NewKey, true, installation));
        const auto form = ShowForm();
        TFileNameEdit *edit = CustomEditOf(*form);
        QVERIFY(!edit->isEnabled());
        RunSteps(*form, steps, installation);
        QCOMPARE(edit->isEnabled(), editEnabled);
        QCOMPARE(edit->text(), text);
        QCOMPARE(form->focusWidget() == edit, editEnabled);
        QCOMPARE(edit->palette().color(QPalette::Base),
                 PaletteColor(edit, editEnabled ? QPalette::Base : QPalette::Button));
        QVERIFY(form->isVisible());
    }

    // Browsing from the file name box: the button and Ctrl+Enter.
    void browse_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("text");     // in the box before
        QTest::addColumn<QString>("startsAt"); // the name the request starts from
        QTest::addColumn<QString>("answer");   // empty: cancelled
        QTest::addColumn<QString>("after");    // the box's text after
        QTest::newRow("button, plain name") << "button" << "" << "" << "/x/a.msg" << "/x/a.msg";
        QTest::newRow("button, name with a blank") << "button" << "old" << "old" << "/x y/a.msg" << "\"/x y/a.msg\"";
        QTest::newRow("button, name with a tab") << "button" << "" << "" << "/x\ty/a.msg" << "\"/x\ty/a.msg\"";
        QTest::newRow("button, already quoted") << "button" << "" << "" << "\"/x y/a.msg\"" << "\"/x y/a.msg\"";
        QTest::newRow("button, without extension") << "button" << "" << "" << "/x/a" << "/x/a.MSG";
        QTest::newRow("button, cancelled") << "button" << "\"/p q/r.msg\" s" << "/p q/r.msg" << "" << "\"/p q/r.msg\" s";
        QTest::newRow("Ctrl+Return") << "Ctrl+Return" << "/old.msg" << "/old.msg" << "/x y/b.msg" << "\"/x y/b.msg\"";
        QTest::newRow("Ctrl+Enter on the keypad") << "Ctrl+Enter" << "" << "" << "/x/b.msg" << "/x/b.msg";
        QTest::newRow("Ctrl+Return, cancelled") << "Ctrl+Return" << "abc" << "abc" << "" << "abc";
    }
    void browse()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, text);
        QFETCH(QString, startsAt);
        QFETCH(QString, answer);
        QFETCH(QString, after);
        TFileNameEdit edit;
        edit.SetFilter(QStringLiteral("Message files (*.MSG)|*.MSG"));
        edit.SetDialogTitle(QStringLiteral("Pick"));
        edit.SetDefaultExt(QStringLiteral("MSG"));
        edit.setText(text);
        edit.show();
        if (!answer.isEmpty())
            m_fileDialogs->Answers.enqueue(answer);
        if (trigger == QLatin1String("button"))
            QTest::mouseClick(edit.BrowseButton(), Qt::LeftButton);
        else if (trigger == QLatin1String("Ctrl+Return"))
            QTest::keyClick(&edit, Qt::Key_Return, Qt::ControlModifier);
        else
            QTest::keyClick(&edit, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
        QCOMPARE(m_fileDialogs->OpenRequests.size(), 1);
        QCOMPARE(m_fileDialogs->SaveRequests.size(), 0);
        const TFileDialogRequest &request = m_fileDialogs->OpenRequests.first();
        QCOMPARE(request.Title, QStringLiteral("Pick"));
        QCOMPARE(request.Filter, QStringLiteral("Message files (*.MSG)|*.MSG"));
        QCOMPARE(request.DefaultExt, QStringLiteral("MSG"));
        QCOMPARE(request.FileName, startsAt);
        QCOMPARE(request.Options, TOpenOption::ofFileMustExist | TOpenOption::ofHideReadOnly);
        QCOMPARE(edit.text(), after);
    }

    void keysThatDoNotBrowse_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::newRow("Return") << int(Qt::Key_Return) << int(Qt::NoModifier);
        QTest::newRow("Shift+Ctrl+Return") << int(Qt::Key_Return) << int(Qt::ShiftModifier | Qt::ControlModifier);
        QTest::newRow("Alt+Ctrl+Return") << int(Qt::Key_Return) << int(Qt::AltModifier | Qt::ControlModifier);
        QTest::newRow("Ctrl+Space") << int(Qt::Key_Space) << int(Qt::ControlModifier);
    }
    void keysThatDoNotBrowse()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        TFileNameEdit edit;
        edit.show();
        QTest::keyClick(&edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(m_fileDialogs->OpenRequests.size(), 0);
    }

    void browseWithoutFileDialogsRaises()
    {
        SetFileDialogPresenter(nullptr);
        TFileNameEdit edit;
        QVERIFY_THROWS_EXCEPTION(EDialogError, edit.Browse());
    }

    void help_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::newRow("Help button") << "Button3";
        QTest::newRow("F1 on a choice") << "IB32Check";
        QTest::newRow("F1 in the file box") << "CustomEdit";
    }
    void help()
    {
        QFETCH(QString, trigger);
        Installation installation;
        QVERIFY(Install(*m_environment, Server32::NewKey, false, installation));
        const auto form = ShowForm();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        if (trigger == QLatin1String("Button3")) {
            QTest::mouseClick(Control<QPushButton>(*form, "Button3"), Qt::LeftButton);
        } else {
            auto *target = form->findChild<QWidget *>(trigger);
            if (!target->isEnabled())
                QTest::mouseClick(Control<QRadioButton>(*form, "CustomCheck"), Qt::LeftButton, {},
                                  ClickPoint(Control<QRadioButton>(*form, "CustomCheck")));
            target->setFocus();
            QTest::keyClick(target, Qt::Key_F1);
        }
        QCOMPARE(m_help.calls, QStringList{"topic Form3"});
        QVERIFY(form->isVisible());
    }
};

QTEST_MAIN(TestUnit3)
#include "tst_unit3.moc"
