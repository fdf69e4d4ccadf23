// Sets read and written as member names: flag types, plain enumerations,
// members declared out of order, combinations that are no members, and the
// 32nd bit.

#include "settings/FontRecord.h"
#include "settings/TypeUtils.h"

#include <QtTest>

// Enumerations of the shapes a set type may take, for the tests only.
class SetTypes
{
    Q_GADGET

public:
    // Declared out of bit order, with a combination that is not a member.
    enum Shuffled { shHigh = 0x4, shLow = 0x1, shBoth = 0x3, shMid = 0x2, shNone = 0 };
    Q_DECLARE_FLAGS(ShuffledSet, Shuffled)
    Q_FLAG(ShuffledSet)

    // A flag type using the 32nd bit.
    enum Wide : quint32 { wdLow = 0x1u, wdTop = 0x80000000u };
    Q_DECLARE_FLAGS(WideSet, Wide)
    Q_FLAG(WideSet)

    // A plain enumeration: members 0 to 31 by value; others are not members.
    enum Ordinal { orFirst = 0, orSecond = 1, orLast = 31, orBeyond = 32, orNegative = -1 };
    Q_ENUM(Ordinal)
};

namespace {

QMetaEnum SetType(const QString &name)
{
    if (name == QLatin1String("font style"))
        return QMetaEnum::fromType<TFontStyles>();
    if (name == QLatin1String("shuffled"))
        return QMetaEnum::fromType<SetTypes::ShuffledSet>();
    if (name == QLatin1String("wide"))
        return QMetaEnum::fromType<SetTypes::WideSet>();
    if (name == QLatin1String("ordinal"))
        return QMetaEnum::fromType<SetTypes::Ordinal>();
    return {};
}

} // namespace

class TestTypeUtils : public QObject
{
    Q_OBJECT

private slots:
    void setTypesAreKnown_data();
    void setTypesAreKnown();
    void setToNames_data();
    void setToNames();
    void setToNamesClearsTheList();
    void namesToSet_data();
    void namesToSet();
    void namesToSetRefusesNonMembers_data();
    void namesToSetRefusesNonMembers();
    void fontStylesRoundTrip();
};

// Guards the tables below against a type that failed to register.
void TestTypeUtils::setTypesAreKnown_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<bool>("isFlag");
    QTest::newRow("font style") << "font style" << true;
    QTest::newRow("shuffled") << "shuffled" << true;
    QTest::newRow("wide") << "wide" << true;
    QTest::newRow("ordinal") << "ordinal" << false;
}

void TestTypeUtils::setTypesAreKnown()
{
    QFETCH(QString, type);
    QFETCH(bool, isFlag);
    QVERIFY(SetType(type).isValid());
    QCOMPARE(SetType(type).isFlag(), isFlag);
}

void TestTypeUtils::setToNames_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("no style") << "font style" << 0u << QStringList{};
    QTest::newRow("bold") << "font style" << 1u << QStringList{"fsBold"};
    QTest::newRow("bold underline") << "font style" << 5u << QStringList{"fsBold", "fsUnderline"};
    QTest::newRow("italic strikeout") << "font style" << 10u << QStringList{"fsItalic", "fsStrikeOut"};
    QTest::newRow("all styles") << "font style" << 15u
                                << QStringList{"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    QTest::newRow("bits of no member ignored") << "font style" << 0xF0000012u << QStringList{"fsItalic"};
    QTest::newRow("member order, not declaration order") << "shuffled" << 7u
                                                          << QStringList{"shLow", "shMid", "shHigh"};
    QTest::newRow("combination is not named") << "shuffled" << 3u << QStringList{"shLow", "shMid"};
    QTest::newRow("32nd bit") << "wide" << 0x80000001u << QStringList{"wdLow", "wdTop"};
    QTest::newRow("ordinal members") << "ordinal" << 0x80000003u
                                     << QStringList{"orFirst", "orSecond", "orLast"};
    QTest::newRow("ordinal gaps ignored") << "ordinal" << 0x00000104u << QStringList{};
    QTest::newRow("invalid type") << "none" << 0xFFFFFFFFu << QStringList{};
}

void TestTypeUtils::setToNames()
{
    QFETCH(QString, type);
    QFETCH(quint32, value);
    QFETCH(QStringList, names);
    QStringList result;
    SetToNames(value, SetType(type), result);
    QCOMPARE(result, names);
}

void TestTypeUtils::setToNamesClearsTheList()
{
    QStringList names{QStringLiteral("left over"), QStringLiteral("fsBold")};
    SetToNames(fsItalic, QMetaEnum::fromType<TFontStyles>(), names);
    QCOMPARE(names, QStringList{QStringLiteral("fsItalic")});
    SetToNames(0, QMetaEnum::fromType<TFontStyles>(), names);
    QVERIFY(names.isEmpty());
}

void TestTypeUtils::namesToSet_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<quint32>("value");

    QTest::newRow("empty list") << "font style" << QStringList{} << 0u;
    QTest::newRow("one") << "font style" << QStringList{"fsUnderline"} << 4u;
    QTest::newRow("any order") << "font style" << QStringList{"fsStrikeOut", "fsBold"} << 9u;
    QTest::newRow("ignoring case") << "font style" << QStringList{"FSBOLD", "fsitalic", "FsStRiKeOuT"} << 11u;
    QTest::newRow("repeated") << "font style" << QStringList{"fsBold", "fsbold"} << 1u;
    QTest::newRow("shuffled") << "shuffled" << QStringList{"shHigh", "shLow"} << 5u;
    QTest::newRow("32nd bit") << "wide" << QStringList{"wdTop"} << 0x80000000u;
    QTest::newRow("ordinal") << "ordinal" << QStringList{"orLast", "orFirst"} << 0x80000001u;
}

void TestTypeUtils::namesToSet()
{
    QFETCH(QString, type);
    QFETCH(QStringList, names);
    QFETCH(quint32, value);
    QCOMPARE(NamesToSet(names, SetType(type)), value);
}

void TestTypeUtils::namesToSetRefusesNonMembers_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("unknown") << "font style" << QStringList{"fsBlink"};
    QTest::newRow("after members") << "font style" << QStringList{"fsBold", "fsItalic", "bold"};
    QTest::newRow("empty name") << "font style" << QStringList{"fsBold", ""};
    QTest::newRow("not trimmed") << "font style" << QStringList{" fsBold"};
    QTest::newRow("the type's name") << "font style" << QStringList{"TFontStyles"};
    QTest::newRow("combination") << "shuffled" << QStringList{"shBoth"};
    QTest::newRow("zero flag") << "shuffled" << QStringList{"shNone"};
    QTest::newRow("ordinal 32") << "ordinal" << QStringList{"orBeyond"};
    QTest::newRow("negative ordinal") << "ordinal" << QStringList{"orNegative"};
    QTest::newRow("invalid type") << "none" << QStringList{"fsBold"};
}

void TestTypeUtils::namesToSetRefusesNonMembers()
{
    QFETCH(QString, type);
    QFETCH(QStringList, names);
    try {
        const quint32 value = NamesToSet(names, SetType(type));
        QFAIL(qPrintable(QStringLiteral("accepted, giving %1").arg(value)));
    } catch (const ETypeUtilsError &e) {
        QCOMPARE(e.Message(), QStringLiteral("Invalid set item specified"));
    }
}

void TestTypeUtils::fontStylesRoundTrip()
{
    const QMetaEnum type = QMetaEnum::fromType<TFontStyles>();
    for (quint32 value = 0; value < 16; ++value) {
        QStringList names;
        SetToNames(value, type, names);
        QCOMPARE(names.size(), qPopulationCount(value));
        QCOMPARE(NamesToSet(names, type), value);
    }
}

QTEST_GUILESS_MAIN(TestTypeUtils)
#include "tst_typeutils.moc"
