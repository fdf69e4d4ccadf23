// The program under hostile conditions: a settings file that cannot be read
// or holds garbage, a log that cannot be written. It starts and runs with
// defaults, and says nothing about the log.

#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <unistd.h>

namespace {

struct Run
{
    bool finished = false;
    int exitCode = -1;
    QByteArray errors;
};

// Runs Program offscreen with the test's folders; it quits by itself soon
// after start-up.
Run RunProgram(const TestEnvironment &environment, const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment variables = QProcessEnvironment::systemEnvironment();
    variables.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    variables.insert(QStringLiteral("LEXIVANE_EXIT_AFTER_START"), QStringLiteral("1500"));
    variables.insert(QStringLiteral("LEXIVANE_USER_DIR"), environment.userDir());
    variables.insert(QStringLiteral("LEXIVANE_SYSTEM_DIR"), environment.systemDir());
    variables.insert(QStringLiteral("HOME"), environment.path(QStringLiteral("home")));
    process.setProcessEnvironment(variables);
    process.setWorkingDirectory(environment.root());
    process.start(program, arguments);
    Run run;
    if (!process.waitForStarted())
        return run;
    run.finished = process.waitForFinished(60000);
    if (!run.finished) {
        process.kill();
        process.waitForFinished();
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.errors = process.readAllStandardError();
    return run;
}

// A copy of the program in the test's folder (in Subfolder): the program
// writes its log beside itself, and the copy keeps this test's entries out
// of the log that other tests of the real program compare.
QString CopyOfProgram(const TestEnvironment &environment, const QString &subfolder = QStringLiteral("program"))
{
    const QString folder = environment.path(subfolder);
    const QString program = folder + QStringLiteral("/lexivane");
    if (!QDir().mkpath(folder) || !QFile::copy(QStringLiteral(LEXIVANE_PROGRAM), program)
        || !QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner))
        return QString();
    return program;
}

// A message file the program refuses, which it logs when run with -DEBUG,
// and the words of the entry.
const char kCorruptFileEntry[] = "Exception EMsgFileError in module lexivane";

QString CorruptFile(const TestEnvironment &environment)
{
    const QString corrupt = environment.path(QStringLiteral("corrupt.msg"));
    return WriteWholeFile(corrupt, QByteArray(64, '\x7f')) ? corrupt : QString();
}

QString SettingsFile(const TestEnvironment &environment)
{
    return environment.userDir() + QStringLiteral("/HKEY_CURRENT_USER.reg");
}

} // namespace

class TestHostile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithBadSettings_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("settings file is a folder") << QStringLiteral("folder");
        QTest::newRow("settings file of random bytes") << QStringLiteral("random");
        QTest::newRow("settings of garbage values") << QStringLiteral("values");
    }
    void startsWithBadSettings()
    {
        QFETCH(QString, kind);
        TestEnvironment environment;
        const QString settings = SettingsFile(environment);
        if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(settings));
        } else if (kind == QLatin1String("random")) {
            QByteArray noise(20000, '\0');
            QRandomGenerator random(42);
            for (char &byte : noise)
                byte = char(random.bounded(256));
            QVERIFY(WriteWholeFile(settings, noise));
        } else {
            QVERIFY(WriteWholeFile(settings,
                                   "[HKEY_CURRENT_USER\\Software\\Tessavel\\Lexivane\\1.0\\Last]\n"
                                   "\"Form1.Left\"=\"-99999999999999\"\n"
                                   "\"Form1.Width\"=\"abc\"\n"
                                   "\"Form1.Height\"=dword:ffffffff\n"
                                   "\"Toolbar\"=\"maybe\"\n"
                                   "\"NormalFont.Font.Size\"=\"-5\"\n"
                                   "\"NormalFont.Font.Name\"=\"\"\n"
                                   "\"TitleFont.Font.Style\"=\"*fsNothing,fsBold\"\n"
                                   "\"OriginFont.Font.Color\"=\"0xZZ\"\n"
                                   "\"ChangedFont.Font.CharSet\"=\"999999\"\n"));
        }
        const QString program = CopyOfProgram(environment);
        QVERIFY(!program.isEmpty());
        const Run run = RunProgram(environment, program, {});
        QVERIFY2(run.finished, "the program did not end by itself");
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        // A store that cannot be opened at all leaves its trace in the log.
        if (kind == QLatin1String("folder")) {
            const QByteArray log = ReadWholeFile(QFileInfo(program).path() + QStringLiteral("/lexivane.LOG"));
            QVERIFY2(log.contains("Failed to create key"), log.constData());
        }
    }

    // The log lies beside the program, else in the user's state folder; here
    // a folder stands in the way of both. Failures are logged with -DEBUG: a
    // corrupt file on the command line.
    void logThatCannotBeWrittenStaysSilent()
    {
        TestEnvironment environment;
        const QString program = CopyOfProgram(environment);
        QVERIFY(!program.isEmpty());
        const QString folder = QFileInfo(program).path();
        const QString stateLog = environment.stateDir() + QStringLiteral("/lexivane/lexivane.LOG");
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/lexivane.LOG")));
        QVERIFY(QDir().mkpath(stateLog));
        const QString corrupt = CorruptFile(environment);

        const Run run = RunProgram(environment, program, {QStringLiteral("-DEBUG"), corrupt});
        QVERIFY2(run.finished, "the program did not end by itself");
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        QVERIFY2(!run.errors.toLower().contains(".log"), run.errors.constData());
        QVERIFY(QFileInfo(folder + QStringLiteral("/lexivane.LOG")).isDir());
        QVERIFY(QFileInfo(stateLog).isDir());
    }

    // Where the folder beside the program cannot be written, the log goes to
    // the user's state folder: $XDG_STATE_HOME/lexivane, else
    // ~/.local/state/lexivane. A folder in the log's way stops root too; a
    // read-only folder stops everyone else.
    void logGoesToTheStateFolder_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<bool>("stateHomeSet");
        QTest::newRow("folder in the way") << "folder" << true;
        QTest::newRow("folder in the way, no XDG_STATE_HOME") << "folder" << false;
        if (geteuid() != 0)
            QTest::newRow("read-only folder") << "read-only" << true;
    }
    void logGoesToTheStateFolder()
    {
        QFETCH(QString, obstacle);
        QFETCH(bool, stateHomeSet);
        TestEnvironment environment;
        const QString program = CopyOfProgram(environment);
        QVERIFY(!program.isEmpty());
        const QString folder = QFileInfo(program).path();
        const QString beside = folder + QStringLiteral("/lexivane.LOG");
        if (obstacle == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(beside));
        else
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        if (!stateHomeSet)
            qunsetenv("XDG_STATE_HOME");
        const QString stateLog = (stateHomeSet ? environment.stateDir()
                                               : environment.path(QStringLiteral("home/.local/state")))
            + QStringLiteral("/lexivane/lexivane.LOG");
        const QString corrupt = CorruptFile(environment);

        const Run run = RunProgram(environment, program, {QStringLiteral("-DEBUG"), corrupt});
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QVERIFY2(run.finished, "the program did not end by itself");
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        const QByteArray log = ReadWholeFile(stateLog);
        QVERIFY2(log.startsWith("*** Log for " + QFile::encodeName(program) + " started "), log.constData());
        QVERIFY2(log.contains(kCorruptFileEntry), log.constData());
        QVERIFY(!QFileInfo(beside).isFile());
    }

    // An installed program (its data folder ../share/lexivane beside its own
    // folder, as the package lays it out) logs to the state folder even where
    // it could write beside itself, as root can in /usr/bin.
    void installedProgramLogsToTheStateFolder()
    {
        TestEnvironment environment;
        const QString program = CopyOfProgram(environment, QStringLiteral("usr/bin"));
        QVERIFY(!program.isEmpty());
        QVERIFY(QDir(environment.root()).mkpath(QStringLiteral("usr/share/lexivane")));
        const QString beside = QFileInfo(program).path() + QStringLiteral("/lexivane.LOG");
        const QString stateLog = environment.stateDir() + QStringLiteral("/lexivane/lexivane.LOG");
        const QString corrupt = CorruptFile(environment);

        const Run run = RunProgram(environment, program, {QStringLiteral("-DEBUG"), corrupt});
        QVERIFY2(run.finished, "the program did not end by itself");
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        const QByteArray log = ReadWholeFile(stateLog);
        QVERIFY2(log.contains(kCorruptFileEntry), log.constData());
        QVERIFY(!QFileInfo::exists(beside));
    }

    // The same program not installed keeps its log beside itself.
    void programInAFolderOfItsOwnLogsBesideItself()
    {
        TestEnvironment environment;
        const QString program = CopyOfProgram(environment, QStringLiteral("usr/bin"));
        QVERIFY(!program.isEmpty());
        const QString beside = QFileInfo(program).path() + QStringLiteral("/lexivane.LOG");
        const QString corrupt = CorruptFile(environment);

        const Run run = RunProgram(environment, program, {QStringLiteral("-DEBUG"), corrupt});
        QVERIFY2(run.finished, "the program did not end by itself");
        QVERIFY2(run.exitCode == 0, run.errors.constData());
        const QByteArray log = ReadWholeFile(beside);
        QVERIFY2(log.contains(kCorruptFileEntry), log.constData());
        QVERIFY(!QFileInfo::exists(environment.stateDir()));
    }
};

QTEST_GUILESS_MAIN(TestHostile)
#include "tst_hostile.moc"
