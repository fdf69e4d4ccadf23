#include "settings/ConfigUtils.h"

#include "diagnostics/LogUtils.h"

#include "msgfile/ListUtils.h"
#include "settings/TypeUtils.h"
#include "uitext/Format.h"

#include <QMetaEnum>
#include <optional>

namespace {

const QString SoftwareKey = QStringLiteral("\\Software");

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// One or more hexadecimal digits worth at most 32 bits, as their 32 bits.
std::optional<qint32> ParseHex(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    quint64 value = 0;
    for (QChar c : digits) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + quint64(digit);
        if (value > 0xFFFFFFFFu)
            return std::nullopt;
    }
    return static_cast<qint32>(static_cast<quint32>(value));
}

// An optional sign and one or more decimal digits, within 32 bits.
std::optional<qint32> ParseDecimal(QStringView text)
{
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative || text.startsWith(QLatin1Char('+')))
        text = text.mid(1);
    if (text.isEmpty())
        return std::nullopt;
    const qint64 limit = negative ? qint64(1) << 31 : (qint64(1) << 31) - 1;
    qint64 value = 0;
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<qint32>(negative ? -value : value);
}

std::optional<qint32> ParseInteger(const QString &text)
{
    const bool cPrefix = text.size() > 2 && text.at(0) == QLatin1Char('0')
        && (text.at(1) == QLatin1Char('x') || text.at(1) == QLatin1Char('X'));
    if (cPrefix)
        return ParseHex(QStringView(text).mid(2));
    if (text.startsWith(QLatin1Char('$')))
        return ParseHex(QStringView(text).mid(1));
    return ParseDecimal(text);
}

QString ValueName(const QString &prefix, const char *attribute)
{
    return prefix + QLatin1Char('.') + QLatin1String(attribute);
}

QMetaEnum FontStyleType()
{
    return QMetaEnum::fromType<TFontStyles>();
}

void LoadStyle(TAppIni &store, const QString &section, const QString &prefix, TFontRecord &font)
{
    const QString text = store.ReadString(section, ValueName(prefix, "Style"), QString());
    if (text.isEmpty())
        return;
    try {
        const quint32 bits = NamesToSet(SplitCommaList(text.mid(1)), FontStyleType());
        font.Style = TFontStyles::fromInt(static_cast<int>(bits));
    } catch (const ETypeUtilsError &) {
        // A style we cannot read keeps the one the font has.
    }
}

} // namespace

TAppIni::TAppIni() = default;

TAppIni::~TAppIni()
{
    CloseKey();
}

void TAppIni::SetAppKey(const QString &key)
{
    if (key == m_appKey)
        return;
    CloseKey();
    m_appKey = key;
}

void TAppIni::EnsureOpen()
{
    if (m_registry)
        return;
    if (m_appKey.isEmpty())
        throw EAppIniError(QStringLiteral("No application key specified"));
    auto registry = std::make_unique<TRegistry>(RegistryRoot::CurrentUser);
    const QString key = SoftwareKey + m_appKey;
    if (!registry->OpenKey(key, true))
        throw ERegistryException(Format(QStringLiteral("Failed to create key %s"), {key}));
    m_registry = std::move(registry);
}

void TAppIni::CloseKey()
{
    m_registry.reset();
}

QString TAppIni::SectionPath(const QString &section) const
{
    return QLatin1Char('\\') + m_registry->CurrentPath() + QLatin1Char('\\') + section;
}

// Each access opens the section in a registry object of its own, so that
// the program key stays open as it is.
QString TAppIni::ReadString(const QString &section, const QString &ident, const QString &defaultValue)
{
    EnsureOpen();
    const QString path = SectionPath(section);
    TRegistry key(RegistryRoot::CurrentUser);
    if (!key.OpenKey(path, false) && !key.OpenKeyReadOnly(path))
        return defaultValue;
    if (!key.ValueExists(ident))
        return defaultValue;
    return key.ReadString(ident);
}

void TAppIni::WriteString(const QString &section, const QString &ident, const QString &value)
{
    EnsureOpen();
    TRegistry key(RegistryRoot::CurrentUser);
    if (!key.OpenKey(SectionPath(section), true))
        throw ERegistryException(Format(QStringLiteral("Failed to create key %s"), {section}));
    key.WriteString(ident, value);
}

qint32 TAppIni::ReadInteger(const QString &section, const QString &ident, qint32 defaultValue)
{
    const QString text = ReadString(section, ident, QString());
    return ParseInteger(text).value_or(defaultValue);
}

void TAppIni::WriteInteger(const QString &section, const QString &ident, qint32 value)
{
    WriteString(section, ident, QString::number(value));
}

bool TAppIni::ReadBool(const QString &section, const QString &ident, bool defaultValue)
{
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TAppIni::WriteBool(const QString &section, const QString &ident, bool value)
{
    WriteString(section, ident, value ? QStringLiteral("1") : QStringLiteral("0"));
}

TAppIni &AppIni()
{
    static TAppIni store;
    return store;
}

void LoadFont(TAppIni &store, const QString &section, const QString &prefix, TFontAttrs attributes,
              TFontRecord &font)
{
    if (attributes.testFlag(faCharSet)) {
        const qint32 charSet = store.ReadInteger(section, ValueName(prefix, "CharSet"), font.CharSet);
        font.CharSet = static_cast<quint8>(charSet & 0xFF);
    }
    if (attributes.testFlag(faColor))
        font.Color = store.ReadInteger(section, ValueName(prefix, "Color"), font.Color);
    if (attributes.testFlag(faSize))
        font.Size = qMax(1, store.ReadInteger(section, ValueName(prefix, "Size"), font.Size));
    if (attributes.testFlag(faName))
        font.Name = store.ReadString(section, ValueName(prefix, "Name"), font.Name);
    if (attributes.testFlag(faStyle))
        LoadStyle(store, section, prefix, font);
}

void SaveFont(TAppIni &store, const QString &section, const QString &prefix, TFontAttrs attributes,
              const TFontRecord &font)
{
    if (attributes.testFlag(faCharSet))
        store.WriteInteger(section, ValueName(prefix, "CharSet"), font.CharSet);
    if (attributes.testFlag(faColor))
        store.WriteInteger(section, ValueName(prefix, "Color"), font.Color);
    if (attributes.testFlag(faSize))
        store.WriteInteger(section, ValueName(prefix, "Size"), font.Size);
    if (attributes.testFlag(faName))
        store.WriteString(section, ValueName(prefix, "Name"), font.Name);
    if (attributes.testFlag(faStyle)) {
        QStringList names;
        SetToNames(static_cast<quint32>(font.Style.toInt()), FontStyleType(), names);
        store.WriteString(section, ValueName(prefix, "Style"), QLatin1Char('*') + JoinCommaList(names));
    }
}

void LoadNamedFont(const QString &name, TFontRecord &font)
{
    LoadFont(AppIni(), LastSection, name + QStringLiteral(".Font"), AllFontAttrs, font);
}

void SaveNamedFont(const QString &name, const TFontRecord &font)
{
    SaveFont(AppIni(), LastSection, name + QStringLiteral(".Font"), AllFontAttrs, font);
}

void TrySettings(const std::function<void()> &step)
{
    try {
        step();
    } catch (const Exception &error) {
        LogFile().LogException(error);
    }
}
