#include "platform/CodePages.h"
#include "support/TestEnvironment.h"

#include <QSet>
#include <QtTest>

#include <memory>

namespace {

QByteArray AllBytes(int count = 256)
{
    QByteArray bytes(count, '\0');
    for (int i = 0; i < count; ++i)
        bytes[i] = static_cast<char>(i);
    return bytes;
}

// The code pages with their own pair in CodePagesForLanguage, and a few more.
const char *const SupportedPages[] = {
    "windows-1250", "windows-1251", "windows-1252", "windows-1253", "windows-1254", "windows-1257",
    "IBM437", "IBM737", "IBM775", "IBM850", "IBM852", "IBM857", "IBM866", "KOI8-R", "ISO-8859-1",
};

} // namespace

class TestCodePages : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void everyAnsiByteRoundTrips_data();
    void everyAnsiByteRoundTrips();
    void everyOemByteRoundTrips_data();
    void everyOemByteRoundTrips();
    void bytesDecodeToKnownCharacters_data();
    void bytesDecodeToKnownCharacters();
    void lettersConvertFromOemToAnsi_data();
    void lettersConvertFromOemToAnsi();
    void asciiBytesStayInPlace_data();
    void asciiBytesStayInPlace();
    void lackingCharactersBecomeBaseLetterOrQuestionMark_data();
    void lackingCharactersBecomeBaseLetterOrQuestionMark();
    void sameCodePageConvertsToItself_data();
    void sameCodePageConvertsToItself();
    void unicodeToAnsiConverts_data();
    void unicodeToAnsiConverts();
    void unicodeToAnsiRefusesMissingCharacter_data();
    void unicodeToAnsiRefusesMissingCharacter();
    void utf8CodecAgreesWithUnicode_data();
    void utf8CodecAgreesWithUnicode();
    void utf8CodecRefusesMissingCharacter_data();
    void utf8CodecRefusesMissingCharacter();
    void setCodePagesRejectsUnusableNames_data();
    void setCodePagesRejectsUnusableNames();
    void environmentChoosesCodePages_data();
    void environmentChoosesCodePages();
    void languageChoosesCodePages_data();
    void languageChoosesCodePages();

private:
    std::unique_ptr<TestEnvironment> m_env;
};

void TestCodePages::init()
{
    m_env = std::make_unique<TestEnvironment>();
    qunsetenv("LEXIVANE_ANSI_CODEPAGE");
    qunsetenv("LEXIVANE_OEM_CODEPAGE");
}

void TestCodePages::cleanup()
{
    qunsetenv("LEXIVANE_ANSI_CODEPAGE");
    qunsetenv("LEXIVANE_OEM_CODEPAGE");
    m_env.reset();
}

void TestCodePages::everyAnsiByteRoundTrips_data()
{
    QTest::addColumn<QString>("page");
    for (const char *page : SupportedPages)
        QTest::newRow(page) << QString::fromLatin1(page);
}

// Some of these tables leave bytes undefined or give two bytes the same
// character (windows-1253, windows-1257, IBM852, IBM857): the round trip
// holds for them all the same.
void TestCodePages::everyAnsiByteRoundTrips()
{
    QFETCH(QString, page);
    SetCodePages(page, QStringLiteral("IBM437"));

    const QByteArray bytes = AllBytes();
    const QString text = AnsiToUnicode(bytes);
    QCOMPARE(text.size(), 256);

    QSet<QChar> distinct;
    for (QChar c : text) {
        QVERIFY2(c != QChar(QChar::ReplacementCharacter), qPrintable(page));
        distinct.insert(c);
    }
    QCOMPARE(distinct.size(), 256);

    QByteArray back;
    qsizetype badPosition = -1;
    QVERIFY(UnicodeToAnsi(text, back, &badPosition));
    QCOMPARE(badPosition, qsizetype(-1));
    QCOMPARE(back, bytes);
}

void TestCodePages::everyOemByteRoundTrips_data()
{
    everyAnsiByteRoundTrips_data();
}

// Texts marked as OEM are shown and edited through the OEM page: each byte
// must come back as it went, and the two pages must not be mixed up.
void TestCodePages::everyOemByteRoundTrips()
{
    QFETCH(QString, page);
    SetCodePages(QStringLiteral("windows-1252"), page);

    const QByteArray bytes = AllBytes();
    const QString text = OemToUnicode(bytes);
    QCOMPARE(text.size(), 256);
    QByteArray back;
    QVERIFY(UnicodeToOem(text, back));
    QCOMPARE(back, bytes);

    if (page == QLatin1String("IBM866")) {
        QCOMPARE(OemToUnicode(QByteArray("\x8F\xE0\xA8\xA2\xA5\xE2")), QStringLiteral("Привет"));
        qsizetype badPosition = -1;
        QVERIFY(!UnicodeToOem(QStringLiteral("ab€"), back, &badPosition));
        QCOMPARE(badPosition, qsizetype(2));
    }
}

void TestCodePages::bytesDecodeToKnownCharacters_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("character");

    QTest::newRow("1252 euro") << "windows-1252" << 0x80 << 0x20AC;
    QTest::newRow("1252 e acute") << "windows-1252" << 0xE9 << 0x00E9;
    QTest::newRow("1251 capital A") << "windows-1251" << 0xC0 << 0x0410;
    QTest::newRow("1251 numero") << "windows-1251" << 0xB9 << 0x2116;
    QTest::newRow("866 capital Pe") << "IBM866" << 0x8F << 0x041F;
    QTest::newRow("437 box corner") << "IBM437" << 0xC9 << 0x2554;
    // IBM's tables move these control codes; they stay in place here.
    QTest::newRow("437 byte 1A") << "IBM437" << 0x1A << 0x001A;
    QTest::newRow("437 byte 1C") << "IBM437" << 0x1C << 0x001C;
    QTest::newRow("866 byte 7F") << "IBM866" << 0x7F << 0x007F;
    // Undefined bytes take the Latin-1 character of their value when the
    // code page does not use it, else a private-use character.
    QTest::newRow("1253 undefined D2") << "windows-1253" << 0xD2 << 0x00D2;
    QTest::newRow("857 undefined D5, O tilde taken") << "IBM857" << 0xD5 << 0xF7D5;
    QTest::newRow("857 undefined E7, c cedilla taken") << "IBM857" << 0xE7 << 0xF7E7;
}

void TestCodePages::bytesDecodeToKnownCharacters()
{
    QFETCH(QString, page);
    QFETCH(int, byte);
    QFETCH(int, character);

    SetCodePages(page, QStringLiteral("IBM437"));
    const QString text = AnsiToUnicode(QByteArray(1, static_cast<char>(byte)));
    QCOMPARE(text.size(), 1);
    QCOMPARE(int(text.at(0).unicode()), character);
}

void TestCodePages::lettersConvertFromOemToAnsi_data()
{
    QTest::addColumn<QString>("ansiPage");
    QTest::addColumn<QString>("oemPage");
    QTest::addColumn<QByteArray>("ansiBytes");
    QTest::addColumn<QByteArray>("oemBytes");

    // "Привет", "Łódź Żółć", "Καλημέρα", "Ağaç Işık", "Ąžuolas"
    QTest::newRow("Cyrillic") << "windows-1251" << "IBM866"
                              << QByteArray::fromHex("cff0e8e2e5f2") << QByteArray::fromHex("8fe0a8a2a5e2");
    QTest::newRow("Central European") << "windows-1250" << "IBM852"
                                      << QByteArray::fromHex("a3f3649f20aff3b3e6")
                                      << QByteArray::fromHex("9da264ab20bda28886");
    QTest::newRow("Greek") << "windows-1253" << "IBM737"
                           << QByteArray::fromHex("cae1ebe7ecddf1e1") << QByteArray::fromHex("8998a29ea3e2a898");
    QTest::newRow("Turkish") << "windows-1254" << "IBM857"
                             << QByteArray::fromHex("41f061e72049fefd6b") << QByteArray::fromHex("41a7618720499f8d6b");
    QTest::newRow("Baltic") << "windows-1257" << "IBM775"
                            << QByteArray::fromHex("c0fe756f6c6173") << QByteArray::fromHex("b5d8756f6c6173");
    QTest::newRow("Western") << "windows-1252" << "IBM437"
                             << QByteArray("caf\xe9 \xfc\xe4\xdf") << QByteArray("caf\x82 \x81\x84\xe1");
}

void TestCodePages::lettersConvertFromOemToAnsi()
{
    QFETCH(QString, ansiPage);
    QFETCH(QString, oemPage);
    QFETCH(QByteArray, ansiBytes);
    QFETCH(QByteArray, oemBytes);

    SetCodePages(ansiPage, oemPage);

    QByteArray text = oemBytes;
    OemToCharA(text);
    QCOMPARE(text, ansiBytes);
}

void TestCodePages::asciiBytesStayInPlace_data()
{
    QTest::addColumn<QString>("ansiPage");
    QTest::addColumn<QString>("oemPage");
    for (const QLocale::Language language : {QLocale::English, QLocale::Russian, QLocale::Polish, QLocale::Greek,
                                             QLocale::Turkish, QLocale::Lithuanian}) {
        const CodePageNames pages = CodePagesForLanguage(language);
        QTest::newRow(qPrintable(pages.Ansi + QLatin1Char('/') + pages.Oem)) << pages.Ansi << pages.Oem;
    }
}

void TestCodePages::asciiBytesStayInPlace()
{
    QFETCH(QString, ansiPage);
    QFETCH(QString, oemPage);
    SetCodePages(ansiPage, oemPage);

    const QByteArray ascii = AllBytes(128);
    QByteArray text = ascii;
    OemToCharA(text);
    QCOMPARE(text, ascii);
}

void TestCodePages::lackingCharactersBecomeBaseLetterOrQuestionMark_data()
{
    QTest::addColumn<QString>("ansiPage");
    QTest::addColumn<QString>("oemPage");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    // ő č: base letters; Ł: nothing near.
    QTest::newRow("852 to 1252: base letters") << "windows-1252" << "IBM852" << QByteArray("\x8b\x9f\x9d")
                                               << QByteArray("oc?");
    // ⁿ: its single-character compatibility form.
    QTest::newRow("437 to 1252: superscript n") << "windows-1252" << "IBM437" << QByteArray("x\xfc")
                                                << QByteArray("xn");
    // ‗: a compatibility form of two characters gives no letter.
    QTest::newRow("850 to 1252: double low line") << "windows-1252" << "IBM850" << QByteArray("\xf2")
                                                  << QByteArray("?");
    // ╬ ε: missing; ƒ: present in windows-1252.
    QTest::newRow("437 to 1252") << "windows-1252" << "IBM437" << QByteArray("\xce\xee\x9f") << QByteArray("??\x83");
    // ░ √: missing; °: present.
    QTest::newRow("866 to 1251") << "windows-1251" << "IBM866" << QByteArray("\xb0\xfb\xf8") << QByteArray("??\xb0");
}

void TestCodePages::lackingCharactersBecomeBaseLetterOrQuestionMark()
{
    QFETCH(QString, ansiPage);
    QFETCH(QString, oemPage);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);

    SetCodePages(ansiPage, oemPage);
    QByteArray text = input;
    OemToCharA(text);
    QCOMPARE(text, expected);
}

void TestCodePages::sameCodePageConvertsToItself_data()
{
    QTest::addColumn<QString>("page");
    for (const char *page : SupportedPages)
        QTest::newRow(page) << QString::fromLatin1(page);
}

void TestCodePages::sameCodePageConvertsToItself()
{
    QFETCH(QString, page);
    SetCodePages(page, page);

    const QByteArray bytes = AllBytes();
    QByteArray text = bytes;
    OemToCharA(text);
    QCOMPARE(text, bytes);
}

void TestCodePages::unicodeToAnsiConverts_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("empty") << "windows-1252" << QString() << QByteArray();
    QTest::newRow("Cyrillic") << "windows-1251" << QStringLiteral("Привет, мир!")
                              << QByteArray::fromHex("cff0e8e2e5f22c20ece8f021");
    QTest::newRow("Western") << "windows-1252" << QStringLiteral("€5 à la carte")
                             << QByteArray("\x80" "5 \xe0 la carte");
    QTest::newRow("control codes") << "windows-1252" << QStringLiteral("a\tb\r\n") << QByteArray("a\tb\r\n");
}

void TestCodePages::unicodeToAnsiConverts()
{
    QFETCH(QString, page);
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);

    SetCodePages(page, QStringLiteral("IBM437"));
    QByteArray result;
    QVERIFY(UnicodeToAnsi(text, result));
    QCOMPARE(result, expected);
    QCOMPARE(AnsiToUnicode(result), text);
}

void TestCodePages::unicodeToAnsiRefusesMissingCharacter_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("position");

    QTest::newRow("Cyrillic in 1252") << "windows-1252" << QStringLiteral("abcЖd") << qsizetype(3);
    QTest::newRow("first character") << "windows-1252" << QStringLiteral("Жabc") << qsizetype(0);
    QTest::newRow("first of several") << "windows-1252" << QStringLiteral("éè€ŠĀ ω") << qsizetype(4);
    QTest::newRow("Greek in 1251") << "windows-1251" << QStringLiteral("Привет, Ω!") << qsizetype(8);
    QTest::newRow("Latin accent in 1251") << "windows-1251" << QStringLiteral("aéб") << qsizetype(1);
    QTest::newRow("surrogate pair") << "windows-1252" << QStringLiteral("x\U0001F600y") << qsizetype(1);
    QTest::newRow("replacement character") << "windows-1252" << QStringLiteral("ab\uFFFD") << qsizetype(2);
}

void TestCodePages::unicodeToAnsiRefusesMissingCharacter()
{
    QFETCH(QString, page);
    QFETCH(QString, text);
    QFETCH(qsizetype, position);

    SetCodePages(page, QStringLiteral("IBM437"));
    QByteArray result;
    qsizetype badPosition = -1;
    QVERIFY(!UnicodeToAnsi(text, result, &badPosition));
    QCOMPARE(badPosition, position);
    QVERIFY(!UnicodeToAnsi(text, result)); // no position wanted
}

// The UTF-8 codec gives what the Unicode conversions give, for every byte of
// every code page, alone and among ASCII (the codec passes runs of ASCII
// whole, eight bytes at a time).
void TestCodePages::utf8CodecAgreesWithUnicode_data()
{
    QTest::addColumn<QString>("page");
    for (const char *page : SupportedPages)
        QTest::newRow(page) << QString::fromLatin1(page);
    QTest::newRow("EBCDIC") << QStringLiteral("IBM500");
}

void TestCodePages::utf8CodecAgreesWithUnicode()
{
    QFETCH(QString, page);
    try {
        SetCodePages(page, QStringLiteral("IBM437"));
    } catch (const ECodePageError &) {
        QSKIP("this Qt has no such code page");
    }
    const AnsiUtf8Codec codec;
    QList<QByteArray> texts{QByteArray(), AllBytes(), QByteArray("plain ASCII, longer than a word or two")};
    for (int byte = 0; byte < 256; ++byte)
        texts << QByteArray(1, char(byte)) << QByteArray("abcdefghij") + char(byte) + QByteArray("klmnopqrstuvw");
    for (const QByteArray &ansi : std::as_const(texts)) {
        const QByteArray utf8 = AnsiToUnicode(ansi).toUtf8();
        QCOMPARE(codec.ToUtf8(ansi), utf8);
        QVERIFY(codec.Shows(utf8, ansi));
        QByteArray back;
        qsizetype bad = -1;
        QVERIFY(codec.FromUtf8(utf8, back, &bad));
        QCOMPARE(back, ansi);
        if (!ansi.isEmpty()) {
            QVERIFY(!codec.Shows(utf8.chopped(1), ansi));
            QVERIFY(!codec.Shows(utf8 + 'x', ansi));
            QVERIFY(!codec.Shows(utf8, ansi.chopped(1) + (ansi.endsWith('x') ? 'y' : 'x')));
        }
    }
}

// A character the code page lacks, or bytes that are not UTF-8, are refused
// at the offset of the UTF-8 sequence.
void TestCodePages::utf8CodecRefusesMissingCharacter_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<qsizetype>("offset");

    QTest::newRow("Cyrillic in 1252") << "windows-1252" << QStringLiteral("abcЖd").toUtf8() << qsizetype(3);
    QTest::newRow("after a long run") << "windows-1252" << QStringLiteral("abcdefghijklmnopЖ").toUtf8() << qsizetype(16);
    QTest::newRow("after accents") << "windows-1252" << QStringLiteral("éè€ŠĀ ω").toUtf8() << qsizetype(9);
    QTest::newRow("Greek in 1251") << "windows-1251" << QStringLiteral("Привет, Ω!").toUtf8() << qsizetype(14);
    QTest::newRow("beyond the BMP") << "windows-1252" << QStringLiteral("x\U0001F600y").toUtf8() << qsizetype(1);
    QTest::newRow("replacement character") << "windows-1252" << QStringLiteral("ab\uFFFD").toUtf8() << qsizetype(2);
    QTest::newRow("lone continuation") << "windows-1252" << QByteArray("ab\x80") << qsizetype(2);
    QTest::newRow("cut sequence") << "windows-1252" << QByteArray("ab\xC3") << qsizetype(2);
    QTest::newRow("overlong") << "windows-1252" << QByteArray("\xE0\x81\x81") << qsizetype(0);
    QTest::newRow("surrogate") << "windows-1252" << QByteArray("a\xED\xA0\x80") << qsizetype(1);
}

void TestCodePages::utf8CodecRefusesMissingCharacter()
{
    QFETCH(QString, page);
    QFETCH(QByteArray, utf8);
    QFETCH(qsizetype, offset);

    SetCodePages(page, QStringLiteral("IBM437"));
    const AnsiUtf8Codec codec;
    QByteArray result("left over");
    qsizetype bad = -1;
    QVERIFY(!codec.FromUtf8(utf8, result, &bad));
    QCOMPARE(bad, offset);
    QVERIFY(result.isEmpty());
    QVERIFY(!codec.FromUtf8(utf8, result)); // no offset wanted
}

void TestCodePages::setCodePagesRejectsUnusableNames_data()
{
    QTest::addColumn<QString>("ansi");
    QTest::addColumn<QString>("oem");
    QTest::addColumn<QString>("badName");

    QTest::newRow("unknown ANSI") << "no-such-page" << "IBM866" << "no-such-page";
    QTest::newRow("unknown OEM") << "windows-1251" << "IBM99999" << "IBM99999";
    QTest::newRow("empty ANSI") << "" << "IBM866" << "";
    QTest::newRow("UTF-8") << "UTF-8" << "IBM866" << "UTF-8";
    QTest::newRow("UTF-16") << "windows-1251" << "UTF-16LE" << "UTF-16LE";
    QTest::newRow("Shift_JIS") << "Shift_JIS" << "IBM866" << "Shift_JIS";
    QTest::newRow("Big5") << "windows-1251" << "Big5" << "Big5";
}

void TestCodePages::setCodePagesRejectsUnusableNames()
{
    QFETCH(QString, ansi);
    QFETCH(QString, oem);
    QFETCH(QString, badName);

    SetCodePages(QStringLiteral("windows-1251"), QStringLiteral("IBM866"));
    try {
        SetCodePages(ansi, oem);
        QFAIL("SetCodePages accepted an unusable code page");
    } catch (const ECodePageError &error) {
        QVERIFY2(error.Message().contains(QLatin1Char('\'') + badName + QLatin1Char('\'')),
                 qPrintable(error.Message()));
    }

    // The code pages in use are left as they were.
    QCOMPARE(CurrentCodePages().Ansi, QStringLiteral("windows-1251"));
    QCOMPARE(CurrentCodePages().Oem, QStringLiteral("IBM866"));
    QByteArray text = QByteArray::fromHex("8fe0a8a2a5e2");
    OemToCharA(text);
    QCOMPARE(text, QByteArray::fromHex("cff0e8e2e5f2"));
}

void TestCodePages::environmentChoosesCodePages_data()
{
    QTest::addColumn<QString>("ansiVariable");
    QTest::addColumn<QString>("oemVariable");
    QTest::addColumn<QString>("expectedAnsi"); // empty: the locale's choice
    QTest::addColumn<QString>("expectedOem");

    QTest::newRow("both set") << "windows-1251" << "IBM866" << "windows-1251" << "IBM866";
    QTest::newRow("ANSI only") << "windows-1250" << "" << "windows-1250" << "";
    QTest::newRow("OEM only") << "" << "IBM852" << "" << "IBM852";
    QTest::newRow("alias and blanks") << " koi8-r " << "cp866" << "koi8-r" << "cp866";
    QTest::newRow("unknown names") << "no-such-page" << "IBM99999" << "" << "";
    QTest::newRow("not single-byte") << "UTF-8" << "Shift_JIS" << "" << "";
    QTest::newRow("unset") << "" << "" << "" << "";
}

void TestCodePages::environmentChoosesCodePages()
{
    QFETCH(QString, ansiVariable);
    QFETCH(QString, oemVariable);
    QFETCH(QString, expectedAnsi);
    QFETCH(QString, expectedOem);

    if (!ansiVariable.isEmpty())
        qputenv("LEXIVANE_ANSI_CODEPAGE", ansiVariable.toLatin1());
    if (!oemVariable.isEmpty())
        qputenv("LEXIVANE_OEM_CODEPAGE", oemVariable.toLatin1());

    const CodePageNames locale = CodePagesForLanguage(QLocale::system().language());
    const CodePageNames chosen = DefaultCodePages();
    QCOMPARE(chosen.Ansi, expectedAnsi.isEmpty() ? locale.Ansi : expectedAnsi);
    QCOMPARE(chosen.Oem, expectedOem.isEmpty() ? locale.Oem : expectedOem);

    SetCodePages(chosen.Ansi, chosen.Oem);
    QCOMPARE(CurrentCodePages().Ansi, chosen.Ansi);
    QCOMPARE(CurrentCodePages().Oem, chosen.Oem);
}

void TestCodePages::languageChoosesCodePages_data()
{
    QTest::addColumn<QLocale::Language>("language");
    QTest::addColumn<QString>("ansi");
    QTest::addColumn<QString>("oem");

    for (const QLocale::Language language : {QLocale::Russian, QLocale::Ukrainian, QLocale::Belarusian,
                                             QLocale::Bulgarian, QLocale::Serbian, QLocale::Macedonian})
        QTest::newRow(qPrintable(QLocale::languageToString(language))) << language << "windows-1251" << "IBM866";
    for (const QLocale::Language language : {QLocale::English, QLocale::German, QLocale::French, QLocale::C,
                                             QLocale::Japanese})
        QTest::newRow(qPrintable(QLocale::languageToString(language))) << language << "windows-1252" << "IBM437";
    for (const QLocale::Language language : {QLocale::Polish, QLocale::Czech, QLocale::Hungarian})
        QTest::newRow(qPrintable(QLocale::languageToString(language))) << language << "windows-1250" << "IBM852";
    QTest::newRow("Greek") << QLocale::Greek << "windows-1253" << "IBM737";
    QTest::newRow("Turkish") << QLocale::Turkish << "windows-1254" << "IBM857";
    QTest::newRow("Latvian") << QLocale::Latvian << "windows-1257" << "IBM775";
}

void TestCodePages::languageChoosesCodePages()
{
    QFETCH(QLocale::Language, language);
    QFETCH(QString, ansi);
    QFETCH(QString, oem);

    const CodePageNames pages = CodePagesForLanguage(language);
    QCOMPARE(pages.Ansi, ansi);
    QCOMPARE(pages.Oem, oem);
    SetCodePages(pages.Ansi, pages.Oem); // Qt here knows the pair
    QCOMPARE(CurrentCodePages().Ansi, ansi);
}

QTEST_GUILESS_MAIN(TestCodePages)
#include "tst_codepages.moc"
