// The log file: written only when something is logged, a header once per
// run, entries appended and never truncated, failures swallowed, and the
// exact layout of an exception entry.

#include "diagnostics/Exception.h"
#include "diagnostics/LogUtils.h"
#include "support/TestEnvironment.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QtTest>

#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The clock of every log below: a fixed moment, so that entries can be
// compared whole.
const QDateTime kNow(QDate(2023, 12, 24), QTime(13, 5, 9));

TLogFile::TClock FixedClock()
{
    return [] { return kNow; };
}

QByteArray HeaderLine()
{
    return (QStringLiteral("*** Log for ") + QCoreApplication::applicationFilePath() + QStringLiteral(" started ")
            + DateTimeToStr(kNow) + QStringLiteral("\r\n"))
        .toUtf8();
}

// The program's own file name: every exception below is raised in the test
// program, which holds the core library.
QString ProgramModule()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

// One entry as the log writes it, with the address left open.
QRegularExpression EntryPattern(const QString &className, const QString &messageWithStop)
{
    const QString pattern = QRegularExpression::escape(QStringLiteral("[!] Exception occured ") + DateTimeToStr(kNow)
                                                       + QStringLiteral("\rException ") + className
                                                       + QStringLiteral(" in module ") + ProgramModule()
                                                       + QStringLiteral(" at "))
        + QStringLiteral("([0-9A-F]{8,16})")
        + QRegularExpression::escape(QStringLiteral(".\n") + messageWithStop + QStringLiteral("\r\n"));
    return QRegularExpression(QStringLiteral("\\A") + pattern + QStringLiteral("\\z"));
}

bool IsCharacterDevice(const char *path)
{
    struct stat status {};
    return stat(path, &status) == 0 && S_ISCHR(status.st_mode);
}

LEXIVANE_DECLARE_EXCEPTION(ETestError);

[[noreturn]] void RaiseTestError(const QString &message)
{
    throw ETestError(message);
}

} // namespace

class TestLogUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultLogFileIsBesideTheProgram()
    {
        const QString expected = QCoreApplication::applicationDirPath() + QStringLiteral("/tst_logutils.LOG");
        QCOMPARE(DefaultLogFileName(), expected);
        QCOMPARE(LogFileNamesFor(QCoreApplication::applicationFilePath()).value(0), expected);
        QCOMPARE(LogFile().LogFileName(), expected);
        QCOMPARE(&LogFile(), &LogFile());
        QCOMPARE(LogFile().OpenCount(), 0);
    }

    // A run without failures leaves the log as it found it: absent, or with
    // the bytes of earlier runs.
    void runWithoutFailureTouchesNothing_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("no log yet") << false;
        QTest::newRow("log of an earlier run") << true;
    }
    void runWithoutFailureTouchesNothing()
    {
        QFETCH(bool, exists);
        TestEnvironment environment;
        const QString name = environment.path(QStringLiteral("lexivane.LOG"));
        const QByteArray earlier("*** an earlier run\r\n");
        if (exists)
            QVERIFY(WriteWholeFile(name, earlier));
        const QDateTime modified = QFileInfo(name).lastModified();
        {
            TLogFile log(name, FixedClock());
            QCOMPARE(log.LogFileName(), name);
            QCOMPARE(log.OpenCount(), 0);
        }
        QCOMPARE(QFileInfo::exists(name), exists);
        if (exists) {
            QCOMPARE(ReadWholeFile(name), earlier);
            QCOMPARE(QFileInfo(name).lastModified(), modified);
        }
    }

    // The first exception of a run brings the header; later ones of the same
    // run only their entries; a new run appends its own header below.
    void headerOncePerRunThenEntries()
    {
        TestEnvironment environment;
        const QString name = environment.path(QStringLiteral("lexivane.LOG"));
        QByteArray expected;
        for (int run = 0; run < 2; ++run) {
            TLogFile log(name, FixedClock());
            log.LogException(EFOpenError(QStringLiteral("Cannot open file x.msg")));
            QCOMPARE(log.OpenCount(), 0);
            log.LogException(EInOutError(QStringLiteral("Disk full")));
            QCOMPARE(log.OpenCount(), 0);

            const QByteArray bytes = ReadWholeFile(name);
            QVERIFY(bytes.startsWith(expected));
            const QList<QByteArray> lines = bytes.mid(expected.size()).split('\n');
            // header; entry 1 (CR inside, LF before its message); entry 2; the
            // empty rest after the last line end
            QCOMPARE(lines.size(), 6);
            QVERIFY(lines[5].isEmpty());
            QCOMPARE(lines[0] + '\n', HeaderLine());
            QVERIFY(lines[1].startsWith("[!] Exception occured "));
            QVERIFY(lines[1].contains("\rException EFOpenError in module "));
            QCOMPARE(lines[2], QByteArray("Cannot open file x.msg.\r"));
            QVERIFY(lines[3].contains("\rException EInOutError in module "));
            QCOMPARE(lines[4], QByteArray("Disk full.\r"));
            expected = bytes;
        }
    }

    void existingLogIsAppendedTo()
    {
        TestEnvironment environment;
        const QString name = environment.path(QStringLiteral("lexivane.LOG"));
        const QByteArray earlier = QByteArray(70000, 'x') + "\r\n";
        QVERIFY(WriteWholeFile(name, earlier));
        TLogFile log(name, FixedClock());
        log.LogFmt(QStringLiteral("first"));
        log.LogFmt(QStringLiteral("second"));
        QCOMPARE(ReadWholeFile(name), earlier + HeaderLine() + "first\r\nsecond\r\n");
    }

    // The layout of one entry: class, module, address, message.
    void entryLayout()
    {
        TestEnvironment environment;
        const QString name = environment.path(QStringLiteral("lexivane.LOG"));
        TLogFile log(name, FixedClock());
        try {
            RaiseTestError(QStringLiteral("Stream read error"));
        } catch (const std::exception &error) {
            log.LogException(error);
        }
        const QByteArray bytes = ReadWholeFile(name);
        QVERIFY(bytes.startsWith(HeaderLine()));
        const QString entry = QString::fromUtf8(bytes.mid(HeaderLine().size()));
        const QRegularExpressionMatch match =
            EntryPattern(QStringLiteral("(anonymous namespace)::ETestError"), QStringLiteral("Stream read error."))
                .match(entry);
        QVERIFY2(match.hasMatch(), qPrintable(entry));
        // An offset into the program's file, where the raising code lies.
        bool ok = false;
        const qulonglong offset = match.captured(1).toULongLong(&ok, 16);
        QVERIFY(ok);
        QVERIFY(offset > 0);
        QVERIFY(offset < qulonglong(QFileInfo(QCoreApplication::applicationFilePath()).size()));
    }

    // The address is where the exception was raised: two throw sites of one
    // class are told apart, and the same exception always gives the same.
    void addressNamesTheThrowSite()
    {
        const auto addressOf = [](const std::exception &error) {
            return ExceptionDescription(error).section(QStringLiteral(" at "), 1).section(QLatin1Char('.'), 0, 0);
        };
        QString first;
        QString second;
        try {
            RaiseTestError(QStringLiteral("x"));
        } catch (const std::exception &error) {
            first = addressOf(error);
            QCOMPARE(addressOf(error), first);
        }
        try {
            throw ETestError(QStringLiteral("x"));
        } catch (const std::exception &error) {
            second = addressOf(error);
        }
        QVERIFY2(first != QStringLiteral("00000000"), qPrintable(first));
        QVERIFY2(first != second, qPrintable(first + QLatin1Char(' ') + second));
    }

    // An exception that did not record where it was raised: address 0, the
    // program's module, the class name as the language spells it.
    void entryOfForeignException()
    {
        TestEnvironment environment;
        const QString name = environment.path(QStringLiteral("lexivane.LOG"));
        TLogFile log(name, FixedClock());
        log.LogException(std::runtime_error("vector too long"));
        const QString entry = QString::fromUtf8(ReadWholeFile(name).mid(HeaderLine().size()));
        const QRegularExpressionMatch match =
            EntryPattern(QStringLiteral("std::runtime_error"), QStringLiteral("vector too long.")).match(entry);
        QVERIFY2(match.hasMatch(), qPrintable(entry));
        QCOMPARE(match.captured(1), QStringLiteral("00000000"));
    }

    void fullStop_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("written");
        QTest::newRow("added") << "File not found" << "File not found.";
        QTest::newRow("already there") << "Disk full." << "Disk full.";
        QTest::newRow("empty: nothing after the LF") << "" << "";
        QTest::newRow("ellipsis kept") << "Wait..." << "Wait...";
        QTest::newRow("after a line feed") << "two\nlines\n" << "two\nlines\n.";
        QTest::newRow("after a question mark") << "Why?" << "Why?.";
        QTest::newRow("percent signs kept") << "100% %s %d" << "100% %s %d.";
    }
    void fullStop()
    {
        QFETCH(QString, message);
        QFETCH(QString, written);
        TestEnvironment environment;
        const QString name = environment.path(QStringLiteral("lexivane.LOG"));
        TLogFile log(name, FixedClock());
        log.LogException(EInOutError(message));
        const QString entry = QString::fromUtf8(ReadWholeFile(name).mid(HeaderLine().size()));
        const QString tail = QStringLiteral(".\n") + written + QStringLiteral("\r\n");
        QVERIFY2(entry.endsWith(tail), qPrintable(entry));
        QCOMPARE(entry.count(QLatin1Char('\r')), 2);
        QCOMPARE(ExceptionDescription(EInOutError(message)).section(QLatin1Char('\n'), 1), written);
    }

    // The description is cut to 4095 characters: a long message loses its
    // end, full stop included.
    void longDescriptionIsCut_data()
    {
        QTest::addColumn<int>("messageLength");
        QTest::addColumn<bool>("cut");
        QTest::newRow("short") << 100 << false;
        QTest::newRow("long") << 5000 << true;
    }
    void longDescriptionIsCut()
    {
        QFETCH(int, messageLength);
        QFETCH(bool, cut);
        const QString message(messageLength, QLatin1Char('m'));
        const EInOutError error(message);
        const QString description = ExceptionDescription(error);
        const QString head = description.section(QLatin1Char('\n'), 0, 0) + QLatin1Char('\n');
        QVERIFY2(head.startsWith(QStringLiteral("Exception EInOutError in module ")), qPrintable(head));
        if (cut) {
            QCOMPARE(description.size(), 4095);
            QCOMPARE(description.mid(head.size()), message.left(4095 - head.size()));
        } else {
            QCOMPARE(description.mid(head.size()), message + QLatin1Char('.'));
        }

        TestEnvironment environment;
        const QString name = environment.path(QStringLiteral("lexivane.LOG"));
        TLogFile log(name, FixedClock());
        log.LogException(error);
        const QString entry = QString::fromUtf8(ReadWholeFile(name).mid(HeaderLine().size()));
        QCOMPARE(entry.section(QLatin1Char('\r'), 1, 1), description);
    }

    // Locations the log cannot be written to: nothing escapes, the count is
    // back at 0, nothing is left behind.
    void unwritableLocationIsSilent_data()
    {
        QTest::addColumn<QString>("relativeName"); // in the temporary folder
        QTest::addColumn<QString>("absoluteName"); // used when set
        QTest::addColumn<bool>("opens");
        QTest::newRow("file in the way of its folder") << "file/lexivane.LOG" << QString() << false;
        QTest::newRow("folder in the way") << "folder" << QString() << false;
        QTest::newRow("read-only file system") << QString() << "/proc/self/lexivane.LOG" << false;
        // Only the real device: a log would create a plain file of that name.
        if (IsCharacterDevice("/dev/full"))
            QTest::newRow("disk full after opening") << QString() << "/dev/full" << true;
        if (geteuid() != 0)
            QTest::newRow("read-only folder") << "readonly/lexivane.LOG" << QString() << false;
    }
    void unwritableLocationIsSilent()
    {
        QFETCH(QString, relativeName);
        QFETCH(QString, absoluteName);
        QFETCH(bool, opens);
        TestEnvironment environment;
        QVERIFY(QDir(environment.root()).mkpath(QStringLiteral("folder")));
        QVERIFY(WriteWholeFile(environment.path(QStringLiteral("file")), "not a folder"));
        QVERIFY(QDir(environment.root()).mkpath(QStringLiteral("readonly")));
        QVERIFY(QFile::setPermissions(environment.path(QStringLiteral("readonly")),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QString name = absoluteName.isEmpty() ? environment.path(relativeName) : absoluteName;
        if (opens) {
            // Each of the four opens below seeks to the end of the device.
            for (int open = 0; open < 4; ++open)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Cannot call seek")));
        }
        {
            TLogFile log(name, FixedClock());
            log.LogException(EInOutError(QStringLiteral("first")));
            log.LogFmt(QStringLiteral("%s"), {QStringLiteral("second")});
            log.WriteHeader();
            QCOMPARE(log.OpenCount(), 0);
            if (opens) {
                log.OpenLog();
                QCOMPARE(log.OpenCount(), 1);
                log.CloseLog();
            } else {
                QVERIFY_THROWS_EXCEPTION(EInOutError, log.OpenLog());
            }
            QCOMPARE(log.OpenCount(), 0);
        }
        if (!opens)
            QVERIFY(!QFileInfo(name).isFile());
        QFile::setPermissions(environment.path(QStringLiteral("readonly")), QFileDevice::ReadOwner
                                  | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    // After a failure the next entry tries again: once the way is free, the
    // header (not yet written in this run) comes first.
    void failedOpenIsRetried()
    {
        TestEnvironment environment;
        const QString blocker = environment.path(QStringLiteral("logs"));
        const QString name = environment.path(QStringLiteral("logs/lexivane.LOG"));
        QVERIFY(WriteWholeFile(blocker, "not a folder"));
        TLogFile log(name, FixedClock());
        log.LogFmt(QStringLiteral("lost"));
        QVERIFY(!QFileInfo::exists(name));

        QVERIFY(QFile::remove(blocker));
        log.LogFmt(QStringLiteral("kept"));
        QCOMPARE(ReadWholeFile(name), HeaderLine() + "kept\r\n");
    }

    // Missing folders on the log's path are made, for their owner only (the
    // user's state folder, which may not exist yet).
    void missingFoldersAreMadeForTheOwnerOnly()
    {
        TestEnvironment environment;
        const QString folder = environment.stateDir() + QStringLiteral("/lexivane");
        const QString name = folder + QStringLiteral("/lexivane.LOG");
        QVERIFY(!QFileInfo::exists(environment.path(QStringLiteral("home/.local"))));
        TLogFile log(name, FixedClock());
        log.LogFmt(QStringLiteral("entry"));
        QCOMPARE(ReadWholeFile(name), HeaderLine() + "entry\r\n");
        const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
        for (const QString &made : {environment.path(QStringLiteral("home/.local")), environment.stateDir(), folder}) {
            const QFileInfo info(made);
            QVERIFY2(info.isDir(), qPrintable(made));
            QCOMPARE(info.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser),
                     ownerOnly);
        }
    }

    // A log with several places: when the first cannot be opened (the folder
    // beside the program cannot be written), the entries go to the next, with
    // a header of their own, and stay there for the run.
    void logMovesOnToTheNextPlace_data()
    {
        QTest::addColumn<QString>("firstName"); // relative to the temporary folder, or absolute
        QTest::newRow("folder in the way") << "program/lexivane.LOG";
        // Creating a file fails there even for root.
        QTest::newRow("folder where nothing can be made") << "/proc/self/lexivane.LOG";
        if (geteuid() != 0)
            QTest::newRow("read-only folder") << "readonly/lexivane.LOG";
    }
    void logMovesOnToTheNextPlace()
    {
        QFETCH(QString, firstName);
        TestEnvironment environment;
        const QString first = QDir::isAbsolutePath(firstName) ? firstName : environment.path(firstName);
        const QString blocker = environment.path(QStringLiteral("program/lexivane.LOG"));
        QVERIFY(QDir().mkpath(blocker));
        QVERIFY(QDir(environment.root()).mkpath(QStringLiteral("readonly")));
        QVERIFY(QFile::setPermissions(environment.path(QStringLiteral("readonly")),
                                      QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        const QString second = environment.stateDir() + QStringLiteral("/lexivane/lexivane.LOG");

        TLogFile log(QStringList{first, second}, FixedClock());
        QCOMPARE(log.LogFileName(), first);
        log.LogFmt(QStringLiteral("first entry"));
        QCOMPARE(log.LogFileName(), second);
        QCOMPARE(log.OpenCount(), 0);
        QVERIFY(QDir().rmdir(blocker));
        QFile::setPermissions(environment.path(QStringLiteral("readonly")), QFileDevice::ReadOwner
                                  | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        log.LogFmt(QStringLiteral("second entry"));
        QCOMPARE(log.LogFileName(), second);
        QCOMPARE(ReadWholeFile(second), HeaderLine() + "first entry\r\nsecond entry\r\n");
        QVERIFY(!QFileInfo(first).isFile());
    }

    // Where no place can be opened, nothing escapes and the entry is lost.
    void noPlaceAtAllIsSilent()
    {
        TestEnvironment environment;
        const QString first = environment.path(QStringLiteral("program/lexivane.LOG"));
        const QString second = environment.stateDir() + QStringLiteral("/lexivane/lexivane.LOG");
        QVERIFY(QDir().mkpath(first));
        QVERIFY(QDir().mkpath(second));
        TLogFile log(QStringList{first, second}, FixedClock());
        log.LogFmt(QStringLiteral("lost"));
        QCOMPARE(log.OpenCount(), 0);
        QVERIFY_THROWS_EXCEPTION(EInOutError, log.OpenLog());
        QCOMPARE(log.OpenCount(), 0);
        QVERIFY(QFileInfo(first).isDir());
        QVERIFY(QFileInfo(second).isDir());
    }

    // The program's places: beside it, then the user's state folder; an
    // installed program (its data folder ../share/lexivane exists) only the
    // state folder.
    void logFileNamesFor_data()
    {
        QTest::addColumn<QString>("program");     // relative to the temporary folder
        QTest::addColumn<QString>("stateHome");   // XDG_STATE_HOME: "-" unset, "@" the test's state folder
        QTest::addColumn<QStringList>("expected"); // "@" the temporary folder
        QTest::newRow("build folder") << "build/bin/lexivane" << "@"
                                      << QStringList{"@/build/bin/lexivane.LOG",
                                                     "@/home/.local/state/lexivane/lexivane.LOG"};
        QTest::newRow("extension replaced") << "build/bin/lexivane.bin" << "@"
                                            << QStringList{"@/build/bin/lexivane.LOG",
                                                           "@/home/.local/state/lexivane/lexivane.LOG"};
        QTest::newRow("no XDG_STATE_HOME") << "build/bin/lexivane" << "-"
                                           << QStringList{"@/build/bin/lexivane.LOG",
                                                          "@/home/.local/state/lexivane/lexivane.LOG"};
        QTest::newRow("other XDG_STATE_HOME") << "build/bin/lexivane" << "@/elsewhere"
                                              << QStringList{"@/build/bin/lexivane.LOG",
                                                             "@/elsewhere/lexivane/lexivane.LOG"};
        QTest::newRow("relative XDG_STATE_HOME ignored") << "build/bin/lexivane" << "relative/state"
                                                         << QStringList{"@/build/bin/lexivane.LOG",
                                                                        "@/home/.local/state/lexivane/lexivane.LOG"};
        QTest::newRow("installed") << "usr/bin/lexivane" << "@"
                                   << QStringList{"@/home/.local/state/lexivane/lexivane.LOG"};
        QTest::newRow("installed, no XDG_STATE_HOME") << "usr/bin/lexivane" << "-"
                                                      << QStringList{"@/home/.local/state/lexivane/lexivane.LOG"};
    }
    void logFileNamesFor()
    {
        QFETCH(QString, program);
        QFETCH(QString, stateHome);
        QFETCH(QStringList, expected);
        TestEnvironment environment;
        const QString root = environment.root();
        QVERIFY(QDir(root).mkpath(QStringLiteral("build/bin")));
        QVERIFY(QDir(root).mkpath(QStringLiteral("usr/bin")));
        QVERIFY(QDir(root).mkpath(QStringLiteral("usr/share/lexivane")));
        if (stateHome == QLatin1String("-"))
            qunsetenv("XDG_STATE_HOME");
        else if (stateHome != QLatin1String("@"))
            qputenv("XDG_STATE_HOME", QFile::encodeName(QString(stateHome).replace(QLatin1Char('@'), root)));
        QStringList wanted;
        for (const QString &name : expected)
            wanted << QString(name).replace(QLatin1Char('@'), root);
        QCOMPARE(LogFileNamesFor(environment.path(program)), wanted);
    }

    void logFmt_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QByteArray>("written"); // after the header
        QTest::newRow("plain") << "no directives" << QByteArray("no directives\r\n");
        QTest::newRow("string") << "[%s]" << QByteArray("[text]\r\n");
        QTest::newRow("string and hex") << "%s %5.5x" << QByteArray("text 0001F\r\n");
        QTest::newRow("non-ASCII in UTF-8") << "Übersetzung %s" << QByteArray("\xc3\x9c" "bersetzung text\r\n");
        QTest::newRow("wrong type: lost") << "%d" << QByteArray();
        QTest::newRow("missing argument: lost") << "%s %x %s" << QByteArray();
    }
    void logFmt()
    {
        QFETCH(QString, format);
        QFETCH(QByteArray, written);
        TestEnvironment environment;
        const QString name = environment.path(QStringLiteral("lexivane.LOG"));
        TLogFile log(name, FixedClock());
        log.LogFmt(format, {QStringLiteral("text"), 0x1F});
        QCOMPARE(log.OpenCount(), 0);
        QCOMPARE(ReadWholeFile(name), HeaderLine() + written);
    }

    // OpenLog nests: the file stays open until the last CloseLog, and a
    // CloseLog too many does nothing.
    void nestedOpenLog()
    {
        TestEnvironment environment;
        const QString name = environment.path(QStringLiteral("lexivane.LOG"));
        TLogFile log(name, FixedClock());
        log.OpenLog();
        QCOMPARE(log.OpenCount(), 1);
        QVERIFY(QFileInfo::exists(name));
        log.OpenLog();
        QCOMPARE(log.OpenCount(), 2);
        log.LogFmt(QStringLiteral("inside"));
        QCOMPARE(log.OpenCount(), 2);
        log.CloseLog();
        QCOMPARE(log.OpenCount(), 1);
        log.LogFmt(QStringLiteral("still inside"));
        log.CloseLog();
        QCOMPARE(log.OpenCount(), 0);
        log.CloseLog();
        QCOMPARE(log.OpenCount(), 0);
        QCOMPARE(ReadWholeFile(name), HeaderLine() + "inside\r\nstill inside\r\n");

        // Reopened later in the same run: no second header.
        log.OpenLog();
        log.LogFmt(QStringLiteral("later"));
        log.CloseLog();
        QCOMPARE(ReadWholeFile(name), HeaderLine() + "inside\r\nstill inside\r\nlater\r\n");
    }

    // A log destroyed while open writes out what it holds.
    void destroyCloses()
    {
        TestEnvironment environment;
        const QString name = environment.path(QStringLiteral("lexivane.LOG"));
        {
            TLogFile log(name, FixedClock());
            log.OpenLog();
            log.LogFmt(QStringLiteral("pending"));
        }
        QCOMPARE(ReadWholeFile(name), HeaderLine() + "pending\r\n");
    }

    void dateTimeToStr_data()
    {
        QTest::addColumn<QString>("localeName");
        QTest::addColumn<QDateTime>("dateTime");
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("timeStart"); // empty: no time written
        const QDate christmas(2023, 12, 24);
        QTest::newRow("German afternoon") << "de_DE" << QDateTime(christmas, QTime(13, 5, 9)) << "24.12.23"
                                          << "13:05:09";
        QTest::newRow("US afternoon") << "en_US" << QDateTime(christmas, QTime(13, 5, 9)) << "12/24/23"
                                      << "1:05:09";
        QTest::newRow("German midnight") << "de_DE" << QDateTime(christmas, QTime(0, 0)) << "24.12.23" << "";
        QTest::newRow("US midnight") << "en_US" << QDateTime(christmas, QTime(0, 0)) << "12/24/23" << "";
        QTest::newRow("one second past midnight") << "de_DE" << QDateTime(christmas, QTime(0, 0, 1)) << "24.12.23"
                                                  << "00:00:01";
        QTest::newRow("one millisecond past midnight")
            << "de_DE" << QDateTime(christmas, QTime(0, 0, 0, 1)) << "24.12.23" << "00:00:00";
    }
    void dateTimeToStr()
    {
        QFETCH(QString, localeName);
        QFETCH(QDateTime, dateTime);
        QFETCH(QString, date);
        QFETCH(QString, timeStart);
        const QString text = DateTimeToStr(dateTime, QLocale(localeName));
        if (timeStart.isEmpty()) {
            QCOMPARE(text, date);
            return;
        }
        const QString expectedStart = date + QLatin1Char(' ') + timeStart;
        QVERIFY2(text.startsWith(expectedStart), qPrintable(text));
        // The long format: seconds at least; nothing but the time follows.
        QVERIFY2(!text.mid(expectedStart.size()).contains(QLatin1Char(':')), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestLogUtils)
#include "tst_logutils.moc"
