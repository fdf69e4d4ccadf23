// Finding the installed server's message file through the registry and
// WIN.INI stand-ins, all kept in a temporary folder.

#include "msgfile/MsgFileLocation.h"
#include "platform/ProfileFile.h"
#include "platform/Registry.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QtTest>

namespace {

const char NewKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\InterBase Corp\\InterBase\\CurrentVersion";
const char OldKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\Interbase\\CurrentVersion";

QString Quoted(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1String("\\"), QLatin1String("\\\\")).replace(QLatin1String("\""), QLatin1String("\\\""));
    return QLatin1Char('"') + escaped + QLatin1Char('"');
}

// One key with its RootDirectory value, as a .reg section.
QString KeyWithRoot(const char *key, const QString &valueText)
{
    return QStringLiteral("[%1]\n\"RootDirectory\"=%2\n\n").arg(QLatin1String(key), valueText);
}

void WriteMachineHive(const TestEnvironment &environment, const QString &sections)
{
    QVERIFY(WriteWholeFile(environment.systemDir() + QStringLiteral("/HKEY_LOCAL_MACHINE.reg"),
                           ("Windows Registry Editor Version 5.00\n\n" + sections).toUtf8()));
}

QString MakeServerDir(const TestEnvironment &environment, const QString &name, const QString &msgFile)
{
    const QString dir = environment.path(name);
    QDir().mkpath(dir);
    if (!msgFile.isEmpty())
        WriteWholeFile(dir + QLatin1Char('/') + msgFile, "message file");
    return dir;
}

} // namespace

class TestMsgFileLocation : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void nothingInstalled()
    {
        TestEnvironment environment;
        QCOMPARE(FindMsgFile32(), QString());
        QCOMPARE(FindMsgFile16(), QString());
    }

    void newKeyFindsInterbaseMsg()
    {
        TestEnvironment environment;
        const QString dir = MakeServerDir(environment, QStringLiteral("ib new"), QStringLiteral("interbase.msg"));
        WriteMachineHive(environment, KeyWithRoot(NewKey, Quoted(dir)));
        QCOMPARE(FindMsgFile32(), dir + QStringLiteral("/interbase.msg"));
    }

    // The value is used as read: a trailing separator gives no second one.
    void rootDirectoryWithTrailingSeparator()
    {
        TestEnvironment environment;
        const QString dir = MakeServerDir(environment, QStringLiteral("ib"), QStringLiteral("interbase.msg"));
        WriteMachineHive(environment, KeyWithRoot(NewKey, Quoted(dir + QLatin1Char('/'))));
        QCOMPARE(FindMsgFile32(), dir + QStringLiteral("/interbase.msg"));
    }

    void oldKeyTriedWhenNewKeyHasNoFile_data()
    {
        QTest::addColumn<QString>("newKeyValue");
        QTest::newRow("new key names a folder without the file") << QStringLiteral("folder");
        QTest::newRow("new key has an empty value") << QStringLiteral("\"\"");
        QTest::newRow("new key is missing") << QString();
    }
    void oldKeyTriedWhenNewKeyHasNoFile()
    {
        QFETCH(QString, newKeyValue);
        TestEnvironment environment;
        const QString emptyDir = MakeServerDir(environment, QStringLiteral("empty"), QString());
        // The old server's folder holds both names; only interbas.msg counts there.
        const QString oldDir = MakeServerDir(environment, QStringLiteral("old"), QStringLiteral("interbas.msg"));
        WriteWholeFile(oldDir + QStringLiteral("/interbase.msg"), "not this one");
        QString sections = KeyWithRoot(OldKey, Quoted(oldDir));
        if (newKeyValue == QLatin1String("folder"))
            sections += KeyWithRoot(NewKey, Quoted(emptyDir));
        else if (!newKeyValue.isEmpty())
            sections += KeyWithRoot(NewKey, newKeyValue);
        WriteMachineHive(environment, sections);
        QCOMPARE(FindMsgFile32(), oldDir + QStringLiteral("/interbas.msg"));
    }

    void neitherKeyLeadsToAFile()
    {
        TestEnvironment environment;
        const QString emptyDir = MakeServerDir(environment, QStringLiteral("empty"), QString());
        WriteMachineHive(environment, KeyWithRoot(NewKey, Quoted(emptyDir)) + KeyWithRoot(OldKey, Quoted(emptyDir)));
        QCOMPARE(FindMsgFile32(), QString());
    }

    void valueOfAnotherTypeRaisesRegistryError()
    {
        TestEnvironment environment;
        WriteMachineHive(environment, KeyWithRoot(NewKey, QStringLiteral("dword:00000001")));
        try {
            FindMsgFile32();
            QFAIL("a number was taken for a directory");
        } catch (const ERegistryException &e) {
            QCOMPARE(e.Message(), QStringLiteral("Invalid data type for 'RootDirectory'"));
        }
    }

    void winIniFindsTheSixteenBitServer()
    {
        TestEnvironment environment;
        const QString dir = MakeServerDir(environment, QStringLiteral("ib16"), QStringLiteral("interbas.msg"));
        QVERIFY(WriteWholeFile(WinIniFileName(), QStringLiteral("[windows]\nload=\n\n[Interbase]\nRootDirectory=%1\n").arg(dir).toUtf8()));
        QCOMPARE(FindMsgFile16(), dir + QStringLiteral("/interbas.msg"));
        QCOMPARE(FindMsgFile32(), QString());
    }

    void winIniEntryWithoutFile_data()
    {
        QTest::addColumn<QString>("contents");
        QTest::newRow("empty entry") << QStringLiteral("[Interbase]\nRootDirectory=\n");
        QTest::newRow("no entry") << QStringLiteral("[Interbase]\nOther=x\n");
        QTest::newRow("no section") << QStringLiteral("[windows]\nRootDirectory=/\n");
        QTest::newRow("folder without the file") << QStringLiteral("[Interbase]\nRootDirectory=/\n");
    }
    void winIniEntryWithoutFile()
    {
        QFETCH(QString, contents);
        TestEnvironment environment;
        QVERIFY(WriteWholeFile(WinIniFileName(), contents.toUtf8()));
        QCOMPARE(FindMsgFile16(), QString());
    }
};

QTEST_GUILESS_MAIN(TestMsgFileLocation)
#include "tst_msgfilelocation.moc"
