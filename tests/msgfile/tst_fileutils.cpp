// File helpers: path rules, backup names, and the checked file operations the
// save relies on.

#include "msgfile/FileUtils.h"
#include "platform/OsError.h"
#include "support/TestEnvironment.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

QString Win32Message(int error)
{
    return QStringLiteral("Win32 Error.  Code: %1.\n%2").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
}

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

    void backupFileRenamesAndReplaces()
    {
        TestEnvironment environment;
        const QString file = environment.path(QStringLiteral("x.msg"));
        const QString backup = environment.path(QStringLiteral("x.~ms"));

        BackupFile(file); // nothing there: nothing happens
        QVERIFY(!QFile::exists(backup));

        QVERIFY(WriteWholeFile(file, "first"));
        BackupFile(file);
        QVERIFY(!QFile::exists(file));
        QCOMPARE(ReadWholeFile(backup), QByteArray("first"));

        QVERIFY(WriteWholeFile(file, "second"));
        BackupFile(file);
        QVERIFY(!QFile::exists(file));
        QCOMPARE(ReadWholeFile(backup), QByteArray("second"));
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

    void readStreamString()
    {
        QBuffer buffer;
        buffer.setData("0123456789");
        buffer.open(QIODevice::ReadOnly);
        QCOMPARE(ReadStreamString(buffer, 3), QByteArray("012"));
        QCOMPARE(ReadStreamString(buffer, 0), QByteArray());
        QCOMPARE(ReadStreamString(buffer, -1), QByteArray("3456789"));
        buffer.seek(8);
        // Fewer bytes than asked for, without an error and without a huge buffer.
        QCOMPARE(ReadStreamString(buffer, qint64(1) << 40), QByteArray("89"));
        QCOMPARE(ReadStreamString(buffer, 5), QByteArray());
    }

    void writeStreamString()
    {
        QBuffer buffer;
        buffer.open(QIODevice::ReadWrite);
        WriteStreamString(buffer, "abc");
        WriteStreamString(buffer, QByteArray());
        WriteStreamString(buffer, QByteArray("\0d", 2));
        QCOMPARE(buffer.data(), QByteArray("abc\0d", 5));

        QBuffer readOnly;
        readOnly.open(QIODevice::ReadOnly);
        try {
            WriteStreamString(readOnly, "x");
            QFAIL("wrote into a read-only stream");
        } catch (const EWriteError &e) {
            QCOMPARE(e.Message(), QStringLiteral("Stream write error"));
        }
    }
};

QTEST_GUILESS_MAIN(TestFileUtils)
#include "tst_fileutils.moc"
