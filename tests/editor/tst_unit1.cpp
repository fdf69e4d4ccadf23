// The main window: its components as the language table names them, the
// commands' states after the session, the title, the settings it reads and
// writes, the Revert submenu, and the whole editing cycle driven by keys.

#include "dialogs/DialogEntryPoints.h"
#include "dialogs/FileDialogs.h"
#include "dialogs/QtDialogs.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit4.h"
#include "dialogs/fmAbout.h"
#include "diagnostics/CommandLine.h"
#include "diagnostics/LogUtils.h"
#include "editor/MessageGrid.h"
#include "editor/Unit1.h"
#include "help/HelpUtils.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "platform/CodePages.h"
#include "settings/ConfigUtils.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/FormTranslation.h"
#include "uitext/LangUtils.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <memory>

namespace {

QString SampleFile()
{
    return QStringLiteral(LEXIVANE_SAMPLE);
}

// A window with its two dialogs, translated as at start-up.
struct Window
{
    Window()
    {
        form1 = std::make_unique<TForm1>();
        form2 = std::make_unique<TForm2>();
        form4 = std::make_unique<TForm4>();
        form1->AttachDialogs(form2.get(), form4.get());
        SetLanguage(QStringLiteral("ENGLISH"));
    }

    template <typename T>
    T *Find(const char *name) const
    {
        return form1->findChild<T *>(QLatin1String(name));
    }
    QAction *Item(const char *name) const { return Find<QAction>(name); }
    QToolButton *Button(const char *name) const { return Find<QToolButton>(name); }

    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm4> form4;
};

// A message file of Count messages in the test folder.
QString MakeFile(const TestEnvironment &environment, int count, const QString &name = QStringLiteral("x.msg"))
{
    TMsgData data;
    data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
    for (int i = 0; i < count; ++i)
        data.AddMessage(quint32(10001 + i), "message " + QByteArray::number(i));
    const QString path = environment.path(name);
    SaveMsgData(path, data);
    return path;
}

} // namespace

class TestUnit1 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        AddLanguage(QLatin1String(EnglishLanguageEntry), EnglishTable());
        SetLanguage(QStringLiteral("ENGLISH"));
        SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437"));
    }

    void init()
    {
        m_environment = std::make_unique<TestEnvironment>();
        AppIni().CloseKey();
        AppIni().SetAppKey(LexivaneAppKey);
        StartupFileName().clear();
    }

    void cleanup() { m_environment.reset(); }

    void everyTableRowFindsItsComponent()
    {
        Window w;
        // Translating raises on a row whose component or property is missing.
        TranslateForm(w.form1.get());
        QCOMPARE(w.form1->findChild<QMenu *>()->menuAction()->text(), QStringLiteral("&File"));
        QCOMPARE(w.Item("N2")->text(), QStringLiteral("&Open..."));
        QCOMPARE(w.Item("RevertBAKItem")->text(), QStringLiteral("&Last backup..."));
        QCOMPARE(w.Item("Web1")->text(), QStringLiteral("Tessavel &Web-site..."));
        QCOMPARE(w.Button("UndoBtn")->toolTip(), QStringLiteral("Undo last entry Alt+BkSp"));
        QCOMPARE(w.Button("ViewOrigBtn")->toolTip(), QStringLiteral("View original Left"));
        QCOMPARE(w.form1->findChild<TSaveDialog *>(QStringLiteral("SaveDialog2"))->Filter(),
                 QStringLiteral("Message files (*.MSG)|*.MSG|All files (*.*)|*.*"));
        QCOMPARE(w.form1->findChild<TSaveDialog *>(QStringLiteral("SaveDialog1"))->Filter(),
                 QStringLiteral("Dump files (*.OUT)|*.OUT|All files (*.*)|*.*"));
    }

    void hiddenItemsAndHelpContexts()
    {
        Window w;
        QVERIFY(!w.Item("N13")->isVisible());
        QVERIFY(!w.Item("N16")->isVisible());
        QVERIFY(!w.Item("N16")->isEnabled());
        QCOMPARE(HelpContextOf(w.Item("RevertItem")), 0);
        QCOMPARE(HelpContextOf(w.Item("N22")), 0);
        for (const char *name : {"N1", "N2", "SaveItem", "RevertSavedItem", "UndoItem", "N18", "N11"})
            QCOMPARE(HelpContextOf(w.Item(name)), 1);
        QCOMPARE(HelpContextOf(w.form1.get()), 1);
        for (const char *separator : {"N12", "N5", "N3", "N17", "N22", "N21"})
            QVERIFY2(w.Item(separator) && w.Item(separator)->isSeparator(), separator);
    }

    void commandsFollowTheSession()
    {
        Window w;
        ScriptedDialogs dialogs;
        ScriptedMessageBoxes boxes;
        TEditSession &session = w.form1->Session();
        auto enabled = [&](const char *name) { return w.Item(name)->isEnabled(); };
        auto buttonEnabled = [&](const char *name) { return w.Button(name)->isEnabled(); };

        for (const char *name : {"N4", "N8", "N9", "RevertItem", "N18", "SaveItem", "UndoItem"})
            QVERIFY2(!enabled(name), name);
        QVERIFY(enabled("N2"));
        QVERIFY(!buttonEnabled("SaveBtn") && !buttonEnabled("UndoBtn") && !buttonEnabled("FindBtn"));
        QCOMPARE(w.form1->windowTitle(), QStringLiteral("Lexivane"));

        const QString file = MakeFile(*m_environment, 3);
        QVERIFY(session.OpenDocument(file));
        for (const char *name : {"N4", "N8", "N9", "RevertItem", "N18"})
            QVERIFY2(enabled(name), name);
        QVERIFY(!enabled("SaveItem") && !buttonEnabled("SaveBtn"));
        QCOMPARE(w.form1->windowTitle(), QStringLiteral("Lexivane - ") + file);

        dialogs.OnEditText = [](QByteArray &text, const QByteArray &, bool &) {
            text = "changed";
            return true;
        };
        session.EditMessage(1);
        QVERIFY(enabled("SaveItem") && buttonEnabled("SaveBtn"));
        QVERIFY(enabled("UndoItem") && buttonEnabled("UndoBtn"));

        w.Button("UndoBtn")->click();
        QVERIFY(!enabled("SaveItem") && !buttonEnabled("SaveBtn"));
        QVERIFY(!enabled("UndoItem") && !buttonEnabled("UndoBtn"));
        QCOMPARE(session.Messages()->Texts(1), QByteArray("message 1"));
    }

    void revertItemsFollowTheDisk()
    {
        Window w;
        ScriptedDialogs dialogs;
        ScriptedMessageBoxes boxes;
        TEditSession &session = w.form1->Session();
        const QString file = MakeFile(*m_environment, 2);
        QVERIFY(session.OpenDocument(file));
        auto *revert = w.Find<QAction>("RevertItem")->menu();
        auto states = [&] {
            Q_EMIT revert->aboutToShow();
            return QList<bool>{w.Item("RevertSavedItem")->isEnabled(), w.Item("RevertBAKItem")->isEnabled(),
                               w.Item("RevertOriginalItem")->isEnabled()};
        };
        QCOMPARE(states(), (QList<bool>{false, false, false}));

        dialogs.OnEditText = [](QByteArray &text, const QByteArray &, bool &) {
            text = "new";
            return true;
        };
        session.EditMessage(0);
        QCOMPARE(states(), (QList<bool>{true, false, false}));

        boxes.Answer(TModalResult::mrYes); // make the initial backup
        w.Button("SaveBtn")->click();
        QVERIFY(!session.Modified());
        QCOMPARE(states(), (QList<bool>{false, true, true}));
    }

    void showReadsAndHideWritesTheSettings()
    {
        ScriptedDialogs dialogs; // the start-up request asks for a file: cancelled
        AppIni().WriteBool(LastSection, QStringLiteral("Toolbar"), false);
        AppIni().WriteInteger(LastSection, QStringLiteral("NormalFont.Font.Size"), 12);
        Window w;
        w.form1->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.form1.get()));
        QTRY_COMPARE(dialogs.SelectMessageFileCalls, 1);
        QVERIFY(!w.Find<QWidget>("ToolPanel")->isVisible());
        QVERIFY(!w.Item("ToolbarItem")->isChecked());
        QCOMPARE(w.form1->NormalFont.Size, 12);
        QCOMPARE(w.form1->Grid().verticalHeader()->defaultSectionSize(), 24);
        QCOMPARE(w.form4->SlotCount(), 4);

        w.Item("ToolbarItem")->trigger();
        QVERIFY(w.Find<QWidget>("ToolPanel")->isVisible());
        w.form1->move(40, 30);
        w.form1->hide();
        QCOMPARE(AppIni().ReadBool(LastSection, QStringLiteral("Toolbar"), false), true);
        QCOMPARE(AppIni().ReadInteger(LastSection, QStringLiteral("NormalFont.Font.Size"), 0), 12);
        QCOMPARE(AppIni().ReadString(LastSection, QStringLiteral("TitleFont.Font.Style"), QString()), QStringLiteral("*fsBold"));
        // The outer bounds, frame included.
        QCOMPARE(AppIni().ReadInteger(LastSection, QStringLiteral("Form1.Left"), -1), w.form1->frameGeometry().x());
        QCOMPARE(AppIni().ReadInteger(LastSection, QStringLiteral("Form1.Width"), -1), w.form1->frameGeometry().width());

        // Shown again, the font setup dialog keeps its four slots.
        w.form1->show();
        QCOMPARE(w.form4->SlotCount(), 4);
        w.form1->hide();
    }

    // Preferences that cannot be read or written do not stop the window or
    // the text edit dialog: defaults, no box, the failures in the log.
    void unreadableSettingsGiveDefaults()
    {
        QVERIFY(QDir().mkpath(m_environment->userDir() + QStringLiteral("/HKEY_CURRENT_USER.reg")));
        TLogFile log(m_environment->path(QStringLiteral("test.LOG")));
        TLogFile *previousLog = SetLogFile(&log);
        ScriptedDialogs dialogs;
        ScriptedMessageBoxes boxes;
        {
            Window w;
            w.form1->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.form1.get()));
            QTRY_COMPARE(dialogs.SelectMessageFileCalls, 1);
            QVERIFY(w.Find<QWidget>("ToolPanel")->isVisible());
            QCOMPARE(w.form1->NormalFont.Size, 10);
            QCOMPARE(w.form1->size(), QSize(580, 420));

            // The text edit dialog shows and hides with the same store.
            TAboutBox aboutBox;
            TQtDialogs realDialogs(*w.form2, *w.form4, aboutBox);
            TDialogPresenter *previous = SetDialogPresenter(&realDialogs);
            QTimer::singleShot(0, [] {
                if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
                    dialog->reject();
            });
            QByteArray text("x");
            bool oem = false;
            QVERIFY(!EditText(text, {}, oem));
            SetDialogPresenter(previous);
            w.form1->hide();
        }
        SetLogFile(previousLog);
        QCOMPARE(boxes.Count(), 0);
        QVERIFY(ReadWholeFile(log.LogFileName()).contains("Exception"));
    }

    void closingAsksAboutUnsavedChanges()
    {
        Window w;
        ScriptedDialogs dialogs;
        ScriptedMessageBoxes boxes;
        QVERIFY(w.form1->Session().OpenDocument(MakeFile(*m_environment, 2)));
        dialogs.OnEditText = [](QByteArray &text, const QByteArray &, bool &) {
            text = "unsaved";
            return true;
        };
        w.form1->Session().EditMessage(0);
        boxes.Answer(TModalResult::mrCancel);
        QVERIFY(!w.form1->close());
        QVERIFY(w.form1->Session().IsOpen());
        boxes.Answer(TModalResult::mrNo);
        QVERIFY(w.form1->close());
        QVERIFY(!w.form1->Session().IsOpen());
    }

    // The whole cycle on a copy of the sample, by keys: End, Enter, typing,
    // Enter in the text edit dialog, Ctrl+S; then the bytes on the disk.
    void editAndSaveWithKeys()
    {
        const QString file = m_environment->path(QStringLiteral("interbase.msg"));
        QVERIFY(QFile::copy(SampleFile(), file));
        const auto before = LoadMsgData(file);
        StartupFileName() = file;

        Window w;
        TAboutBox aboutBox;
        TQtDialogs dialogs(*w.form2, *w.form4, aboutBox);
        TDialogPresenter *previous = SetDialogPresenter(&dialogs);
        ScriptedMessageBoxes boxes;
        boxes.Answer(TModalResult::mrYes); // "ConfirmBackup": make the initial backup

        w.form1->show();
        w.form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form1.get()));
        QTRY_VERIFY(w.form1->Session().IsOpen());
        TMessageGrid &grid = w.form1->Grid();
        grid.setFocus();

        QTest::keyClick(&grid, Qt::Key_End);
        QCOMPARE(grid.CurrentMessage(), before->Count() - 1);
        bool edited = false;
        QTimer::singleShot(0, [&edited] {
            auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            auto *memo = dialog->findChild<QPlainTextEdit *>(QStringLiteral("Memo1"));
            if (dialog->objectName() != QLatin1String("Form2") || !memo) {
                dialog->reject();
                return;
            }
            memo->selectAll();
            QTest::keyClicks(memo, QStringLiteral("Texto traducido: %s, cada %d cambios"));
            QTest::keyClick(memo, Qt::Key_Return);
            edited = true;
        });
        QTest::keyClick(&grid, Qt::Key_Return);
        QVERIFY(edited);
        QVERIFY(w.form1->Session().Modified());

        // The window system gives the main window back its activation when
        // the dialog closes; the offscreen platform leaves that to us.
        w.form1->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.form1.get()));
        QTest::keyClick(w.form1.get(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(boxes.Count(), 1); // "ConfirmBackup"
        QVERIFY(!w.form1->Session().Modified());
        SetDialogPresenter(previous);

        const auto after = LoadMsgData(file);
        QCOMPARE(after->Count(), before->Count());
        QCOMPARE(after->Texts(after->Count() - 1), QByteArray("Texto traducido: %s, cada %d cambios"));
        for (int i = 0; i + 1 < after->Count(); ++i)
            QCOMPARE(after->Texts(i), before->Texts(i));
        QCOMPARE(ReadWholeFile(BackupFileName(file)), ReadWholeFile(SampleFile()));
        QCOMPARE(ReadWholeFile(InitialBackupName(file)), ReadWholeFile(SampleFile()));
        w.form1->hide();
    }

private:
    std::unique_ptr<TestEnvironment> m_environment;
};

QTEST_MAIN(TestUnit1)
#include "tst_unit1.moc"
