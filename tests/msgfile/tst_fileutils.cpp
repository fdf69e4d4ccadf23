// File helpers: path rules, backup names, and the checked file operations the
// save relies on, with the steps of putting a new file in place made to fail
// through the fault injector.

#include "msgfile/FaultInjection.h"
#include "msgfile/FileUtils.h"
#include "platform/OsError.h"
#include "support/ScriptedFaults.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <functional>
#include <sys/stat.h>

namespace {

QString Win32Message(int error)
{
    return QStringLiteral("Win32 Error.  Code: %1.\n%2").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
}

// The inode of the entry itself; 0 when there is no such entry.
quint64 Inode(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? quint64(status.st_ino) : 0;
}

// The names in a folder, sorted.
QStringList Entries(const QString &dir)
{
    QStringList names = QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    names.sort();
    return names;
}

QStringList Sorted(QStringList names)
{
    names.sort();
    return names;
}

// The message of the exception Action raised; empty when it raised none.
template <typename Action>
QString ErrorOf(Action action)
{
    try {
        action();
    } catch (const Exception &error) {
        return error.Message();
    }
    return {};
}

// A folder of its own for a file x.msg, its last backup x.~ms and the
// temporary file of a save that is to replace it.
struct SaveFolder
{
    SaveFolder()
    {
        QDir().mkpath(Dir);
        Temp = CreateTempFile(Dir, QString::fromLatin1(SaveTempPrefix));
        WriteWholeFile(Temp, "new contents");
    }

    QString TempEntry() const { return QFileInfo(Temp).fileName(); }

    TestEnvironment Environment;
    QString Dir = Environment.path(QStringLiteral("data"));
    QString Name = Dir + QStringLiteral("/x.msg");
    QString Backup = Dir + QStringLiteral("/x.~ms");
    QString Temp;
};

} // namespace

class TestFileUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void joinPath_data()
    {
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("joined");
        QTest::newRow("no dir") << QString() << "x" << "x";
        QTest::newRow("root") << "/" << "x" << "/x";
        QTest::newRow("dir") << "/ib" << "x" << "/ib/x";
        QTest::newRow("dir with separator") << "/ib/" << "x" << "/ib/x";
        QTest::newRow("relative") << "ib" << "a.msg" << "ib/a.msg";
    }
    void joinPath()
    {
        QFETCH(QString, dir);
        QFETCH(QString, name);
        QFETCH(QString, joined);
        QCOMPARE(JoinPath(dir, name), joined);
    }

    void getFileDir_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("dir");
        QTest::newRow("nested") << "/ib/a.msg" << "/ib";
        QTest::newRow("in root") << "/a.msg" << "/";
        QTest::newRow("no dir") << "a.msg" << "";
        QTest::newRow("relative") << "ib/a.msg" << "ib";
        QTest::newRow("double separator") << "/ib//a.msg" << "/ib//";
        QTest::newRow("dot in folder") << "/dir.old/x" << "/dir.old";
    }
    void getFileDir()
    {
        QFETCH(QString, path);
        QFETCH(QString, dir);
        QCOMPARE(GetFileDir(path), dir);
    }

    void backupFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("backup");
        QTest::newRow("msg") << "/ib/interbase.msg" << "/ib/interbase.~ms";
        QTest::newRow("upper case") << "/ib/INTERBAS.MSG" << "/ib/INTERBAS.~MS";
        QTest::newRow("one-letter extension") << "x.m" << "x.~";
        QTest::newRow("no extension") << "/ib/msgfile" << "/ib/msgfile.~";
        QTest::newRow("a.b") << "a.b" << "a.~";
        QTest::newRow("dot before separator") << "dir.old/x" << "dir.old/x.~";
        QTest::newRow("two dots") << "x.tar.gz" << "x.tar.~g";
        QTest::newRow("trailing dot") << "x." << "x.~";
    }
    void backupFileName()
    {
        QFETCH(QString, name);
        QFETCH(QString, backup);
        QCOMPARE(BackupFileName(name), backup);
    }

    void initialBackupNameIsAbsolute()
    {
        QCOMPARE(InitialBackupName(QStringLiteral("/ib/interbase.msg")), QStringLiteral("/ib/interbase.msg.OrigBAK"));
        const QString relative = InitialBackupName(QStringLiteral("interbase.msg"));
        QVERIFY(QFileInfo(relative).isAbsolute());
        QCOMPARE(relative, QDir::current().absoluteFilePath(QStringLiteral("interbase.msg.OrigBAK")));
    }

    void createTempFileMakesNewEmptyFiles()
    {
        TestEnvironment environment;
        const QString first = CreateTempFile(environment.root(), QStringLiteral("IBMSG"));
        const QString second = CreateTempFile(environment.root(), QStringLiteral("IBMSG"));
        QVERIFY(first != second);
        for (const QString &name : {first, second}) {
            const QFileInfo info(name);
            QVERIFY(info.isAbsolute());
            QVERIFY(info.isFile());
            QCOMPARE(info.size(), 0);
            QCOMPARE(info.absolutePath(), QFileInfo(environment.root()).absoluteFilePath());
            QVERIFY(info.fileName().startsWith(QLatin1String("IBMSG")));
            // It will become the message file: others may read it as they could the old one.
            struct stat status {};
            QCOMPARE(::stat(QFile::encodeName(name).constData(), &status), 0);
            QCOMPARE(int(status.st_mode & 0666), int(0666 & ~[] { const mode_t m = ::umask(0); ::umask(m); return m; }()));
        }
        try {
            CreateTempFile(environment.path(QStringLiteral("missing")), QStringLiteral("IBMSG"));
            QFAIL("created a file in a missing folder");
        } catch (const EOSError &e) {
            QCOMPARE(e.Message(), Win32Message(ENOENT));
        }
    }

    void deleteFile()
    {
        TestEnvironment environment;
        const QString file = environment.path(QStringLiteral("gone.msg"));
        QVERIFY(WriteWholeFile(file, "x"));
        QVERIFY(DeleteFileQuiet(file));
        QVERIFY(!QFile::exists(file));
        QVERIFY(!DeleteFileQuiet(file));
        try {
            DeleteFileChecked(file);
            QFAIL("deleted a missing file");
        } catch (const EOSError &e) {
            QCOMPARE(e.Message(), Win32Message(ENOENT));
        }
        QVERIFY(WriteWholeFile(file, "x"));
        DeleteFileChecked(file);
        QVERIFY(!QFile::exists(file));
    }

    void copyFileReplacesTarget()
    {
        TestEnvironment environment;
        const QString source = environment.path(QStringLiteral("a.msg"));
        const QString dest = environment.path(QStringLiteral("a.msg.OrigBAK"));
        QByteArray contents;
        for (int i = 0; i < 50000; ++i)
            contents += QByteArray::number(i);
        QVERIFY(WriteWholeFile(source, contents));
        QVERIFY(WriteWholeFile(dest, QByteArray(contents.size() * 2, 'x')));
        {
            QFile file(source);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(QDateTime(QDate(2001, 2, 3), QTime(4, 5, 6)), QFileDevice::FileModificationTime));
        }
        CopyFileChecked(source, dest);
        QCOMPARE(ReadWholeFile(dest), contents);
        QCOMPARE(ReadWholeFile(source), contents);
        QCOMPARE(QFileInfo(dest).lastModified(), QFileInfo(source).lastModified());
    }

    void copyFileErrors()
    {
        TestEnvironment environment;
        const QString source = environment.path(QStringLiteral("a.msg"));
        try {
            CopyFileChecked(source, environment.path(QStringLiteral("b.msg")));
            QFAIL("copied a missing file");
        } catch (const EOSError &e) {
            QCOMPARE(e.Message(), Win32Message(ENOENT));
        }
        QVERIFY(!QFile::exists(environment.path(QStringLiteral("b.msg"))));

        // A copy onto itself must not empty the file.
        QVERIFY(WriteWholeFile(source, "keep me"));
        QVERIFY_THROWS_EXCEPTION(EOSError, CopyFileChecked(source, source));
        QCOMPARE(ReadWholeFile(source), QByteArray("keep me"));
    }

    void copyFileOntoFullDevice()
    {
        struct stat device {};
        if (::stat("/dev/full", &device) != 0 || !S_ISCHR(device.st_mode))
            QSKIP("no /dev/full device here");
        TestEnvironment environment;
        const QString source = environment.path(QStringLiteral("a.msg"));
        QVERIFY(WriteWholeFile(source, QByteArray(100000, 'a')));
        try {
            CopyFileChecked(source, QStringLiteral("/dev/full"));
            QFAIL("a copy onto a full device reported success");
        } catch (const EOSError &e) {
            QCOMPARE(e.Message(), Win32Message(ENOSPC));
        }
        // The target was a device, not a half copy: it must still be there.
        struct stat status {};
        QCOMPARE(::stat("/dev/full", &status), 0);
        QVERIFY(S_ISCHR(status.st_mode));
    }

    void renameFailsWhenTargetExists()
    {
        TestEnvironment environment;
        const QString from = environment.path(QStringLiteral("IBMSG1.tmp"));
        const QString to = environment.path(QStringLiteral("x.msg"));
        QVERIFY(WriteWholeFile(from, "new"));
        QVERIFY(WriteWholeFile(to, "old"));
        try {
            RenameFileChecked(from, to);
            QFAIL("renamed over an existing file");
        } catch (const EOSError &e) {
            QCOMPARE(e.Message(), Win32Message(EEXIST));
        }
        QCOMPARE(ReadWholeFile(from), QByteArray("new"));
        QCOMPARE(ReadWholeFile(to), QByteArray("old"));

        QVERIFY(QFile::remove(to));
        RenameFileChecked(from, to);
        QVERIFY(!QFile::exists(from));
        QCOMPARE(ReadWholeFile(to), QByteArray("new"));

        QVERIFY_THROWS_EXCEPTION(EOSError, RenameFileChecked(from, environment.path(QStringLiteral("y.msg"))));
    }

    void syncFileKeepsContents()
    {
        TestEnvironment environment;
        const QString file = environment.path(QStringLiteral("IBMSG1.tmp"));
        const QByteArray contents("written, then synced");
        QVERIFY(WriteWholeFile(file, contents));
        SyncFile(file);
        QCOMPARE(ReadWholeFile(file), contents);
    }

    void syncFileErrors_data()
    {
        QTest::addColumn<QString>("name"); // relative to the test's folder, or absolute
        QTest::addColumn<int>("error");
        QTest::newRow("missing file") << "gone.tmp" << ENOENT;
        QTest::newRow("below a file") << "plain.msg/x.tmp" << ENOTDIR;
        QTest::newRow("device without sync") << "/dev/null" << EINVAL;
    }
    void syncFileErrors()
    {
        QFETCH(QString, name);
        QFETCH(int, error);
        struct stat device {};
        if (name.startsWith(QLatin1Char('/')) && (::stat(QFile::encodeName(name).constData(), &device) != 0 || !S_ISCHR(device.st_mode)))
            QSKIP("no such device here");
        TestEnvironment environment;
        QVERIFY(WriteWholeFile(environment.path(QStringLiteral("plain.msg")), "x"));
        const QString path = name.startsWith(QLatin1Char('/')) ? name : environment.path(name);
        try {
            SyncFile(path);
            QFAIL("synced a file that cannot be synced");
        } catch (const EOSError &e) {
            QCOMPARE(e.Message(), Win32Message(error));
        }
        QVERIFY(!QFileInfo::exists(environment.path(QStringLiteral("gone.tmp"))));
    }

    // --- Putting a new file in place ------------------------------------------

    void replaceKeepsTheBackup_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::addColumn<bool>("backupExists");
        QTest::newRow("no file yet") << false << false;
        QTest::newRow("no file yet, a backup of another") << false << true;
        QTest::newRow("first save: no backup yet") << true << false;
        QTest::newRow("older backup replaced") << true << true;
    }
    void replaceKeepsTheBackup()
    {
        QFETCH(bool, fileExists);
        QFETCH(bool, backupExists);
        SaveFolder folder;
        if (fileExists)
            QVERIFY(WriteWholeFile(folder.Name, "previous"));
        if (backupExists)
            QVERIFY(WriteWholeFile(folder.Backup, "older"));
        const quint64 previousInode = Inode(folder.Name);
        const quint64 tempInode = Inode(folder.Temp);
        ScriptedFaults faults;

        ReplaceFileKeepingBackup(folder.Temp, folder.Name);
        QCOMPARE(ReadWholeFile(folder.Name), QByteArray("new contents"));
        QCOMPARE(Inode(folder.Name), tempInode);
        if (fileExists) {
            QCOMPARE(ReadWholeFile(folder.Backup), QByteArray("previous"));
            // The previous file itself became the backup: no copy was made.
            QCOMPARE(Inode(folder.Backup), previousInode);
        } else if (backupExists) {
            QCOMPARE(ReadWholeFile(folder.Backup), QByteArray("older"));
        }
        QStringList expected{QStringLiteral("x.msg")};
        if (fileExists || backupExists)
            expected.append(QStringLiteral("x.~ms"));
        QCOMPARE(Entries(folder.Dir), Sorted(expected));
        QCOMPARE(faults.Count(TFailPoint::LinkBackup), fileExists ? 1 : 0);
        QCOMPARE(faults.Count(TFailPoint::ReplaceFile), 1);
    }

    void hardLinkBackupSharesTheInodeUntilTheNextSave()
    {
        SaveFolder folder;
        QVERIFY(WriteWholeFile(folder.Name, "first"));
        const quint64 first = Inode(folder.Name);
        const quint64 second = Inode(folder.Temp);
        ReplaceFileKeepingBackup(folder.Temp, folder.Name);
        QCOMPARE(Inode(folder.Backup), first);
        QCOMPARE(Inode(folder.Name), second);

        // The next save stops after its backup step: the backup and the file
        // are one file under two names, and the file's name is not empty.
        const QString temp = CreateTempFile(folder.Dir, QString::fromLatin1(SaveTempPrefix));
        QVERIFY(WriteWholeFile(temp, "third"));
        const quint64 third = Inode(temp);
        {
            ScriptedFaults faults;
            faults.Fail(TFailPoint::ReplaceFile, EIO);
            QCOMPARE(ErrorOf([&] { ReplaceFileKeepingBackup(temp, folder.Name); }), Win32Message(EIO));
        }
        QCOMPARE(Inode(folder.Name), second);
        QCOMPARE(Inode(folder.Backup), second);
        QCOMPARE(ReadWholeFile(folder.Name), QByteArray("new contents"));
        QCOMPARE(ReadWholeFile(temp), QByteArray("third"));
        QCOMPARE(Entries(folder.Dir),
                 Sorted({QFileInfo(temp).fileName(), QStringLiteral("x.msg"), QStringLiteral("x.~ms")}));

        // Saved again: a new file takes the name, the backup keeps the
        // previous one, and no second name of it is left behind.
        ReplaceFileKeepingBackup(temp, folder.Name);
        QCOMPARE(Inode(folder.Name), third);
        QCOMPARE(Inode(folder.Backup), second);
        QCOMPARE(ReadWholeFile(folder.Name), QByteArray("third"));
        QCOMPARE(ReadWholeFile(folder.Backup), QByteArray("new contents"));
        QCOMPARE(Entries(folder.Dir), Sorted({QStringLiteral("x.msg"), QStringLiteral("x.~ms")}));
    }

    void linkRefusedTakesTheRenames_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("replaceFails");
        // ENOTSUP is EOPNOTSUPP on Linux.
        const QList<QPair<const char *, int>> refusals{{"EPERM", EPERM}, {"EOPNOTSUPP", EOPNOTSUPP}, {"EXDEV", EXDEV}};
        for (const auto &refusal : refusals) {
            QTest::addRow("%s", refusal.first) << refusal.second << false;
            QTest::addRow("%s, then the rename into place fails", refusal.first) << refusal.second << true;
        }
    }
    void linkRefusedTakesTheRenames()
    {
        QFETCH(int, error);
        QFETCH(bool, replaceFails);
        SaveFolder folder;
        QVERIFY(WriteWholeFile(folder.Name, "previous"));
        QVERIFY(WriteWholeFile(folder.Backup, "older"));
        const quint64 previous = Inode(folder.Name);
        ScriptedFaults faults;
        faults.Fail(TFailPoint::LinkBackup, error);
        if (replaceFails)
            faults.Fail(TFailPoint::ReplaceFile, EIO);

        const QString raised = ErrorOf([&] { ReplaceFileKeepingBackup(folder.Temp, folder.Name); });
        // A refusal is not retried under another name.
        QCOMPARE(faults.Count(TFailPoint::LinkBackup), 1);
        QCOMPARE(ReadWholeFile(folder.Backup), QByteArray("previous"));
        QCOMPARE(Inode(folder.Backup), previous);
        if (!replaceFails) {
            QCOMPARE(raised, QString());
            QCOMPARE(ReadWholeFile(folder.Name), QByteArray("new contents"));
            QCOMPARE(Entries(folder.Dir), Sorted({QStringLiteral("x.msg"), QStringLiteral("x.~ms")}));
            return;
        }
        // Renames only: between them the file's name is empty, and a failure
        // there leaves it so, the new file in the temporary one.
        QCOMPARE(raised, Win32Message(EIO));
        QVERIFY(!QFileInfo::exists(folder.Name));
        QCOMPARE(ReadWholeFile(folder.Temp), QByteArray("new contents"));
        QCOMPARE(Entries(folder.Dir), Sorted({folder.TempEntry(), QStringLiteral("x.~ms")}));
    }

    void linkFailureStopsTheReplace_data()
    {
        QTest::addColumn<int>("error");
        QTest::newRow("EACCES") << EACCES;
        QTest::newRow("EIO") << EIO;
        QTest::newRow("EMLINK") << EMLINK;
        QTest::newRow("ENOSPC") << ENOSPC;
    }
    void linkFailureStopsTheReplace()
    {
        QFETCH(int, error);
        SaveFolder folder;
        QVERIFY(WriteWholeFile(folder.Name, "previous"));
        QVERIFY(WriteWholeFile(folder.Backup, "older"));
        ScriptedFaults faults;
        faults.Fail(TFailPoint::LinkBackup, error);

        QCOMPARE(ErrorOf([&] { ReplaceFileKeepingBackup(folder.Temp, folder.Name); }), Win32Message(error));
        QCOMPARE(faults.Count(TFailPoint::RenameBackup), 0);
        QCOMPARE(faults.Count(TFailPoint::ReplaceFile), 0);
        QCOMPARE(ReadWholeFile(folder.Name), QByteArray("previous"));
        QCOMPARE(ReadWholeFile(folder.Backup), QByteArray("older"));
        QCOMPARE(ReadWholeFile(folder.Temp), QByteArray("new contents"));
        QCOMPARE(Entries(folder.Dir), Sorted({folder.TempEntry(), QStringLiteral("x.msg"), QStringLiteral("x.~ms")}));
    }

    void backupRenameFailureStopsTheReplace_data()
    {
        QTest::addColumn<bool>("folderInTheWay"); // else an injected EIO
        QTest::addColumn<int>("error");
        QTest::newRow("injected EIO") << false << EIO;
        QTest::newRow("a folder in the backup's place") << true << EISDIR;
    }
    void backupRenameFailureStopsTheReplace()
    {
        QFETCH(bool, folderInTheWay);
        QFETCH(int, error);
        SaveFolder folder;
        QVERIFY(WriteWholeFile(folder.Name, "previous"));
        const quint64 previous = Inode(folder.Name);
        if (folderInTheWay)
            QVERIFY(QDir().mkpath(folder.Backup));
        else
            QVERIFY(WriteWholeFile(folder.Backup, "older"));
        ScriptedFaults faults;
        if (!folderInTheWay)
            faults.Fail(TFailPoint::RenameBackup, error);

        QCOMPARE(ErrorOf([&] { ReplaceFileKeepingBackup(folder.Temp, folder.Name); }), Win32Message(error));
        QCOMPARE(faults.Count(TFailPoint::ReplaceFile), 0);
        QCOMPARE(Inode(folder.Name), previous);
        QCOMPARE(ReadWholeFile(folder.Name), QByteArray("previous"));
        if (folderInTheWay)
            QVERIFY(QFileInfo(folder.Backup).isDir());
        else
            QCOMPARE(ReadWholeFile(folder.Backup), QByteArray("older"));
        QCOMPARE(ReadWholeFile(folder.Temp), QByteArray("new contents"));
        // The link made for the backup is gone again.
        QCOMPARE(Entries(folder.Dir), Sorted({folder.TempEntry(), QStringLiteral("x.msg"), QStringLiteral("x.~ms")}));
    }

    void syncDirectory_data()
    {
        QTest::addColumn<QString>("target"); // in the test's folder
        QTest::addColumn<int>("injected");
        QTest::addColumn<int>("error"); // 0: synced
        QTest::newRow("folder") << "data" << 0 << 0;
        QTest::newRow("missing folder") << "missing" << 0 << ENOENT;
        QTest::newRow("a file") << "data/plain.msg" << 0 << ENOTDIR;
        QTest::newRow("injected EIO") << "data" << EIO << EIO;
        QTest::newRow("no way to sync a folder: EINVAL") << "data" << EINVAL << 0;
    }
    void syncDirectory()
    {
        QFETCH(QString, target);
        QFETCH(int, injected);
        QFETCH(int, error);
        TestEnvironment environment;
        QVERIFY(QDir().mkpath(environment.path(QStringLiteral("data"))));
        QVERIFY(WriteWholeFile(environment.path(QStringLiteral("data/plain.msg")), "x"));
        ScriptedFaults faults;
        if (injected != 0)
            faults.Fail(TFailPoint::SyncDirectory, injected);

        QCOMPARE(ErrorOf([&] { SyncDirectory(environment.path(target)); }), error ? Win32Message(error) : QString());
        // A folder that opens is always synced.
        QCOMPARE(faults.Count(TFailPoint::SyncDirectory), target == QLatin1String("data") ? 1 : 0);
    }

    void injectedFaultsFailTheHelpers_data()
    {
        QTest::addColumn<QString>("helper");
        QTest::addColumn<int>("error");
        for (const char *helper : {"CreateTempFile", "SyncFile", "CopyFileChecked"}) {
            for (int error : {EIO, ENOSPC, EACCES})
                QTest::addRow("%s, %s", helper, std::strerror(error)) << helper << error;
        }
    }
    void injectedFaultsFailTheHelpers()
    {
        QFETCH(QString, helper);
        QFETCH(int, error);
        TestEnvironment environment;
        const QString dir = environment.path(QStringLiteral("data"));
        QVERIFY(QDir().mkpath(dir));
        const QString source = dir + QStringLiteral("/a.msg");
        const QByteArray contents(200000, 'c');
        QVERIFY(WriteWholeFile(source, contents));
        const QString copy = dir + QStringLiteral("/a.msg.OrigBAK");
        ScriptedFaults faults;
        TFailPoint point = TFailPoint::CopyFile;
        std::function<void()> call = [&] { CopyFileChecked(source, copy); };
        if (helper == QLatin1String("CreateTempFile")) {
            point = TFailPoint::CreateTemp;
            call = [&] { CreateTempFile(dir, QStringLiteral("IBMSG")); };
        } else if (helper == QLatin1String("SyncFile")) {
            point = TFailPoint::SyncFile;
            call = [&] { SyncFile(source); };
        }
        faults.Fail(point, error, 0, 1);

        QCOMPARE(ErrorOf(call), Win32Message(error));
        QCOMPARE(faults.Failures(), 1);
        // Nothing new in the folder (a half copy is removed), nothing lost.
        QCOMPARE(Entries(dir), QStringList{QStringLiteral("a.msg")});
        QCOMPARE(ReadWholeFile(source), contents);

        // The fault was a single one: the same call now goes through.
        QCOMPARE(ErrorOf(call), QString());
        QCOMPARE(faults.Count(point), 2);
    }
};

QTEST_GUILESS_MAIN(TestFileUtils)
#include "tst_fileutils.moc"
