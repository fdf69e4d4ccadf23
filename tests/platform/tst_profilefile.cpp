#include "platform/PlatformPaths.h"
#include "platform/ProfileFile.h"
#include "support/TestEnvironment.h"

#include <QtTest>

#include <memory>

namespace {

const QByteArray SampleIni =
    "; a comment\r\n"
    "[Fonts]\r\n"
    "Arial=arial.ttf\r\n"
    "\r\n"
    "[ Desktop ]  \r\n"
    "  Wallpaper  =  \"C:\\pics\\sea.bmp\"  \r\n"
    "Pattern='(None)'\r\n"
    "Empty=\r\n"
    "Blank=   \r\n"
    "EmptyQuotes=\"\"\r\n"
    "LoneQuote=\"\r\n"
    "Mismatched=\"a'\r\n"
    "Inner=a \"b\" c\r\n"
    "Twice=first\r\n"
    "TWICE=second\r\n"
    ";Hidden=commented out\r\n"
    "   ; Indented=comment\r\n"
    "Equals=a=b\r\n"
    "NoValueLine\r\n"
    "Cyrillic=\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82\r\n"
    "Inline=value ; not a comment\r\n"
    "Spaces Inside = x y \r\n"
    "[desktop]\r\n"
    "OnlyInSecond=x\r\n"
    "Twice=third\r\n"
    "[Other]\r\n"
    "Arial=other\r\n";

} // namespace

class TestProfileFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void readsEntries_data();
    void readsEntries();
    void returnsAtMostSizeMinusOne_data();
    void returnsAtMostSizeMinusOne();
    void missingFileGivesDefault();
    void readsUtf8WithByteOrderMark();
    void profileStringReadsWinIni_data();
    void profileStringReadsWinIni();

private:
    QString sampleFile() const { return m_env->path(QStringLiteral("sample.ini")); }

    std::unique_ptr<TestEnvironment> m_env;
};

void TestProfileFile::init()
{
    m_env = std::make_unique<TestEnvironment>();
}

void TestProfileFile::cleanup()
{
    m_env.reset();
}

void TestProfileFile::readsEntries_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // the default is "(default)"

    QTest::newRow("plain") << "Fonts" << "Arial" << "arial.ttf";
    QTest::newRow("same key, other section") << "Other" << "Arial" << "other";
    QTest::newRow("trimmed, double quotes removed") << "Desktop" << "Wallpaper" << "C:\\pics\\sea.bmp";
    QTest::newRow("single quotes removed") << "Desktop" << "Pattern" << "(None)";
    QTest::newRow("section case") << "DESKTOP" << "Pattern" << "(None)";
    QTest::newRow("key case") << "Desktop" << "wallPAPER" << "C:\\pics\\sea.bmp";
    QTest::newRow("names trimmed") << "  Desktop " << " Wallpaper  " << "C:\\pics\\sea.bmp";
    QTest::newRow("empty value") << "Desktop" << "Empty" << "";
    QTest::newRow("blank value") << "Desktop" << "Blank" << "";
    QTest::newRow("empty quotes") << "Desktop" << "EmptyQuotes" << "";
    QTest::newRow("lone quote kept") << "Desktop" << "LoneQuote" << "\"";
    QTest::newRow("mismatched quotes kept") << "Desktop" << "Mismatched" << "\"a'";
    QTest::newRow("inner quotes kept") << "Desktop" << "Inner" << "a \"b\" c";
    QTest::newRow("first key wins") << "Desktop" << "Twice" << "first";
    QTest::newRow("comment") << "Desktop" << "Hidden" << "(default)";
    QTest::newRow("comment is no entry") << "Desktop" << ";Hidden" << "(default)";
    QTest::newRow("indented comment") << "Desktop" << "Indented" << "(default)";
    QTest::newRow("equals in value") << "Desktop" << "Equals" << "a=b";
    QTest::newRow("line without equals") << "Desktop" << "NoValueLine" << "(default)";
    QTest::newRow("UTF-8") << "Desktop" << "Cyrillic" << QStringLiteral("Привет");
    QTest::newRow("semicolon in value") << "Desktop" << "Inline" << "value ; not a comment";
    QTest::newRow("blank inside key") << "Desktop" << "Spaces Inside" << "x y";
    QTest::newRow("only first section searched") << "Desktop" << "OnlyInSecond" << "(default)";
    QTest::newRow("missing key") << "Fonts" << "Courier" << "(default)";
    QTest::newRow("missing section") << "Windows" << "Arial" << "(default)";
    QTest::newRow("key outside its section") << "Fonts" << "Pattern" << "(default)";
    QTest::newRow("comment is no section") << "a comment" << "Arial" << "(default)";
}

void TestProfileFile::readsEntries()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    QVERIFY(WriteWholeFile(sampleFile(), SampleIni));
    QCOMPARE(GetPrivateProfileString(section, key, QStringLiteral("(default)"), 260, sampleFile()), expected);
}

void TestProfileFile::returnsAtMostSizeMinusOne_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("expected");

    QTest::newRow("fits exactly") << "Arial" << "" << 10 << "arial.ttf";
    QTest::newRow("one short") << "Arial" << "" << 9 << "arial.tt";
    QTest::newRow("short buffer") << "Arial" << "" << 4 << "ari";
    QTest::newRow("room for the NUL only") << "Arial" << "" << 1 << "";
    QTest::newRow("no buffer") << "Arial" << "" << 0 << "";
    QTest::newRow("default cut") << "Missing" << "default" << 4 << "def";
    QTest::newRow("default fits") << "Missing" << "default" << 8 << "default";
    QTest::newRow("default loses trailing blanks") << "Missing" << "  default  " << 260 << "  default";
}

void TestProfileFile::returnsAtMostSizeMinusOne()
{
    QFETCH(QString, key);
    QFETCH(QString, defaultValue);
    QFETCH(int, size);
    QFETCH(QString, expected);

    QVERIFY(WriteWholeFile(sampleFile(), SampleIni));
    QCOMPARE(GetPrivateProfileString(QStringLiteral("Fonts"), key, defaultValue, size, sampleFile()), expected);
}

void TestProfileFile::missingFileGivesDefault()
{
    const QString missing = m_env->path(QStringLiteral("missing.ini"));
    QCOMPARE(GetPrivateProfileString(QStringLiteral("Fonts"), QStringLiteral("Arial"), QStringLiteral("none"), 260,
                                     missing),
             QStringLiteral("none"));
    QCOMPARE(GetPrivateProfileString(QStringLiteral("Fonts"), QStringLiteral("Arial"), QStringLiteral("none"), 260,
                                     m_env->root()), // a folder, not a file
             QStringLiteral("none"));
}

void TestProfileFile::readsUtf8WithByteOrderMark()
{
    QVERIFY(WriteWholeFile(sampleFile(), QByteArray("\xEF\xBB\xBF[First]\nName=Grüße\n")));
    QCOMPARE(GetPrivateProfileString(QStringLiteral("First"), QStringLiteral("Name"), QString(), 260, sampleFile()),
             QStringLiteral("Grüße"));
}

void TestProfileFile::profileStringReadsWinIni_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("expected");

    QTest::newRow("found") << "intl" << "sLanguage" << 260 << "ENU";
    QTest::newRow("case") << "INTL" << "slanguage" << 260 << "ENU";
    QTest::newRow("cut") << "intl" << "sCountry" << 5 << "Unit";
    QTest::newRow("missing") << "intl" << "sDecimal" << 260 << "(default)";
}

void TestProfileFile::profileStringReadsWinIni()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(int, size);
    QFETCH(QString, expected);

    QCOMPARE(WinIniFileName(), m_env->systemDir() + QStringLiteral("/WIN.INI"));
    QVERIFY(WriteWholeFile(WinIniFileName(), "[intl]\nsLanguage=ENU\nsCountry=United States\n"));
    QCOMPARE(GetProfileString(section, key, QStringLiteral("(default)"), size), expected);

    // A profile file elsewhere does not count.
    qputenv("LEXIVANE_SYSTEM_DIR", QFile::encodeName(m_env->userDir()));
    QCOMPARE(WinIniFileName(), m_env->userDir() + QStringLiteral("/WIN.INI"));
    QCOMPARE(GetProfileString(section, key, QStringLiteral("(default)"), size),
             QStringLiteral("(default)").left(size - 1));
}

QTEST_GUILESS_MAIN(TestProfileFile)
#include "tst_profilefile.moc"
