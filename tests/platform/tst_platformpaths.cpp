// Where the program keeps its files: a path's extension replaced, the data
// folder of an installed program (the package's layout: /usr/bin beside
// /usr/share), and the user's state folder.

#include "platform/PlatformPaths.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QtTest>

class TestPlatformPaths : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changeFileExt_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no extension") << "/usr/bin/lexivane" << "/usr/bin/lexivane.HLP";
        QTest::newRow("extension") << "/opt/lexivane.bin" << "/opt/lexivane.HLP";
        QTest::newRow("last dot only") << "/opt/a.b.c" << "/opt/a.b.HLP";
        QTest::newRow("dot in a folder only") << "/opt/v1.01/lexivane" << "/opt/v1.01/lexivane.HLP";
        QTest::newRow("relative") << "lexivane" << "lexivane.HLP";
    }
    void changeFileExt()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        QCOMPARE(ChangeFileExt(path, QStringLiteral(".HLP")), expected);
    }

    // The install rules put the programs in bin and the data in share.
    void installedDataDir_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("expected");
        QTest::newRow("package") << "/usr/bin/lexivane" << "/usr/share/lexivane";
        QTest::newRow("local") << "/usr/local/bin/lexivane-msg" << "/usr/local/share/lexivane";
        QTest::newRow("unpacked package") << "/tmp/x/usr/bin/lexivane" << "/tmp/x/usr/share/lexivane";
    }
    void installedDataDir()
    {
        QFETCH(QString, program);
        QFETCH(QString, expected);
        QCOMPARE(InstalledDataDir(program), expected);
    }

    void isInstalledProgram()
    {
        TestEnvironment environment;
        QVERIFY(QDir(environment.root()).mkpath(QStringLiteral("build/bin")));
        QVERIFY(QDir(environment.root()).mkpath(QStringLiteral("usr/bin")));
        QVERIFY(!IsInstalledProgram(environment.path(QStringLiteral("usr/bin/lexivane"))));
        QVERIFY(QDir(environment.root()).mkpath(QStringLiteral("usr/share/lexivane")));
        QVERIFY(IsInstalledProgram(environment.path(QStringLiteral("usr/bin/lexivane"))));
        QVERIFY(!IsInstalledProgram(environment.path(QStringLiteral("build/bin/lexivane"))));
        // A file of that name is no data folder.
        QVERIFY(QDir(environment.root()).mkpath(QStringLiteral("build/share")));
        QVERIFY(WriteWholeFile(environment.path(QStringLiteral("build/share/lexivane")), "not a folder"));
        QVERIFY(!IsInstalledProgram(environment.path(QStringLiteral("build/bin/lexivane"))));
    }

    void userStateDir_data()
    {
        QTest::addColumn<QByteArray>("stateHome"); // "-": unset
        QTest::addColumn<QString>("expected");     // relative to HOME when not absolute
        QTest::newRow("XDG_STATE_HOME") << QByteArray("/var/state/me") << "/var/state/me/lexivane";
        QTest::newRow("trailing slash") << QByteArray("/var/state/me/") << "/var/state/me/lexivane";
        QTest::newRow("unset") << QByteArray("-") << ".local/state/lexivane";
        QTest::newRow("empty") << QByteArray("") << ".local/state/lexivane";
        QTest::newRow("relative, ignored") << QByteArray("state") << ".local/state/lexivane";
    }
    void userStateDir()
    {
        QFETCH(QByteArray, stateHome);
        QFETCH(QString, expected);
        TestEnvironment environment;
        if (stateHome == "-")
            qunsetenv("XDG_STATE_HOME");
        else
            qputenv("XDG_STATE_HOME", stateHome);
        const QString home = environment.path(QStringLiteral("home"));
        QCOMPARE(UserStateDir(), QDir::isAbsolutePath(expected) ? expected : home + QLatin1Char('/') + expected);
    }

    // The test environment's own state folder is the one the program uses.
    void testEnvironmentPointsTheStateFolderAway()
    {
        TestEnvironment environment;
        QCOMPARE(UserStateDir(), environment.stateDir() + QStringLiteral("/lexivane"));
        QVERIFY(UserStateDir().startsWith(environment.root() + QLatin1Char('/')));
    }
};

QTEST_GUILESS_MAIN(TestPlatformPaths)
#include "tst_platformpaths.moc"
