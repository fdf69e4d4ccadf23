#include "platform/PlatformPaths.h"
#include "platform/Registry.h"
#include "support/TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QtTest>

#include <memory>

namespace {

const QByteArray SampleHive =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "; written by the installer\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\InterBase\\CurrentVersion]\r\n"
    "\"RootDirectory\"=\"/opt/interbase\"\r\n"
    "\"Quoted\"=\"say \\\"hi\\\" to C:\\\\temp\\\\\"\r\n"
    "\"Level\"=dword:0000000a\r\n"
    "\"ExpandPath\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,2f,00,62,00,00,00\r\n"
    "\"Wrapped\"=hex(2):41,00,42,00,\\\r\n"
    "  43,00,00,00\r\n"
    "\"Blob\"=hex:01,02,03\r\n"
    "\"Multi\"=hex(7):61,00,00,00,00,00\r\n"
    "\"TextAsHex\"=hex(1):61,00,00,00,62,00,00,00\r\n"
    "\"Unicode\"=\"\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82\"\r\n"
    "\"Spaced\" = \"  padded  \"\r\n"
    "@=\"default text\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\r\n"
    "\"Name\"=\"other\"\r\n";

const QString CurrentVersion = QStringLiteral("\\SOFTWARE\\Borland\\InterBase\\CurrentVersion");

} // namespace

class TestRegistry : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readsStrings_data();
    void readsStrings();
    void refusesOtherTypes_data();
    void refusesOtherTypes();
    void valueExists_data();
    void valueExists();
    void opensExistingKeys_data();
    void opensExistingKeys();
    void resolvesRelativePaths_data();
    void resolvesRelativePaths();
    void failedOpenKeepsCurrentKey();
    void createsKeysAndWritesValues();
    void stringsRoundTrip_data();
    void stringsRoundTrip();
    void writesRegistryEditorFormat();
    void keepsOtherContentWhenWriting();
    void refusesWritesWithoutWritableKey_data();
    void refusesWritesWithoutWritableKey();
    void seesChangesOfOtherObjects();
    void missingHiveIsEmpty();
    void ignoresLinesItCannotParse();
    void survivesBinaryGarbage();
    void laterDuplicateKeyWins();
    void readsUtf16File();
    void rootsUseTheirOwnFiles();
    void hiveFoldersFollowEnvironment_data();
    void hiveFoldersFollowEnvironment();

private:
    QString machineHive() const { return m_env->systemDir() + QStringLiteral("/HKEY_LOCAL_MACHINE.reg"); }
    void writeSample() const { QVERIFY(WriteWholeFile(machineHive(), SampleHive)); }

    std::unique_ptr<TestEnvironment> m_env;
};

void TestRegistry::init()
{
    m_env = std::make_unique<TestEnvironment>();
}

void TestRegistry::cleanup()
{
    m_env.reset();
}

void TestRegistry::readsStrings_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");

    QTest::newRow("plain") << CurrentVersion << "RootDirectory" << "/opt/interbase";
    QTest::newRow("escapes") << CurrentVersion << "Quoted" << "say \"hi\" to C:\\temp\\";
    QTest::newRow("expand-sz") << CurrentVersion << "ExpandPath" << "%HOME%/b";
    QTest::newRow("continued hex line") << CurrentVersion << "Wrapped" << "ABC";
    QTest::newRow("ends at NUL") << CurrentVersion << "TextAsHex" << "a";
    QTest::newRow("UTF-8") << CurrentVersion << "Unicode" << QStringLiteral("Привет");
    QTest::newRow("blanks kept inside quotes") << CurrentVersion << "Spaced" << "  padded  ";
    QTest::newRow("default value") << CurrentVersion << "" << "default text";
    QTest::newRow("missing value") << CurrentVersion << "NoSuchValue" << "";
    QTest::newRow("value name case") << CurrentVersion << "rootDIRECTORY" << "/opt/interbase";
    QTest::newRow("key name case") << "\\software\\BORLAND\\interbase\\currentversion" << "RootDirectory"
                                   << "/opt/interbase";
    QTest::newRow("trailing backslash") << "\\SOFTWARE\\Other\\" << "Name" << "other";
    QTest::newRow("absolute without backslash") << "SOFTWARE\\Other" << "Name" << "other";
}

void TestRegistry::readsStrings()
{
    QFETCH(QString, key);
    QFETCH(QString, name);
    QFETCH(QString, expected);

    writeSample();
    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(registry.OpenKeyReadOnly(key));
    QCOMPARE(registry.ReadString(name), expected);
}

void TestRegistry::refusesOtherTypes_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("dword") << "Level";
    QTest::newRow("dword, name as passed") << "LEVEL";
    QTest::newRow("binary") << "Blob";
    QTest::newRow("multi-sz") << "Multi";
}

void TestRegistry::refusesOtherTypes()
{
    QFETCH(QString, name);

    writeSample();
    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(registry.OpenKey(CurrentVersion, false));
    QVERIFY(registry.ValueExists(name));
    try {
        registry.ReadString(name);
        QFAIL("ReadString read a value that is not a string");
    } catch (const ERegistryException &error) {
        QCOMPARE(error.Message(), QStringLiteral("Invalid data type for '%1'").arg(name));
    }
}

void TestRegistry::valueExists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");

    QTest::newRow("string") << "RootDirectory" << true;
    QTest::newRow("other case") << "rootdirectory" << true;
    QTest::newRow("dword") << "Level" << true;
    QTest::newRow("default") << "" << true;
    QTest::newRow("missing") << "Missing" << false;
    QTest::newRow("in another key") << "Name" << false;
}

void TestRegistry::valueExists()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);

    writeSample();
    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(!registry.ValueExists(name)); // no key open
    QVERIFY(registry.OpenKey(CurrentVersion, false));
    QCOMPARE(registry.ValueExists(name), exists);
}

void TestRegistry::opensExistingKeys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QString>("path");

    QTest::newRow("key with values") << CurrentVersion << true << "SOFTWARE\\Borland\\InterBase\\CurrentVersion";
    QTest::newRow("parent of a key") << "\\SOFTWARE\\Borland" << true << "SOFTWARE\\Borland";
    QTest::newRow("spelled as in the file") << "\\software\\borland\\INTERBASE" << true
                                            << "SOFTWARE\\Borland\\InterBase";
    QTest::newRow("root") << "\\" << true << "";
    QTest::newRow("missing") << "\\SOFTWARE\\Missing" << false << "";
    QTest::newRow("below a missing key") << "\\SOFTWARE\\Missing\\Deeper" << false << "";
    QTest::newRow("name prefix is not a parent") << "\\SOFTWARE\\Oth" << false << "";
    QTest::newRow("below a key without children") << "\\SOFTWARE\\Other\\Child" << false << "";
}

void TestRegistry::opensExistingKeys()
{
    QFETCH(QString, key);
    QFETCH(bool, exists);
    QFETCH(QString, path);

    writeSample();
    {
        TRegistry registry(RegistryRoot::LocalMachine);
        QCOMPARE(registry.OpenKey(key, false), exists);
        QCOMPARE(registry.CurrentPath(), path);
    }
    {
        TRegistry registry(RegistryRoot::LocalMachine);
        QCOMPARE(registry.OpenKeyReadOnly(key), exists);
        QCOMPARE(registry.CurrentPath(), path);
    }
    QCOMPARE(ReadWholeFile(machineHive()), SampleHive); // opening never writes
}

void TestRegistry::resolvesRelativePaths_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<QString>("path");

    QTest::newRow("relative") << "\\SOFTWARE" << "Borland\\InterBase" << "SOFTWARE\\Borland\\InterBase";
    QTest::newRow("relative, one step") << "\\SOFTWARE\\Borland\\InterBase" << "CurrentVersion"
                                        << "SOFTWARE\\Borland\\InterBase\\CurrentVersion";
    QTest::newRow("absolute") << "\\SOFTWARE\\Borland" << "\\SOFTWARE\\Other" << "SOFTWARE\\Other";
    QTest::newRow("empty reopens") << "\\SOFTWARE\\Other" << "" << "SOFTWARE\\Other";
}

void TestRegistry::resolvesRelativePaths()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(QString, path);

    writeSample();
    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(registry.OpenKey(first, false));
    QVERIFY(registry.OpenKey(second, false));
    QCOMPARE(registry.CurrentPath(), path);

    // With no key open, a relative path starts at the root.
    TRegistry fresh(RegistryRoot::LocalMachine);
    QCOMPARE(fresh.CurrentPath(), QString());
    QVERIFY(fresh.OpenKey(path, false));
    QCOMPARE(fresh.CurrentPath(), path);
}

void TestRegistry::failedOpenKeepsCurrentKey()
{
    writeSample();
    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(registry.OpenKey(QStringLiteral("\\SOFTWARE\\Other"), false));
    QVERIFY(!registry.OpenKey(QStringLiteral("Missing"), false));
    QCOMPARE(registry.CurrentPath(), QStringLiteral("SOFTWARE\\Other"));
    QCOMPARE(registry.ReadString(QStringLiteral("Name")), QStringLiteral("other"));
}

void TestRegistry::createsKeysAndWritesValues()
{
    const QString hive = m_env->userDir() + QStringLiteral("/not/yet/there/HKEY_CURRENT_USER.reg");
    qputenv("LEXIVANE_USER_DIR", QFile::encodeName(m_env->userDir() + QStringLiteral("/not/yet/there")));
    {
        TRegistry registry(RegistryRoot::CurrentUser);
        QVERIFY(!registry.OpenKey(QStringLiteral("\\Software\\Lexivane\\Settings"), false));
        QVERIFY(!QFile::exists(hive));
        QVERIFY(registry.OpenKey(QStringLiteral("\\Software\\Lexivane\\Settings"), true));
        QVERIFY(QFile::exists(hive));
        QCOMPARE(registry.CurrentPath(), QStringLiteral("Software\\Lexivane\\Settings"));
    }
    {
        TRegistry registry(RegistryRoot::CurrentUser);
        QVERIFY(registry.OpenKey(QStringLiteral("\\Software\\Lexivane"), false));
        QVERIFY(registry.OpenKey(QStringLiteral("Settings"), false));
        registry.WriteString(QStringLiteral("LastFile"), QStringLiteral("/data/interbase.msg"));
        registry.WriteString(QStringLiteral("Language"), QStringLiteral("English"));
        registry.WriteString(QStringLiteral("lastfile"), QStringLiteral("/data/other.msg")); // replaces
        QCOMPARE(registry.ReadString(QStringLiteral("LastFile")), QStringLiteral("/data/other.msg"));
    }
    TRegistry registry(RegistryRoot::CurrentUser);
    QVERIFY(registry.OpenKeyReadOnly(QStringLiteral("\\SOFTWARE\\LEXIVANE\\SETTINGS")));
    QCOMPARE(registry.ReadString(QStringLiteral("LastFile")), QStringLiteral("/data/other.msg"));
    QCOMPARE(registry.ReadString(QStringLiteral("Language")), QStringLiteral("English"));
}

void TestRegistry::stringsRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");

    QTest::newRow("plain") << "Plain" << "text";
    QTest::newRow("empty") << "Empty" << "";
    QTest::newRow("quotes") << "Quotes" << "say \"hi\"";
    QTest::newRow("backslashes") << "Path" << "C:\\Program Files\\InterBase\\";
    QTest::newRow("escape look-alikes") << "Escapes" << "\\\" \\\\ \\n";
    QTest::newRow("quote and backslash in name") << "Odd \"name\" \\ here" << "value";
    QTest::newRow("blanks") << "Blanks" << "  both ends  ";
    QTest::newRow("Cyrillic") << "Cyrillic" << QStringLiteral("Привет, мир");
    QTest::newRow("CJK and emoji") << QStringLiteral("名前") << QStringLiteral("値 \U0001F600");
    QTest::newRow("looks like other syntax") << "Syntax" << "=dword:00000001 ; [HKEY_LOCAL_MACHINE\\X] @=";
    QTest::newRow("line breaks") << "Lines" << "first\r\nsecond\nthird";
    QTest::newRow("tab") << "Tab" << "a\tb";
    QTest::newRow("default value") << "" << "the default";
}

void TestRegistry::stringsRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(QString, value);

    {
        TRegistry registry(RegistryRoot::LocalMachine);
        QVERIFY(registry.OpenKey(QStringLiteral("\\SOFTWARE\\RoundTrip"), true));
        registry.WriteString(QStringLiteral("Before"), QStringLiteral("1"));
        registry.WriteString(name, value);
        registry.WriteString(QStringLiteral("After"), QStringLiteral("2"));
    }
    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(registry.OpenKey(QStringLiteral("\\SOFTWARE\\RoundTrip"), false));
    QVERIFY(registry.ValueExists(name));
    QCOMPARE(registry.ReadString(name), value);
    QCOMPARE(registry.ReadString(QStringLiteral("Before")), QStringLiteral("1"));
    QCOMPARE(registry.ReadString(QStringLiteral("After")), QStringLiteral("2"));
}

void TestRegistry::writesRegistryEditorFormat()
{
    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(registry.OpenKey(QStringLiteral("\\SOFTWARE\\Lexivane"), true));
    registry.WriteString(QStringLiteral("Path"), QStringLiteral("C:\\a \"b\""));
    registry.WriteString(QString(), QStringLiteral("default"));
    registry.WriteString(QStringLiteral("Lines"), QStringLiteral("a\nb"));

    const QByteArray expected =
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Lexivane]\n"
        "\"Path\"=\"C:\\\\a \\\"b\\\"\"\n"
        "@=\"default\"\n"
        "\"Lines\"=hex(1):61,00,0a,00,62,00,00,00\n";
    QCOMPARE(ReadWholeFile(machineHive()), expected);
}

void TestRegistry::keepsOtherContentWhenWriting()
{
    writeSample();
    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(registry.OpenKey(QStringLiteral("\\software\\borland\\interbase\\currentversion"), false));
    registry.WriteString(QStringLiteral("rootdirectory"), QStringLiteral("/usr/interbase"));
    registry.WriteString(QStringLiteral("Wrapped"), QStringLiteral("XYZ"));
    registry.WriteString(QStringLiteral("Added"), QStringLiteral("new"));
    QVERIFY(registry.OpenKey(QStringLiteral("\\SOFTWARE\\Other\\Child"), true));
    registry.WriteString(QStringLiteral("Deep"), QStringLiteral("down"));

    // Written with line feeds; the untouched lines as they were.
    const QByteArray expected =
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "; written by the installer\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Borland\\InterBase\\CurrentVersion]\n"
        "\"RootDirectory\"=\"/usr/interbase\"\n"
        "\"Quoted\"=\"say \\\"hi\\\" to C:\\\\temp\\\\\"\n"
        "\"Level\"=dword:0000000a\n"
        "\"ExpandPath\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,2f,00,62,00,00,00\n"
        "\"Wrapped\"=\"XYZ\"\n"
        "\"Blob\"=hex:01,02,03\n"
        "\"Multi\"=hex(7):61,00,00,00,00,00\n"
        "\"TextAsHex\"=hex(1):61,00,00,00,62,00,00,00\n"
        "\"Unicode\"=\"\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82\"\n"
        "\"Spaced\" = \"  padded  \"\n"
        "@=\"default text\"\n"
        "\"Added\"=\"new\"\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n"
        "\"Name\"=\"other\"\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other\\Child]\n"
        "\"Deep\"=\"down\"\n";
    QCOMPARE(ReadWholeFile(machineHive()), expected);
}

void TestRegistry::refusesWritesWithoutWritableKey_data()
{
    QTest::addColumn<bool>("openReadOnly");
    QTest::addColumn<QString>("name");

    QTest::newRow("no key open") << false << "Value";
    QTest::newRow("read-only key") << true << "RootDirectory";
    QTest::newRow("read-only key, new value") << true << "Brand New";
}

void TestRegistry::refusesWritesWithoutWritableKey()
{
    QFETCH(bool, openReadOnly);
    QFETCH(QString, name);

    writeSample();
    TRegistry registry(RegistryRoot::LocalMachine);
    if (openReadOnly)
        QVERIFY(registry.OpenKeyReadOnly(CurrentVersion));
    try {
        registry.WriteString(name, QStringLiteral("x"));
        QFAIL("WriteString wrote without a writable key");
    } catch (const ERegistryException &error) {
        QCOMPARE(error.Message(), QStringLiteral("Failed to set data for '%1'").arg(name));
    }
    QCOMPARE(ReadWholeFile(machineHive()), SampleHive);
}

void TestRegistry::seesChangesOfOtherObjects()
{
    writeSample();
    TRegistry reader(RegistryRoot::LocalMachine);
    TRegistry writer(RegistryRoot::LocalMachine);
    QVERIFY(reader.OpenKey(QStringLiteral("\\SOFTWARE\\Other"), false));
    QVERIFY(writer.OpenKey(QStringLiteral("\\SOFTWARE\\Other"), false));

    writer.WriteString(QStringLiteral("FromWriter"), QStringLiteral("w"));
    // A write re-reads the file first, so the other object's value stays.
    reader.WriteString(QStringLiteral("FromReader"), QStringLiteral("r"));

    QVERIFY(reader.OpenKey(QStringLiteral("\\SOFTWARE\\Other"), false));
    QCOMPARE(reader.ReadString(QStringLiteral("FromWriter")), QStringLiteral("w"));
    QVERIFY(writer.OpenKey(QStringLiteral("\\SOFTWARE\\Other"), false));
    QCOMPARE(writer.ReadString(QStringLiteral("FromReader")), QStringLiteral("r"));
    QCOMPARE(writer.ReadString(QStringLiteral("Name")), QStringLiteral("other"));
}

void TestRegistry::missingHiveIsEmpty()
{
    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(!registry.OpenKey(QStringLiteral("\\SOFTWARE"), false));
    QVERIFY(!registry.OpenKeyReadOnly(QStringLiteral("\\SOFTWARE")));
    QVERIFY(registry.OpenKeyReadOnly(QStringLiteral("\\")));
    QCOMPARE(registry.ReadString(QStringLiteral("Anything")), QString());
    QVERIFY(!registry.ValueExists(QStringLiteral("Anything")));
    QVERIFY(!QFile::exists(machineHive()));
}

void TestRegistry::ignoresLinesItCannotParse()
{
    const QByteArray hive =
        "this is not a registry file\n"
        "\"Orphan\"=\"before any key\"\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Good]\n"
        "\"A\"=\"1\"\n"
        "\"Unterminated\"=\"no closing quote\n"
        "\"Trailing\"=\"text\" junk\n"
        "garbage=line\n"
        "\"BadDword\"=dword:xyz\n"
        "\"LongDword\"=dword:123456789\n"
        "\"BadHex\"=hex:zz,01\n"
        "\"NoEquals\" \"x\"\n"
        "\"Deleted\"=-\n"
        "@ junk\n"
        "[broken header\n"
        "\"AfterBrokenHeader\"=\"x\"\n"
        "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Gone]\n"
        "\"AfterDeletion\"=\"x\"\n"
        "[HKEY_CURRENT_USER\\SOFTWARE\\Good]\n"
        "\"OtherRoot\"=\"x\"\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Good]\n"
        "\"B\"=\"2\"\n";
    QVERIFY(WriteWholeFile(machineHive(), hive));

    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(!registry.OpenKey(QStringLiteral("\\SOFTWARE\\Gone"), false));
    QVERIFY(registry.OpenKey(QStringLiteral("\\SOFTWARE\\Good"), false));
    QCOMPARE(registry.ReadString(QStringLiteral("A")), QStringLiteral("1"));
    QCOMPARE(registry.ReadString(QStringLiteral("B")), QStringLiteral("2"));
    for (const char *name : {"Orphan", "Unterminated", "Trailing", "BadDword", "LongDword", "BadHex", "NoEquals",
                             "Deleted", "AfterBrokenHeader", "AfterDeletion", "OtherRoot", ""})
        QVERIFY2(!registry.ValueExists(QString::fromLatin1(name)), name);

    // Writing keeps every line it did not change.
    registry.WriteString(QStringLiteral("A"), QStringLiteral("one"));
    QByteArray expected = hive;
    expected.replace("\"A\"=\"1\"", "\"A\"=\"one\"");
    QCOMPARE(ReadWholeFile(machineHive()), expected);
}

void TestRegistry::survivesBinaryGarbage()
{
    QByteArray garbage;
    for (int round = 0; round < 8; ++round) {
        for (int byte = 0; byte < 256; ++byte)
            garbage.append(static_cast<char>((byte * 37 + round * 11) & 0xFF));
    }
    garbage.append("\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Good]\n\"A\"=\"1\"\n\"X\"=hex:01,\\");
    QVERIFY(WriteWholeFile(machineHive(), garbage));

    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(registry.OpenKey(QStringLiteral("\\SOFTWARE\\Good"), false));
    QCOMPARE(registry.ReadString(QStringLiteral("A")), QStringLiteral("1"));
    QVERIFY(!registry.ValueExists(QStringLiteral("X"))); // continued past the end of the file
}

void TestRegistry::laterDuplicateKeyWins()
{
    QVERIFY(WriteWholeFile(machineHive(),
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Dup]\n"
                           "\"Value\"=\"first\"\n"
                           "\"OnlyFirst\"=\"1\"\n"
                           "[HKEY_LOCAL_MACHINE\\software\\dup]\n"
                           "\"value\"=\"second\"\n"));
    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(registry.OpenKey(QStringLiteral("\\SOFTWARE\\Dup"), false));
    QCOMPARE(registry.ReadString(QStringLiteral("Value")), QStringLiteral("second"));
    QCOMPARE(registry.ReadString(QStringLiteral("OnlyFirst")), QStringLiteral("1"));

    registry.WriteString(QStringLiteral("VALUE"), QStringLiteral("third"));
    registry.WriteString(QStringLiteral("New"), QStringLiteral("4"));
    QCOMPARE(ReadWholeFile(machineHive()), QByteArray("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Dup]\n"
                                                      "\"Value\"=\"first\"\n"
                                                      "\"OnlyFirst\"=\"1\"\n"
                                                      "[HKEY_LOCAL_MACHINE\\software\\dup]\n"
                                                      "\"value\"=\"third\"\n"
                                                      "\"New\"=\"4\"\n"));
}

void TestRegistry::readsUtf16File()
{
    const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Exported]\r\n"
                                        "\"Name\"=\"Grüße\"\r\n");
    QByteArray bytes("\xFF\xFE", 2);
    for (QChar c : text) {
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
        bytes.append(static_cast<char>(c.unicode() >> 8));
    }
    QVERIFY(WriteWholeFile(machineHive(), bytes));

    TRegistry registry(RegistryRoot::LocalMachine);
    QVERIFY(registry.OpenKeyReadOnly(QStringLiteral("\\SOFTWARE\\Exported")));
    QCOMPARE(registry.ReadString(QStringLiteral("Name")), QStringLiteral("Grüße"));
}

void TestRegistry::rootsUseTheirOwnFiles()
{
    {
        TRegistry user(RegistryRoot::CurrentUser);
        QVERIFY(user.OpenKey(QStringLiteral("\\Software\\Lexivane"), true));
        user.WriteString(QStringLiteral("Who"), QStringLiteral("user"));
    }
    QVERIFY(QFile::exists(m_env->userDir() + QStringLiteral("/HKEY_CURRENT_USER.reg")));
    QVERIFY(!QFile::exists(machineHive()));
    QVERIFY(ReadWholeFile(m_env->userDir() + QStringLiteral("/HKEY_CURRENT_USER.reg"))
                .contains("[HKEY_CURRENT_USER\\Software\\Lexivane]"));

    TRegistry machine(RegistryRoot::LocalMachine);
    QVERIFY(!machine.OpenKey(QStringLiteral("\\Software\\Lexivane"), false));
}

void TestRegistry::hiveFoldersFollowEnvironment_data()
{
    // Each variable: a folder below the temporary root, "" set but empty
    // (which counts as unset), "-" unset.
    QTest::addColumn<QString>("userDir");
    QTest::addColumn<QString>("xdgConfigHome");
    QTest::addColumn<QString>("expectedFolder");

    QTest::newRow("LEXIVANE_USER_DIR first") << "user" << "xdg" << "user";
    QTest::newRow("XDG_CONFIG_HOME next") << "-" << "xdg" << "xdg/lexivane";
    QTest::newRow("empty LEXIVANE_USER_DIR") << "" << "xdg" << "xdg/lexivane";
    QTest::newRow("HOME last") << "-" << "-" << "home/.config/lexivane";
    QTest::newRow("empty XDG_CONFIG_HOME") << "-" << "" << "home/.config/lexivane";
}

void TestRegistry::hiveFoldersFollowEnvironment()
{
    QFETCH(QString, userDir);
    QFETCH(QString, xdgConfigHome);
    QFETCH(QString, expectedFolder);

    const auto setVariable = [this](const char *name, const QString &folder) {
        if (folder == QLatin1String("-"))
            qunsetenv(name);
        else
            qputenv(name, folder.isEmpty() ? QByteArray() : QFile::encodeName(m_env->path(folder)));
    };
    setVariable("LEXIVANE_USER_DIR", userDir);
    setVariable("XDG_CONFIG_HOME", xdgConfigHome);

    const QString folder = m_env->path(expectedFolder);
    QCOMPARE(UserConfigDir(), folder);
    QCOMPARE(SystemConfigDir(), m_env->systemDir());

    {
        TRegistry registry(RegistryRoot::CurrentUser);
        QVERIFY(registry.OpenKey(QStringLiteral("\\Software\\Where"), true));
    }
    QVERIFY(QFile::exists(folder + QStringLiteral("/HKEY_CURRENT_USER.reg")));

    qputenv("LEXIVANE_SYSTEM_DIR", QByteArray());
    QCOMPARE(SystemConfigDir(), QStringLiteral("/etc/lexivane"));
    qunsetenv("LEXIVANE_SYSTEM_DIR");
    QCOMPARE(SystemConfigDir(), QStringLiteral("/etc/lexivane"));
}

QTEST_GUILESS_MAIN(TestRegistry)
#include "tst_registry.moc"
