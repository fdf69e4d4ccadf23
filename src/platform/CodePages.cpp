#include "platform/CodePages.h"

#include "platform/ByteWords.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>
#include <QStringDecoder>

#include <cstring>
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
    using Block = std::array<qint16, 256>; // the bytes of 256 characters, NoByte for none

    std::array<char16_t, 256> m_toUnicode;
    // Character to byte in two steps: the block of the character's high
    // byte (block 0 has no bytes at all), then the low byte within it. The
    // 256 characters of a code page fall in a few blocks.
    std::array<quint16, 256> m_blockOf{};
    std::vector<Block> m_blocks;
};

SingleBytePage::SingleBytePage(const std::array<char16_t, 256> &characters)
    : m_toUnicode(characters)
{
    Block none;
    none.fill(NoByte);
    m_blocks.push_back(none);
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t character = m_toUnicode[byte];
        quint16 &block = m_blockOf[character >> 8];
        if (block == 0) {
            block = quint16(m_blocks.size());
            m_blocks.push_back(none);
        }
        m_blocks[block][character & 0xFF] = static_cast<qint16>(byte);
    }
}

int SingleBytePage::FromUnicode(char16_t character) const
{
    return m_blocks[m_blockOf[character >> 8]][character & 0xFF];
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

// The UTF-8 of each ANSI byte's character (1 to 3 bytes: the characters are
// all in the Basic Multilingual Plane).
struct Utf8Sequence
{
    char Bytes[3];
    quint8 Length;
};

std::array<Utf8Sequence, 256> Utf8Table(const SingleBytePage &page)
{
    std::array<Utf8Sequence, 256> table{};
    for (int byte = 0; byte < 256; ++byte) {
        const char16_t c = page.ToUnicode(static_cast<uchar>(byte));
        const QByteArray utf8 = QString(QChar(c)).toUtf8();
        Utf8Sequence &sequence = table[byte];
        sequence.Length = static_cast<quint8>(utf8.size());
        std::memcpy(sequence.Bytes, utf8.constData(), size_t(utf8.size()));
    }
    return table;
}

bool KeepsAscii(const SingleBytePage &page)
{
    for (int byte = 0; byte < 128; ++byte) {
        if (page.ToUnicode(static_cast<uchar>(byte)) != byte)
            return false;
    }
    return true;
}

} // namespace

// Everything derived from one choice of code pages; never changed once built.
struct CodePageTables
{
    CodePageTables(const CodePageNames &names, SingleBytePage ansiPage, SingleBytePage oemPage)
        : Names(names), Ansi(std::move(ansiPage)), Oem(std::move(oemPage)), OemToAnsi(ConversionTable(Oem, Ansi)),
          AnsiUtf8(Utf8Table(Ansi)), AnsiKeepsAscii(KeepsAscii(Ansi)) {}

    CodePageNames Names;
    SingleBytePage Ansi;
    SingleBytePage Oem;
    std::array<uchar, 256> OemToAnsi;
    std::array<Utf8Sequence, 256> AnsiUtf8;
    bool AnsiKeepsAscii; // bytes 00-7F are their ASCII characters, as in every code page but EBCDIC's
};

namespace {

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

AnsiUtf8Codec::AnsiUtf8Codec() : m_tables(Tables()) {}

AnsiUtf8Codec::~AnsiUtf8Codec() = default;

namespace {

// The end of the run of ASCII from At on: where the next byte beyond ASCII
// is, or Size. Only for a code page that keeps ASCII in place; for any other
// every byte is a run's end.
constexpr ByteWords::ByteSet BeyondAscii{0, {}, 0, true};

inline qsizetype AsciiRunEnd(const CodePageTables &tables, const char *text, qsizetype size, qsizetype at)
{
    return tables.AnsiKeepsAscii ? ByteWords::FindFirst(text, size, at, BeyondAscii) : at;
}

} // namespace

QByteArray AnsiUtf8Codec::ToUtf8(QByteArrayView ansi) const
{
    const CodePageTables &tables = *m_tables;
    const char *data = ansi.data();
    const qsizetype size = ansi.size();
    // The length first, so that the text is made in one piece; runs of
    // ASCII are what they are.
    qsizetype at = AsciiRunEnd(tables, data, size, 0);
    if (at == size)
        return ansi.toByteArray();
    qsizetype length = at;
    while (at < size) {
        length += tables.AnsiUtf8[static_cast<uchar>(data[at])].Length;
        const qsizetype end = AsciiRunEnd(tables, data, size, at + 1);
        length += end - at - 1;
        at = end;
    }
    QByteArray utf8(length, Qt::Uninitialized);
    char *out = utf8.data();
    at = 0;
    while (at < size) {
        const qsizetype end = AsciiRunEnd(tables, data, size, at);
        std::memcpy(out, data + at, size_t(end - at));
        out += end - at;
        if (end == size)
            break;
        const Utf8Sequence &sequence = tables.AnsiUtf8[static_cast<uchar>(data[end])];
        std::memcpy(out, sequence.Bytes, sequence.Length);
        out += sequence.Length;
        at = end + 1;
    }
    return utf8;
}

bool AnsiUtf8Codec::FromUtf8(QByteArrayView utf8, QByteArray &result, qsizetype *badOffset) const
{
    const CodePageTables &tables = *m_tables;
    const char *text = utf8.data();
    const auto *data = reinterpret_cast<const uchar *>(text);
    const qsizetype size = utf8.size();
    // Never longer than the UTF-8: one byte for each character.
    result.resize(size);
    char *out = result.data();
    qsizetype at = 0;
    const auto refuse = [&] {
        result.clear();
        if (badOffset)
            *badOffset = at;
        return false;
    };
    while (at < size) {
        const qsizetype end = AsciiRunEnd(tables, text, size, at);
        std::memcpy(out, text + at, size_t(end - at));
        out += end - at;
        at = end;
        if (at == size)
            break;
        const uchar lead = data[at];
        char32_t character = lead;
        int length = 1;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            character = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            character = lead & 0x0F;
        } else if (lead >= 0x80) {
            return refuse(); // a continuation byte, an overlong lead, or beyond the BMP: no ANSI byte
        }
        if (size - at < length)
            return refuse();
        for (int i = 1; i < length; ++i) {
            const uchar next = data[at + i];
            if ((next & 0xC0) != 0x80)
                return refuse();
            character = character << 6 | (next & 0x3F);
        }
        // Overlong three-byte forms and surrogates are not UTF-8.
        if ((length == 3 && character < 0x800) || (character >= 0xD800 && character <= 0xDFFF))
            return refuse();
        const int byte = tables.Ansi.FromUnicode(static_cast<char16_t>(character));
        if (byte == NoByte)
            return refuse();
        *out++ = static_cast<char>(byte);
        at += length;
    }
    result.resize(out - result.constData());
    return true;
}

bool AnsiUtf8Codec::Shows(QByteArrayView utf8, QByteArrayView ansi) const
{
    const CodePageTables &tables = *m_tables;
    const qsizetype utf8Size = utf8.size();
    const qsizetype ansiSize = ansi.size();
    qsizetype in = 0;
    qsizetype at = 0;
    while (at < ansiSize) {
        // A run of ASCII is the same bytes in both.
        const qsizetype end = AsciiRunEnd(tables, ansi.data(), ansiSize, at);
        const qsizetype run = end - at;
        if (utf8Size - in < run || std::memcmp(utf8.data() + in, ansi.data() + at, size_t(run)) != 0)
            return false;
        in += run;
        at = end;
        if (at == ansiSize)
            break;
        const Utf8Sequence &sequence = tables.AnsiUtf8[static_cast<uchar>(ansi[at++])];
        if (utf8Size - in < sequence.Length || std::memcmp(utf8.data() + in, sequence.Bytes, sequence.Length) != 0)
            return false;
        in += sequence.Length;
    }
    return in == utf8Size;
}
