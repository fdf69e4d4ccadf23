// The command line: the debug switch and the start-up file.

#include "diagnostics/CommandLine.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void readCommandLine_data();
    void readCommandLine();
    void debugModeStaysOnOnceSet();
    void fileNameKeptWithoutNewName();
};

void TestCommandLine::init()
{
    DebugMode() = false;
    StartupFileName().clear();
}

void TestCommandLine::readCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("debugMode");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("none") << QStringList{} << false << QString();
    QTest::newRow("file only") << QStringList{"x.msg"} << false << "x.msg";
    QTest::newRow("switch lower case, then file") << QStringList{"-debug", "x.msg"} << true << "x.msg";
    QTest::newRow("file, then switch upper case") << QStringList{"x.msg", "-DEBUG"} << true << "x.msg";
    QTest::newRow("switch mixed case") << QStringList{"-Debug"} << true << QString();
    QTest::newRow("two files: the second") << QStringList{"first.msg", "second.msg"} << false << "second.msg";
    QTest::newRow("other switch ignored") << QStringList{"-x", "y.msg"} << false << "y.msg";
    QTest::newRow("switch with a suffix ignored") << QStringList{"-DEBUGX"} << false << QString();
    QTest::newRow("switch with a prefix is a file name") << QStringList{"/DEBUG"} << false << "/DEBUG";
    QTest::newRow("switch without its dash is a file name") << QStringList{"DEBUG"} << false << "DEBUG";
    QTest::newRow("lone dash ignored") << QStringList{"-"} << false << QString();
    QTest::newRow("path with blanks whole") << QStringList{"/tmp/my messages/a b.msg"} << false
                                            << "/tmp/my messages/a b.msg";
    QTest::newRow("switch between two files") << QStringList{"a.msg", "-DEBUG", "b.msg"} << true << "b.msg";
}

void TestCommandLine::readCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, debugMode);
    QFETCH(QString, fileName);

    ReadCommandLine(arguments);

    QCOMPARE(DebugMode(), debugMode);
    QCOMPARE(StartupFileName(), fileName);
}

void TestCommandLine::debugModeStaysOnOnceSet()
{
    ReadCommandLine({"-DEBUG"});
    QVERIFY(DebugMode());
    // A later command line without the switch does not turn it off.
    ReadCommandLine({"x.msg"});
    QVERIFY(DebugMode());
    QCOMPARE(StartupFileName(), QStringLiteral("x.msg"));
}

void TestCommandLine::fileNameKeptWithoutNewName()
{
    StartupFileName() = QStringLiteral("earlier.msg");
    ReadCommandLine({"-x", "-DEBUG"});
    QCOMPARE(StartupFileName(), QStringLiteral("earlier.msg"));
    QVERIFY(DebugMode());
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
