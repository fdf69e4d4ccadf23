// Version information: the program's own resource, the platform-style
// queries over a resource block, the choice of translation by the user's
// language, and the values read in that translation.

#include "dialogs/VerUtils.h"
#include "platform/OsError.h"

#include <QCoreApplication>
#include <QtTest>

#include <optional>

namespace {

// Plugs a resource source in for the lifetime of the object.
class TResourceSourceScope
{
public:
    explicit TResourceSourceScope(TVersionResourceSource source)
        : m_previous(SetVersionResourceSource(std::move(source)))
    {
    }
    ~TResourceSourceScope() { SetVersionResourceSource(std::move(m_previous)); }
    TResourceSourceScope(const TResourceSourceScope &) = delete;
    TResourceSourceScope &operator=(const TResourceSourceScope &) = delete;

private:
    TVersionResourceSource m_previous;
};

const QString kFile = QStringLiteral("/opt/lexivane/tool");

// "0419:1251 0409:1252" (hexadecimal language, decimal code page).
QList<TVersionTranslation> ParseTranslations(const QString &text)
{
    QList<TVersionTranslation> translations;
    const QStringList entries = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString &entry : entries) {
        const QStringList parts = entry.split(QLatin1Char(':'));
        translations.append({quint16(parts.at(0).toUInt(nullptr, 16)), quint16(parts.at(1).toUInt())});
    }
    return translations;
}

// A source that has Resource for kFile and nothing for any other file.
TVersionResourceSource OnlyForFile(const TVersionResource &resource)
{
    return [resource](const QString &fileName) -> std::optional<TVersionResource> {
        if (fileName == kFile)
            return resource;
        return std::nullopt;
    };
}

TVersionResource RussianAndEnglish()
{
    TVersionResource resource;
    resource.Translations = {{0x0419, 1251}, {0x0409, 1252}};
    resource.StringTables[QStringLiteral("041904E3")] = {
        {QStringLiteral("CompanyName"), QStringLiteral("Тессавел")},
        {QStringLiteral("Comments"), QString()},
    };
    resource.StringTables[QStringLiteral("040904E4")] = {
        {QStringLiteral("CompanyName"), QStringLiteral("Tessavel")},
        {QStringLiteral("FileVersion"), QStringLiteral("2.5")},
        {QStringLiteral("Comments"), QString()},
    };
    return resource;
}

} // namespace

class TestVerUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void translationChoice_data()
    {
        QTest::addColumn<QString>("translations");
        QTest::addColumn<int>("userLanguage");
        QTest::addColumn<QString>("expected");

        QTest::newRow("Russian, English; user English") << "0419:1251 0409:1252" << 0x0409 << "040904E4";
        QTest::newRow("Russian, English; user German") << "0419:1251 0409:1252" << 0x0407 << "041904E3";
        QTest::newRow("Russian, English; user Russian") << "0419:1251 0409:1252" << 0x0419 << "041904E3";
        QTest::newRow("one entry of another language") << "0409:1252" << 0x0407 << "040904E4";
        QTest::newRow("two matches: the last wins") << "0409:1252 0407:1252 0409:1200" << 0x0409 << "040904B0";
        QTest::newRow("match between others") << "0409:1252 0407:1252 0419:1251" << 0x0407 << "040704E4";
        QTest::newRow("only the language counts") << "0409:1252 0419:65001" << 0x0419 << "0419FDE9";
        QTest::newRow("same language, other sublanguage") << "0409:1252 0809:1252" << 0x0C09 << "040904E4";
        QTest::newRow("upper-case digits") << "0409:1252 0c0a:1252" << 0x0C0A << "0C0A04E4";
        QTest::newRow("no entries") << "" << 0x0409 << "";
    }

    void translationChoice()
    {
        QFETCH(QString, translations);
        QFETCH(int, userLanguage);
        QFETCH(QString, expected);
        TVersionResource resource;
        resource.Translations = ParseTranslations(translations);
        TResourceSourceScope source(OnlyForFile(resource));

        const TVerInfo info(kFile, quint16(userLanguage));
        QCOMPARE(info.Translation(), expected);
    }

    void userLanguageComesFromTheSystemLocale()
    {
        TResourceSourceScope source(OnlyForFile(RussianAndEnglish()));
        const TVerInfo info(kFile);
        QCOMPARE(info.Translation(), TVerInfo(kFile, GetUserDefaultLangID()).Translation());
        QCOMPARE(GetUserDefaultLangID(), LanguageIdOf(QLocale::system()));
    }

    void valuesOfTheChosenTranslation_data()
    {
        QTest::addColumn<int>("userLanguage");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");

        QTest::newRow("English company") << 0x0409 << "CompanyName" << "Tessavel";
        QTest::newRow("Russian company") << 0x0407 << "CompanyName" << "Тессавел";
        QTest::newRow("name ignoring case") << 0x0409 << "companyname" << "Tessavel";
        QTest::newRow("English only value") << 0x0409 << "FileVersion" << "2.5";
        QTest::newRow("value missing from the Russian table") << 0x0419 << "FileVersion" << "";
        QTest::newRow("empty value") << 0x0409 << "Comments" << "";
        QTest::newRow("unknown name") << 0x0409 << "ProductName" << "";
        QTest::newRow("empty name") << 0x0409 << "" << "";
    }

    void valuesOfTheChosenTranslation()
    {
        QFETCH(int, userLanguage);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        TResourceSourceScope source(OnlyForFile(RussianAndEnglish()));
        const TVerInfo info(kFile, quint16(userLanguage));
        QCOMPARE(info.GetValue(name), expected);
    }

    void withoutResourceEveryValueIsEmpty_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"Comments", "CompanyName", "FileDescription", "FileVersion", "InternalName",
                                 "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void withoutResourceEveryValueIsEmpty()
    {
        QFETCH(QString, name);
        // The program's own resource exists, but not for this file.
        const TVerInfo info(QStringLiteral("/usr/bin/some-other-program"), 0x0409);
        QCOMPARE(info.Translation(), QString());
        QCOMPARE(info.GetValue(name), QString());
        QVERIFY(!TVerInfo(QCoreApplication::applicationFilePath(), 0x0409).GetValue(name).isEmpty());
    }

    void translationsWithoutStringsGiveEmptyValues()
    {
        TVersionResource resource;
        resource.Translations = {{0x0409, 1252}};
        TResourceSourceScope source(OnlyForFile(resource));
        const TVerInfo info(kFile, 0x0409);
        QCOMPARE(info.Translation(), QStringLiteral("040904E4"));
        QCOMPARE(info.GetValue(QStringLiteral("ProductName")), QString());
    }

    void stringsWithoutTranslationsGiveEmptyValues()
    {
        TVersionResource resource;
        resource.StringTables[QStringLiteral("040904E4")] = {{QStringLiteral("ProductName"), QStringLiteral("X")}};
        TResourceSourceScope source(OnlyForFile(resource));
        const TVerInfo info(kFile, 0x0409);
        QCOMPARE(info.Translation(), QString());
        QCOMPARE(info.GetValue(QStringLiteral("ProductName")), QString());
    }

    void aResourceThatCannotBeReadRaises()
    {
        // The size is known, then the resource is gone when it is read.
        int calls = 0;
        TResourceSourceScope source([&calls](const QString &) -> std::optional<TVersionResource> {
            if (calls++ == 0)
                return RussianAndEnglish();
            return std::nullopt;
        });
        QVERIFY_THROWS_EXCEPTION(EOSError, TVerInfo(kFile, 0x0409));
        QCOMPARE(calls, 2);
    }

    void theProgramCarriesItsOwnResource_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ProductName") << "ProductName" << "Lexivane";
        QTest::newRow("FileVersion") << "FileVersion" << "1.01";
        QTest::newRow("CompanyName") << "CompanyName" << "Tessavel";
    }

    void theProgramCarriesItsOwnResource()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QCOMPARE(VerInfo().Translation(), QStringLiteral("040904E4"));
        QCOMPARE(VerInfo().GetValue(name), expected);
        QVERIFY(!VerInfo().GetValue(QStringLiteral("Comments")).isEmpty());
        QVERIFY(VerInfo().GetValue(QStringLiteral("LegalCopyright")).contains(QStringLiteral("Tessavel")));
    }

    void onlyTheProgramsFileHasTheResource()
    {
        const QString program = QCoreApplication::applicationFilePath();
        const quint32 size = GetFileVersionInfoSize(program);
        QVERIFY(size > 0);
        QCOMPARE(GetFileVersionInfoSize(program + QStringLiteral(".other")), quint32(0));
        QCOMPARE(GetFileVersionInfoSize(QString()), quint32(0));

        QByteArray block;
        QVERIFY(GetFileVersionInfo(program, size, block));
        QCOMPARE(quint32(block.size()), size);
        QByteArray other;
        QVERIFY(!GetFileVersionInfo(program + QStringLiteral(".other"), size, other));
        QVERIFY(other.isEmpty());
        QVERIFY(!GetFileVersionInfo(program, size - 1, other));
        QVERIFY(other.isEmpty());
    }

    void translationEntriesAreLittleEndianPairs()
    {
        QByteArray value;
        QVERIFY(VerQueryValue(EncodeVersionResource(RussianAndEnglish()), QStringLiteral("\\VarFileInfo\\Translation"),
                              value));
        QCOMPARE(value, QByteArray::fromHex("1904e304" "0904e404"));
    }

    void queryPaths_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("expected");

        QTest::newRow("string") << "\\StringFileInfo\\040904E4\\FileVersion" << true << "2.5";
        QTest::newRow("every part ignoring case") << "\\stringfileinfo\\040904e4\\FILEVERSION" << true << "2.5";
        QTest::newRow("Cyrillic text") << "\\StringFileInfo\\041904E3\\CompanyName" << true << "Тессавел";
        QTest::newRow("empty value") << "\\StringFileInfo\\040904E4\\Comments" << true << "";
        QTest::newRow("no such value") << "\\StringFileInfo\\040904E4\\ProductName" << false << "";
        QTest::newRow("no such translation") << "\\StringFileInfo\\040704E4\\FileVersion" << false << "";
        QTest::newRow("table without a name") << "\\StringFileInfo\\040904E4" << false << "";
        QTest::newRow("other root") << "\\VarFileInfo\\040904E4\\FileVersion" << false << "";
        QTest::newRow("no leading backslash") << "StringFileInfo\\040904E4\\FileVersion" << false << "";
    }

    void queryPaths()
    {
        QFETCH(QString, path);
        QFETCH(bool, found);
        QFETCH(QString, expected);
        QByteArray value("unchanged");
        QCOMPARE(VerQueryValue(EncodeVersionResource(RussianAndEnglish()), path, value), found);
        QCOMPARE(QString::fromUtf8(value), found ? expected : QStringLiteral("unchanged"));
    }

    void aDamagedBlockAnswersNothing_data()
    {
        QTest::addColumn<QByteArray>("block");
        const QByteArray good = EncodeVersionResource(RussianAndEnglish());
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("cut short") << good.left(good.size() - 3);
        QByteArray otherSignature = good;
        otherSignature[0] = char(otherSignature.at(0) ^ 0x01);
        QTest::newRow("other signature") << otherSignature;
        QTest::newRow("text") << QByteArray("040904E4 FileVersion=2.5");
    }

    void aDamagedBlockAnswersNothing()
    {
        QFETCH(QByteArray, block);
        QByteArray value;
        QVERIFY(!VerQueryValue(block, QStringLiteral("\\VarFileInfo\\Translation"), value));
        QVERIFY(!VerQueryValue(block, QStringLiteral("\\StringFileInfo\\040904E4\\FileVersion"), value));
    }

    void languageIdentifiers_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("expected");

        QTest::newRow("en_US") << "en_US" << 0x0409;
        QTest::newRow("en_GB") << "en_GB" << 0x0809;
        QTest::newRow("en_IN") << "en_IN" << 0x4009;
        QTest::newRow("ru_RU") << "ru_RU" << 0x0419;
        QTest::newRow("ru") << "ru" << 0x0419;
        QTest::newRow("de_DE") << "de_DE" << 0x0407;
        QTest::newRow("de_AT") << "de_AT" << 0x0C07;
        QTest::newRow("de_BE (default sublanguage)") << "de_BE" << 0x0407;
        QTest::newRow("fr_CA") << "fr_CA" << 0x0C0C;
        QTest::newRow("es_ES") << "es_ES" << 0x0C0A;
        QTest::newRow("pt_BR") << "pt_BR" << 0x0416;
        QTest::newRow("zh_TW") << "zh_TW" << 0x0404;
        QTest::newRow("uk_UA") << "uk_UA" << 0x0422;
        QTest::newRow("pl_PL") << "pl_PL" << 0x0415;
        QTest::newRow("sr (Cyrillic)") << "sr_Cyrl_RS" << 0x0C1A;
        QTest::newRow("sr (Latin)") << "sr_Latn_RS" << 0x081A;
        QTest::newRow("nn_NO") << "nn_NO" << 0x0814;
        QTest::newRow("C") << "C" << 0x0409;
    }

    void languageIdentifiers()
    {
        QFETCH(QString, locale);
        QFETCH(int, expected);
        QCOMPARE(int(LanguageIdOf(QLocale(locale))), expected);
    }
};

QTEST_GUILESS_MAIN(TestVerUtils)
#include "tst_verutils.moc"
