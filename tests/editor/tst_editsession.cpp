// The editing session: opening, entering texts, undo, saving with its
// backups, the reverts, the close query and the start-up file, driven
// through the message box, dialog and file dialog seams.

#include "diagnostics/CommandLine.h"
#include "diagnostics/LogUtils.h"
#include "dialogs/FileDialogs.h"
#include "dialogs/WaitCursor.h"
#include "editor/EditSession.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "support/EnglishTable.h"
#include "support/MsgTexts.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include <optional>

Q_DECLARE_METATYPE(TModalResult)

namespace {

const quint32 kFirstCode = 0x140000u;

// What the window was last told to show: the session's state as it stood at
// the latest UpdateCommands.
QString StateOf(const TEditSession &session)
{
    return QStringLiteral("open=%1 modified=%2 undo=%3 file=%4")
        .arg(session.IsOpen())
        .arg(session.Modified())
        .arg(session.UndoAvailable())
        .arg(session.IsOpen() ? session.FileName() : QString());
}

// Counts what the session asks of its window.
class CountingView : public TSessionView
{
public:
    void RefreshGrid() override
    {
        ++Refreshes;
        WaitDepthAtRefresh = WaitDepth();
    }
    void RepaintMessage(int index) override { RepaintedMessages.append(index); }
    void UpdateCommands() override
    {
        ++Updates;
        if (Session)
            Seen = StateOf(*Session);
    }

    const TEditSession *Session = nullptr;
    int Refreshes = 0;
    int WaitDepthAtRefresh = -1;
    QList<int> RepaintedMessages;
    int Updates = 0;
    QString Seen;
};

void WriteMessageFile(const QString &fileName, const QList<QByteArray> &texts)
{
    TMsgData data;
    for (int i = 0; i < texts.size(); ++i)
        data.AddMessage(kFirstCode + quint32(i), texts.at(i));
    SaveMsgData(fileName, data);
}

QList<QByteArray> Version(const QByteArray &tag)
{
    return {tag + " first", tag + " second", tag + " third"};
}

QStringList TempFilesIn(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral("IBMSG*")}, QDir::AllEntries | QDir::NoDotAndDotDot);
}

// Points the program's log at a file of the test's own for its lifetime.
class LogRedirect
{
public:
    explicit LogRedirect(const QString &target) : m_log(target), m_previous(SetLogFile(&m_log)) {}
    ~LogRedirect() { SetLogFile(m_previous); }
    LogRedirect(const LogRedirect &) = delete;
    LogRedirect &operator=(const LogRedirect &) = delete;

private:
    TLogFile m_log;
    TLogFile *m_previous;
};

// One session with every seam answered by a script, over files in a
// temporary folder.
struct Fixture
{
    Fixture() { View.Session = &Session; }

    QString Path(const QString &name) const { return Environment.path(name); }

    // A message file P = "x.msg" holding Texts.
    QString MakeFile(const QList<QByteArray> &texts, const QString &name = QStringLiteral("x.msg"))
    {
        const QString path = Path(name);
        WriteMessageFile(path, texts);
        return path;
    }

    // The edit dialog answers once: Text (as the dialog gives it back) and,
    // when given, the OEM state; Accept false cancels.
    void Enter(int index, const QByteArray &text, std::optional<bool> oem = {}, bool accept = true)
    {
        Dialogs.OnEditText = [text, oem, accept](QByteArray &edited, const QByteArray &, bool &editedOem) {
            edited = text;
            if (oem)
                editedOem = *oem;
            return accept;
        };
        Session.EditMessage(index);
        Dialogs.OnEditText = nullptr;
    }

    QList<QByteArray> Texts() const { return Session.Messages() ? TextsOf(*Session.Messages()) : QList<QByteArray>(); }
    QList<QByteArray> Originals() const
    {
        return Session.OriginalMessages() ? TextsOf(*Session.OriginalMessages()) : QList<QByteArray>();
    }

    // The texts of the confirmation boxes with Key asked so far.
    int Asked(const QString &key) const
    {
        int count = 0;
        for (const TMessageBoxRequest &request : Boxes.Requests())
            count += request.Text == GetMsg(key) ? 1 : 0;
        return count;
    }

    TestEnvironment Environment;
    ScriptedMessageBoxes Boxes;
    ScriptedDialogs Dialogs;
    ScriptedFileDialogs FileDialogs;
    CountingView View;
    TEditSession Session{View};
};

const TMsgDlgButtons kYesNoCancel = TMsgDlgBtn::mbYes | TMsgDlgBtn::mbNo | TMsgDlgBtn::mbCancel;
const TMsgDlgButtons kYesNo = TMsgDlgBtn::mbYes | TMsgDlgBtn::mbNo;

QString English(const char *format, const QString &name)
{
    return QString::fromUtf8(format).replace(QStringLiteral("%s"), name);
}

} // namespace

class TestEditSession : public QObject
{
    Q_OBJECT

private:
    // Every operation must leave the window showing the state it ended in,
    // and the wait cursor gone.
    static void CheckShown(const Fixture &f)
    {
        QCOMPARE(f.View.Seen, StateOf(f.Session));
        QCOMPARE(WaitDepth(), 0);
    }

    static void CheckErrorBox(const Fixture &f, const QString &text)
    {
        QVERIFY(f.Boxes.Count() > 0);
        QCOMPARE(f.Boxes.Last().Text, text);
        QCOMPARE(f.Boxes.Last().Kind, TMsgDlgType::mtError);
        QCOMPARE(f.Boxes.Last().Buttons, TMsgDlgButtons(TMsgDlgBtn::mbOK));
    }

    static void CheckQuestion(const TMessageBoxRequest &request, const QString &key, TMsgDlgButtons buttons)
    {
        QCOMPARE(request.Text, GetMsg(key));
        QCOMPARE(request.Kind, TMsgDlgType::mtConfirmation);
        QCOMPARE(request.Buttons, buttons);
    }

    // P = x.msg of version v0, opened; an initial backup of it when wanted.
    static void OpenFresh(Fixture &f, bool initialBackup = false)
    {
        const QString file = f.MakeFile(Version("v0"));
        if (initialBackup)
            QVERIFY(QFile::copy(file, InitialBackupName(file)));
        QVERIFY(f.Session.OpenDocument(file));
    }

private Q_SLOTS:
    void initTestCase()
    {
        UseEnglishTable();
        QVERIFY(GetMsg(QStringLiteral("ConfirmBackup")).endsWith(QStringLiteral("Create initial backup?")));
        QCOMPARE(GetMsg(QStringLiteral("ConfirmSave")), QStringLiteral("Text has been modified, save?"));
    }

    void init()
    {
        DebugMode() = false;
        StartupFileName().clear();
    }

    void cleanup()
    {
        DebugMode() = false;
        StartupFileName().clear();
    }

    // --- Opening -----------------------------------------------------------

    void openReadsFileAndOriginal_data()
    {
        QTest::addColumn<bool>("initialBackup");
        QTest::newRow("original cloned from the file") << false;
        QTest::newRow("original from the initial backup") << true;
    }
    void openReadsFileAndOriginal()
    {
        QFETCH(bool, initialBackup);
        Fixture f;
        const QString file = f.MakeFile(Version("current"));
        if (initialBackup)
            WriteMessageFile(InitialBackupName(file), Version("initial"));

        QVERIFY(f.Session.OpenDocument(file));
        QVERIFY(f.Session.IsOpen());
        QCOMPARE(f.Session.FileName(), file);
        QCOMPARE(f.Texts(), Version("current"));
        QCOMPARE(f.Session.Count(), 3);
        const QList<QByteArray> original = initialBackup ? Version("initial") : Version("current");
        QCOMPARE(f.Originals(), original);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(f.Session.MessageText(i, false), Version("current").at(i));
            QCOMPARE(f.Session.MessageText(i, true), original.at(i));
            QCOMPARE(f.Session.IsChanged(i), initialBackup);
        }
        QVERIFY(!f.Session.Modified());
        QVERIFY(!f.Session.UndoAvailable());
        QCOMPARE(f.Boxes.Count(), 0);
        // The grid is refreshed inside the wait, then the wait ends.
        QVERIFY(f.View.Refreshes > 0);
        QCOMPARE(f.View.WaitDepthAtRefresh, 1);
        CheckShown(f);
    }

    void openMakesTheNameAbsolute()
    {
        Fixture f;
        const QString file = f.MakeFile(Version("v0"));
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(f.Environment.root()));
        const bool opened = f.Session.OpenDocument(QStringLiteral("./sub/../x.msg"));
        QDir::setCurrent(previous);
        QVERIFY(opened);
        QCOMPARE(f.Session.FileName(), QFileInfo(file).absoluteFilePath());
        CheckShown(f);
    }

    void openFailure_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents"); // written unless empty
        QTest::addColumn<bool>("folder");
        QTest::newRow("missing file") << "gone.msg" << QByteArray() << false;
        QTest::newRow("corrupt file") << "bad.msg" << QByteArray(40, '\xff') << false;
        QTest::newRow("truncated header") << "short.msg" << QByteArray("\x01\x00", 2) << false;
        QTest::newRow("a folder") << "dir.msg" << QByteArray() << true;
    }
    void openFailure()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(bool, folder);
        Fixture f;
        OpenFresh(f);
        const QString good = f.Session.FileName();
        const QString bad = f.Path(name);
        if (!contents.isEmpty())
            QVERIFY(WriteWholeFile(bad, contents));
        if (folder)
            QVERIFY(QDir().mkpath(bad));

        f.View.WaitDepthAtRefresh = -1;
        QVERIFY(!f.Session.OpenDocument(bad));
        // The grid is told inside the wait, also when the load failed.
        QCOMPARE(f.View.WaitDepthAtRefresh, 1);
        CheckErrorBox(f, English("Error loading file \"%s\"", bad));
        QCOMPARE(f.Boxes.Count(), 1);
        QVERIFY(!f.Session.IsOpen());
        QVERIFY(f.Session.Messages() == nullptr);
        QCOMPARE(f.Session.Count(), 0);
        QCOMPARE(f.Session.FileName(), good);
        QVERIFY(!f.Session.Modified());
        CheckShown(f);
    }

    void corruptInitialBackupFallsBackToClone()
    {
        Fixture f;
        const QString file = f.MakeFile(Version("current"));
        QVERIFY(WriteWholeFile(InitialBackupName(file), QByteArray(40, '\xff')));

        QVERIFY(f.Session.OpenDocument(file));
        QCOMPARE(f.Boxes.Count(), 1);
        // The box names the message file, not its backup.
        CheckErrorBox(f, English("Error reading from initial backup of the file \"%s\"", file));
        QVERIFY(f.Session.IsOpen());
        QCOMPARE(f.Texts(), Version("current"));
        QCOMPARE(f.Originals(), Version("current"));
        CheckShown(f);
    }

    void shorterOriginalStoreHasEmptyPartners()
    {
        Fixture f;
        const QString file = f.MakeFile(Version("current"));
        WriteMessageFile(InitialBackupName(file), {"only one", "only two"});
        QVERIFY(f.Session.OpenDocument(file));
        QCOMPARE(f.Session.Count(), 3);
        QCOMPARE(f.Session.MessageText(2, true), QByteArray());
        QVERIFY(!f.Session.OriginalOem(2));
        QVERIFY(f.Session.IsChanged(2));
        QCOMPARE(f.Session.MessageText(5, false), QByteArray());

        f.Enter(2, "edited third");
        QCOMPARE(f.Dialogs.EditTextCalls.size(), 1);
        QCOMPARE(f.Dialogs.EditTextCalls.at(0).Original, QByteArray());
        QCOMPARE(f.Dialogs.EditTextCalls.at(0).Text, QByteArray("current third"));
        QCOMPARE(f.Session.MessageText(2, false), QByteArray("edited third"));
        QCOMPARE(f.Boxes.Count(), 0);
        CheckShown(f);
    }

    // --- Entering texts ----------------------------------------------------

    void toStoredText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("empty") << QByteArray() << QByteArray();
        QTest::newRow("CR LF and lone CR") << QByteArray("a\r\nb\rc") << QByteArray("a\nb\nc");
        QTest::newRow("LF stays") << QByteArray("a\nb") << QByteArray("a\nb");
        QTest::newRow("CR CR LF") << QByteArray("\r\r\n") << QByteArray("\n\n");
        QTest::newRow("LF CR") << QByteArray("\n\r") << QByteArray("\n\n");
        QTest::newRow("trailing CR") << QByteArray("a\r") << QByteArray("a\n");
        QTest::newRow("high bytes untouched") << QByteArray("\x80\xe9\xff\r\n\x8e") << QByteArray("\x80\xe9\xff\n\x8e");
        QTest::newRow("NUL kept") << QByteArray("a\0\rb", 4) << QByteArray("a\0\nb", 4);
    }
    void toStoredText()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, stored);
        QCOMPARE(TEditSession::ToStoredText(text), stored);
    }

    void entryStoresText_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("returned");
        QTest::addColumn<bool>("oem");
        QTest::addColumn<QByteArray>("stored");
        QTest::newRow("one line") << 0 << QByteArray("new text") << false << QByteArray("new text");
        QTest::newRow("several lines with CR LF") << 1 << QByteArray("one\r\ntwo\r\nthree") << false
                                                  << QByteArray("one\ntwo\nthree");
        QTest::newRow("lone CR") << 2 << QByteArray("a\rb") << false << QByteArray("a\nb");
        // The dialog already gave OEM bytes: they are stored as they came.
        QTest::newRow("OEM text kept byte for byte") << 0 << QByteArray("\x80\x82\xa0\r\n\xe9") << true
                                                     << QByteArray("\x80\x82\xa0\n\xe9");
        QTest::newRow("emptied") << 1 << QByteArray() << false << QByteArray();
    }
    void entryStoresText()
    {
        QFETCH(int, index);
        QFETCH(QByteArray, returned);
        QFETCH(bool, oem);
        QFETCH(QByteArray, stored);
        Fixture f;
        OpenFresh(f);
        f.View.RepaintedMessages.clear();

        f.Enter(index, returned, oem);
        QCOMPARE(f.Dialogs.EditTextCalls.size(), 1);
        const ScriptedDialogs::EditTextCall &call = f.Dialogs.EditTextCalls.at(0);
        QCOMPARE(call.Text, Version("v0").at(index));
        QCOMPARE(call.Original, Version("v0").at(index));
        QCOMPARE(call.Oem, false);

        QCOMPARE(f.Session.MessageText(index, false), stored);
        QCOMPARE(f.Session.Messages()->Oem(index), oem);
        QCOMPARE(f.Session.MessageText(index, true), Version("v0").at(index));
        QVERIFY(f.Session.IsChanged(index));
        for (int i = 0; i < 3; ++i) {
            if (i != index)
                QCOMPARE(f.Session.MessageText(i, false), Version("v0").at(i));
        }
        QVERIFY(f.Session.Modified());
        QVERIFY(f.Session.UndoAvailable());
        QCOMPARE(f.View.RepaintedMessages, QList<int>{index});
        CheckShown(f);
    }

    void entryOutsideTheFileDoesNothing_data()
    {
        QTest::addColumn<bool>("open");
        QTest::addColumn<int>("index");
        QTest::newRow("no message") << true << -1;
        QTest::newRow("negative index") << true << -2;
        QTest::newRow("past the last message") << true << 3;
        QTest::newRow("no file") << false << 0;
    }
    void entryOutsideTheFileDoesNothing()
    {
        QFETCH(bool, open);
        QFETCH(int, index);
        Fixture f;
        if (open)
            OpenFresh(f);
        f.Enter(index, "never stored");
        QCOMPARE(f.Dialogs.EditTextCalls.size(), 0);
        QVERIFY(!f.Session.Modified());
        QVERIFY(!f.Texts().contains("never stored"));
    }

    void identicalEntryChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("returned");
        QTest::addColumn<std::optional<bool>>("oem");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<bool>("earlierEntry");
        QTest::newRow("same text") << QByteArray("v0 second") << std::optional<bool>() << true << false;
        QTest::newRow("same text, OEM flag toggled") << QByteArray("v0 second") << std::optional<bool>(true) << true
                                                     << false;
        QTest::newRow("changed text, cancelled") << QByteArray("other") << std::optional<bool>(true) << false << false;
        QTest::newRow("same text after an earlier entry") << QByteArray("v0 second") << std::optional<bool>(true)
                                                          << true << true;
    }
    void identicalEntryChangesNothing()
    {
        QFETCH(QByteArray, returned);
        QFETCH(std::optional<bool>, oem);
        QFETCH(bool, accept);
        QFETCH(bool, earlierEntry);
        Fixture f;
        OpenFresh(f);
        if (earlierEntry)
            f.Enter(0, "earlier");
        const QList<QByteArray> before = f.Texts();
        const bool modifiedBefore = f.Session.Modified();
        const bool undoBefore = f.Session.UndoAvailable();
        f.View.RepaintedMessages.clear();

        f.Enter(1, returned, oem, accept);
        QCOMPARE(f.Dialogs.EditTextCalls.size(), earlierEntry ? 2 : 1);
        QCOMPARE(f.Texts(), before);
        QVERIFY(!f.Session.Messages()->Oem(1));
        QCOMPARE(f.Session.Modified(), modifiedBefore);
        QCOMPARE(f.Session.UndoAvailable(), undoBefore);
        QVERIFY(f.View.RepaintedMessages.isEmpty());
        // An earlier entry keeps its undo record.
        f.Session.UndoLastEntry();
        QCOMPARE(f.Texts(), Version("v0"));
        QVERIFY(!f.Session.Modified());
        CheckShown(f);
    }

    void identicalTextWithCrLfIsNoChange()
    {
        Fixture f;
        const QString file = f.MakeFile({"line one\nline two"});
        QVERIFY(f.Session.OpenDocument(file));
        f.Enter(0, "line one\r\nline two");
        QVERIFY(!f.Session.Modified());
        QVERIFY(!f.Session.UndoAvailable());
        QCOMPARE(f.Texts(), QList<QByteArray>{"line one\nline two"});
    }

    // --- Undo ----------------------------------------------------------------

    void twoEntriesThenUndo()
    {
        Fixture f;
        OpenFresh(f);
        f.Enter(0, "first entry");
        f.Enter(2, "second entry");
        f.View.RepaintedMessages.clear();

        f.Session.UndoLastEntry();
        QCOMPARE(f.Texts(), (QList<QByteArray>{"first entry", "v0 second", "v0 third"}));
        QVERIFY(f.Session.Modified());
        QVERIFY(!f.Session.UndoAvailable());
        QCOMPARE(f.View.RepaintedMessages, QList<int>{2});
        CheckShown(f);

        f.Session.UndoLastEntry();
        QCOMPARE(f.Texts(), (QList<QByteArray>{"first entry", "v0 second", "v0 third"}));
        QCOMPARE(f.View.RepaintedMessages, QList<int>{2});
        QVERIFY(f.Session.Modified());
    }

    void entryThenUndoOnCleanFile()
    {
        Fixture f;
        OpenFresh(f);
        f.Enter(1, "changed");
        QCOMPARE(f.View.Seen, StateOf(f.Session));
        QVERIFY(f.View.Seen.contains(QStringLiteral("modified=1 undo=1")));

        f.Session.UndoLastEntry();
        QCOMPARE(f.Texts(), Version("v0"));
        QVERIFY(!f.Session.Modified());
        QVERIFY(!f.Session.UndoAvailable());
        QVERIFY(!f.Session.IsChanged(1));
        CheckShown(f);
        // Nothing to save now.
        f.Session.SaveCommand();
        QCOMPARE(f.Boxes.Count(), 0);
        QVERIFY(!QFile::exists(BackupFileName(f.Session.FileName())));
    }

    void undoGivesBackTheOemFlag_data()
    {
        QTest::addColumn<bool>("oemBefore");
        QTest::newRow("flag set by the undone entry") << false;
        QTest::newRow("flag cleared by the undone entry") << true;
    }
    void undoGivesBackTheOemFlag()
    {
        QFETCH(bool, oemBefore);
        Fixture f;
        OpenFresh(f, true);
        // Bring message 1 to the OEM state before, on a clean file.
        f.Enter(0, "before", oemBefore);
        QVERIFY(f.Session.SaveDocument());
        QVERIFY(!f.Session.Modified());

        f.Enter(0, "after", !oemBefore);
        QCOMPARE(f.Session.Messages()->Oem(0), !oemBefore);
        f.Session.UndoLastEntry();
        QCOMPARE(f.Session.MessageText(0, false), QByteArray("before"));
        QCOMPARE(f.Session.Messages()->Oem(0), oemBefore);
        QVERIFY(!f.Session.Modified());
        CheckShown(f);
    }

    void entrySaveUndo()
    {
        Fixture f;
        OpenFresh(f, true);
        f.Enter(0, "saved entry");
        QVERIFY(f.Session.UndoAvailable());
        QVERIFY(f.Session.SaveDocument());
        QVERIFY(!f.Session.UndoAvailable());
        QVERIFY(!f.Session.Modified());
        CheckShown(f);

        f.Session.UndoLastEntry();
        QCOMPARE(f.Session.MessageText(0, false), QByteArray("saved entry"));
        QCOMPARE(TextsOnDisk(f.Session.FileName()).value(0), QByteArray("saved entry"));
    }

    void markModified_data()
    {
        QTest::addColumn<QList<bool>>("marks");
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("updates");
        QTest::newRow("set") << QList<bool>{true} << true << 1;
        QTest::newRow("set twice") << QList<bool>{true, true} << true << 1;
        QTest::newRow("clear on clean") << QList<bool>{false} << false << 0;
        QTest::newRow("set then clear") << QList<bool>{true, false} << false << 2;
    }
    void markModified()
    {
        QFETCH(QList<bool>, marks);
        QFETCH(bool, modified);
        QFETCH(int, updates);
        Fixture f;
        OpenFresh(f);
        const int before = f.View.Updates;
        for (bool mark : marks)
            f.Session.MarkModified(mark);
        QCOMPARE(f.Session.Modified(), modified);
        QCOMPARE(f.View.Updates - before, updates);
        CheckShown(f);
    }

    void clearingModifiedDropsTheUndoRecord()
    {
        Fixture f;
        OpenFresh(f);
        f.Enter(0, "entry");
        f.Session.MarkModified(false);
        QVERIFY(!f.Session.UndoAvailable());
        f.Session.UndoLastEntry();
        QCOMPARE(f.Session.MessageText(0, false), QByteArray("entry"));
    }

    void entryOnAChangedFileLeavesItChangedWhenUndone()
    {
        Fixture f;
        OpenFresh(f);
        f.Session.MarkModified(true); // as a revert to a backup leaves it
        QVERIFY(!f.Session.UndoAvailable());
        f.Enter(1, "entry");
        QVERIFY(f.Session.UndoAvailable());
        CheckShown(f);
        f.Session.UndoLastEntry();
        QCOMPARE(f.Texts(), Version("v0"));
        QVERIFY(f.Session.Modified());
        CheckShown(f);
    }

    // --- Saving --------------------------------------------------------------

    void saveAsksForInitialBackup_data()
    {
        QTest::addColumn<TModalResult>("answer");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("initialBackup");
        QTest::newRow("Yes") << TModalResult::mrYes << true << true;
        QTest::newRow("No") << TModalResult::mrNo << true << false;
        QTest::newRow("Cancel") << TModalResult::mrCancel << false << false;
    }
    void saveAsksForInitialBackup()
    {
        QFETCH(TModalResult, answer);
        QFETCH(bool, saved);
        QFETCH(bool, initialBackup);
        Fixture f;
        OpenFresh(f);
        const QString file = f.Session.FileName();
        const QByteArray before = ReadWholeFile(file);
        f.Enter(1, "entry");

        f.Boxes.Answer(answer);
        QCOMPARE(f.Session.SaveDocument(), saved);
        QCOMPARE(f.Boxes.Count(), 1);
        CheckQuestion(f.Boxes.Last(), QStringLiteral("ConfirmBackup"), kYesNoCancel);
        QCOMPARE(QFile::exists(InitialBackupName(file)), initialBackup);
        if (initialBackup)
            QCOMPARE(ReadWholeFile(InitialBackupName(file)), before);
        QCOMPARE(QFile::exists(BackupFileName(file)), saved);
        if (saved) {
            QCOMPARE(ReadWholeFile(BackupFileName(file)), before);
            QCOMPARE(TextsOnDisk(file), (QList<QByteArray>{"v0 first", "entry", "v0 third"}));
        } else {
            QCOMPARE(ReadWholeFile(file), before);
        }
        QCOMPARE(f.Session.Modified(), !saved);
        QCOMPARE(f.Session.UndoAvailable(), !saved);
        QCOMPARE(TempFilesIn(f.Environment.root()), QStringList());
        CheckShown(f);
    }

    void backupQuestionRepeatsUntilOneExists()
    {
        Fixture f;
        OpenFresh(f);
        const QString file = f.Session.FileName();
        f.Enter(0, "entry 1");
        f.Boxes.Answer(TModalResult::mrNo);
        QVERIFY(f.Session.SaveDocument());
        f.Enter(0, "entry 2");
        f.Boxes.Answer(TModalResult::mrYes);
        QVERIFY(f.Session.SaveDocument());
        QCOMPARE(f.Asked(QStringLiteral("ConfirmBackup")), 2);
        // Made before the second save: it holds what the first one wrote.
        QCOMPARE(TextsOnDisk(InitialBackupName(file)).value(0), QByteArray("entry 1"));
        f.Enter(0, "entry 3");
        QVERIFY(f.Session.SaveDocument());
        QCOMPARE(f.Asked(QStringLiteral("ConfirmBackup")), 2);
        QCOMPARE(f.Boxes.Count(), 2);
        QCOMPARE(TextsOnDisk(file).value(0), QByteArray("entry 3"));
        QCOMPARE(TextsOnDisk(InitialBackupName(file)).value(0), QByteArray("entry 1"));
    }

    void savesKeepTheLastBackup()
    {
        Fixture f;
        OpenFresh(f, true);
        const QString file = f.Session.FileName();
        const QByteArray initial = ReadWholeFile(InitialBackupName(file));
        QVERIFY(!QFile::exists(BackupFileName(file)));

        f.Enter(0, "save one");
        QVERIFY(f.Session.SaveDocument());
        QCOMPARE(TextsOnDisk(BackupFileName(file)), Version("v0"));
        QCOMPARE(TextsOnDisk(file), (QList<QByteArray>{"save one", "v0 second", "v0 third"}));

        f.Enter(2, "save two");
        QVERIFY(f.Session.SaveDocument());
        QCOMPARE(TextsOnDisk(BackupFileName(file)), (QList<QByteArray>{"save one", "v0 second", "v0 third"}));
        QCOMPARE(TextsOnDisk(file), (QList<QByteArray>{"save one", "v0 second", "save two"}));
        QCOMPARE(BackupFileName(file), f.Path(QStringLiteral("x.~ms")));
        QCOMPARE(ReadWholeFile(InitialBackupName(file)), initial);
        QCOMPARE(f.Boxes.Count(), 0);
        QCOMPARE(TempFilesIn(f.Environment.root()), QStringList());
        CheckShown(f);
    }

    void saveCommandOnlyWhenModified()
    {
        Fixture f;
        OpenFresh(f);
        const QString file = f.Session.FileName();
        f.Session.SaveCommand();
        QCOMPARE(f.Boxes.Count(), 0);
        QVERIFY(!QFile::exists(BackupFileName(file)));

        f.Enter(0, "entry");
        f.Boxes.Answer(TModalResult::mrNo);
        f.Session.SaveCommand();
        QCOMPARE(f.Asked(QStringLiteral("ConfirmBackup")), 1);
        QCOMPARE(TextsOnDisk(file).value(0), QByteArray("entry"));
        QVERIFY(!f.Session.Modified());
    }

    void failingSaveKeepsEverything_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("tempLeft");
        QTest::newRow("text too large to write") << "too large" << false;
        QTest::newRow("last backup name taken by a folder") << "backup blocked" << true;
    }
    void failingSaveKeepsEverything()
    {
        QFETCH(QString, failure);
        QFETCH(bool, tempLeft);
        Fixture f;
        OpenFresh(f, true);
        const QString file = f.Session.FileName();
        const QByteArray before = ReadWholeFile(file);
        const QByteArray entry = failure == QLatin1String("too large") ? QByteArray(MsgMaxTextLength + 1, 'L')
                                                                      : QByteArray("entry");
        if (failure == QLatin1String("backup blocked"))
            QVERIFY(QDir().mkpath(BackupFileName(file)));
        f.Enter(1, entry);

        QVERIFY(!f.Session.SaveDocument());
        CheckErrorBox(f, English("Error saving file \"%s\"", file));
        QCOMPARE(f.Boxes.Count(), 1);
        QVERIFY(f.Session.Modified());
        QVERIFY(f.Session.UndoAvailable());
        QCOMPARE(ReadWholeFile(file), before);
        QCOMPARE(TempFilesIn(f.Environment.root()).size(), tempLeft ? 1 : 0);
        CheckShown(f);

        f.Session.UndoLastEntry();
        QCOMPARE(f.Texts(), Version("v0"));
        QVERIFY(!f.Session.Modified());
    }

    void failingInitialBackupStopsTheSave()
    {
        Fixture f;
        OpenFresh(f);
        const QString file = f.Session.FileName();
        const QByteArray before = ReadWholeFile(file);
        // A folder in the initial backup's place: not a backup, and not
        // replaceable by one.
        QVERIFY(QDir().mkpath(InitialBackupName(file)));
        f.Enter(0, "entry");
        f.Boxes.Answer(TModalResult::mrYes);

        QVERIFY(!f.Session.SaveDocument());
        QCOMPARE(f.Boxes.Count(), 2);
        CheckQuestion(f.Boxes.Requests().at(0), QStringLiteral("ConfirmBackup"), kYesNoCancel);
        CheckErrorBox(f, English("Error backing up file \"%s\"", file));
        QCOMPARE(ReadWholeFile(file), before);
        QVERIFY(!QFile::exists(BackupFileName(file)));
        QCOMPARE(TempFilesIn(f.Environment.root()), QStringList());
        QVERIFY(f.Session.Modified());
        QVERIFY(f.Session.UndoAvailable());
        CheckShown(f);
    }

    void saveWithoutFileWritesNothing()
    {
        Fixture f;
        QVERIFY(f.Session.WriteMessageFile(f.Path(QStringLiteral("x.msg"))));
        QVERIFY(!QFile::exists(f.Path(QStringLiteral("x.msg"))));
        QCOMPARE(f.Boxes.Count(), 0);
    }

    void saveAs_data()
    {
        QTest::addColumn<bool>("entry");
        QTest::addColumn<QString>("answer"); // empty: Cancel
        QTest::addColumn<bool>("existing");
        QTest::addColumn<TModalResult>("backupAnswer");
        QTest::addColumn<QString>("written");
        QTest::addColumn<int>("boxes");
        QTest::newRow("new file") << true << "new.msg" << false << TModalResult::mrYes << "new.msg" << 0;
        QTest::newRow("clean file") << false << "new.msg" << false << TModalResult::mrYes << "new.msg" << 0;
        QTest::newRow("extension added") << true << "plain" << false << TModalResult::mrYes << "plain.MSG" << 0;
        QTest::newRow("existing file, no initial backup")
            << true << "other.msg" << true << TModalResult::mrNo << "other.msg" << 1;
        QTest::newRow("existing file, initial backup")
            << true << "other.msg" << true << TModalResult::mrYes << "other.msg" << 1;
        QTest::newRow("cancelled") << true << "" << false << TModalResult::mrYes << "" << 0;
    }
    void saveAs()
    {
        QFETCH(bool, entry);
        QFETCH(QString, answer);
        QFETCH(bool, existing);
        QFETCH(TModalResult, backupAnswer);
        QFETCH(QString, written);
        QFETCH(int, boxes);
        Fixture f;
        TSaveDialog dialog;
        f.Session.SetSaveAsDialog(&dialog);
        OpenFresh(f);
        const QString file = f.Session.FileName();
        const QByteArray fileBefore = ReadWholeFile(file);
        if (existing)
            WriteMessageFile(f.Path(answer), Version("other"));
        const QByteArray otherBefore = existing ? ReadWholeFile(f.Path(answer)) : QByteArray();
        if (entry)
            f.Enter(0, "entry");
        f.FileDialogs.Answer(answer.isEmpty() ? std::nullopt : std::optional<QString>(f.Path(answer)));
        f.Boxes.Answer(backupAnswer);

        const bool saved = f.Session.SaveDocumentAs();
        QCOMPARE(f.FileDialogs.SaveRequests.size(), 1);
        const TFileDialogRequest &request = f.FileDialogs.SaveRequests.at(0);
        QCOMPARE(request.DefaultExt, QStringLiteral("MSG"));
        QCOMPARE(request.Filter, QStringLiteral("Message files (*.MSG)|*.MSG|All files (*.*)|*.*"));
        for (TOpenOption option : {TOpenOption::ofOverwritePrompt, TOpenOption::ofHideReadOnly,
                                   TOpenOption::ofPathMustExist, TOpenOption::ofShowHelp})
            QVERIFY(request.Options.testFlag(option));
        QVERIFY(!request.Options.testFlag(TOpenOption::ofFileMustExist));
        QCOMPARE(f.Boxes.Count(), boxes);
        // The session's file is never touched by a save under another name.
        QCOMPARE(ReadWholeFile(file), fileBefore);
        QVERIFY(!QFile::exists(BackupFileName(file)));

        if (written.isEmpty()) {
            QVERIFY(!saved);
            QCOMPARE(f.Session.FileName(), file);
            QCOMPARE(f.Session.Modified(), entry);
            QCOMPARE(f.Session.UndoAvailable(), entry);
            CheckShown(f);
            return;
        }
        QVERIFY(saved);
        const QString target = f.Path(written);
        QCOMPARE(f.Session.FileName(), target);
        QCOMPARE(TextsOnDisk(target), (QList<QByteArray>{entry ? "entry" : "v0 first", "v0 second", "v0 third"}));
        QVERIFY(!f.Session.Modified());
        QVERIFY(!f.Session.UndoAvailable());
        // A backup only of a file that existed before.
        QCOMPARE(QFile::exists(BackupFileName(target)), existing);
        if (existing)
            QCOMPARE(ReadWholeFile(BackupFileName(target)), otherBefore);
        QCOMPARE(QFile::exists(InitialBackupName(target)), existing && backupAnswer == TModalResult::mrYes);
        CheckShown(f);
    }

    void saveAsWithoutDialogDoesNothing()
    {
        Fixture f;
        OpenFresh(f);
        f.Enter(0, "entry");
        QVERIFY(!f.Session.SaveDocumentAs());
        QCOMPARE(f.Boxes.Count(), 0);
        QVERIFY(f.Session.Modified());
    }

    void saveAsIntoMissingFolderFails()
    {
        Fixture f;
        TSaveDialog dialog;
        f.Session.SetSaveAsDialog(&dialog);
        OpenFresh(f);
        const QString file = f.Session.FileName();
        f.Enter(0, "entry");
        const QString target = f.Path(QStringLiteral("no such folder/new.msg"));
        f.FileDialogs.Answer(target);

        QVERIFY(!f.Session.SaveDocumentAs());
        CheckErrorBox(f, English("Error saving file \"%s\"", target));
        QCOMPARE(f.Session.FileName(), file);
        QVERIFY(f.Session.Modified());
        QVERIFY(f.Session.UndoAvailable());
        QVERIFY(!QFile::exists(target));
        CheckShown(f);
    }

    // --- Closing -------------------------------------------------------------

    void askToSave_data()
    {
        QTest::addColumn<bool>("byOpening"); // else the close query
        QTest::addColumn<TModalResult>("answer");
        QTest::addColumn<bool>("saveFails");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("onDisk"); // the entry reached the file
        for (bool byOpening : {false, true}) {
            const char *via = byOpening ? "open: " : "close: ";
            QTest::addRow("%sYes", via) << byOpening << TModalResult::mrYes << false << true << true;
            QTest::addRow("%sNo", via) << byOpening << TModalResult::mrNo << false << true << false;
            QTest::addRow("%sCancel", via) << byOpening << TModalResult::mrCancel << false << false << false;
            QTest::addRow("%sYes, save fails", via) << byOpening << TModalResult::mrYes << true << false << false;
        }
    }
    void askToSave()
    {
        QFETCH(bool, byOpening);
        QFETCH(TModalResult, answer);
        QFETCH(bool, saveFails);
        QFETCH(bool, result);
        QFETCH(bool, onDisk);
        Fixture f;
        OpenFresh(f, true);
        const QString file = f.Session.FileName();
        const QString other = f.MakeFile(Version("other"), QStringLiteral("other.msg"));
        if (saveFails)
            QVERIFY(QDir().mkpath(BackupFileName(file)));
        f.Enter(1, "entry");
        f.Boxes.Answer(answer);

        const bool answered = byOpening ? f.Session.OpenDocument(other) : f.Session.CloseQuery();
        QCOMPARE(answered, result);
        QCOMPARE(f.Boxes.Count(), saveFails ? 2 : 1);
        CheckQuestion(f.Boxes.Requests().at(0), QStringLiteral("ConfirmSave"), kYesNoCancel);
        QCOMPARE(TextsOnDisk(file).value(1), onDisk ? QByteArray("entry") : QByteArray("v0 second"));
        if (result) {
            if (byOpening) {
                QCOMPARE(f.Session.FileName(), other);
                QCOMPARE(f.Texts(), Version("other"));
                QVERIFY(!f.Session.Modified());
            } else {
                QVERIFY(!f.Session.IsOpen());
                QVERIFY(f.Session.OriginalMessages() == nullptr);
                QVERIFY(!f.Session.Modified());
                QVERIFY(!f.Session.UndoAvailable());
            }
        } else {
            // Refused: the file stays open as it was.
            QVERIFY(f.Session.IsOpen());
            QCOMPARE(f.Session.FileName(), file);
            QCOMPARE(f.Texts(), (QList<QByteArray>{"v0 first", "entry", "v0 third"}));
            QVERIFY(f.Session.Modified());
            QVERIFY(f.Session.UndoAvailable());
        }
        CheckShown(f);
    }

    void closeQueryOnCleanFileAsksNothing_data()
    {
        QTest::addColumn<bool>("open");
        QTest::newRow("clean file") << true;
        QTest::newRow("no file") << false;
    }
    void closeQueryOnCleanFileAsksNothing()
    {
        QFETCH(bool, open);
        Fixture f;
        if (open)
            OpenFresh(f);
        QVERIFY(f.Session.CloseQuery());
        QCOMPARE(f.Boxes.Count(), 0);
        QVERIFY(!f.Session.IsOpen());
        QVERIFY(f.Session.OriginalMessages() == nullptr);
        if (open)
            CheckShown(f);
    }

    // --- The start-up file and the Open command --------------------------------

    void openStartupFile_data()
    {
        QTest::addColumn<QString>("commandLine"); // "<file>" and "<missing>" stand for paths
        QTest::addColumn<std::optional<QString>>("selection");
        QTest::addColumn<int>("selectionCalls");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("notExists");
        using Choice = std::optional<QString>;
        QTest::newRow("named file") << "<file>" << Choice() << 0 << true << false;
        QTest::newRow("named file missing") << "<missing>" << Choice() << 0 << false << true;
        QTest::newRow("named as a folder") << "<folder>" << Choice() << 0 << false << true;
        QTest::newRow("blank name") << "   " << Choice() << 0 << false << false;
        QTest::newRow("none, file chosen") << "" << Choice(QStringLiteral("<file>")) << 1 << true << false;
        QTest::newRow("none, cancelled") << "" << Choice() << 1 << false << false;
        QTest::newRow("none, blank answer") << "" << Choice(QStringLiteral(" ")) << 1 << false << false;
        QTest::newRow("none, missing file chosen") << "" << Choice(QStringLiteral("<missing>")) << 1 << false
                                                   << true;
    }
    void openStartupFile()
    {
        QFETCH(QString, commandLine);
        QFETCH(std::optional<QString>, selection);
        QFETCH(int, selectionCalls);
        QFETCH(bool, opened);
        QFETCH(bool, notExists);
        Fixture f;
        const QString file = f.MakeFile(Version("v0"));
        QVERIFY(QDir().mkpath(f.Path(QStringLiteral("folder.msg"))));
        const auto resolve = [&f, &file](QString name) {
            name.replace(QStringLiteral("<file>"), file);
            name.replace(QStringLiteral("<missing>"), f.Path(QStringLiteral("missing.msg")));
            name.replace(QStringLiteral("<folder>"), f.Path(QStringLiteral("folder.msg")));
            return name;
        };
        StartupFileName() = resolve(commandLine);
        if (selection) {
            const QString chosen = resolve(*selection);
            f.Dialogs.OnSelectMessageFile = [chosen](QString &name) {
                name = chosen;
                return true;
            };
        }

        f.Session.OpenStartupFile();
        QCOMPARE(f.Dialogs.SelectMessageFileCalls, selectionCalls);
        QCOMPARE(f.Session.IsOpen(), opened);
        if (opened) {
            QCOMPARE(f.Session.FileName(), file);
            QCOMPARE(f.Texts(), Version("v0"));
            CheckShown(f);
        }
        if (selection)
            QCOMPARE(StartupFileName(), resolve(*selection));
        if (notExists) {
            QCOMPARE(f.Boxes.Count(), 1);
            CheckErrorBox(f, English("File \"%s\" does not exist", StartupFileName()));
        } else {
            QCOMPARE(f.Boxes.Count(), 0);
        }
    }

    void openCommand_data()
    {
        QTest::addColumn<bool>("confirm");
        QTest::newRow("file chosen") << true;
        QTest::newRow("cancelled") << false;
    }
    void openCommand()
    {
        QFETCH(bool, confirm);
        Fixture f;
        const QString file = f.MakeFile(Version("v0"));
        f.Dialogs.OnSelectMessageFile = [confirm, file](QString &name) {
            name = file;
            return confirm;
        };
        f.Session.OpenCommand();
        QCOMPARE(f.Dialogs.SelectMessageFileCalls, 1);
        QCOMPARE(f.Session.IsOpen(), confirm);
        if (confirm)
            QCOMPARE(f.Session.FileName(), file);
    }

    // --- Reverts -------------------------------------------------------------

    void revertStatesFollowTheDisk()
    {
        Fixture f;
        OpenFresh(f);
        const QString file = f.Session.FileName();
        const auto states = [&f] {
            return QList<bool>{f.Session.CanRevertToSaved(), f.Session.CanRevertToBackup(),
                               f.Session.CanRevertToOriginal()};
        };
        QCOMPARE(states(), (QList<bool>{false, false, false}));
        f.Enter(0, "entry 1");
        QCOMPARE(states(), (QList<bool>{true, false, false}));
        f.Boxes.Answer(TModalResult::mrNo);
        QVERIFY(f.Session.SaveDocument());
        QCOMPARE(states(), (QList<bool>{false, true, false}));
        f.Enter(0, "entry 2");
        f.Boxes.Answer(TModalResult::mrYes);
        QVERIFY(f.Session.SaveDocument());
        QCOMPARE(states(), (QList<bool>{false, true, true}));
        f.Enter(0, "entry 3");
        QCOMPARE(states(), (QList<bool>{true, true, true}));

        // Files changed by another program count at once.
        QVERIFY(QFile::rename(file, f.Path(QStringLiteral("moved.msg"))));
        QCOMPARE(states(), (QList<bool>{false, true, true}));
        QVERIFY(QFile::remove(BackupFileName(file)));
        QCOMPARE(states(), (QList<bool>{false, false, true}));
        QVERIFY(QFile::remove(InitialBackupName(file)));
        QCOMPARE(states(), (QList<bool>{false, false, false}));

        QVERIFY(f.Session.CloseDocument(false));
        WriteMessageFile(BackupFileName(file), Version("b"));
        QCOMPARE(states(), (QList<bool>{false, false, false}));
    }

    void revert_data()
    {
        QTest::addColumn<int>("which"); // 0 saved, 1 last backup, 2 initial backup
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QByteArray>("first");    // message 1 afterwards
        QTest::addColumn<QByteArray>("original"); // its original afterwards
        QTest::addColumn<bool>("modified");
        const QStringList names{QStringLiteral("saved"), QStringLiteral("last backup"), QStringLiteral("initial backup")};
        QTest::newRow("saved, Yes") << 0 << true << QByteArray("v2") << QByteArray("v0 first") << false;
        QTest::newRow("last backup, Yes") << 1 << true << QByteArray("v1") << QByteArray("v1") << true;
        QTest::newRow("initial backup, Yes") << 2 << true << QByteArray("v0 first") << QByteArray("v0 first") << true;
        for (int which = 0; which < 3; ++which)
            QTest::addRow("%s, No", qPrintable(names.at(which)))
                << which << false << QByteArray("v3") << QByteArray("v0 first") << true;
    }
    void revert()
    {
        QFETCH(int, which);
        QFETCH(bool, confirm);
        QFETCH(QByteArray, first);
        QFETCH(QByteArray, original);
        QFETCH(bool, modified);
        Fixture f;
        OpenFresh(f);
        const QString file = f.Session.FileName();
        // Initial backup v0, last backup v1, file v2, editor v3.
        f.Enter(0, "v1");
        f.Boxes.Answer(TModalResult::mrYes);
        QVERIFY(f.Session.SaveDocument());
        f.Enter(0, "v2");
        QVERIFY(f.Session.SaveDocument());
        f.Enter(0, "v3");
        const QByteArray onDisk = ReadWholeFile(file);
        const QByteArray lastBackup = ReadWholeFile(BackupFileName(file));
        const QByteArray initialBackup = ReadWholeFile(InitialBackupName(file));
        f.Boxes.Clear();
        f.Boxes.Answer(confirm ? TModalResult::mrYes : TModalResult::mrNo);

        const QString keys[] = {QStringLiteral("ConfirmRevertToSaved"), QStringLiteral("ConfirmRevertToBAK"),
                                QStringLiteral("ConfirmRevertToOriginal")};
        if (which == 0)
            f.Session.RevertToSaved();
        else if (which == 1)
            f.Session.RevertToBackup();
        else
            f.Session.RevertToOriginal();

        QCOMPARE(f.Boxes.Count(), 1);
        CheckQuestion(f.Boxes.Last(), keys[which], kYesNo);
        QVERIFY(f.Session.IsOpen());
        QCOMPARE(f.Session.FileName(), file);
        QCOMPARE(f.Session.MessageText(0, false), first);
        QCOMPARE(f.Session.MessageText(0, true), original);
        QCOMPARE(f.Session.Modified(), modified);
        // Only an unconfirmed revert keeps the undo record.
        QCOMPARE(f.Session.UndoAvailable(), !confirm);
        // Nothing is written.
        QCOMPARE(ReadWholeFile(file), onDisk);
        QCOMPARE(ReadWholeFile(BackupFileName(file)), lastBackup);
        QCOMPARE(ReadWholeFile(InitialBackupName(file)), initialBackup);
        CheckShown(f);
    }

    void revertLooksForOriginalsBesideTheFileRead_data()
    {
        QTest::addColumn<bool>("toBackup"); // else to the initial backup
        QTest::addColumn<QByteArray>("original");
        QTest::newRow("last backup: its own initial backup") << true << QByteArray("decoy first");
        QTest::newRow("initial backup: always a clone") << false << QByteArray("v0 first");
    }
    void revertLooksForOriginalsBesideTheFileRead()
    {
        QFETCH(bool, toBackup);
        QFETCH(QByteArray, original);
        Fixture f;
        OpenFresh(f, true);
        const QString file = f.Session.FileName();
        f.Enter(0, "v1");
        QVERIFY(f.Session.SaveDocument());
        f.Enter(0, "v2");
        const QString read = toBackup ? BackupFileName(file) : InitialBackupName(file);
        WriteMessageFile(InitialBackupName(read), Version("decoy"));
        f.Boxes.Answer(TModalResult::mrYes);

        if (toBackup)
            f.Session.RevertToBackup();
        else
            f.Session.RevertToOriginal();
        QCOMPARE(f.Session.MessageText(0, false), QByteArray("v0 first"));
        QCOMPARE(f.Session.MessageText(0, true), original);
        QCOMPARE(f.Boxes.Count(), 1);
    }

    void createInitialBackup_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("staleBackup");
        QTest::newRow("copy made") << true << false;
        QTest::newRow("stale backup replaced") << true << true;
        QTest::newRow("no file: nothing to do") << false << false;
    }
    void createInitialBackup()
    {
        QFETCH(bool, fileExists);
        QFETCH(bool, staleBackup);
        Fixture f;
        const QString file = f.Path(QStringLiteral("x.msg"));
        if (fileExists)
            WriteMessageFile(file, Version("v0"));
        if (staleBackup)
            QVERIFY(WriteWholeFile(InitialBackupName(file), QByteArray(3000, 's')));

        QVERIFY(f.Session.CreateInitialBackup(file));
        QCOMPARE(f.Boxes.Count(), 0);
        QCOMPARE(QFile::exists(InitialBackupName(file)), fileExists);
        QCOMPARE(TEditSession::InitialBackupExists(file), fileExists);
        if (fileExists)
            QCOMPARE(ReadWholeFile(InitialBackupName(file)), ReadWholeFile(file));
    }

    void revertToBackupThenSaveExchanges()
    {
        Fixture f;
        OpenFresh(f, true);
        const QString file = f.Session.FileName();
        f.Enter(0, "v1");
        QVERIFY(f.Session.SaveDocument());
        f.Enter(0, "v2");
        QVERIFY(f.Session.SaveDocument());
        const QByteArray p = ReadWholeFile(file);
        const QByteArray b = ReadWholeFile(BackupFileName(file));
        QVERIFY(p != b);

        f.Boxes.Answer(TModalResult::mrYes);
        f.Session.RevertToBackup();
        QVERIFY(f.Session.Modified());
        QVERIFY(f.Session.SaveDocument());
        QCOMPARE(ReadWholeFile(file), b);
        QCOMPARE(ReadWholeFile(BackupFileName(file)), p);
        QCOMPARE(f.Session.FileName(), file);
        QVERIFY(!f.Session.Modified());
        CheckShown(f);
    }

    void revertToOriginalThenSaveWritesTheInitialContents()
    {
        Fixture f;
        OpenFresh(f);
        const QString file = f.Session.FileName();
        const QByteArray initial = ReadWholeFile(file);
        f.Enter(1, "v1");
        f.Boxes.Answer(TModalResult::mrYes);
        QVERIFY(f.Session.SaveDocument());
        f.Boxes.Answer(TModalResult::mrYes);
        f.Session.RevertToOriginal();
        QCOMPARE(f.Texts(), Version("v0"));
        QVERIFY(f.Session.SaveDocument());
        QCOMPARE(TextsOnDisk(file), Version("v0"));
        QCOMPARE(ReadWholeFile(InitialBackupName(file)), initial);
        QCOMPARE(TextsOnDisk(BackupFileName(file)).value(1), QByteArray("v1"));
    }

    void revertToSavedShowsTheDisk()
    {
        Fixture f;
        OpenFresh(f);
        const QString file = f.Session.FileName();
        f.Enter(0, "unsaved");
        WriteMessageFile(file, Version("changed elsewhere"));
        f.Boxes.Answer(TModalResult::mrYes);
        f.Session.RevertToSaved();
        QCOMPARE(f.Texts(), Version("changed elsewhere"));
        QVERIFY(!f.Session.Modified());
        // No "ConfirmSave": the revert's own question stands for it.
        QCOMPARE(f.Boxes.Count(), 1);
        CheckShown(f);
    }

    void revertToMissingBackupFails()
    {
        Fixture f;
        OpenFresh(f, true);
        const QString file = f.Session.FileName();
        f.Enter(0, "v1");
        QVERIFY(f.Session.SaveDocument());
        f.Enter(0, "v2");
        QVERIFY(QFile::remove(BackupFileName(file)));
        f.Boxes.Answer(TModalResult::mrYes);

        f.Session.RevertToBackup();
        QCOMPARE(f.Boxes.Count(), 2);
        CheckErrorBox(f, English("Error loading file \"%s\"", BackupFileName(file)));
        QVERIFY(!f.Session.IsOpen());
        QCOMPARE(f.Session.FileName(), file);
        QVERIFY(!f.Session.Modified());
        CheckShown(f);
    }

    // --- Reporting file errors -------------------------------------------------

    void fileErrors_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("debug");
        QTest::addColumn<QString>("plain");
        const QStringList operations{QStringLiteral("load"), QStringLiteral("save"), QStringLiteral("backup"),
                                     QStringLiteral("backup read")};
        const QStringList texts{QStringLiteral("Error loading file \"%s\""), QStringLiteral("Error saving file \"%s\""),
                                QStringLiteral("Error backing up file \"%s\""),
                                QStringLiteral("Error reading from initial backup of the file \"%s\"")};
        for (bool debug : {false, true}) {
            for (int i = 0; i < operations.size(); ++i)
                QTest::addRow("%s%s", qPrintable(operations.at(i)), debug ? ", debug" : "")
                    << operations.at(i) << debug << texts.at(i);
        }
    }
    void fileErrors()
    {
        QFETCH(QString, operation);
        QFETCH(bool, debug);
        QFETCH(QString, plain);
        Fixture f;
        const LogRedirect log(f.Path(QStringLiteral("lexivane.LOG")));
        DebugMode() = debug;
        const QString file = f.MakeFile(Version("v0"));

        if (operation == QLatin1String("load")) {
            QVERIFY(QFile::remove(file));
            QVERIFY(!f.Session.OpenDocument(file));
        } else if (operation == QLatin1String("backup read")) {
            QVERIFY(WriteWholeFile(InitialBackupName(file), QByteArray(40, '\xff')));
            QVERIFY(f.Session.OpenDocument(file));
        } else {
            QVERIFY(f.Session.OpenDocument(file));
            const bool backup = operation == QLatin1String("backup");
            if (backup)
                QVERIFY(QDir().mkpath(InitialBackupName(file)));
            f.Enter(0, backup ? QByteArray("entry") : QByteArray(MsgMaxTextLength + 1, 'L'));
            f.Boxes.Answer(TModalResult::mrYes);
            QVERIFY(!f.Session.SaveDocument());
        }

        const TMessageBoxRequest &box = f.Boxes.Last();
        QCOMPARE(box.Kind, TMsgDlgType::mtError);
        const QString plainText = English(plain.toUtf8().constData(), file);
        const QByteArray logged = ReadWholeFile(f.Path(QStringLiteral("lexivane.LOG")));
        if (!debug) {
            QCOMPARE(box.Text, plainText);
            QCOMPARE(logged, QByteArray());
            return;
        }
        // The plain text, then the exception's own message, then the request
        // to report it.
        QVERIFY2(box.Text.startsWith(plainText + QStringLiteral("\r\r>> ")), qPrintable(box.Text));
        const qsizetype start = plainText.size() + 5;
        const qsizetype end = box.Text.indexOf(QStringLiteral(" <<"), start);
        QVERIFY(end > start);
        const QString message = box.Text.mid(start, end - start);
        QVERIFY(box.Text.size() > end + 5);
        QVERIFY2(logged.contains("[!] Exception occured"), logged.constData());
        QVERIFY2(logged.contains(message.toUtf8()), logged.constData());
    }
};

QTEST_MAIN(TestEditSession)
#include "tst_editsession.moc"
