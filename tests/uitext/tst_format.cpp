// Format: the directives of the format language, the argument types each
// accepts, and the errors for missing or mismatched arguments.

#include "uitext/Format.h"

#include <QtTest>

#include <climits>
#include <cstdint>

using FormatArgs = QList<FormatArg>;
Q_DECLARE_METATYPE(FormatArg)
Q_DECLARE_METATYPE(FormatArgs)

namespace {

const void *Address(std::uintptr_t value)
{
    return reinterpret_cast<const void *>(value);
}

QString Filled(const char *text, const QString &format)
{
    QString message = QString::fromLatin1(text);
    message.replace(QLatin1String("%s"), format);
    return message;
}

QString MissingMessage(const QString &format)
{
    return Filled("No argument for format '%s'", format);
}

QString InvalidMessage(const QString &format)
{
    return Filled("Format '%s' invalid or incompatible with argument", format);
}

} // namespace

class tst_Format : public QObject
{
    Q_OBJECT

private slots:
    void plainTextAndPercent_data();
    void plainTextAndPercent();
    void strings_data();
    void strings();
    void decimals_data();
    void decimals();
    void hexadecimals_data();
    void hexadecimals();
    void integerTypes_data();
    void integerTypes();
    void pointers_data();
    void pointers();
    void pointerRoundTrip_data();
    void pointerRoundTrip();
    void programTexts_data();
    void programTexts();
    void argumentOrder_data();
    void argumentOrder();
    void errors_data();
    void errors();
    void initializerListForm();
    void errorIsAnException();

private:
    void addResultColumns();
    void checkResult();
};

void tst_Format::addResultColumns()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<FormatArgs>("args");
    QTest::addColumn<QString>("expected");
}

void tst_Format::checkResult()
{
    QFETCH(QString, format);
    QFETCH(FormatArgs, args);
    QFETCH(QString, expected);
    try {
        QCOMPARE(Format(format, args), expected);
    } catch (const EConvertError &error) {
        QFAIL(qPrintable(QStringLiteral("unexpected EConvertError: ") + error.Message()));
    }
}

void tst_Format::plainTextAndPercent_data()
{
    addResultColumns();
    QTest::newRow("empty") << QString() << FormatArgs{} << QString();
    QTest::newRow("plain text") << "plain text" << FormatArgs{} << "plain text";
    QTest::newRow("plain text, arguments ignored") << "abc" << FormatArgs{"x", 1} << "abc";
    QTest::newRow("double percent") << "%%" << FormatArgs{} << "%";
    QTest::newRow("percent after text") << "100%%" << FormatArgs{} << "100%";
    QTest::newRow("percent takes no argument") << "%d%%" << FormatArgs{50} << "50%";
    QTest::newRow("percent then letter") << "%%d" << FormatArgs{} << "%d";
    QTest::newRow("four percents") << "%%%%" << FormatArgs{} << "%%";
    QTest::newRow("percent around directive") << "%%%s%%" << FormatArgs{"a"} << "%a%";
    QTest::newRow("line feed kept") << "a\nb%%" << FormatArgs{} << "a\nb%";
}

void tst_Format::plainTextAndPercent()
{
    checkResult();
}

void tst_Format::strings_data()
{
    addResultColumns();
    QTest::newRow("whole") << "%s" << FormatArgs{"abc"} << "abc";
    QTest::newRow("empty argument") << "[%s]" << FormatArgs{""} << "[]";
    QTest::newRow("QString argument") << "%s" << FormatArgs{QStringLiteral("qs")} << "qs";
    QTest::newRow("upper-case letter") << "%S" << FormatArgs{"abc"} << "abc";
    QTest::newRow("width pads left") << "%5s" << FormatArgs{"ab"} << "   ab";
    QTest::newRow("minus pads right") << "%-5s|" << FormatArgs{"ab"} << "ab   |";
    QTest::newRow("minus without width") << "%-s|" << FormatArgs{"ab"} << "ab|";
    QTest::newRow("width never cuts") << "%2s" << FormatArgs{"abcdef"} << "abcdef";
    QTest::newRow("width equal to length") << "%3s" << FormatArgs{"abc"} << "abc";
    QTest::newRow("leading zero is width") << "%05s" << FormatArgs{"ab"} << "   ab";
    QTest::newRow("precision cuts") << "%.2s" << FormatArgs{"abcdef"} << "ab";
    QTest::newRow("precision longer than text") << "%.10s" << FormatArgs{"abc"} << "abc";
    QTest::newRow("precision zero") << "[%.0s]" << FormatArgs{"abc"} << "[]";
    QTest::newRow("width after precision") << "%5.2s" << FormatArgs{"abcdef"} << "   ab";
    QTest::newRow("right pad after precision") << "%-5.2s|" << FormatArgs{"abcdef"} << "ab   |";
    QTest::newRow("non-ASCII padded") << "%-4s|" << FormatArgs{QStringLiteral("äö")} << QStringLiteral("äö  |");
    QTest::newRow("non-ASCII cut") << "%.2s" << FormatArgs{QStringLiteral("äöü")} << QStringLiteral("äö");
    QTest::newRow("surrogate pair kept whole")
        << "%.2s" << FormatArgs{QStringLiteral("\U0001F600x")} << QStringLiteral("\U0001F600");
    QTest::newRow("surrogate pair not split")
        << "[%.1s]" << FormatArgs{QStringLiteral("\U0001F600x")} << "[]";
    QTest::newRow("argument with percent not expanded")
        << "%s" << FormatArgs{"%d%s%%", 5} << "%d%s%%";
}

void tst_Format::strings()
{
    checkResult();
}

void tst_Format::decimals_data()
{
    addResultColumns();
    QTest::newRow("positive") << "%d" << FormatArgs{42} << "42";
    QTest::newRow("negative") << "%d" << FormatArgs{-42} << "-42";
    QTest::newRow("zero") << "%d" << FormatArgs{0} << "0";
    QTest::newRow("upper-case letter") << "%D" << FormatArgs{7} << "7";
    QTest::newRow("width") << "%5d" << FormatArgs{42} << "   42";
    QTest::newRow("width, negative") << "%5d" << FormatArgs{-42} << "  -42";
    QTest::newRow("minus pads right") << "%-5d|" << FormatArgs{42} << "42   |";
    QTest::newRow("leading zero is width, not zero fill") << "%05d" << FormatArgs{42} << "   42";
    QTest::newRow("width never cuts") << "%2d" << FormatArgs{12345} << "12345";
    QTest::newRow("precision zero-fills") << "%.4d" << FormatArgs{5} << "0005";
    QTest::newRow("precision, sign before zeros") << "%.4d" << FormatArgs{-5} << "-0005";
    QTest::newRow("precision never cuts") << "%.2d" << FormatArgs{12345} << "12345";
    QTest::newRow("precision zero of zero") << "%.0d" << FormatArgs{0} << "0";
    QTest::newRow("width after precision") << "%6.4d" << FormatArgs{-5} << " -0005";
    QTest::newRow("right pad after precision") << "%-8.4d|" << FormatArgs{-5} << "-0005   |";
    QTest::newRow("precision only counts digits") << "%5.4d" << FormatArgs{-5} << "-0005";
    QTest::newRow("int max") << "%d" << FormatArgs{INT_MAX} << "2147483647";
    QTest::newRow("int min") << "%d" << FormatArgs{INT_MIN} << "-2147483648";
    QTest::newRow("unsigned above int max") << "%d" << FormatArgs{0xFFFFFFFFu} << "4294967295";
    QTest::newRow("long long min") << "%d" << FormatArgs{LLONG_MIN} << "-9223372036854775808";
    QTest::newRow("long long max") << "%d" << FormatArgs{LLONG_MAX} << "9223372036854775807";
    QTest::newRow("unsigned long long max") << "%d" << FormatArgs{ULLONG_MAX} << "18446744073709551615";
}

void tst_Format::decimals()
{
    checkResult();
}

void tst_Format::hexadecimals_data()
{
    addResultColumns();
    QTest::newRow("upper-case digits") << "%x" << FormatArgs{255} << "FF";
    QTest::newRow("upper-case letter") << "%X" << FormatArgs{0xabcu} << "ABC";
    QTest::newRow("zero") << "%x" << FormatArgs{0u} << "0";
    QTest::newRow("precision 5") << "%5.5x" << FormatArgs{0x1Au} << "0001A";
    QTest::newRow("precision 8 with string") << "%8.8x %s" << FormatArgs{0x1Au, "abc"} << "0000001A abc";
    QTest::newRow("all bits set") << "%8.8x" << FormatArgs{0xFFFFFFFFu} << "FFFFFFFF";
    QTest::newRow("precision never cuts") << "%.2x" << FormatArgs{0xABCDu} << "ABCD";
    QTest::newRow("width") << "%4x" << FormatArgs{0xAu} << "   A";
    QTest::newRow("minus pads right") << "%-4x|" << FormatArgs{0xAu} << "A   |";
    QTest::newRow("width after precision") << "%6.4x" << FormatArgs{0xAu} << "  000A";
    QTest::newRow("int -1") << "%x" << FormatArgs{-1} << "FFFFFFFF";
    QTest::newRow("int min") << "%x" << FormatArgs{INT_MIN} << "80000000";
    QTest::newRow("int -2, precision below width") << "%.4x" << FormatArgs{-2} << "FFFFFFFE";
    QTest::newRow("long long -1") << "%x" << FormatArgs{-1LL} << QString(16, QLatin1Char('F'));
    QTest::newRow("long long min") << "%x" << FormatArgs{LLONG_MIN} << "8000000000000000";
    QTest::newRow("unsigned long long max") << "%x" << FormatArgs{ULLONG_MAX} << QString(16, QLatin1Char('F'));
    QTest::newRow("above 32 bits") << "%x" << FormatArgs{0x123456789ALL} << "123456789A";
}

void tst_Format::hexadecimals()
{
    checkResult();
}

// Each integer type is shown in hexadecimal with its own width; types
// narrower than int are promoted to int.
void tst_Format::integerTypes_data()
{
    QTest::addColumn<FormatArg>("arg");
    QTest::addColumn<QString>("decimal");
    QTest::addColumn<QString>("hex");
    const QString longMinusOne(int(2 * sizeof(long)), QLatin1Char('F'));
    const QString sizeMax(int(2 * sizeof(std::size_t)), QLatin1Char('F'));
    QTest::newRow("short -1") << FormatArg(short(-1)) << "-1" << "FFFFFFFF";
    QTest::newRow("signed char -1") << FormatArg(static_cast<signed char>(-1)) << "-1" << "FFFFFFFF";
    QTest::newRow("char") << FormatArg('A') << "65" << "41";
    QTest::newRow("unsigned short max") << FormatArg(static_cast<unsigned short>(0xFFFF)) << "65535" << "FFFF";
    QTest::newRow("bool") << FormatArg(true) << "1" << "1";
    QTest::newRow("long -1") << FormatArg(-1L) << "-1" << longMinusOne;
    QTest::newRow("unsigned long 1") << FormatArg(1UL) << "1" << "1";
    QTest::newRow("qint64 -1") << FormatArg(qint64(-1)) << "-1" << QString(16, QLatin1Char('F'));
    QTest::newRow("quint32 max") << FormatArg(quint32(0xFFFFFFFFu)) << "4294967295" << "FFFFFFFF";
    QTest::newRow("qsizetype -3") << FormatArg(qsizetype(-3)) << "-3"
                                  << QString(int(2 * sizeof(qsizetype)) - 1, QLatin1Char('F')) + QLatin1Char('D');
    QTest::newRow("size_t max") << FormatArg(~std::size_t(0)) << QString::number(qulonglong(~std::size_t(0)))
                                << sizeMax;
}

void tst_Format::integerTypes()
{
    QFETCH(FormatArg, arg);
    QFETCH(QString, decimal);
    QFETCH(QString, hex);
    QCOMPARE(Format(QStringLiteral("%d"), FormatArgs{arg}), decimal);
    QCOMPARE(Format(QStringLiteral("%x"), FormatArgs{arg}), hex);
}

void tst_Format::pointers_data()
{
    addResultColumns();
    QTest::newRow("null") << "%p" << FormatArgs{Address(0)} << "00000000";
    QTest::newRow("small, zero-filled to 8") << "%p" << FormatArgs{Address(0x1234)} << "00001234";
    QTest::newRow("upper-case digits") << "%p" << FormatArgs{Address(0xdeadbeef)} << "DEADBEEF";
    QTest::newRow("upper-case letter") << "%P" << FormatArgs{Address(0xab)} << "000000AB";
    QTest::newRow("width") << "%12p" << FormatArgs{Address(0x1234)} << "    00001234";
    QTest::newRow("minus pads right") << "%-10p|" << FormatArgs{Address(0x1234)} << "00001234  |";
    QTest::newRow("precision asks for more digits") << "%.10p" << FormatArgs{Address(0x1234)} << "0000001234";
    QTest::newRow("precision never drops to fewer than 8") << "%.2p" << FormatArgs{Address(0x1234)} << "00001234";
    QTest::newRow("with string") << "%p %s" << FormatArgs{Address(0x10), "x"} << "00000010 x";
    if (sizeof(void *) >= 8) {
        const std::uint64_t high = 0x123456789AULL;
        QTest::newRow("above 2^32, all digits kept")
            << "%p" << FormatArgs{Address(std::uintptr_t(high))} << "123456789A";
        const std::uint64_t top = 0xFEDCBA9876543210ULL;
        QTest::newRow("full 64-bit address")
            << "%p" << FormatArgs{Address(std::uintptr_t(top))} << "FEDCBA9876543210";
    }
}

void tst_Format::pointers()
{
    checkResult();
}

// Real addresses: the text read back as hexadecimal gives the address again.
void tst_Format::pointerRoundTrip_data()
{
    static int staticValue;
    static const char text[] = "x";
    int localValue = 0;
    QTest::addColumn<quintptr>("address");
    QTest::newRow("static int") << quintptr(&staticValue);
    QTest::newRow("static text") << quintptr(text);
    QTest::newRow("this") << quintptr(this);
    QTest::newRow("stack") << quintptr(&localValue);
}

void tst_Format::pointerRoundTrip()
{
    QFETCH(quintptr, address);
    const QString text = Format(QStringLiteral("%p"), {Address(address)});
    QVERIFY2(text.size() >= 8, qPrintable(text));
    QCOMPARE(text, text.toUpper());
    bool ok = false;
    QCOMPARE(quintptr(text.toULongLong(&ok, 16)), address);
    QVERIFY(ok);
}

void tst_Format::programTexts_data()
{
    addResultColumns();
    QTest::newRow("string") << "%s" << FormatArgs{"Message file"} << "Message file";
    QTest::newRow("label and number") << "%s: %d" << FormatArgs{"Count", 3} << "Count: 3";
    QTest::newRow("list index") << "List index out of bounds (%d)" << FormatArgs{-1}
                                << "List index out of bounds (-1)";
    QTest::newRow("system error")
        << "Win32 Error.  Code: %d.\n%s" << FormatArgs{2, "No such file or directory"}
        << "Win32 Error.  Code: 2.\nNo such file or directory";
    QTest::newRow("saving file") << "Error saving file \"%s\"" << FormatArgs{"/tmp/a b.msg"}
                                 << "Error saving file \"/tmp/a b.msg\"";
    QTest::newRow("code and name") << "%8.8x %s" << FormatArgs{0x0C000001u, "isc_arith_except"}
                                   << "0C000001 isc_arith_except";
}

void tst_Format::programTexts()
{
    checkResult();
}

void tst_Format::argumentOrder_data()
{
    addResultColumns();
    QTest::newRow("three strings") << "%s-%s-%s" << FormatArgs{"a", "b", "c"} << "a-b-c";
    QTest::newRow("mixed types") << "%d %s %x" << FormatArgs{10, "ten", 10} << "10 ten A";
    QTest::newRow("adjacent directives") << "%s%d%s" << FormatArgs{"a", 1, "b"} << "a1b";
    QTest::newRow("extra arguments ignored") << "%s" << FormatArgs{"a", "b", 3} << "a";
    QTest::newRow("same value twice") << "%d/%x" << FormatArgs{255, 255} << "255/FF";
}

void tst_Format::argumentOrder()
{
    checkResult();
}

void tst_Format::errors_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<FormatArgs>("args");
    QTest::addColumn<bool>("missing");

    const void *pointer = Address(0x1234);
    QTest::newRow("no arguments") << "%s" << FormatArgs{} << true;
    QTest::newRow("one too few") << "%s %s" << FormatArgs{"a"} << true;
    QTest::newRow("decimal missing after string") << "%s: %d" << FormatArgs{"a"} << true;
    QTest::newRow("missing after double percent") << "%%%d" << FormatArgs{} << true;
    QTest::newRow("decimal given string") << "%d" << FormatArgs{"12"} << false;
    QTest::newRow("hex given string") << "%x" << FormatArgs{"1A"} << false;
    QTest::newRow("string given integer") << "%s" << FormatArgs{5} << false;
    QTest::newRow("string given pointer") << "%s" << FormatArgs{pointer} << false;
    QTest::newRow("pointer given integer") << "%p" << FormatArgs{0x1234} << false;
    QTest::newRow("pointer given string") << "%p" << FormatArgs{"x"} << false;
    QTest::newRow("decimal given pointer") << "%d" << FormatArgs{pointer} << false;
    QTest::newRow("hex given pointer") << "%x" << FormatArgs{pointer} << false;
    QTest::newRow("second argument wrong") << "%d %d" << FormatArgs{1, "2"} << false;
    QTest::newRow("unknown letter") << "%q" << FormatArgs{1} << false;
    QTest::newRow("C letter not in language") << "%u" << FormatArgs{1u} << false;
    QTest::newRow("percent at end") << "abc%" << FormatArgs{} << false;
    QTest::newRow("percent at end, argument present") << "abc%" << FormatArgs{1} << false;
    QTest::newRow("lone percent") << "%" << FormatArgs{} << false;
    QTest::newRow("ends after width") << "%5" << FormatArgs{1} << false;
    QTest::newRow("ends after minus") << "%-" << FormatArgs{1} << false;
    QTest::newRow("ends after precision") << "%5.2" << FormatArgs{1} << false;
    QTest::newRow("dot without digits") << "%.d" << FormatArgs{1} << false;
    QTest::newRow("minus after width") << "%5-d" << FormatArgs{1} << false;
    QTest::newRow("star width") << "%*d" << FormatArgs{5, 1} << false;
    QTest::newRow("space in directive") << "% d" << FormatArgs{1} << false;
    QTest::newRow("percent after flags") << "%5%" << FormatArgs{} << false;
    QTest::newRow("absurd width") << "%99999999999d" << FormatArgs{1} << false;
    QTest::newRow("absurd precision") << "%.99999999999s" << FormatArgs{"a"} << false;
}

// The message names the whole format string, inserted as it is: a "%s" in
// the format must not be expanded again.
void tst_Format::errors()
{
    QFETCH(QString, format);
    QFETCH(FormatArgs, args);
    QFETCH(bool, missing);
    const QString expected = missing ? MissingMessage(format) : InvalidMessage(format);
    try {
        const QString result = Format(format, args);
        QFAIL(qPrintable(QStringLiteral("no exception; result: ") + result));
    } catch (const EConvertError &error) {
        QCOMPARE(error.Message(), expected);
    }
}

// The brace form used throughout the program, checked without the QList.
void tst_Format::initializerListForm()
{
    QCOMPARE(Format(QStringLiteral("%5.5x"), {0x1Au}), QStringLiteral("0001A"));
    QCOMPARE(Format(QStringLiteral("%8.8x %s"), {0x1Au, "abc"}), QStringLiteral("0000001A abc"));
    QCOMPARE(Format(QStringLiteral("%s: %d"), {QStringLiteral("n"), -7}), QStringLiteral("n: -7"));
    QCOMPARE(Format(QStringLiteral("100%%")), QStringLiteral("100%"));
    QCOMPARE(Format(QStringLiteral("%d"), {-1LL}), QStringLiteral("-1"));
    QCOMPARE(Format(QStringLiteral("%x"), {-1LL}), QString(16, QLatin1Char('F')));

    const FormatArgs list{0x1Au, "abc"};
    QCOMPARE(Format(QStringLiteral("%8.8x %s"), list), Format(QStringLiteral("%8.8x %s"), {0x1Au, "abc"}));

    QString message;
    try {
        Format(QStringLiteral("%s %s"), {"only"});
    } catch (const EConvertError &error) {
        message = error.Message();
    }
    QCOMPARE(message, QStringLiteral("No argument for format '%s %s'"));
}

// The error travels as the program's own Exception with its text in what().
void tst_Format::errorIsAnException()
{
    const QString format = QStringLiteral("Fehler: %d");
    try {
        Format(format, {"kein Wert"});
        QFAIL("no exception");
    } catch (const Exception &error) {
        QVERIFY(dynamic_cast<const EConvertError *>(&error));
        QCOMPARE(QString::fromUtf8(error.what()), InvalidMessage(format));
    }
}

QTEST_GUILESS_MAIN(tst_Format)
#include "tst_format.moc"
