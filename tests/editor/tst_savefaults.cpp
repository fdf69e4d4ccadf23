// Saves that fail: each step of the session's save made to fail in turn
// through the fault injector, and a real full disk (a small tmpfs). Whatever
// fails, the session reports it and keeps its changes, the file's previous
// contents stay on the disk under its name or as its last backup, and the
// next save without the fault leaves the right files.

#include "diagnostics/CommandLine.h"
#include "diagnostics/LogUtils.h"
#include "editor/EditSession.h"
#include "msgfile/FaultInjection.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "platform/OsError.h"
#include "support/EnglishTable.h"
#include "support/MsgTexts.h"
#include "support/QuietSessionView.h"
#include "support/ScriptedDialogs.h"
#include "support/ScriptedFaults.h"
#include "support/ScriptedMessageBoxes.h"
#include "support/TestEnvironment.h"
#include "uitext/EnglishMsg.h"
#include "uitext/Format.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

namespace {

const quint32 kFirstCode = 0x140000u;

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

// Count messages whose texts name Tag, each Size bytes long.
std::unique_ptr<TMsgData> Version(const QByteArray &tag, int count, int size)
{
    auto data = std::make_unique<TMsgData>();
    for (int i = 0; i < count; ++i) {
        QByteArray text = tag + " message " + QByteArray::number(i) + ' ';
        while (text.size() < size)
            text.append(char('a' + (text.size() + i) % 26));
        data->AddMessage(kFirstCode + quint32(i), text.left(size));
    }
    return data;
}

QStringList TempFilesIn(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral("IBMSG*")}, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

QStringList EntriesOf(const QString &dir)
{
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

// A session with its seams answered by scripts, over a folder of its own
// holding the message file x.msg and the files beside it.
struct Fixture
{
    explicit Fixture(const QString &folder = QString())
        : Dir(folder.isEmpty() ? Environment.path(QStringLiteral("data")) : folder)
    {
        QDir().mkpath(Dir);
    }

    // Enters Text as message 1 through the edit dialog.
    void Enter(const QByteArray &text)
    {
        Dialogs.OnEditText = [text](QByteArray &edited, const QByteArray &, bool &) {
            edited = text;
            return true;
        };
        Session.EditMessage(0);
        Dialogs.OnEditText = nullptr;
    }

    // The bytes the writer makes of Data, written outside the folder.
    QByteArray BytesOf(const TMsgData &data)
    {
        const QString reference = Environment.path(QStringLiteral("reference.msg"));
        SaveMsgData(reference, data);
        return ReadWholeFile(reference);
    }

    TestEnvironment Environment;
    QString Dir;
    QString File = Dir + QStringLiteral("/x.msg");
    QString Backup = Dir + QStringLiteral("/x.~ms");
    QString Initial = Dir + QStringLiteral("/x.msg.OrigBAK");
    ScriptedMessageBoxes Boxes;
    ScriptedDialogs Dialogs;
    QuietSessionView View;
    TEditSession Session{View};
};

// A tmpfs of the given size mounted on a folder for the object's lifetime.
class SmallDisk
{
public:
    explicit SmallDisk(const QString &folder) : m_folder(QFile::encodeName(folder))
    {
        if (::geteuid() != 0) {
            m_why = QStringLiteral("not running as root");
            return;
        }
        QDir().mkpath(folder);
        if (::mount("lexivane-test", m_folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV, "size=64k,mode=0755") != 0) {
            m_why = QStringLiteral("mount failed: ") + QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        m_mounted = true;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool Mounted() const { return m_mounted; }
    QString WhyNot() const { return m_why; }
    // Makes room: the same file system, grown.
    bool Grow()
    {
        return ::mount("lexivane-test", m_folder.constData(), "tmpfs", MS_REMOUNT | MS_NOSUID | MS_NODEV, "size=512k")
            == 0;
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
    QString m_why;
};

} // namespace

Q_DECLARE_METATYPE(TFailPoint)

class TestSaveFaults : public QObject
{
    Q_OBJECT

private:
    // The error box of a failed save or initial backup, in its debug form:
    // the file's name and the message of the error that stopped it.
    static void CheckReported(const Fixture &f, const QString &key, const QString &message)
    {
        QVERIFY(f.Boxes.Count() > 0);
        const TMessageBoxRequest &box = f.Boxes.Last();
        QCOMPARE(box.Kind, TMsgDlgType::mtError);
        QCOMPARE(box.Text, Format(GetMsg(key + QStringLiteral("Debug")), {f.File, message}));
        QVERIFY(box.Text.startsWith(Format(GetMsg(key), {f.File})));
        QVERIFY2(ReadWholeFile(f.Environment.path(QStringLiteral("lexivane.LOG"))).contains(message.toUtf8()),
                 "the error is not in the log");
    }

    // The session after a save that did not happen: still changed, the entry
    // and its undo record kept.
    static void CheckNothingLost(const Fixture &f, const QByteArray &entry)
    {
        QVERIFY(f.Session.IsOpen());
        QVERIFY(f.Session.Modified());
        QVERIFY(f.Session.UndoAvailable());
        QCOMPARE(f.Session.MessageText(0, false), entry);
    }

private Q_SLOTS:
    void initTestCase()
    {
        UseEnglishTable();
        QCOMPARE(GetMsg(QStringLiteral("SaveError")), QStringLiteral("Error saving file \"%s\""));
        QCOMPARE(GetMsg(QStringLiteral("BackupError")), QStringLiteral("Error backing up file \"%s\""));
    }

    void init() { DebugMode() = true; }
    void cleanup() { DebugMode() = false; }

    void faultAtEachStep_data()
    {
        QTest::addColumn<TFailPoint>("point");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("passes"); // checks of the point that go through first
        QTest::addColumn<bool>("linkRefused"); // a file system without hard links
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("fileAfter");   // what x.msg holds: v1 (previous), v2 (new), or "" (nothing)
        QTest::addColumn<QString>("backupAfter"); // what x.~ms holds
        QTest::addColumn<int>("tempsLeft");       // complete new files left in the folder
        QTest::addColumn<QString>("backupAfterRetry");

        const QString save = QStringLiteral("SaveError");
        const QString writeError = QStringLiteral("Stream write error");
        const auto os = [](int error) { return OSErrorMessage(error); };
        QTest::newRow("temporary file not created (EACCES)")
            << TFailPoint::CreateTemp << EACCES << 0 << false << save << os(EACCES) << "v1" << "v0" << 0 << "v1";
        QTest::newRow("write error (EIO)")
            << TFailPoint::Write << EIO << 0 << false << save << writeError << "v1" << "v0" << 0 << "v1";
        QTest::newRow("disk full after the first block (ENOSPC)")
            << TFailPoint::Write << ENOSPC << 1 << false << save << writeError << "v1" << "v0" << 0 << "v1";
        QTest::newRow("sync of the new file (EIO)")
            << TFailPoint::SyncFile << EIO << 0 << false << save << os(EIO) << "v1" << "v0" << 0 << "v1";
        QTest::newRow("backup link (EACCES)")
            << TFailPoint::LinkBackup << EACCES << 0 << false << save << os(EACCES) << "v1" << "v0" << 1 << "v1";
        QTest::newRow("backup link (EMLINK)")
            << TFailPoint::LinkBackup << EMLINK << 0 << false << save << os(EMLINK) << "v1" << "v0" << 1 << "v1";
        QTest::newRow("backup put in place (EIO)")
            << TFailPoint::RenameBackup << EIO << 0 << false << save << os(EIO) << "v1" << "v0" << 1 << "v1";
        QTest::newRow("new file put in place (EIO)")
            << TFailPoint::ReplaceFile << EIO << 0 << false << save << os(EIO) << "v1" << "v1" << 1 << "v1";
        QTest::newRow("sync of the folder (EIO)")
            << TFailPoint::SyncDirectory << EIO << 0 << false << save << os(EIO) << "v2" << "v1" << 0 << "v2";
        QTest::newRow("initial backup copy (ENOSPC)") << TFailPoint::CopyFile << ENOSPC << 0 << false
                                                      << QStringLiteral("BackupError") << os(ENOSPC) << "v1" << "v0"
                                                      << 0 << "v1";
        // Without hard links the previous file is renamed: an older backup
        // goes first, and for a moment the file's name holds nothing.
        QTest::newRow("no hard links: backup rename (EIO)")
            << TFailPoint::RenameBackup << EIO << 0 << true << save << os(EIO) << "v1" << "" << 1 << "v1";
        QTest::newRow("no hard links: new file put in place (EIO)")
            << TFailPoint::ReplaceFile << EIO << 0 << true << save << os(EIO) << "" << "v1" << 1 << "v1";
        QTest::newRow("no hard links: sync of the folder (EIO)")
            << TFailPoint::SyncDirectory << EIO << 0 << true << save << os(EIO) << "v2" << "v1" << 0 << "v2";
    }
    void faultAtEachStep()
    {
        QFETCH(TFailPoint, point);
        QFETCH(int, error);
        QFETCH(int, passes);
        QFETCH(bool, linkRefused);
        QFETCH(QString, key);
        QFETCH(QString, message);
        QFETCH(QString, fileAfter);
        QFETCH(QString, backupAfter);
        QFETCH(int, tempsLeft);
        QFETCH(QString, backupAfterRetry);

        Fixture f;
        const LogRedirect log(f.Environment.path(QStringLiteral("lexivane.LOG")));
        // Over a megabyte: the writer hands it to the file in more than one block.
        const auto v0 = Version("v0", 1200, 1000);
        const auto v1 = Version("v1", 1200, 1000);
        const QByteArray entry("v2 entry");
        auto v2 = v1->Clone();
        v2->SetTexts(0, entry);
        QMap<QString, QByteArray> bytes{{QStringLiteral("v0"), f.BytesOf(*v0)},
                                        {QStringLiteral("v1"), f.BytesOf(*v1)},
                                        {QStringLiteral("v2"), f.BytesOf(*v2)}};
        QVERIFY(bytes.value(QStringLiteral("v2")).size() > (1 << 20));
        SaveMsgData(f.Backup, *v0);
        SaveMsgData(f.File, *v1);
        const bool asksForInitialBackup = point == TFailPoint::CopyFile;
        if (!asksForInitialBackup)
            SaveMsgData(f.Initial, *v0);
        QVERIFY(f.Session.OpenDocument(f.File));
        f.Enter(entry);
        QVERIFY(f.Session.Modified());

        ScriptedFaults faults;
        if (linkRefused)
            faults.Fail(TFailPoint::LinkBackup, EPERM);
        faults.Fail(point, error, passes, 1);
        if (asksForInitialBackup)
            f.Boxes.Answer(TModalResult::mrYes);
        f.Boxes.SetDefaultAnswer(TModalResult::mrCancel);

        QVERIFY(!f.Session.SaveDocument());
        QCOMPARE(f.Boxes.Count(), asksForInitialBackup ? 2 : 1);
        QCOMPARE(faults.Count(point), passes + 1);
        QCOMPARE(faults.Failures(), linkRefused ? 2 : 1);
        CheckReported(f, key, message);
        CheckNothingLost(f, entry);

        // The disk: the file's previous contents under its name or as its
        // last backup, byte for byte, and readable.
        QCOMPARE(ReadWholeFile(f.File), bytes.value(fileAfter));
        QCOMPARE(QFileInfo::exists(f.File), !fileAfter.isEmpty());
        QCOMPARE(ReadWholeFile(f.Backup), bytes.value(backupAfter));
        QCOMPARE(QFileInfo::exists(f.Backup), !backupAfter.isEmpty());
        QVERIFY(fileAfter == QLatin1String("v1") || backupAfter == QLatin1String("v1"));
        QCOMPARE(TextsOnDisk(fileAfter == QLatin1String("v1") ? f.File : f.Backup), TextsOf(*v1));
        QCOMPARE(QFileInfo::exists(f.Initial), !asksForInitialBackup);
        if (!asksForInitialBackup)
            QCOMPARE(ReadWholeFile(f.Initial), bytes.value(QStringLiteral("v0")));
        const QStringList temps = TempFilesIn(f.Dir);
        QCOMPARE(temps.size(), tempsLeft);
        for (const QString &temp : temps)
            QCOMPARE(ReadWholeFile(f.Dir + QLatin1Char('/') + temp), bytes.value(QStringLiteral("v2")));
        QStringList expected = temps;
        for (const char *name : {"x.msg", "x.~ms", "x.msg.OrigBAK"}) {
            if (QFileInfo::exists(f.Dir + QLatin1Char('/') + QLatin1String(name)))
                expected.append(QLatin1String(name));
        }
        expected.sort();
        QCOMPARE(EntriesOf(f.Dir), expected);

        // The same save again, without the fault.
        faults.Clear();
        f.Boxes.Clear();
        if (asksForInitialBackup)
            f.Boxes.Answer(TModalResult::mrYes);
        QVERIFY(f.Session.SaveDocument());
        QCOMPARE(f.Boxes.Count(), asksForInitialBackup ? 1 : 0);
        QVERIFY(!f.Session.Modified());
        QVERIFY(!f.Session.UndoAvailable());
        QCOMPARE(ReadWholeFile(f.File), bytes.value(QStringLiteral("v2")));
        QCOMPARE(TextsOnDisk(f.File), TextsOf(*v2));
        QCOMPARE(ReadWholeFile(f.Backup), bytes.value(backupAfterRetry));
        // A copy made by the retry holds the file as it was before it.
        const QString initialAfter = asksForInitialBackup ? QStringLiteral("v1") : QStringLiteral("v0");
        QCOMPARE(ReadWholeFile(f.Initial), bytes.value(initialAfter));
        // What the failed save left stays; the retry adds nothing.
        QCOMPARE(TempFilesIn(f.Dir), temps);
    }

    void realDiskFull_data()
    {
        QTest::addColumn<bool>("initialBackup"); // asked for, and then it is the copy that does not fit
        QTest::newRow("the new file does not fit") << false;
        QTest::newRow("the initial backup does not fit") << true;
    }
    void realDiskFull()
    {
        QFETCH(bool, initialBackup);
        TestEnvironment mountPoint;
        const QString folder = mountPoint.path(QStringLiteral("small"));
        SmallDisk disk(folder);
        if (!disk.Mounted())
            QSKIP(qPrintable(
                QStringLiteral("no small tmpfs to fill, so no real full disk here (%1)").arg(disk.WhyNot())));
        Fixture f(folder);
        const LogRedirect log(f.Environment.path(QStringLiteral("lexivane.LOG")));
        // About 36 KB on a 64 KB disk: the file fits once, not twice.
        const auto v1 = Version("v1", 36, 1000);
        const QByteArray entry("v2 entry");
        auto v2 = v1->Clone();
        v2->SetTexts(0, entry);
        const QByteArray previous = f.BytesOf(*v1);
        const QByteArray next = f.BytesOf(*v2);
        SaveMsgData(f.File, *v1);
        QCOMPARE(ReadWholeFile(f.File), previous);
        QVERIFY(f.Session.OpenDocument(f.File));
        f.Enter(entry);

        f.Boxes.Answer(initialBackup ? TModalResult::mrYes : TModalResult::mrNo);
        QVERIFY(!f.Session.SaveDocument());
        QCOMPARE(f.Boxes.Count(), 2);
        QCOMPARE(f.Boxes.Requests().at(0).Text, GetMsg(QStringLiteral("ConfirmBackup")));
        if (initialBackup)
            CheckReported(f, QStringLiteral("BackupError"), OSErrorMessage(ENOSPC));
        else
            CheckReported(f, QStringLiteral("SaveError"), QStringLiteral("Stream write error"));
        CheckNothingLost(f, entry);
        // Nothing but the file, as it was: the partial file is gone.
        QCOMPARE(EntriesOf(folder), QStringList{QStringLiteral("x.msg")});
        QCOMPARE(ReadWholeFile(f.File), previous);
        QCOMPARE(TextsOnDisk(f.File), TextsOf(*v1));

        // Room made, the same save again.
        QVERIFY(disk.Grow());
        f.Boxes.Clear();
        f.Boxes.Answer(initialBackup ? TModalResult::mrYes : TModalResult::mrNo);
        QVERIFY(f.Session.SaveDocument());
        QCOMPARE(f.Boxes.Count(), 1);
        QVERIFY(!f.Session.Modified());
        QCOMPARE(ReadWholeFile(f.File), next);
        QCOMPARE(ReadWholeFile(f.Backup), previous);
        QStringList expected{QStringLiteral("x.msg"), QStringLiteral("x.~ms")};
        if (initialBackup) {
            QCOMPARE(ReadWholeFile(f.Initial), previous);
            expected.append(QStringLiteral("x.msg.OrigBAK"));
        }
        expected.sort();
        QCOMPARE(EntriesOf(folder), expected);
    }
};

QTEST_MAIN(TestSaveFaults)
#include "tst_savefaults.moc"
