// The file dialogs: the table's filters turned into Qt's name filters, the
// default extension, the open and save dialog components asking through the
// seam, and Qt's file dialog set up from a request and driven as a user
// would.

#include "dialogs/FileDialogs.h"
#include "dialogs/QtFileDialogs.h"
#include "help/HelpService.h"
#include "help/HelpUtils.h"
#include "settings/ConfigUtils.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QQueue>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>
#include <optional>

namespace {

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
        Calls << QStringLiteral("open");
        Requests.append(request);
        return Answers.isEmpty() ? std::nullopt : Answers.dequeue();
    }
    std::optional<QString> Save(const TFileDialogRequest &request) override
    {
        Calls << QStringLiteral("save");
        Requests.append(request);
        return Answers.isEmpty() ? std::nullopt : Answers.dequeue();
    }

    QQueue<std::optional<QString>> Answers;
    QStringList Calls;
    QList<TFileDialogRequest> Requests;

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

std::unique_ptr<TFileDialog> MakeDialog(const QString &kind, QObject *owner = nullptr)
{
    if (kind == QLatin1String("open"))
        return std::make_unique<TOpenDialog>(owner);
    return std::make_unique<TSaveDialog>(owner);
}

// One thing a user does to the modal widget on top: returns false while the
// widget it waits for is not up yet.
using Step = std::function<bool(QWidget *top)>;

// Runs Show, which shows a modal file dialog, and carries out the steps in
// turn as their widgets come up. Whatever is still open seconds later is
// rejected, so that a fault fails the test instead of hanging it.
struct Script
{
    QQueue<Step> steps;
    bool timedOut = false;
    QStringList seen; // the class of every widget a step acted on

    template <typename Show>
    auto Run(Show show)
    {
        QElapsedTimer clock;
        clock.start();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget *top = QApplication::activeModalWidget();
            if (!top)
                return;
            if (clock.elapsed() > 5000) {
                timedOut = true;
                if (auto *dialog = qobject_cast<QDialog *>(top))
                    dialog->reject();
                else
                    top->close();
                return;
            }
            if (steps.isEmpty() || !steps.head()(top))
                return;
            seen << QLatin1String(top->metaObject()->className());
            steps.dequeue();
        });
        poll.start(10);
        return show();
    }
};

QFileDialog *AsFileDialog(QWidget *top)
{
    return qobject_cast<QFileDialog *>(top);
}

// Puts Name into the file dialog's name box and presses its accept button
// (Open or Save). The press comes a moment later, from the event loop, so
// that a box it opens can be answered by the next step.
Step TypeAndAccept(const QString &name)
{
    return [name](QWidget *top) {
        QFileDialog *dialog = AsFileDialog(top);
        if (!dialog)
            return false;
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        if (!edit || !buttons)
            return false;
        QPushButton *accept = buttons->button(QDialogButtonBox::Open) ? buttons->button(QDialogButtonBox::Open)
                                                                       : buttons->button(QDialogButtonBox::Save);
        if (!accept)
            return false;
        edit->setText(name);
        QTimer::singleShot(0, accept, [accept] { QTest::mouseClick(accept, Qt::LeftButton); });
        return true;
    };
}

Step CancelFileDialog()
{
    return [](QWidget *top) {
        QFileDialog *dialog = AsFileDialog(top);
        if (!dialog)
            return false;
        dialog->reject();
        return true;
    };
}

// Answers Qt's message box on top of the file dialog with Button.
Step AnswerBox(QMessageBox::StandardButton button, QString *text = nullptr)
{
    return [button, text](QWidget *top) {
        auto *box = qobject_cast<QMessageBox *>(top);
        if (!box)
            return false;
        if (text)
            *text = box->text();
        if (QAbstractButton *pressed = box->button(button))
            QTest::mouseClick(pressed, Qt::LeftButton);
        else
            box->close();
        return true;
    };
}

} // namespace

class TestFileDialogs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestEnvironment> m_environment;

private Q_SLOTS:
    void init()
    {
        m_environment = std::make_unique<TestEnvironment>();
        AppIni().SetAppKey(LexivaneAppKey);
    }
    void cleanup() { m_environment.reset(); }

    void qtNameFilters_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("message files") << "Message files (*.MSG)|*.MSG|All files (*.*)|*.*"
                                       << QStringList{"Message files (*.MSG *.msg)", "All files (*)"};
        QTest::newRow("dump files") << "Dump files (*.OUT)|*.OUT|All files (*.*)|*.*"
                                    << QStringList{"Dump files (*.OUT *.out)", "All files (*)"};
        QTest::newRow("backup files") << "Backup files (*.BACKUP)|*.BACKUP"
                                      << QStringList{"Backup files (*.BACKUP *.backup)"};
        QTest::newRow("several patterns") << "Texts|*.TXT;*.Doc" << QStringList{"Texts (*.TXT *.txt *.Doc *.doc)"};
        QTest::newRow("lower case given") << "Logs (*.log)|*.log" << QStringList{"Logs (*.log)"};
        QTest::newRow("both cases given") << "M|*.msg;*.MSG" << QStringList{"M (*.msg *.MSG)"};
        QTest::newRow("blanks around patterns") << "M| *.MSG ; *.BAK " << QStringList{"M (*.MSG *.msg *.BAK *.bak)"};
        QTest::newRow("any file among others") << "Some|*.*;*.MSG" << QStringList{"Some (* *.MSG *.msg)"};
        QTest::newRow("description without patterns") << "Message files (*.MSG)|*.MSG|All files"
                                                      << QStringList{"Message files (*.MSG *.msg)"};
        QTest::newRow("empty patterns") << "Nothing||All|*.*" << QStringList{"All (*)"};
        QTest::newRow("no description") << "|*.MSG" << QStringList{"*.MSG *.msg"};
        QTest::newRow("parentheses inside the description") << "Files (old) kept|*.BAK"
                                                            << QStringList{"Files (old) kept (*.BAK *.bak)"};
        QTest::newRow("empty filter") << "" << QStringList{};
    }
    void qtNameFilters()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, expected);
        QCOMPARE(QtNameFilters(filter), expected);
    }

    void addDefaultExt_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("defaultExt");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no extension") << "/tmp/dir/file" << "MSG" << "/tmp/dir/file.MSG";
        QTest::newRow("relative name") << "file" << "OUT" << "file.OUT";
        QTest::newRow("has an extension") << "/tmp/file.msg" << "MSG" << "/tmp/file.msg";
        QTest::newRow("other extension") << "/tmp/file.txt" << "MSG" << "/tmp/file.txt";
        QTest::newRow("dot only in the folder") << "/tmp/dir.old/file" << "MSG" << "/tmp/dir.old/file.MSG";
        QTest::newRow("trailing dot") << "/tmp/file." << "MSG" << "/tmp/file.";
        QTest::newRow("hidden file") << "/tmp/.profile" << "MSG" << "/tmp/.profile";
        QTest::newRow("no default extension") << "/tmp/file" << "" << "/tmp/file";
        QTest::newRow("default extension with its dot") << "/tmp/file" << ".OUT" << "/tmp/file.OUT";
        QTest::newRow("folder only") << "/tmp/dir/" << "MSG" << "/tmp/dir/";
        QTest::newRow("empty name") << "" << "MSG" << "";
    }
    void addDefaultExt()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, defaultExt);
        QFETCH(QString, expected);
        QCOMPARE(AddDefaultExt(fileName, defaultExt), expected);
    }

    void componentExecute_data()
    {
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("fileName"); // after
        const std::optional<QString> cancelled;
        QTest::newRow("chosen") << std::optional<QString>("/d/y.out") << true << "/d/y.out";
        QTest::newRow("no extension") << std::optional<QString>("/d.e/y") << true << "/d.e/y.MSG";
        QTest::newRow("cancelled") << cancelled << false << "/start/first.msg";
    }
    void componentExecute()
    {
        QFETCH(std::optional<QString>, answer);
        QFETCH(bool, result);
        QFETCH(QString, fileName);
        ScriptedFileDialogs presenter;
        presenter.Answers.enqueue(answer);
        const auto dialog = std::make_unique<TSaveDialog>();
        QCOMPARE(dialog->Options(), TOpenOptions(TOpenOption::ofHideReadOnly));
        dialog->SetTitle(QStringLiteral("Title"));
        dialog->SetFilter(QStringLiteral("Message files (*.MSG)|*.MSG"));
        dialog->SetDefaultExt(QStringLiteral("MSG"));
        dialog->SetFileName(QStringLiteral("/start/first.msg"));
        dialog->SetInitialDir(QStringLiteral("/start"));
        dialog->SetOptions(TOpenOption::ofOverwritePrompt | TOpenOption::ofPathMustExist | TOpenOption::ofShowHelp);
        SetHelpContext(dialog.get(), 1);

        QCOMPARE(dialog->Execute(), result);
        QCOMPARE(presenter.Calls, QStringList{QStringLiteral("save")});
        const TFileDialogRequest &request = presenter.Requests.first();
        QCOMPARE(request.Title, QStringLiteral("Title"));
        QCOMPARE(request.Filter, QStringLiteral("Message files (*.MSG)|*.MSG"));
        QCOMPARE(request.DefaultExt, QStringLiteral("MSG"));
        QCOMPARE(request.FileName, QStringLiteral("/start/first.msg"));
        QCOMPARE(request.InitialDir, QStringLiteral("/start"));
        QCOMPARE(request.Options,
                 TOpenOption::ofOverwritePrompt | TOpenOption::ofPathMustExist | TOpenOption::ofShowHelp);
        QCOMPARE(request.HelpContext, 1);
        QCOMPARE(dialog->FileName(), fileName);
    }

    // A dialog starts where the last confirmed one ended.
    void componentStartsWithLastChoice()
    {
        ScriptedFileDialogs presenter;
        presenter.Answers.enqueue(QStringLiteral("/a/first.out"));
        TSaveDialog dialog;
        dialog.SetDefaultExt(QStringLiteral("OUT"));
        QVERIFY(dialog.Execute());
        QVERIFY(!dialog.Execute());
        QCOMPARE(presenter.Requests.size(), 2);
        QCOMPARE(presenter.Requests.at(0).FileName, QString());
        QCOMPARE(presenter.Requests.at(1).FileName, QStringLiteral("/a/first.out"));
        QCOMPARE(dialog.FileName(), QStringLiteral("/a/first.out"));
    }

    void componentWithoutPresenterRaises()
    {
        SetFileDialogPresenter(nullptr);
        TSaveDialog dialog;
        QVERIFY_THROWS_EXCEPTION(EDialogError, dialog.Execute());
    }

    // The language table sets the components' settings by name.
    void componentPropertiesFromTheTable_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("filter");
        QTest::newRow("dump dialog") << "save" << "SaveDialog1" << "Form1.SaveDialog1.Filter"
                                     << "Dump files (*.OUT)|*.OUT|All files (*.*)|*.*";
        QTest::newRow("save-as dialog") << "save" << "SaveDialog2" << "Form1.SaveDialog2.Filter"
                                        << "Message files (*.MSG)|*.MSG|All files (*.*)|*.*";
        QTest::newRow("restore dialog") << "open" << "OpenDialog1" << "Form3.OpenDialog1.Filter"
                                        << "Backup files (*.BACKUP)|*.BACKUP|All files (*.*)|*.*";
    }
    void componentPropertiesFromTheTable()
    {
        QFETCH(QString, kind);
        QFETCH(QString, name);
        QFETCH(QString, key);
        QFETCH(QString, filter);
        if (!LanguageNames().contains(QLatin1String(EnglishLanguageEntry)))
            AddLanguage(QLatin1String(EnglishLanguageEntry), EnglishTable());
        QStringList keys;
        QStringList values;
        LoadLanguageTable(QStringLiteral("ENGLISH"), keys, values);
        const qsizetype row = keys.indexOf(key);
        QVERIFY(row >= 0);

        QWidget form;
        form.setObjectName(key.section(QLatin1Char('.'), 0, 0));
        const auto dialog = MakeDialog(kind, &form);
        dialog->setObjectName(name);
        SetFormProperty(&form, key.section(QLatin1Char('.'), 1), values.at(row));
        QCOMPARE(dialog->Filter(), filter);
    }

    void componentPropertiesByName_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<int>("field"); // of Filter, Title, DefaultExt, FileName, InitialDir
        QTest::newRow("Filter") << "Filter" << 0;
        QTest::newRow("Title, other case") << "title" << 1;
        QTest::newRow("DefaultExt, other case") << "DEFAULTEXT" << 2;
        QTest::newRow("FileName") << "FileName" << 3;
        QTest::newRow("InitialDir") << "InitialDir" << 4;
    }
    void componentPropertiesByName()
    {
        QFETCH(QString, property);
        QFETCH(int, field);
        TOpenDialog dialog;
        const QString value = QStringLiteral("value of ") + property;
        SetComponentProperty(&dialog, property, value);
        const TFileDialogRequest &request = dialog.Request();
        QStringList expected(5);
        expected[field] = value;
        QCOMPARE((QStringList{request.Filter, request.Title, request.DefaultExt, request.FileName, request.InitialDir}),
                 expected);
    }

    // Qt's dialog as a request sets it up.
    void qtDialogSetUp_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<bool>("confirmsOverwrite");
        QTest::addColumn<bool>("helpButton");
        QTest::addColumn<QString>("startDir");
        QTest::addColumn<QString>("nameShown");
        const int open = int(TOpenOption::ofHideReadOnly | TOpenOption::ofFileMustExist);
        const int save = int(TOpenOption::ofHideReadOnly | TOpenOption::ofOverwritePrompt | TOpenOption::ofPathMustExist
                             | TOpenOption::ofShowHelp);
        QTest::newRow("open an existing file") << "open" << open << "<root>/start/first.msg"
                                               << int(QFileDialog::ExistingFile) << false << false << "<root>/start"
                                               << "first.msg";
        QTest::newRow("open any name") << "open" << int(TOpenOption::ofHideReadOnly) << "" << int(QFileDialog::AnyFile)
                                       << false << false << "<root>/initial" << "";
        QTest::newRow("save, asking before overwriting") << "save" << save << "new.msg" << int(QFileDialog::AnyFile)
                                                         << true << true << "<root>/initial" << "new.msg";
        QTest::newRow("save without asking") << "save" << int(TOpenOption::ofHideReadOnly) << ""
                                              << int(QFileDialog::AnyFile) << false << false << "<root>/initial" << "";
    }
    void qtDialogSetUp()
    {
        QFETCH(QString, kind);
        QFETCH(int, options);
        QFETCH(QString, fileName);
        QFETCH(int, fileMode);
        QFETCH(bool, confirmsOverwrite);
        QFETCH(bool, helpButton);
        QFETCH(QString, startDir);
        QFETCH(QString, nameShown);
        const QString root = m_environment->root();
        QVERIFY(QDir().mkpath(root + QStringLiteral("/start")));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/initial")));
        TFileDialogRequest request;
        request.Title = QStringLiteral("Pick a file");
        request.Filter = QStringLiteral("Message files (*.MSG)|*.MSG|All files (*.*)|*.*");
        request.DefaultExt = QStringLiteral("MSG");
        request.FileName = QString(fileName).replace(QLatin1String("<root>"), root);
        request.InitialDir = root + QStringLiteral("/initial");
        request.Options = TOpenOptions(options);
        request.HelpContext = 1;

        struct Seen
        {
            QString title;
            QStringList filters;
            QString suffix;
            int fileMode = -1;
            int acceptMode = -1;
            bool confirmsOverwrite = false;
            bool helpButton = false;
            QString dir;
            QString name;
        } seen;
        Script script;
        script.steps.enqueue([&](QWidget *top) {
            QFileDialog *dialog = AsFileDialog(top);
            if (!dialog)
                return false;
            seen.title = dialog->windowTitle();
            seen.filters = dialog->nameFilters();
            seen.suffix = dialog->defaultSuffix();
            seen.fileMode = int(dialog->fileMode());
            seen.acceptMode = int(dialog->acceptMode());
            seen.confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            seen.helpButton = buttons && buttons->button(QDialogButtonBox::Help);
            seen.dir = dialog->directory().absolutePath();
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
            seen.name = edit ? edit->text() : QStringLiteral("<no name box>");
            dialog->reject();
            return true;
        });
        TQtFileDialogs presenter;
        const std::optional<QString> chosen = script.Run([&] {
            return kind == QLatin1String("open") ? presenter.Open(request) : presenter.Save(request);
        });
        QVERIFY(!script.timedOut);
        QVERIFY(!chosen);
        QCOMPARE(seen.title, QStringLiteral("Pick a file"));
        QCOMPARE(seen.filters, (QStringList{"Message files (*.MSG *.msg)", "All files (*)"}));
        QCOMPARE(seen.suffix, QStringLiteral("MSG"));
        QCOMPARE(seen.fileMode, fileMode);
        QCOMPARE(seen.acceptMode,
                 int(kind == QLatin1String("open") ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave));
        QCOMPARE(seen.confirmsOverwrite, confirmsOverwrite);
        QCOMPARE(seen.helpButton, helpButton);
        QCOMPARE(seen.dir, QString(startDir).replace(QLatin1String("<root>"), root));
        QCOMPARE(seen.name, nameShown);
    }

    // What Qt's dialog answers for what the user types, and the questions
    // and refusals on the way.
    void qtDialogAnswers_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("boxAnswer");     // QMessageBox::NoButton: no box expected
        QTest::addColumn<QString>("boxMentions");
        QTest::addColumn<QString>("expected");  // empty: cancelled
        const int mustExist = int(TOpenOption::ofHideReadOnly | TOpenOption::ofFileMustExist);
        const int overwrite = int(TOpenOption::ofHideReadOnly | TOpenOption::ofOverwritePrompt);
        const int pathMustExist = int(TOpenOption::ofHideReadOnly | TOpenOption::ofPathMustExist);
        const int none = int(QMessageBox::NoButton);
        QTest::newRow("open an existing file") << "open" << mustExist << "<root>/old.msg" << none << "" << "<root>/old.msg";
        QTest::newRow("open without its extension") << "open" << mustExist << "<root>/old" << none << "" << "<root>/old.MSG";
        QTest::newRow("open a missing file") << "open" << mustExist << "<root>/missing.msg" << none << "" << "";
        QTest::newRow("save a new file") << "save" << overwrite << "<root>/new" << none << "" << "<root>/new.MSG";
        QTest::newRow("save over a file, Yes") << "save" << overwrite << "<root>/old.msg" << int(QMessageBox::Yes)
                                               << "old.msg" << "<root>/old.msg";
        QTest::newRow("save over a file, No") << "save" << overwrite << "<root>/old.msg" << int(QMessageBox::No)
                                              << "old.msg" << "";
        QTest::newRow("save over a file typed without extension")
            << "save" << overwrite << "<root>/old" << int(QMessageBox::Yes) << "old.MSG" << "<root>/old.MSG";
        QTest::newRow("save over a file without asking")
            << "save" << int(TOpenOption::ofHideReadOnly) << "<root>/old.msg" << none << "" << "<root>/old.msg";
        QTest::newRow("save into a missing folder") << "save" << pathMustExist << "<root>/nowhere/x.msg"
                                                    << int(QMessageBox::Ok) << "nowhere" << "";
        QTest::newRow("save into a missing folder, allowed")
            << "save" << int(TOpenOption::ofHideReadOnly) << "<root>/nowhere/x.msg" << none << ""
            << "<root>/nowhere/x.msg";
    }
    void qtDialogAnswers()
    {
        QFETCH(QString, kind);
        QFETCH(int, options);
        QFETCH(QString, typed);
        QFETCH(int, boxAnswer);
        QFETCH(QString, boxMentions);
        QFETCH(QString, expected);
        const QString root = m_environment->root();
        QVERIFY(WriteWholeFile(root + QStringLiteral("/old.msg"), "old"));
        QVERIFY(WriteWholeFile(root + QStringLiteral("/old.MSG"), "old"));
        TFileDialogRequest request;
        request.Filter = QStringLiteral("Message files (*.MSG)|*.MSG|All files (*.*)|*.*");
        request.DefaultExt = QStringLiteral("MSG");
        request.InitialDir = root;
        request.Options = TOpenOptions(options);

        Script script;
        QString boxText;
        script.steps.enqueue(TypeAndAccept(QString(typed).replace(QLatin1String("<root>"), root)));
        if (boxAnswer != int(QMessageBox::NoButton))
            script.steps.enqueue(AnswerBox(QMessageBox::StandardButton(boxAnswer), &boxText));
        // A refused or declined name leaves the dialog open.
        if (expected.isEmpty())
            script.steps.enqueue(CancelFileDialog());
        TQtFileDialogs presenter;
        const std::optional<QString> chosen = script.Run([&] {
            return kind == QLatin1String("open") ? presenter.Open(request) : presenter.Save(request);
        });
        QVERIFY(!script.timedOut);
        QVERIFY2(script.steps.isEmpty(), qPrintable(script.seen.join(QLatin1Char(','))));
        if (!boxMentions.isEmpty())
            QVERIFY2(boxText.contains(boxMentions), qPrintable(boxText));
        if (expected.isEmpty())
            QVERIFY(!chosen);
        else
            QCOMPARE(chosen.value_or(QStringLiteral("<cancelled>")), QString(expected).replace(QLatin1String("<root>"), root));
    }

    void qtDialogHelpButton()
    {
        HelpRecorder help;
        SetHelpService(&help);
        TFileDialogRequest request;
        request.Options = TOpenOption::ofShowHelp;
        request.HelpContext = 1;
        request.InitialDir = m_environment->root();
        Script script;
        script.steps.enqueue([](QWidget *top) {
            QFileDialog *dialog = AsFileDialog(top);
            if (!dialog)
                return false;
            auto *buttons = dialog->findChild<QDialogButtonBox *>();
            if (QPushButton *button = buttons ? buttons->button(QDialogButtonBox::Help) : nullptr)
                QTest::mouseClick(button, Qt::LeftButton);
            // Help leaves the dialog open.
            if (dialog->isVisible())
                dialog->reject();
            return true;
        });
        TQtFileDialogs presenter;
        const std::optional<QString> chosen = script.Run([&] { return presenter.Save(request); });
        SetHelpService(nullptr);
        QVERIFY(!script.timedOut);
        QVERIFY(!chosen);
        QCOMPARE(help.calls, QStringList{"context 1"});
    }
};

QTEST_MAIN(TestFileDialogs)
#include "tst_filedialogs.moc"
