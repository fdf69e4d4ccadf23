// The placeholder rules: which placeholders a text holds, and when a
// translation's differ from its original's.

#include "platform/CodePages.h"
#include "support/EnglishTable.h"
#include "translation/Placeholders.h"
#include "uitext/EnglishMsg.h"
#include "uitext/LangUtils.h"

#include <QtTest>

namespace {

// Text in a code page, for placeholders among letters beyond ASCII.
QByteArray Encoded(const QString &text, bool oem)
{
    QByteArray bytes;
    const bool stored = oem ? UnicodeToOem(text, bytes) : UnicodeToAnsi(text, bytes);
    if (!stored)
        qFatal("cannot store %s", qPrintable(text));
    return bytes;
}

} // namespace

class TestPlaceholders : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        UseEnglishTable();
        SetCodePages(QStringLiteral("windows-1251"), QStringLiteral("IBM866"));
    }

    void found_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("server");      // the numbers, as "@N" joined by blanks
        QTest::addColumn<QStringList>("conversions");
        QTest::addColumn<QString>("arguments");   // class letters with lengths: d, f, s, p, n

        QTest::newRow("none") << QByteArray("plain text") << "" << QStringList{} << "";
        QTest::newRow("server style, any order, repeated") << QByteArray("@2 of @1, again @2") << "@1 @2"
                                                           << QStringList{} << "";
        QTest::newRow("@10 is @1 and a 0") << QByteArray("@10") << "@1" << QStringList{} << "";
        QTest::newRow("@0 and @x are text") << QByteArray("@0 @x @") << "" << QStringList{} << "";
        QTest::newRow("@@1") << QByteArray("@@1") << "@1" << QStringList{} << "";
        QTest::newRow("printf in order") << QByteArray("%s has %d of %ld") << ""
                                         << QStringList{"%s", "%d", "%ld"} << "s d ld";
        QTest::newRow("%% is a percent sign") << QByteArray("100%% of %s") << "" << QStringList{"%s"} << "s";
        QTest::newRow("100% sure is text") << QByteArray("100% sure") << "" << QStringList{} << "";
        QTest::newRow("a blank is no flag") << QByteArray("% d") << "" << QStringList{} << "";
        QTest::newRow("flags, width, precision") << QByteArray("%-+#08.3f") << "" << QStringList{"%-+#08.3f"} << "f";
        QTest::newRow("star width takes an int first") << QByteArray("%*d") << "" << QStringList{"%*d"} << "d d";
        QTest::newRow("star precision") << QByteArray("%.*s") << "" << QStringList{"%.*s"} << "d s";
        QTest::newRow("both stars") << QByteArray("%*.*f") << "" << QStringList{"%*.*f"} << "d d f";
        QTest::newRow("%.0s") << QByteArray("%.0s") << "" << QStringList{"%.0s"} << "s";
        QTest::newRow("lengths") << QByteArray("%hhd %hd %lld %Lf %qd %jd %zu %td") << ""
                                 << QStringList{"%hhd", "%hd", "%lld", "%Lf", "%qd", "%jd", "%zu", "%td"}
                                 << "hhd hd lld Lf qd jd zd td";
        QTest::newRow("every class") << QByteArray("%i%o%u%x%X%c%e%E%g%G%p%n") << ""
                                     << QStringList{"%i", "%o", "%u", "%x", "%X", "%c", "%e", "%E", "%g", "%G", "%p", "%n"}
                                     << "d d d d d d f f f f p n";
        QTest::newRow("no conversion letter: text") << QByteArray("%5 %l %y") << "" << QStringList{} << "";
        QTest::newRow("cut short") << QByteArray("left %-0") << "" << QStringList{} << "";
        QTest::newRow("both kinds") << QByteArray("@1: %s") << "@1" << QStringList{"%s"} << "s";
    }
    void found()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, server);
        QFETCH(QStringList, conversions);
        QFETCH(QString, arguments);
        const TPlaceholders placeholders = FindPlaceholders(text);
        QStringList numbers;
        for (int n = 0; n < 16; ++n) {
            if (placeholders.ServerNumbers & (1u << n))
                numbers << QStringLiteral("@%1").arg(n);
        }
        QCOMPARE(numbers.join(QLatin1Char(' ')), server);
        QStringList written;
        for (const QByteArray &conversion : placeholders.Conversions)
            written << QString::fromLatin1(conversion);
        QCOMPARE(written, conversions);
        const char letters[] = {'d', 'f', 's', 'p', 'n'};
        QStringList types;
        for (const TPrintfArgType &type : placeholders.Arguments)
            types << QString::fromLatin1(type.Length) + QLatin1Char(letters[type.ArgClass]);
        QCOMPARE(types.join(QLatin1Char(' ')), arguments);
        QCOMPARE(HasPrintfPlaceholders(text), !conversions.isEmpty());
    }

    void problem_data()
    {
        QTest::addColumn<QByteArray>("original");
        QTest::addColumn<QByteArray>("translation");
        QTest::addColumn<QString>("problem"); // empty: none

        QTest::newRow("untranslated never has one") << QByteArray("@1 %s") << QByteArray("@1 %s") << "";
        QTest::newRow("reordered server style is fine") << QByteArray("@1 then @2") << QByteArray("@2, @1 and @2") << "";
        QTest::newRow("dropped @2") << QByteArray("@1 and @2") << QByteArray("only @1") << "Missing @2";
        QTest::newRow("extra @3") << QByteArray("@1 and @2") << QByteArray("@1, @2, @3") << "Extra @3";
        QTest::newRow("both, every number named") << QByteArray("@1 @2 @4") << QByteArray("@3 @5 @1")
                                                  << "Missing @2 @4; Extra @3 @5";
        QTest::newRow("@10 keeps @1") << QByteArray("@1") << QByteArray("@10") << "";
        QTest::newRow("reordered printf is not") << QByteArray("%s has %ld") << QByteArray("%ld has %s")
                                                 << "Placeholders %s %ld became %ld %s";
        QTest::newRow("%d to %x is fine") << QByteArray("code %d") << QByteArray("code %x") << "";
        QTest::newRow("%d to %ld is not") << QByteArray("code %d") << QByteArray("code %ld")
                                          << "Placeholders %d became %ld";
        QTest::newRow("%d to %c is fine") << QByteArray("%d") << QByteArray("%c") << "";
        QTest::newRow("%f to %g is fine") << QByteArray("%f") << QByteArray("%.2g") << "";
        QTest::newRow("%s to %p is not") << QByteArray("%s") << QByteArray("%p") << "Placeholders %s became %p";
        QTest::newRow("a conversion dropped") << QByteArray("%s in %s") << QByteArray("%s")
                                              << "Placeholders %s %s became %s";
        QTest::newRow("all conversions dropped") << QByteArray("%d items") << QByteArray("items")
                                                 << "Placeholders %d became none";
        QTest::newRow("%*d is not %d") << QByteArray("%*d") << QByteArray("%d") << "Placeholders %*d became %d";
        QTest::newRow("%*d is %d%d") << QByteArray("%*d") << QByteArray("%d%d") << "";
        QTest::newRow("%.0s is %s") << QByteArray("%.0s") << QByteArray("%s") << "";
        QTest::newRow("%% is no argument") << QByteArray("50%% of %s") << QByteArray("%s: 50 %%") << "";
        QTest::newRow("100% sure is no argument") << QByteArray("100% sure") << QByteArray("sure") << "";
        QTest::newRow("server and printf at once") << QByteArray("@1 %s") << QByteArray("%d")
                                                   << "Missing @1; Placeholders %s became %d";
        // The scan looks at several bytes at a time: placeholders at every
        // offset of a long text.
        for (int offset : {0, 7, 8, 15, 16, 17, 31, 40, 63}) {
            const QByteArray before(offset, 'x');
            QTest::addRow("@2 dropped at offset %d", offset) << before + "@1 @2 " + QByteArray(70, 'y')
                                                              << before + "@1 " + QByteArray(71, 'z') << "Missing @2";
            QTest::addRow("%%d kept at offset %d", offset) << before + "%d" + QByteArray(50, 'y')
                                                           << QByteArray(70, 'z') + "%d" << "";
        }
        QTest::newRow("ANSI letters around") << Encoded(QStringLiteral("Файл @1 не найден"), false)
                                             << Encoded(QStringLiteral("Не найден файл"), false) << "Missing @1";
        QTest::newRow("OEM letters around") << Encoded(QStringLiteral("Файл %s, строка %d"), true)
                                            << Encoded(QStringLiteral("Строка %d, файл %s"), true)
                                            << "Placeholders %s %d became %d %s";
        QTest::newRow("OEM letters, kept") << Encoded(QStringLiteral("Файл @1"), true)
                                           << Encoded(QStringLiteral("@1: файл"), true) << "";
    }
    void problem()
    {
        QFETCH(QByteArray, original);
        QFETCH(QByteArray, translation);
        QFETCH(QString, problem);
        const TPlaceholderProblem found = FindPlaceholderProblem(original, translation);
        QCOMPARE(DescribePlaceholderProblem(found), problem);
        QCOMPARE(found.Any(), !problem.isEmpty());
        QCOMPARE(HasPlaceholderProblem(original, translation), !problem.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPlaceholders)
#include "tst_placeholders.moc"
