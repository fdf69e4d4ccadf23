#include "translation/Placeholders.h"

#include "uitext/MsgRes.h"
#include "uitext/Format.h"

#include <QStringList>
#include <QVarLengthArray>
#include <QtEndian>

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif


namespace {

// The lengths, two-letter ones first so that "hh" is not read as "h".
const char *const Lengths[] = {"", "hh", "ll", "h", "l", "L", "q", "j", "z", "t"};
constexpr int LengthCount = int(sizeof(Lengths) / sizeof(Lengths[0]));

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool IsFlag(char c)
{
    return c == '-' || c == '+' || c == '#' || c == '0';
}

int ClassOf(char conversion)
{
    switch (conversion) {
    case 'd': case 'i': case 'o': case 'u': case 'x': case 'X': case 'c':
        return TPrintfArgType::Integer;
    case 'e': case 'E': case 'f': case 'g': case 'G':
        return TPrintfArgType::Floating;
    case 's':
        return TPrintfArgType::String;
    case 'p':
        return TPrintfArgType::Pointer;
    case 'n':
        return TPrintfArgType::Count;
    default:
        return -1;
    }
}

// One printf-style conversion read from its "%".
struct TConversion
{
    qsizetype End = -1; // after the conversion; -1: the "%" begins none
    bool Literal = false; // "%%"
    int Stars = 0;        // "*" width and precision, each an int argument
    int ArgClass = 0;
    int LengthIndex = 0; // into Lengths
};

TConversion ReadConversion(QByteArrayView text, qsizetype percent)
{
    TConversion result;
    const qsizetype size = text.size();
    qsizetype at = percent + 1;
    if (at < size && text[at] == '%') {
        result.End = at + 1;
        result.Literal = true;
        return result;
    }
    while (at < size && IsFlag(text[at]))
        ++at;
    if (at < size && text[at] == '*') {
        ++result.Stars;
        ++at;
    } else {
        while (at < size && IsDigit(text[at]))
            ++at;
    }
    if (at < size && text[at] == '.') {
        ++at;
        if (at < size && text[at] == '*') {
            ++result.Stars;
            ++at;
        } else {
            while (at < size && IsDigit(text[at]))
                ++at;
        }
    }
    // Byte by byte: a pass over a whole file reads a conversion in every
    // text that has a "%".
    for (int l = 1; l < LengthCount; ++l) {
        const char *length = Lengths[l];
        const qsizetype lengthSize = length[1] ? 2 : 1;
        if (size - at >= lengthSize && text[at] == length[0] && (lengthSize == 1 || text[at + 1] == length[1])) {
            result.LengthIndex = l;
            at += lengthSize;
            break;
        }
    }
    if (at >= size)
        return result;
    const int argClass = ClassOf(text[at]);
    if (argClass < 0)
        return result;
    result.ArgClass = argClass;
    result.End = at + 1;
    return result;
}

// The position of the first "@" or "%" in Data from At on, or Size: a pass
// over a whole file asks this of every text, so it looks at sixteen bytes at
// a time where the processor can, else eight.
qsizetype NextMark(const char *data, qsizetype size, qsizetype at)
{
    constexpr quint64 Ones = 0x0101010101010101ull;
    constexpr quint64 Highs = 0x8080808080808080ull;
    // The high bit of each byte equal to Byte: exact for the lowest such
    // byte, which is the one wanted.
    const auto bytesEqual = [](quint64 word, unsigned char byte) {
        const quint64 x = word ^ (Ones * byte);
        return (x - Ones) & ~x & Highs;
    };
#if defined(__SSE2__)
    const __m128i at16 = _mm_set1_epi8('@');
    const __m128i percent16 = _mm_set1_epi8('%');
    for (; at + 16 <= size; at += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + at));
        const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, at16), _mm_cmpeq_epi8(chunk, percent16)));
        if (found)
            return at + qCountTrailingZeroBits(unsigned(found));
    }
#endif
    for (; at + 8 <= size; at += 8) {
        quint64 word;
        std::memcpy(&word, data + at, sizeof word);
        const quint64 found = bytesEqual(qFromLittleEndian(word), '@') | bytesEqual(qFromLittleEndian(word), '%');
        if (found)
            return at + qCountTrailingZeroBits(found) / 8;
    }
    for (; at < size; ++at) {
        if (data[at] == '@' || data[at] == '%')
            return at;
    }
    return size;
}

bool MayHavePlaceholders(QByteArrayView text)
{
    return NextMark(text.data(), text.size(), 0) < text.size();
}

// Walks Text's placeholders: Server(N) for each "@N", Conversion(read,
// percent) for each printf-style conversion.
template <typename Server, typename Conversion>
void ScanPlaceholders(QByteArrayView text, Server server, Conversion conversion)
{
    const char *data = text.data();
    const qsizetype size = text.size();
    qsizetype at = 0;
    while ((at = NextMark(data, size, at)) < size) {
        const char c = data[at];
        if (c == '@') {
            if (at + 1 < size && data[at + 1] >= '1' && data[at + 1] <= '9') {
                server(data[at + 1] - '0');
                at += 2;
                continue;
            }
        } else if (c == '%') {
            const TConversion read = ReadConversion(text, at);
            if (read.End > 0) {
                if (!read.Literal)
                    conversion(read, at);
                at = read.End;
                continue;
            }
        }
        ++at;
    }
}

// The arguments' types, each as one number: class and length.
using TSignature = QVarLengthArray<quint16, 16>;

quint16 TypeCode(int argClass, int lengthIndex)
{
    return quint16(argClass * LengthCount + lengthIndex);
}

void Signature(QByteArrayView text, quint16 &server, TSignature &arguments)
{
    server = 0;
    arguments.clear();
    ScanPlaceholders(
        text, [&](int number) { server |= quint16(1u << number); },
        [&](const TConversion &read, qsizetype) {
            for (int star = 0; star < read.Stars; ++star)
                arguments.append(TypeCode(TPrintfArgType::Integer, 0));
            arguments.append(TypeCode(read.ArgClass, read.LengthIndex));
        });
}

QString ServerNumbers(quint16 numbers)
{
    QStringList list;
    for (int n = 1; n <= 9; ++n) {
        if (numbers & (1u << n))
            list << QStringLiteral("@%1").arg(n);
    }
    return list.join(QLatin1Char(' '));
}

QString ConversionList(const QList<QByteArray> &conversions)
{
    if (conversions.isEmpty())
        return GetMsg(QStringLiteral("PlaceholdersNone"));
    QStringList list;
    for (const QByteArray &conversion : conversions)
        list << QString::fromLatin1(conversion);
    return list.join(QLatin1Char(' '));
}

} // namespace

TPlaceholders FindPlaceholders(QByteArrayView text)
{
    TPlaceholders found;
    ScanPlaceholders(
        text, [&](int number) { found.ServerNumbers |= quint16(1u << number); },
        [&](const TConversion &read, qsizetype percent) {
            found.Conversions.append(text.sliced(percent, read.End - percent).toByteArray());
            for (int star = 0; star < read.Stars; ++star)
                found.Arguments.append({TPrintfArgType::Integer, QByteArray()});
            found.Arguments.append(
                {TPrintfArgType::Class(read.ArgClass), QByteArray(Lengths[read.LengthIndex])});
        });
    return found;
}

bool HasPrintfPlaceholders(QByteArrayView text)
{
    bool any = false;
    ScanPlaceholders(text, [](int) {}, [&](const TConversion &, qsizetype) { any = true; });
    return any;
}

TPlaceholderProblem FindPlaceholderProblem(QByteArrayView original, QByteArrayView translation)
{
    TPlaceholderProblem problem;
    if (original == translation)
        return problem;
    const TPlaceholders before = FindPlaceholders(original);
    const TPlaceholders after = FindPlaceholders(translation);
    problem.Missing = before.ServerNumbers & ~after.ServerNumbers;
    problem.Extra = after.ServerNumbers & ~before.ServerNumbers;
    if (before.Arguments != after.Arguments) {
        problem.PrintfDiffers = true;
        problem.OriginalConversions = before.Conversions;
        problem.TranslatedConversions = after.Conversions;
    }
    return problem;
}

bool HasPlaceholderProblem(QByteArrayView original, QByteArrayView translation)
{
    if (original == translation)
        return false;
    // Most texts have no placeholder at all: nothing to compare.
    if (!MayHavePlaceholders(original) && !MayHavePlaceholders(translation))
        return false;
    quint16 serverBefore = 0;
    quint16 serverAfter = 0;
    TSignature before;
    TSignature after;
    Signature(original, serverBefore, before);
    Signature(translation, serverAfter, after);
    return serverBefore != serverAfter || before != after;
}

QString DescribePlaceholderProblem(const TPlaceholderProblem &problem)
{
    QStringList parts;
    if (problem.Missing != 0)
        parts << Format(GetMsg(QStringLiteral("PlaceholderMissing")), {ServerNumbers(problem.Missing)});
    if (problem.Extra != 0)
        parts << Format(GetMsg(QStringLiteral("PlaceholderExtra")), {ServerNumbers(problem.Extra)});
    if (problem.PrintfDiffers)
        parts << Format(GetMsg(QStringLiteral("PlaceholdersChanged")),
                        {ConversionList(problem.OriginalConversions), ConversionList(problem.TranslatedConversions)});
    return parts.join(QStringLiteral("; "));
}
