#include "platform/CodePages.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr char16_t ReplacementCharacter = 0xFFFD;
constexpr char16_t PrivateUseFallback = 0xF700;
constexpr char16_t PrivateUseFirst = 0xE000;
constexpr char16_t PrivateUseLast = 0xF8FF;
constexpr int NoByte = -1;

// One single-byte code page as tables: byte to character and back.
class SingleBytePage
{
public:
    explicit SingleBytePage(const std::array<char16_t, 256> &characters);

    char16_t ToUnicode(uchar byte) const { return m_toUnicode[byte]; }
    // The byte of a character, or NoByte when the code page lacks it.
    int FromUnicode(char16_t character) const;

private:
    std::array<char16_t, 256> m_toUnicode;
    std::array<qint16, 128> m_fromAscii; // direct lookup for the common case
    std::vector<std::pair<char16_t, uchar>> m_fromUnicode; // sorted by character
};

SingleBytePage::SingleBytePage(const std::array<char16_t, 256> &characters)
    : m_toUnicode(characters)
{
    m_fromAscii.fill(NoByte);
    m_fromUnicode.reserve(256);
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t character = m_toUnicode[byte];
        if (character < m_fromAscii.size())
            m_fromAscii[character] = static_cast<qint16>(byte);
        m_fromUnicode.emplace_back(character, static_cast<uchar>(byte));
    }
    std::sort(m_fromUnicode.begin(), m_fromUnicode.end());
}

int SingleBytePage::FromUnicode(char16_t character) const
{
    if (character < m_fromAscii.size())
        return m_fromAscii[character];
    const auto found = std::lower_bound(m_fromUnicode.begin(), m_fromUnicode.end(),
                                        std::make_pair(character, uchar(0)));
    if (found == m_fromUnicode.end() || found->first != character)
        return NoByte;
    return found->second;
}

// Decodes each byte on its own. A byte that leaves the decoder waiting for
// more (a lead byte) or yields several units shows a code page that is not
// single-byte.
std::array<char16_t, 256> DecodeEveryByte(const QString &name)
{
    const QByteArray latin1Name = name.toLatin1();
    QStringDecoder decoder(latin1Name.constData());
    if (name.trimmed().isEmpty() || name != QLatin1String(latin1Name) || !decoder.isValid())
        throw ECodePageError(QStringLiteral("Unknown code page '%1'").arg(name));
    std::array<char16_t, 256> characters{};
    for (int byte = 0; byte < 256; ++byte) {
        const char raw = static_cast<char>(byte);
        decoder.resetState();
        const QString decoded = decoder.decode(QByteArrayView(&raw, 1));
        if (decoded.size() != 1 || decoded.at(0).isSurrogate())
            throw ECodePageError(QStringLiteral("'%1' is not a single-byte code page").arg(name));
        characters[byte] = decoded.at(0).unicode();
    }
    return characters;
}

// IBM's tables move the control codes 1A, 1C and 7F around; Windows keeps
// bytes 00-7F as they are, and texts depend on that.
void KeepAsciiInPlace(std::array<char16_t, 256> &characters)
{
    std::array<bool, 128> seen{};
    for (int byte = 0; byte < 128; ++byte) {
        const char16_t character = characters[byte];
        if (character >= 128 || seen[character])
            return; // not ASCII with shuffled controls: leave it alone
        seen[character] = true;
    }
    for (int byte = 0; byte < 128; ++byte)
        characters[byte] = static_cast<char16_t>(byte);
}

char16_t FreeFallback(uchar byte, const QHash<char16_t, int> &owners)
{
    const char16_t candidates[] = {char16_t(byte), char16_t(PrivateUseFallback + byte)};
    for (char16_t candidate : candidates) {
        if (!owners.contains(candidate))
            return candidate;
    }
    for (char16_t candidate = PrivateUseFirst; candidate <= PrivateUseLast; ++candidate) {
        if (!owners.contains(candidate))
            return candidate;
    }
    return ReplacementCharacter; // unreachable: 256 bytes cannot fill the private use area
}

// Gives every undefined byte (U+FFFD) and every byte whose character an
// earlier byte already has a character of its own, so that each character
// leads back to exactly one byte.
void MakeOneToOne(std::array<char16_t, 256> &characters)
{
    QHash<char16_t, int> owners;
    std::vector<uchar> homeless;
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t character = characters[byte];
        if (character == ReplacementCharacter || owners.contains(character))
            homeless.push_back(static_cast<uchar>(byte));
        else
            owners.insert(character, byte);
    }
    for (uchar byte : homeless) {
        const char16_t fallback = FreeFallback(byte, owners);
        characters[byte] = fallback;
        owners.insert(fallback, byte);
    }
}

SingleBytePage LoadPage(const QString &name)
{
    std::array<char16_t, 256> characters = DecodeEveryByte(name);
    KeepAsciiInPlace(characters);
    MakeOneToOne(characters);
    return SingleBytePage(characters);
}

// The byte of the target code page that stands for a character it lacks:
// the base of the character's decomposition (é gives e), followed down a few
// levels, else "?".
uchar NearestByte(char16_t character, const SingleBytePage &target)
{
    char32_t current = character;
    for (int depth = 0; depth < 4; ++depth) {
        const QString decomposition = QChar::decomposition(current);
        if (decomposition.isEmpty())
            break;
        // Canonical decompositions start with the base letter; the others
        // only help when they are a single character (a superscript digit,
        // a no-break space); "½" must not become "1".
        if (QChar::decompositionTag(current) != QChar::Canonical && decomposition.size() != 1)
            break;
        current = decomposition.at(0).unicode();
        const int byte = target.FromUnicode(static_cast<char16_t>(current));
        if (byte != NoByte)
            return static_cast<uchar>(byte);
    }
    const int question = target.FromUnicode(u'?');
    return static_cast<uchar>(question != NoByte ? question : '?');
}

std::array<uchar, 256> ConversionTable(const SingleBytePage &source, const SingleBytePage &target)
{
    std::array<uchar, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t character = source.ToUnicode(static_cast<uchar>(byte));
        const int converted = target.FromUnicode(character);
        table[byte] = converted != NoByte ? static_cast<uchar>(converted) : NearestByte(character, target);
    }
    return table;
}

// Everything derived from one choice of code pages; never changed once built.
struct CodePageTables
{
    CodePageTables(const CodePageNames &names, SingleBytePage ansiPage, SingleBytePage oemPage)
        : Names(names), Ansi(std::move(ansiPage)), Oem(std::move(oemPage)), OemToAnsi(ConversionTable(Oem, Ansi)) {}

    CodePageNames Names;
    SingleBytePage Ansi;
    SingleBytePage Oem;
    std::array<uchar, 256> OemToAnsi;
};

std::shared_ptr<const CodePageTables> BuildTables(const CodePageNames &names)
{
    return std::make_shared<const CodePageTables>(names, LoadPage(names.Ansi), LoadPage(names.Oem));
}

bool IsUsableCodePage(const QString &name)
{
    try {
        DecodeEveryByte(name);
        return true;
    } catch (const ECodePageError &) {
        return false;
    }
}

QString ChooseCodePage(const char *variable, const QString &localeChoice)
{
    const QString name = qEnvironmentVariable(variable).trimmed();
    if (name.isEmpty())
        return localeChoice;
    if (IsUsableCodePage(name))
        return name;
    // A mistyped name must not pass unnoticed: the texts would show garbled.
    qWarning("%s names \"%s\", which is not a single-byte code page known here; using %s",
             variable, qPrintable(name), qPrintable(localeChoice));
    return localeChoice;
}

CodePageNames LocaleCodePages()
{
    const CodePageNames preferred = CodePagesForLanguage(QLocale::system().language());
    if (IsUsableCodePage(preferred.Ansi) && IsUsableCodePage(preferred.Oem))
        return preferred;
    return CodePagesForLanguage(QLocale::English);
}

QMutex g_tablesMutex;
std::shared_ptr<const CodePageTables> g_tables;

std::shared_ptr<const CodePageTables> Tables()
{
    QMutexLocker lock(&g_tablesMutex);
    if (!g_tables)
        g_tables = BuildTables(DefaultCodePages());
    return g_tables;
}

void Convert(QByteArray &text, const std::array<uchar, 256> &table)
{
    for (char &byte : text)
        byte = static_cast<char>(table[static_cast<uchar>(byte)]);
}

} // namespace

CodePageNames CodePagesForLanguage(QLocale::Language language)
{
    switch (language) {
    case QLocale::Russian:
    case QLocale::Ukrainian:
    case QLocale::Belarusian:
    case QLocale::Bulgarian:
    case QLocale::Serbian:
    case QLocale::Macedonian:
        return {QStringLiteral("windows-1251"), QStringLiteral("IBM866")};
    case QLocale::Polish:
    case QLocale::Czech:
    case QLocale::Slovak:
    case QLocale::Hungarian:
    case QLocale::Slovenian:
    case QLocale::Croatian:
    case QLocale::Romanian:
    case QLocale::Albanian:
        return {QStringLiteral("windows-1250"), QStringLiteral("IBM852")};
    case QLocale::Greek:
        return {QStringLiteral("windows-1253"), QStringLiteral("IBM737")};
    case QLocale::Turkish:
        return {QStringLiteral("windows-1254"), QStringLiteral("IBM857")};
    case QLocale::Estonian:
    case QLocale::Latvian:
    case QLocale::Lithuanian:
        return {QStringLiteral("windows-1257"), QStringLiteral("IBM775")};
    default:
        return {QStringLiteral("windows-1252"), QStringLiteral("IBM437")};
    }
}

CodePageNames EnvironmentCodePages(const CodePageNames &otherwise)
{
    return {ChooseCodePage("LEXIVANE_ANSI_CODEPAGE", otherwise.Ansi),
            ChooseCodePage("LEXIVANE_OEM_CODEPAGE", otherwise.Oem)};
}

bool CodePagesFromEnvironment()
{
    return !qEnvironmentVariable("LEXIVANE_ANSI_CODEPAGE").trimmed().isEmpty()
        || !qEnvironmentVariable("LEXIVANE_OEM_CODEPAGE").trimmed().isEmpty();
}

CodePageNames DefaultCodePages()
{
    return EnvironmentCodePages(LocaleCodePages());
}

CodePageNames CurrentCodePages()
{
    return Tables()->Names;
}

void SetCodePages(const QString &ansi, const QString &oem)
{
    // Built before taking the lock: a failure leaves the code pages in use alone.
    auto tables = BuildTables({ansi.trimmed(), oem.trimmed()});
    QMutexLocker lock(&g_tablesMutex);
    g_tables = std::move(tables);
}

void OemToCharA(QByteArray &text)
{
    Convert(text, Tables()->OemToAnsi);
}

namespace {

QString PageToUnicode(const SingleBytePage &page, QByteArrayView text)
{
    QString result(text.size(), Qt::Uninitialized);
    QChar *out = result.data();
    for (char byte : text)
        *out++ = QChar(page.ToUnicode(static_cast<uchar>(byte)));
    return result;
}

bool UnicodeToPage(const SingleBytePage &page, const QString &text, QByteArray &result, qsizetype *badPosition)
{
    result.resize(text.size());
    char *out = result.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int byte = page.FromUnicode(text.at(i).unicode());
        if (byte == NoByte) {
            result.clear();
            if (badPosition)
                *badPosition = i;
            return false;
        }
        out[i] = static_cast<char>(byte);
    }
    return true;
}

} // namespace

QString AnsiToUnicode(QByteArrayView text)
{
    return PageToUnicode(Tables()->Ansi, text);
}

bool UnicodeToAnsi(const QString &text, QByteArray &result, qsizetype *badPosition)
{
    return UnicodeToPage(Tables()->Ansi, text, result, badPosition);
}

QString OemToUnicode(QByteArrayView text)
{
    return PageToUnicode(Tables()->Oem, text);
}

bool UnicodeToOem(const QString &text, QByteArray &result, qsizetype *badPosition)
{
    return UnicodeToPage(Tables()->Oem, text, result, badPosition);
}
