// The settings store over the registry stand-in, and the font records kept
// in it. Every test runs in a fresh temporary user folder.

#include "platform/Registry.h"
#include "settings/ConfigUtils.h"
#include "support/TestEnvironment.h"

#include <QtTest>

#include <limits>
#include <memory>

namespace {

const QString ProgramKey = QStringLiteral("\\Software\\Tessavel\\Lexivane\\1.0");
const QString LastKey = ProgramKey + QStringLiteral("\\Last");
const QString LastHeader = QStringLiteral("[HKEY_CURRENT_USER\\Software\\Tessavel\\Lexivane\\1.0\\Last]");
const QString HiveHeader = QStringLiteral("Windows Registry Editor Version 5.00");

// Used for values that a test must never produce by itself.
constexpr qint32 Unlikely = -42;

TFontRecord Record(const QString &name, int size, int style, qint32 color, int charSet)
{
    TFontRecord font;
    font.Name = name;
    font.Size = size;
    font.Style = TFontStyles::fromInt(style);
    font.Color = color;
    font.CharSet = static_cast<quint8>(charSet);
    return font;
}

QString Describe(const TFontRecord &font)
{
    return QStringLiteral("%1 %2pt style %3 color %4 charset %5")
        .arg(font.Name)
        .arg(font.Size)
        .arg(font.Style.toInt())
        .arg(font.Color)
        .arg(font.CharSet);
}

} // namespace

Q_DECLARE_METATYPE(TFontRecord)

class TestConfigUtils : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyAppKeyRaises_data();
    void emptyAppKeyRaises();
    void openingCreatesProgramKey();
    void absentValuesGiveDefaults();
    void readInteger_data();
    void readInteger();
    void writeInteger_data();
    void writeInteger();
    void readBool_data();
    void readBool();
    void writeBool_data();
    void writeBool();
    void stringsRoundTrip_data();
    void stringsRoundTrip();
    void valuesAreStringsInTheLastSection();
    void refusesOtherTypes_data();
    void refusesOtherTypes();
    void readsExpandableStrings();
    void sectionThatCannotBeCreated();
    void programKeyThatCannotBeCreated();
    void setAppKey_data();
    void setAppKey();
    void closeKeyReopensOnNextAccess();

    void recordEquality_data();
    void recordEquality();
    void namedFontDefaults_data();
    void namedFontDefaults();
    void firstRunKeepsFontDefaults();
    void loadStyle_data();
    void loadStyle();
    void loadSize_data();
    void loadSize();
    void loadCharSet_data();
    void loadCharSet();
    void loadColor_data();
    void loadColor();
    void loadChosenAttributes_data();
    void loadChosenAttributes();
    void badStyleKeepsAttributesLoadedBefore();
    void registryErrorStopsLoad();
    void saveFont_data();
    void saveFont();
    void saveWritesChosenValuesInOrder_data();
    void saveWritesChosenValuesInOrder();
    void namedFontsRoundTrip_data();
    void namedFontsRoundTrip();

private:
    QString hivePath() const { return m_env->userDir() + QStringLiteral("/HKEY_CURRENT_USER.reg"); }
    QStringList hiveLines() const { return QString::fromUtf8(ReadWholeFile(hivePath())).split(QLatin1Char('\n')); }
    // Writes a string value into "Last" behind the store's back.
    void putLast(const QString &name, const QString &text);
    // Reads a value of "Last" behind the store's back; null when absent.
    QString lastValue(const QString &name) const;
    // The names of the values of "Last", in file order.
    QStringList lastValueNames() const;
    // Points the user's folder below a plain file, where nothing can be made.
    void breakUserFolder();

    std::unique_ptr<TestEnvironment> m_env;
    std::unique_ptr<TAppIni> m_store;
};

void TestConfigUtils::init()
{
    m_env = std::make_unique<TestEnvironment>();
    m_store = std::make_unique<TAppIni>();
    m_store->SetAppKey(LexivaneAppKey);
    AppIni().CloseKey();
    AppIni().SetAppKey(LexivaneAppKey);
}

void TestConfigUtils::cleanup()
{
    AppIni().SetAppKey(QString());
    m_store.reset();
    m_env.reset();
}

void TestConfigUtils::putLast(const QString &name, const QString &text)
{
    TRegistry registry(RegistryRoot::CurrentUser);
    QVERIFY(registry.OpenKey(LastKey, true));
    registry.WriteString(name, text);
}

QString TestConfigUtils::lastValue(const QString &name) const
{
    TRegistry registry(RegistryRoot::CurrentUser);
    if (!registry.OpenKeyReadOnly(LastKey) || !registry.ValueExists(name))
        return {};
    const QString text = registry.ReadString(name);
    return text.isNull() ? QStringLiteral("") : text;
}

QStringList TestConfigUtils::lastValueNames() const
{
    QStringList names;
    bool inLast = false;
    for (const QString &line : hiveLines()) {
        if (line.startsWith(QLatin1Char('[')))
            inLast = line == LastHeader;
        else if (inLast && line.startsWith(QLatin1Char('"')))
            names << line.mid(1, line.indexOf(QLatin1String("\"="), 1) - 1);
    }
    return names;
}

void TestConfigUtils::breakUserFolder()
{
    const QString plainFile = m_env->path(QStringLiteral("plain-file"));
    QVERIFY(WriteWholeFile(plainFile, "not a folder"));
    qputenv("LEXIVANE_USER_DIR", QFile::encodeName(plainFile + QStringLiteral("/user")));
}

// ---- the store -------------------------------------------------------------

void TestConfigUtils::emptyAppKeyRaises_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("keySetBefore");
    const QStringList operations{"EnsureOpen", "ReadString", "WriteString", "ReadInteger", "WriteInteger",
                                 "ReadBool",   "WriteBool",  "LoadFont",    "SaveFont"};
    for (const QString &operation : operations) {
        QTest::addRow("%s, never set", qPrintable(operation)) << operation << false;
        QTest::addRow("%s, set and cleared", qPrintable(operation)) << operation << true;
    }
}

void TestConfigUtils::emptyAppKeyRaises()
{
    QFETCH(QString, operation);
    QFETCH(bool, keySetBefore);
    TAppIni store;
    if (keySetBefore) {
        store.SetAppKey(LexivaneAppKey);
        store.EnsureOpen();
        QVERIFY(QFile::remove(hivePath()));
        store.SetAppKey(QString());
    }
    TFontRecord font;
    try {
        if (operation == QLatin1String("EnsureOpen"))
            store.EnsureOpen();
        else if (operation == QLatin1String("ReadString"))
            (void)store.ReadString(LastSection, QStringLiteral("Name"), QString());
        else if (operation == QLatin1String("WriteString"))
            store.WriteString(LastSection, QStringLiteral("Name"), QStringLiteral("x"));
        else if (operation == QLatin1String("ReadInteger"))
            (void)store.ReadInteger(LastSection, QStringLiteral("Name"), 0);
        else if (operation == QLatin1String("WriteInteger"))
            store.WriteInteger(LastSection, QStringLiteral("Name"), 1);
        else if (operation == QLatin1String("ReadBool"))
            (void)store.ReadBool(LastSection, QStringLiteral("Name"), true);
        else if (operation == QLatin1String("WriteBool"))
            store.WriteBool(LastSection, QStringLiteral("Name"), true);
        else if (operation == QLatin1String("LoadFont"))
            LoadFont(store, LastSection, QStringLiteral("NormalFont.Font"), AllFontAttrs, font);
        else
            SaveFont(store, LastSection, QStringLiteral("NormalFont.Font"), AllFontAttrs, font);
        QFAIL("no error raised");
    } catch (const EAppIniError &e) {
        QCOMPARE(e.Message(), QStringLiteral("No application key specified"));
    }
    QVERIFY(!store.IsOpen());
    QVERIFY(!QFile::exists(hivePath()));
    QVERIFY(font == TFontRecord());
}

void TestConfigUtils::openingCreatesProgramKey()
{
    QVERIFY(!m_store->IsOpen());
    QVERIFY(!QFile::exists(hivePath()));
    m_store->EnsureOpen();
    QVERIFY(m_store->IsOpen());
    QVERIFY(hiveLines().contains(QStringLiteral("[HKEY_CURRENT_USER\\Software\\Tessavel\\Lexivane\\1.0]")));
    TRegistry registry(RegistryRoot::CurrentUser);
    QVERIFY(registry.OpenKeyReadOnly(ProgramKey));
}

void TestConfigUtils::absentValuesGiveDefaults()
{
    // No file, then the section without the value.
    for (int round = 0; round < 2; ++round) {
        QCOMPARE(m_store->ReadString(LastSection, QStringLiteral("Missing"), QStringLiteral("fallback")),
                 QStringLiteral("fallback"));
        QCOMPARE(m_store->ReadInteger(LastSection, QStringLiteral("Form1.Width"), 580), 580);
        QCOMPARE(m_store->ReadInteger(LastSection, QStringLiteral("Form1.Width"), Unlikely), Unlikely);
        QCOMPARE(m_store->ReadBool(LastSection, QStringLiteral("Toolbar"), true), true);
        QCOMPARE(m_store->ReadBool(LastSection, QStringLiteral("Toolbar"), false), false);
        QCOMPARE(m_store->ReadString(QStringLiteral("NoSuchSection"), QStringLiteral("Other"), QStringLiteral("d")),
                 QStringLiteral("d"));
        putLast(QStringLiteral("Other"), QStringLiteral("1"));
    }
    // Reading creates no section.
    for (const QString &line : hiveLines())
        QVERIFY2(!line.contains(QLatin1String("NoSuchSection"), Qt::CaseInsensitive), qPrintable(line));
}

void TestConfigUtils::readInteger_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("decimal") << "124" << 124;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("plus sign") << "+7" << 7;
    QTest::newRow("negative") << "-2147483640" << -2147483640;
    QTest::newRow("smallest") << "-2147483648" << std::numeric_limits<qint32>::min();
    QTest::newRow("largest") << "2147483647" << std::numeric_limits<qint32>::max();
    QTest::newRow("0x hexadecimal") << "0x300" << 768;
    QTest::newRow("0X hexadecimal") << "0X1f" << 31;
    QTest::newRow("0x zero") << "0x0" << 0;
    QTest::newRow("0x leading zeros") << "0x0000000300" << 768;
    QTest::newRow("0x full 32 bits") << "0xFFFFFFFF" << -1;
    QTest::newRow("0x system colour") << "0x80000008" << -2147483640;
    QTest::newRow("dollar hexadecimal") << "$300" << 768;
    QTest::newRow("dollar lower case") << "$ff" << 255;
    QTest::newRow("dollar system colour") << "$80000008" << -2147483640;

    QTest::newRow("letters") << "abc" << Unlikely;
    QTest::newRow("empty") << "" << Unlikely;
    QTest::newRow("0x alone") << "0x" << Unlikely;
    QTest::newRow("dollar alone") << "$" << Unlikely;
    QTest::newRow("sign alone") << "-" << Unlikely;
    QTest::newRow("two signs") << "+-5" << Unlikely;
    QTest::newRow("trailing letters") << "12abc" << Unlikely;
    QTest::newRow("leading blank") << " 12" << Unlikely;
    QTest::newRow("trailing blank") << "12 " << Unlikely;
    QTest::newRow("fraction") << "1.5" << Unlikely;
    QTest::newRow("decimal overflow") << "2147483648" << Unlikely;
    QTest::newRow("decimal underflow") << "-2147483649" << Unlikely;
    QTest::newRow("hexadecimal overflow") << "0x100000000" << Unlikely;
    QTest::newRow("dollar overflow") << "$100000000" << Unlikely;
    QTest::newRow("bad hex digit") << "0x12g" << Unlikely;
    QTest::newRow("signed hexadecimal") << "0x-1" << Unlikely;
    QTest::newRow("x without 0") << "x10" << Unlikely;
    QTest::newRow("negative 0x") << "-0x10" << Unlikely;
    QTest::newRow("dollar after 0x") << "0x$10" << Unlikely;
    QTest::newRow("h suffix") << "10h" << Unlikely;
    QTest::newRow("arabic digits") << QString::fromUtf8("\xd9\xa1\xd9\xa2") << Unlikely;
}

void TestConfigUtils::readInteger()
{
    QFETCH(QString, text);
    QFETCH(qint32, expected);
    putLast(QStringLiteral("Form1.Width"), text);
    QCOMPARE(m_store->ReadInteger(LastSection, QStringLiteral("Form1.Width"), Unlikely), expected);
    QCOMPARE(m_store->ReadInteger(LastSection, QStringLiteral("form1.width"), Unlikely), expected);
}

void TestConfigUtils::writeInteger_data()
{
    QTest::addColumn<qint32>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("positive") << 124 << "124";
    QTest::newRow("zero") << 0 << "0";
    QTest::newRow("negative") << -4 << "-4";
    QTest::newRow("window text") << qint32(-2147483640) << "-2147483640";
    QTest::newRow("navy") << 0x800000 << "8388608";
    QTest::newRow("smallest") << std::numeric_limits<qint32>::min() << "-2147483648";
    QTest::newRow("largest") << std::numeric_limits<qint32>::max() << "2147483647";
}

void TestConfigUtils::writeInteger()
{
    QFETCH(qint32, value);
    QFETCH(QString, text);
    m_store->WriteInteger(LastSection, QStringLiteral("Form1.Left"), value);
    QCOMPARE(lastValue(QStringLiteral("Form1.Left")), text);
    QCOMPARE(m_store->ReadInteger(LastSection, QStringLiteral("Form1.Left"), Unlikely), value);
}

void TestConfigUtils::readBool_data()
{
    QTest::addColumn<QString>("text"); // null: absent
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("expected");
    QTest::newRow("0") << "0" << true << false;
    QTest::newRow("1") << "1" << false << true;
    QTest::newRow("2") << "2" << false << true;
    QTest::newRow("7") << "7" << false << true;
    QTest::newRow("-1") << "-1" << false << true;
    QTest::newRow("hexadecimal zero") << "0x0" << true << false;
    QTest::newRow("hexadecimal one") << "$1" << false << true;
    QTest::newRow("letters, default true") << "yes" << true << true;
    QTest::newRow("letters, default false") << "true" << false << false;
    QTest::newRow("empty, default true") << "" << true << true;
    QTest::newRow("empty, default false") << "" << false << false;
    QTest::newRow("absent, default true") << QString() << true << true;
    QTest::newRow("absent, default false") << QString() << false << false;
}

void TestConfigUtils::readBool()
{
    QFETCH(QString, text);
    QFETCH(bool, defaultValue);
    QFETCH(bool, expected);
    if (!text.isNull())
        putLast(QStringLiteral("Toolbar"), text);
    QCOMPARE(m_store->ReadBool(LastSection, QStringLiteral("Toolbar"), defaultValue), expected);
}

void TestConfigUtils::writeBool_data()
{
    QTest::addColumn<bool>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("true") << true << "1";
    QTest::newRow("false") << false << "0";
}

void TestConfigUtils::writeBool()
{
    QFETCH(bool, value);
    QFETCH(QString, text);
    m_store->WriteBool(LastSection, QStringLiteral("Toolbar"), !value);
    m_store->WriteBool(LastSection, QStringLiteral("Toolbar"), value);
    QCOMPARE(lastValue(QStringLiteral("Toolbar")), text);
    QCOMPARE(m_store->ReadBool(LastSection, QStringLiteral("Toolbar"), !value), value);
}

void TestConfigUtils::stringsRoundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "Courier New";
    QTest::newRow("empty") << "";
    QTest::newRow("quotes and backslashes") << "say \"hi\" to C:\\temp\\";
    QTest::newRow("non-ASCII") << QString::fromUtf8("\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \xc3\xa9");
    QTest::newRow("line break") << "two\nlines";
    QTest::newRow("number-like") << "0x300";
    QTest::newRow("blanks kept") << "  padded  ";
}

void TestConfigUtils::stringsRoundTrip()
{
    QFETCH(QString, text);
    m_store->WriteString(LastSection, QStringLiteral("NormalFont.Font.Name"), text);
    QCOMPARE(m_store->ReadString(LastSection, QStringLiteral("NormalFont.Font.Name"), QStringLiteral("default")),
             text);
    QCOMPARE(lastValue(QStringLiteral("NormalFont.Font.Name")), text);
}

void TestConfigUtils::valuesAreStringsInTheLastSection()
{
    m_store->WriteInteger(LastSection, QStringLiteral("Form1.Left"), -4);
    m_store->WriteBool(LastSection, QStringLiteral("Toolbar"), false);
    m_store->WriteString(LastSection, QStringLiteral("NormalFont.Font.Name"), QStringLiteral("Arial"));
    const QStringList lines = hiveLines();
    const qsizetype header = lines.indexOf(LastHeader);
    QVERIFY(header > 0);
    QCOMPARE(lines.mid(header + 1, 3), (QStringList{QStringLiteral("\"Form1.Left\"=\"-4\""), QStringLiteral("\"Toolbar\"=\"0\""),
                                                    QStringLiteral("\"NormalFont.Font.Name\"=\"Arial\"")}));
}

void TestConfigUtils::refusesOtherTypes_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("operation");
    for (const char *value : {"Number", "Binary", "MultiString"}) {
        for (const char *operation : {"ReadString", "ReadInteger", "ReadBool"})
            QTest::addRow("%s, %s", value, operation) << value << operation;
    }
}

void TestConfigUtils::refusesOtherTypes()
{
    QFETCH(QString, value);
    QFETCH(QString, operation);
    QVERIFY(WriteWholeFile(hivePath(), HiveHeader.toUtf8() + "\n\n" + LastHeader.toUtf8()
                                           + "\n\"Number\"=dword:00000010\n\"Binary\"=hex:31,00\n"
                                             "\"MultiString\"=hex(7):31,00,00,00,00,00\n"));
    try {
        if (operation == QLatin1String("ReadString"))
            (void)m_store->ReadString(LastSection, value, QString());
        else if (operation == QLatin1String("ReadInteger"))
            (void)m_store->ReadInteger(LastSection, value, 0);
        else
            (void)m_store->ReadBool(LastSection, value, false);
        QFAIL("no error raised");
    } catch (const ERegistryException &e) {
        QCOMPARE(e.Message(), QStringLiteral("Invalid data type for '%1'").arg(value));
    }
}

void TestConfigUtils::readsExpandableStrings()
{
    // REG_EXPAND_SZ "124", with its terminating NUL.
    QVERIFY(WriteWholeFile(hivePath(), HiveHeader.toUtf8() + "\n\n" + LastHeader.toUtf8()
                                           + "\n\"Form2.Panel5.Height\"=hex(2):31,00,32,00,34,00,00,00\n"));
    QCOMPARE(m_store->ReadInteger(LastSection, QStringLiteral("Form2.Panel5.Height"), Unlikely), 124);
    QCOMPARE(m_store->ReadString(LastSection, QStringLiteral("Form2.Panel5.Height"), QString()),
             QStringLiteral("124"));
}

void TestConfigUtils::sectionThatCannotBeCreated()
{
    m_store->EnsureOpen();
    breakUserFolder();
    try {
        m_store->WriteString(LastSection, QStringLiteral("Toolbar"), QStringLiteral("1"));
        QFAIL("no error raised");
    } catch (const ERegistryException &e) {
        QCOMPARE(e.Message(), QStringLiteral("Failed to create key Last"));
    }
    // Reading from a section that does not exist is no error.
    QCOMPARE(m_store->ReadInteger(LastSection, QStringLiteral("Form1.Left"), Unlikely), Unlikely);
}

void TestConfigUtils::programKeyThatCannotBeCreated()
{
    breakUserFolder();
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            (void)m_store->ReadBool(LastSection, QStringLiteral("Toolbar"), true);
            QFAIL("no error raised");
        } catch (const ERegistryException &e) {
            QCOMPARE(e.Message(), QStringLiteral("Failed to create key \\Software\\Tessavel\\Lexivane\\1.0"));
        }
        QVERIFY(!m_store->IsOpen());
    }
}

void TestConfigUtils::setAppKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("same key") << "\\Tessavel\\Lexivane\\1.0" << true;
    QTest::newRow("another key") << "\\Tessavel\\Lexivane\\2.0" << false;
    QTest::newRow("differs in case only") << "\\tessavel\\lexivane\\1.0" << false;
}

// The program key is created when it is opened; a key kept open is not
// opened again, so after the file is removed only a reopened key reappears.
void TestConfigUtils::setAppKey()
{
    QFETCH(QString, key);
    QFETCH(bool, staysOpen);
    m_store->EnsureOpen();
    QVERIFY(QFile::remove(hivePath()));

    m_store->SetAppKey(key);
    QCOMPARE(m_store->AppKey(), key);
    QCOMPARE(m_store->IsOpen(), staysOpen);
    m_store->WriteString(LastSection, QStringLiteral("Probe"), QStringLiteral("1"));
    QVERIFY(m_store->IsOpen());

    const QString programKeyLine = QStringLiteral("[HKEY_CURRENT_USER\\Software%1]").arg(key);
    QCOMPARE(hiveLines().contains(programKeyLine), !staysOpen);
    TRegistry registry(RegistryRoot::CurrentUser);
    QVERIFY(registry.OpenKeyReadOnly(QStringLiteral("\\Software") + key + QStringLiteral("\\Last")));
    QCOMPARE(registry.ReadString(QStringLiteral("Probe")), QStringLiteral("1"));
}

void TestConfigUtils::closeKeyReopensOnNextAccess()
{
    m_store->EnsureOpen();
    m_store->CloseKey();
    QVERIFY(!m_store->IsOpen());
    QVERIFY(QFile::remove(hivePath()));
    QCOMPARE(m_store->ReadInteger(LastSection, QStringLiteral("Form1.Top"), 12), 12);
    QVERIFY(m_store->IsOpen());
    QVERIFY(hiveLines().contains(QStringLiteral("[HKEY_CURRENT_USER\\Software\\Tessavel\\Lexivane\\1.0]")));
}

// ---- font records ------------------------------------------------------------

void TestConfigUtils::recordEquality_data()
{
    QTest::addColumn<TFontRecord>("other");
    QTest::addColumn<bool>("equal");
    QTest::newRow("same values") << Record("Arial", 10, fsBold, 255, 204) << true;
    QTest::newRow("name") << Record("arial", 10, fsBold, 255, 204) << false;
    QTest::newRow("size") << Record("Arial", 11, fsBold, 255, 204) << false;
    QTest::newRow("style") << Record("Arial", 10, fsBold | fsItalic, 255, 204) << false;
    QTest::newRow("color") << Record("Arial", 10, fsBold, 254, 204) << false;
    QTest::newRow("charset") << Record("Arial", 10, fsBold, 255, 0) << false;
}

void TestConfigUtils::recordEquality()
{
    QFETCH(TFontRecord, other);
    QFETCH(bool, equal);
    const TFontRecord base = Record("Arial", 10, fsBold, 255, 204);
    QCOMPARE(base == other, equal);
    QCOMPARE(other == base, equal);
    QCOMPARE(base != other, !equal);
}

void TestConfigUtils::namedFontDefaults_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<TFontRecord>("expected");
    QTest::newRow("NormalFont") << "NormalFont" << Record("Courier New", 10, 0, -2147483640, 1);
    QTest::newRow("TitleFont") << "TitleFont" << Record("Courier New", 10, fsBold, -2147483640, 1);
    QTest::newRow("OriginFont") << "OriginFont" << Record("Courier New", 10, 0, 8388608, 1);
    QTest::newRow("ChangedFont") << "ChangedFont" << Record("Courier New", 10, fsBold, -2147483640, 1);
    QTest::newRow("other name") << "Unknown" << Record("Courier New", 10, 0, -2147483640, 1);
}

void TestConfigUtils::namedFontDefaults()
{
    QFETCH(QString, name);
    QFETCH(TFontRecord, expected);
    const TFontRecord font = DefaultNamedFont(name);
    QCOMPARE(Describe(font), Describe(expected));
    QVERIFY(font == expected);
}

void TestConfigUtils::firstRunKeepsFontDefaults()
{
    for (const QString &name : {QStringLiteral("NormalFont"), QStringLiteral("TitleFont"), QStringLiteral("OriginFont"),
                                QStringLiteral("ChangedFont")}) {
        TFontRecord font = DefaultNamedFont(name);
        LoadNamedFont(name, font);
        QCOMPARE(Describe(font), Describe(DefaultNamedFont(name)));
    }
    QVERIFY(lastValueNames().isEmpty());
}

void TestConfigUtils::loadStyle_data()
{
    QTest::addColumn<QString>("stored"); // null: absent
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    const int bold = fsBold;
    QTest::newRow("absent") << QString() << bold << bold;
    QTest::newRow("star alone: no style") << "*" << bold << 0;
    QTest::newRow("empty: unchanged") << "" << bold << bold;
    QTest::newRow("no leading star: unchanged") << "fsBold" << int(fsItalic) << int(fsItalic);
    QTest::newRow("blanks around names") << "* fsItalic , fsBold" << 0 << int(fsItalic | fsBold);
    QTest::newRow("two names") << "*fsBold,fsItalic" << int(fsUnderline) << int(fsBold | fsItalic);
    QTest::newRow("all four") << "*fsStrikeOut,fsUnderline,fsItalic,fsBold" << 0 << 15;
    QTest::newRow("any first character") << "#fsUnderline" << bold << int(fsUnderline);
    QTest::newRow("ignoring case") << "*FSSTRIKEOUT,fsitalic" << 0 << int(fsStrikeOut | fsItalic);
    QTest::newRow("trailing comma") << "*fsBold," << 0 << bold;
    QTest::newRow("blank") << "  " << bold << 0;
    QTest::newRow("unknown name: unchanged") << "*fsBold,fsBlink" << int(fsItalic) << int(fsItalic);
    QTest::newRow("empty item: unchanged") << "*fsBold,,fsItalic" << int(fsUnderline) << int(fsUnderline);
    QTest::newRow("number: unchanged") << "*1" << bold << bold;
}

void TestConfigUtils::loadStyle()
{
    QFETCH(QString, stored);
    QFETCH(int, before);
    QFETCH(int, after);
    if (!stored.isNull())
        putLast(QStringLiteral("TitleFont.Font.Style"), stored);
    TFontRecord font = DefaultNamedFont(QStringLiteral("TitleFont"));
    font.Style = TFontStyles::fromInt(before);
    TFontRecord expected = font;
    expected.Style = TFontStyles::fromInt(after);
    LoadNamedFont(QStringLiteral("TitleFont"), font);
    QCOMPARE(Describe(font), Describe(expected));
}

void TestConfigUtils::loadSize_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("size");
    QTest::newRow("12") << "12" << 12;
    QTest::newRow("1") << "1" << 1;
    QTest::newRow("0") << "0" << 1;
    QTest::newRow("-3") << "-3" << 1;
    QTest::newRow("hexadecimal") << "0x10" << 16;
    QTest::newRow("unreadable") << "big" << 10;
    QTest::newRow("empty") << "" << 10;
}

void TestConfigUtils::loadSize()
{
    QFETCH(QString, stored);
    QFETCH(int, size);
    putLast(QStringLiteral("NormalFont.Font.Size"), stored);
    TFontRecord font;
    LoadNamedFont(QStringLiteral("NormalFont"), font);
    QCOMPARE(font.Size, size);
}

void TestConfigUtils::loadCharSet_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("charSet");
    QTest::newRow("Cyrillic") << "204" << 204;
    QTest::newRow("ANSI") << "0" << 0;
    QTest::newRow("low 8 bits of 256") << "256" << 0;
    QTest::newRow("low 8 bits of 0x1CC") << "0x1CC" << 204;
    QTest::newRow("low 8 bits of -1") << "-1" << 255;
    QTest::newRow("unreadable") << "cyrillic" << 1;
}

void TestConfigUtils::loadCharSet()
{
    QFETCH(QString, stored);
    QFETCH(int, charSet);
    putLast(QStringLiteral("NormalFont.Font.CharSet"), stored);
    TFontRecord font;
    LoadNamedFont(QStringLiteral("NormalFont"), font);
    QCOMPARE(int(font.CharSet), charSet);
}

void TestConfigUtils::loadColor_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<qint32>("color");
    QTest::newRow("window text") << "-2147483640" << qint32(-2147483640);
    QTest::newRow("navy") << "8388608" << 0x800000;
    QTest::newRow("red, hexadecimal") << "$FF" << 0xFF;
    QTest::newRow("window, 0x") << "0x80000005" << qint32(-2147483643);
    QTest::newRow("unreadable: as it was") << "blue" << 0x800000;
}

void TestConfigUtils::loadColor()
{
    QFETCH(QString, stored);
    QFETCH(qint32, color);
    putLast(QStringLiteral("OriginFont.Font.Color"), stored);
    TFontRecord font = DefaultNamedFont(QStringLiteral("OriginFont"));
    LoadNamedFont(QStringLiteral("OriginFont"), font);
    QCOMPARE(font.Color, color);
}

void TestConfigUtils::loadChosenAttributes_data()
{
    QTest::addColumn<int>("attributes");
    QTest::addColumn<TFontRecord>("expected");
    const TFontRecord before; // "Courier New", 10, none, window text, 1
    QTest::newRow("none") << 0 << before;
    QTest::newRow("name") << int(faName) << Record("Arial", 10, 0, clWindowText, 1);
    QTest::newRow("style") << int(faStyle) << Record("Courier New", 10, fsItalic, clWindowText, 1);
    QTest::newRow("size") << int(faSize) << Record("Courier New", 14, 0, clWindowText, 1);
    QTest::newRow("color") << int(faColor) << Record("Courier New", 10, 0, 255, 1);
    QTest::newRow("charset") << int(faCharSet) << Record("Courier New", 10, 0, clWindowText, 204);
    QTest::newRow("name and size") << int(faName | faSize) << Record("Arial", 14, 0, clWindowText, 1);
    QTest::newRow("all") << 31 << Record("Arial", 14, fsItalic, 255, 204);
}

void TestConfigUtils::loadChosenAttributes()
{
    QFETCH(int, attributes);
    QFETCH(TFontRecord, expected);
    putLast(QStringLiteral("Grid.CharSet"), QStringLiteral("204"));
    putLast(QStringLiteral("Grid.Color"), QStringLiteral("255"));
    putLast(QStringLiteral("Grid.Size"), QStringLiteral("14"));
    putLast(QStringLiteral("Grid.Name"), QStringLiteral("Arial"));
    putLast(QStringLiteral("Grid.Style"), QStringLiteral("*fsItalic"));
    TFontRecord font;
    LoadFont(*m_store, LastSection, QStringLiteral("Grid"), TFontAttrs::fromInt(attributes), font);
    QCOMPARE(Describe(font), Describe(expected));
}

void TestConfigUtils::badStyleKeepsAttributesLoadedBefore()
{
    putLast(QStringLiteral("ChangedFont.Font.Size"), QStringLiteral("12"));
    putLast(QStringLiteral("ChangedFont.Font.Name"), QStringLiteral("Liberation Mono"));
    putLast(QStringLiteral("ChangedFont.Font.Style"), QStringLiteral("*fsBold,fsShadow"));
    TFontRecord font = DefaultNamedFont(QStringLiteral("ChangedFont"));
    LoadNamedFont(QStringLiteral("ChangedFont"), font);
    QCOMPARE(Describe(font), Describe(Record("Liberation Mono", 12, fsBold, clWindowText, 1)));
}

// A value of the wrong type is not caught: the attributes before it are
// loaded, those after it are not.
void TestConfigUtils::registryErrorStopsLoad()
{
    QVERIFY(WriteWholeFile(hivePath(), HiveHeader.toUtf8() + "\n\n" + LastHeader.toUtf8()
                                           + "\n\"NormalFont.Font.CharSet\"=\"204\""
                                             "\n\"NormalFont.Font.Color\"=dword:000000ff"
                                             "\n\"NormalFont.Font.Size\"=\"20\"\n"));
    TFontRecord font;
    try {
        LoadNamedFont(QStringLiteral("NormalFont"), font);
        QFAIL("no error raised");
    } catch (const ERegistryException &e) {
        QCOMPARE(e.Message(), QStringLiteral("Invalid data type for 'NormalFont.Font.Color'"));
    }
    QCOMPARE(Describe(font), Describe(Record("Courier New", 10, 0, clWindowText, 204)));
}

void TestConfigUtils::saveFont_data()
{
    QTest::addColumn<TFontRecord>("font");
    QTest::addColumn<QStringList>("texts"); // CharSet, Color, Size, Name, Style
    QTest::newRow("normal") << DefaultNamedFont("NormalFont")
                            << QStringList{"1", "-2147483640", "10", "Courier New", "*"};
    QTest::newRow("title") << DefaultNamedFont("TitleFont")
                           << QStringList{"1", "-2147483640", "10", "Courier New", "*fsBold"};
    QTest::newRow("origin") << DefaultNamedFont("OriginFont")
                            << QStringList{"1", "8388608", "10", "Courier New", "*"};
    QTest::newRow("bold and underline") << Record("Arial", 12, fsUnderline | fsBold, 0x00123456, 204)
                                        << QStringList{"204", "1193046", "12", "Arial", "*fsBold,fsUnderline"};
    QTest::newRow("all styles") << Record("Liberation Mono", 9, 15, 0, 0)
                                << QStringList{"0", "0", "9", "Liberation Mono", "*fsBold,fsItalic,fsUnderline,fsStrikeOut"};
    QTest::newRow("italic strikeout") << Record("x", 1, fsStrikeOut | fsItalic, -2147483643, 255)
                                      << QStringList{"255", "-2147483643", "1", "x", "*fsItalic,fsStrikeOut"};
}

void TestConfigUtils::saveFont()
{
    QFETCH(TFontRecord, font);
    QFETCH(QStringList, texts);
    SaveNamedFont(QStringLiteral("TitleFont"), font);
    const QStringList words{"CharSet", "Color", "Size", "Name", "Style"};
    for (int i = 0; i < words.size(); ++i)
        QCOMPARE(lastValue(QStringLiteral("TitleFont.Font.") + words.at(i)), texts.at(i));
}

void TestConfigUtils::saveWritesChosenValuesInOrder_data()
{
    QTest::addColumn<int>("attributes");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("all") << 31 << QStringList{"P.CharSet", "P.Color", "P.Size", "P.Name", "P.Style"};
    QTest::newRow("none") << 0 << QStringList{};
    QTest::newRow("style and name") << int(faStyle | faName) << QStringList{"P.Name", "P.Style"};
    QTest::newRow("charset and size") << int(faSize | faCharSet) << QStringList{"P.CharSet", "P.Size"};
    QTest::newRow("color") << int(faColor) << QStringList{"P.Color"};
}

// Values new to a section are appended in the order they are written.
void TestConfigUtils::saveWritesChosenValuesInOrder()
{
    QFETCH(int, attributes);
    QFETCH(QStringList, names);
    m_store->WriteString(LastSection, QStringLiteral("First"), QStringLiteral("x"));
    SaveFont(*m_store, LastSection, QStringLiteral("P"), TFontAttrs::fromInt(attributes), TFontRecord());
    QCOMPARE(lastValueNames(), QStringList{QStringLiteral("First")} + names);
}

void TestConfigUtils::namedFontsRoundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<TFontRecord>("font");
    for (int style = 0; style < 16; ++style)
        QTest::addRow("style %d", style) << "NormalFont" << Record("Arial", 8 + style, style, 0x00ABCDEF, 238);
    QTest::newRow("system colour") << "OriginFont" << Record("DejaVu Sans Mono", 72, fsItalic, -2147483634, 0);
    QTest::newRow("name with blanks and quotes") << "ChangedFont" << Record("\"Odd\" Face \\ 2", 11, 0, 0, 128);
}

void TestConfigUtils::namedFontsRoundTrip()
{
    QFETCH(QString, name);
    QFETCH(TFontRecord, font);
    SaveNamedFont(name, font);
    TFontRecord loaded = DefaultNamedFont(QStringLiteral("TitleFont"));
    LoadNamedFont(name, loaded);
    QCOMPARE(Describe(loaded), Describe(font));
    QVERIFY(loaded == font);
    QCOMPARE(lastValueNames().size(), 5);
}

QTEST_GUILESS_MAIN(TestConfigUtils)
#include "tst_configutils.moc"
