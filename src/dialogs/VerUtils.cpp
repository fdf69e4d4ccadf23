#include "dialogs/VerUtils.h"

#include "platform/OsError.h"
#include "uitext/Format.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFileInfo>
#include <QIODevice>
#include <QStringList>
#include <QtEndian>

#include <cerrno>

namespace {

// The block starts with the signature of the platform's fixed version
// information, then the layout version of what follows.
constexpr quint32 kBlockSignature = 0xFEEF04BD;
constexpr quint16 kBlockLayout = 1;
constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_6_0;

const char kTranslationPath[] = "\\VarFileInfo\\Translation";
const char kStringFileInfo[] = "StringFileInfo";

QString TranslationName(const TVersionTranslation &translation)
{
    return QStringLiteral("%1%2")
        .arg(translation.Language, 4, 16, QLatin1Char('0'))
        .arg(translation.CodePage, 4, 16, QLatin1Char('0'))
        .toUpper();
}

std::optional<TVersionResource> DecodeVersionResource(const QByteArray &block)
{
    QDataStream stream(block);
    stream.setVersion(kStreamVersion);
    stream.setByteOrder(QDataStream::LittleEndian);
    quint32 signature = 0;
    quint16 layout = 0;
    stream >> signature >> layout;
    if (stream.status() != QDataStream::Ok || signature != kBlockSignature || layout != kBlockLayout)
        return std::nullopt;

    TVersionResource resource;
    quint32 translations = 0;
    stream >> translations;
    for (quint32 i = 0; i < translations && stream.status() == QDataStream::Ok; ++i) {
        TVersionTranslation translation;
        stream >> translation.Language >> translation.CodePage;
        resource.Translations.append(translation);
    }
    quint32 tables = 0;
    stream >> tables;
    for (quint32 i = 0; i < tables && stream.status() == QDataStream::Ok; ++i) {
        QString name;
        quint32 values = 0;
        stream >> name >> values;
        QMap<QString, QString> &table = resource.StringTables[name];
        for (quint32 j = 0; j < values && stream.status() == QDataStream::Ok; ++j) {
            QString key;
            QString value;
            stream >> key >> value;
            table.insert(key, value);
        }
    }
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    return resource;
}

// The entry of Map whose key equals Key ignoring case.
template <typename Value>
const Value *FindIgnoringCase(const QMap<QString, Value> &map, const QString &key)
{
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        if (it.key().compare(key, Qt::CaseInsensitive) == 0)
            return &it.value();
    }
    return nullptr;
}

QByteArray TranslationEntries(const TVersionResource &resource)
{
    QByteArray entries;
    for (const TVersionTranslation &translation : resource.Translations) {
        char entry[4];
        qToLittleEndian<quint16>(translation.Language, entry);
        qToLittleEndian<quint16>(translation.CodePage, entry + 2);
        entries.append(entry, sizeof entry);
    }
    return entries;
}

TVersionResourceSource &Source()
{
    static TVersionResourceSource source;
    return source;
}

bool IsProgramFile(const QString &fileName)
{
    const QString program = QCoreApplication::applicationFilePath();
    return !fileName.isEmpty() && !program.isEmpty()
           && QFileInfo(fileName).absoluteFilePath() == QFileInfo(program).absoluteFilePath();
}

std::optional<TVersionResource> ResourceOf(const QString &fileName)
{
    if (Source())
        return Source()(fileName);
    if (IsProgramFile(fileName))
        return ProgramVersionResource();
    return std::nullopt;
}

// The language identifier: the primary language in the low 10 bits, the
// sublanguage above it.
constexpr quint16 MakeLangId(quint16 primary, quint16 sublanguage)
{
    return quint16((sublanguage << 10) | primary);
}

constexpr quint16 kSublangDefault = 1;

struct TTerritoryLangId
{
    QLocale::Language Language;
    QLocale::Territory Territory;
    quint16 LangId;
};

// Languages whose identifier depends on the territory.
const TTerritoryLangId kTerritoryLangIds[] = {
    {QLocale::English, QLocale::UnitedStates, 0x0409},
    {QLocale::English, QLocale::UnitedKingdom, 0x0809},
    {QLocale::English, QLocale::Australia, 0x0C09},
    {QLocale::English, QLocale::Canada, 0x1009},
    {QLocale::English, QLocale::NewZealand, 0x1409},
    {QLocale::English, QLocale::Ireland, 0x1809},
    {QLocale::English, QLocale::SouthAfrica, 0x1C09},
    {QLocale::English, QLocale::India, 0x4009},
    {QLocale::German, QLocale::Germany, 0x0407},
    {QLocale::German, QLocale::Switzerland, 0x0807},
    {QLocale::German, QLocale::Austria, 0x0C07},
    {QLocale::German, QLocale::Luxembourg, 0x1007},
    {QLocale::German, QLocale::Liechtenstein, 0x1407},
    {QLocale::French, QLocale::France, 0x040C},
    {QLocale::French, QLocale::Belgium, 0x080C},
    {QLocale::French, QLocale::Canada, 0x0C0C},
    {QLocale::French, QLocale::Switzerland, 0x100C},
    {QLocale::French, QLocale::Luxembourg, 0x140C},
    {QLocale::Spanish, QLocale::Spain, 0x0C0A},
    {QLocale::Spanish, QLocale::Mexico, 0x080A},
    {QLocale::Spanish, QLocale::Argentina, 0x2C0A},
    {QLocale::Portuguese, QLocale::Brazil, 0x0416},
    {QLocale::Portuguese, QLocale::Portugal, 0x0816},
    {QLocale::Chinese, QLocale::China, 0x0804},
    {QLocale::Chinese, QLocale::Taiwan, 0x0404},
    {QLocale::Chinese, QLocale::HongKong, 0x0C04},
    {QLocale::Chinese, QLocale::Singapore, 0x1004},
    {QLocale::Italian, QLocale::Italy, 0x0410},
    {QLocale::Italian, QLocale::Switzerland, 0x0810},
    {QLocale::Dutch, QLocale::Netherlands, 0x0413},
    {QLocale::Dutch, QLocale::Belgium, 0x0813},
    {QLocale::Swedish, QLocale::Sweden, 0x041D},
    {QLocale::Swedish, QLocale::Finland, 0x081D},
    {QLocale::Russian, QLocale::Russia, 0x0419},
    {QLocale::Russian, QLocale::Moldova, 0x0819},
};

struct TPrimaryLangId
{
    QLocale::Language Language;
    quint16 Primary;
};

const TPrimaryLangId kPrimaryLangIds[] = {
    {QLocale::Arabic, 0x01},     {QLocale::Bulgarian, 0x02},  {QLocale::Catalan, 0x03},
    {QLocale::Chinese, 0x04},    {QLocale::Czech, 0x05},      {QLocale::Danish, 0x06},
    {QLocale::German, 0x07},     {QLocale::Greek, 0x08},      {QLocale::English, 0x09},
    {QLocale::Spanish, 0x0A},    {QLocale::Finnish, 0x0B},    {QLocale::French, 0x0C},
    {QLocale::Hebrew, 0x0D},     {QLocale::Hungarian, 0x0E},  {QLocale::Icelandic, 0x0F},
    {QLocale::Italian, 0x10},    {QLocale::Japanese, 0x11},   {QLocale::Korean, 0x12},
    {QLocale::Dutch, 0x13},      {QLocale::NorwegianBokmal, 0x14}, {QLocale::Polish, 0x15},
    {QLocale::Portuguese, 0x16}, {QLocale::Romanian, 0x18},   {QLocale::Russian, 0x19},
    {QLocale::Croatian, 0x1A},   {QLocale::Slovak, 0x1B},     {QLocale::Albanian, 0x1C},
    {QLocale::Swedish, 0x1D},    {QLocale::Thai, 0x1E},       {QLocale::Turkish, 0x1F},
    {QLocale::Urdu, 0x20},       {QLocale::Indonesian, 0x21}, {QLocale::Ukrainian, 0x22},
    {QLocale::Belarusian, 0x23}, {QLocale::Slovenian, 0x24},  {QLocale::Estonian, 0x25},
    {QLocale::Latvian, 0x26},    {QLocale::Lithuanian, 0x27}, {QLocale::Persian, 0x29},
    {QLocale::Vietnamese, 0x2A}, {QLocale::Armenian, 0x2B},   {QLocale::Azerbaijani, 0x2C},
    {QLocale::Basque, 0x2D},     {QLocale::Macedonian, 0x2F}, {QLocale::Afrikaans, 0x36},
    {QLocale::Georgian, 0x37},   {QLocale::Hindi, 0x39},      {QLocale::Malay, 0x3E},
    {QLocale::Kazakh, 0x3F},
};

} // namespace

const TVersionResource &ProgramVersionResource()
{
    static const TVersionResource resource = [] {
        const TVersionTranslation english{0x0409, 1252};
        const QString version = QStringLiteral(LEXIVANE_VERSION);
        TVersionResource r;
        r.Translations = {english};
        r.StringTables[TranslationName(english)] = {
            {QStringLiteral("Comments"), QStringLiteral("Message file editor for translators")},
            {QStringLiteral("CompanyName"), QStringLiteral("Tessavel")},
            {QStringLiteral("FileDescription"), QStringLiteral("Lexivane message file editor")},
            {QStringLiteral("FileVersion"), version},
            {QStringLiteral("InternalName"), QStringLiteral("lexivane")},
            {QStringLiteral("LegalCopyright"), QStringLiteral("\u00A9 2026 Tessavel")},
            {QStringLiteral("OriginalFilename"), QStringLiteral("lexivane")},
            {QStringLiteral("ProductName"), QStringLiteral("Lexivane")},
            {QStringLiteral("ProductVersion"), version},
        };
        return r;
    }();
    return resource;
}

QByteArray EncodeVersionResource(const TVersionResource &resource)
{
    QByteArray block;
    QDataStream stream(&block, QIODevice::WriteOnly);
    stream.setVersion(kStreamVersion);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream << kBlockSignature << kBlockLayout;
    stream << quint32(resource.Translations.size());
    for (const TVersionTranslation &translation : resource.Translations)
        stream << translation.Language << translation.CodePage;
    stream << quint32(resource.StringTables.size());
    for (auto table = resource.StringTables.cbegin(); table != resource.StringTables.cend(); ++table) {
        stream << table.key() << quint32(table.value().size());
        for (auto value = table.value().cbegin(); value != table.value().cend(); ++value)
            stream << value.key() << value.value();
    }
    return block;
}

TVersionResourceSource SetVersionResourceSource(TVersionResourceSource source)
{
    TVersionResourceSource previous = std::move(Source());
    Source() = std::move(source);
    return previous;
}

quint32 GetFileVersionInfoSize(const QString &fileName)
{
    const std::optional<TVersionResource> resource = ResourceOf(fileName);
    if (!resource) {
        errno = ENODATA;
        return 0;
    }
    return quint32(EncodeVersionResource(*resource).size());
}

bool GetFileVersionInfo(const QString &fileName, quint32 size, QByteArray &block)
{
    const std::optional<TVersionResource> resource = ResourceOf(fileName);
    if (!resource) {
        errno = ENODATA;
        return false;
    }
    const QByteArray bytes = EncodeVersionResource(*resource);
    if (quint32(bytes.size()) > size) {
        errno = ENOBUFS;
        return false;
    }
    block = bytes;
    return true;
}

bool VerQueryValue(const QByteArray &block, const QString &subBlock, QByteArray &value)
{
    const std::optional<TVersionResource> resource = DecodeVersionResource(block);
    if (!resource)
        return false;
    if (subBlock.compare(QLatin1String(kTranslationPath), Qt::CaseInsensitive) == 0) {
        value = TranslationEntries(*resource);
        return true;
    }
    // "\StringFileInfo\LLLLCCCC\Name": an empty first part, then three.
    const QStringList parts = subBlock.split(QLatin1Char('\\'));
    if (parts.size() != 4 || !parts.at(0).isEmpty()
        || parts.at(1).compare(QLatin1String(kStringFileInfo), Qt::CaseInsensitive) != 0)
        return false;
    const QMap<QString, QString> *table = FindIgnoringCase(resource->StringTables, parts.at(2));
    if (!table)
        return false;
    const QString *text = FindIgnoringCase(*table, parts.at(3));
    if (!text)
        return false;
    value = text->toUtf8();
    return true;
}

quint16 LanguageIdOf(const QLocale &locale)
{
    const QLocale::Language language = locale.language();
    if (language == QLocale::C)
        return 0x0409;
    if (language == QLocale::Serbian)
        return locale.script() == QLocale::LatinScript ? 0x081A : 0x0C1A;
    if (language == QLocale::NorwegianNynorsk)
        return 0x0814;
    for (const TTerritoryLangId &entry : kTerritoryLangIds) {
        if (entry.Language == language && entry.Territory == locale.territory())
            return entry.LangId;
    }
    for (const TPrimaryLangId &entry : kPrimaryLangIds) {
        if (entry.Language == language)
            return MakeLangId(entry.Primary, kSublangDefault);
    }
    return 0;
}

quint16 GetUserDefaultLangID()
{
    return LanguageIdOf(QLocale::system());
}

TVerInfo::TVerInfo(const QString &fileName)
    : TVerInfo(fileName, GetUserDefaultLangID())
{
}

TVerInfo::TVerInfo(const QString &fileName, quint16 userLanguage)
{
    const quint32 size = GetFileVersionInfoSize(fileName);
    if (size == 0)
        return;
    QByteArray block;
    if (!GetFileVersionInfo(fileName, size, block))
        RaiseLastOSError();
    m_block = block;

    QByteArray entries;
    if (!VerQueryValue(block, QLatin1String(kTranslationPath), entries) || entries.size() < 4)
        return;
    const qsizetype count = entries.size() / 4;
    auto entryAt = [&entries](qsizetype i) {
        return TVersionTranslation{qFromLittleEndian<quint16>(entries.constData() + 4 * i),
                                   qFromLittleEndian<quint16>(entries.constData() + 4 * i + 2)};
    };
    // From the last entry down to the second, the first in the user's
    // language; otherwise the first entry.
    qsizetype chosen = 0;
    for (qsizetype i = count - 1; i >= 1; --i) {
        if (entryAt(i).Language == userLanguage) {
            chosen = i;
            break;
        }
    }
    m_translation = TranslationName(entryAt(chosen));
}

QString TVerInfo::GetValue(const QString &name) const
{
    if (!m_block || m_translation.isEmpty())
        return {};
    QByteArray value;
    const QString path = Format(QStringLiteral("\\StringFileInfo\\%s\\%s"), {m_translation, name});
    if (!VerQueryValue(*m_block, path, value) || value.isEmpty())
        return {};
    return QString::fromUtf8(value);
}

TVerInfo &VerInfo()
{
    static TVerInfo info(QCoreApplication::applicationFilePath());
    return info;
}
