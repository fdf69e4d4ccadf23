#include "translation/ExchangeText.h"

#include "platform/ByteWords.h"
#include "translation/TranslationEntry.h"
#include "uitext/Format.h"
#include "uitext/HexDigit.h"
#include "uitext/MsgRes.h"

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

// The offset of the first byte that does not begin a well-formed UTF-8
// sequence (overlong forms, surrogates and values beyond U+10FFFF are not
// well formed), or -1.
qsizetype FirstInvalidUtf8(QByteArrayView bytes)
{
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype at = 0;
    constexpr ByteWords::ByteSet beyondAscii{0, {}, 0, true};
    while (at < size) {
        // ASCII, the most of any text here, skipped a word or more at a time.
        at = ByteWords::FindFirst(bytes.data(), size, at, beyondAscii);
        if (at >= size)
            break;
        const unsigned char lead = data[at];
        int length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            if (lead == 0xE0)
                low = 0xA0;
            else if (lead == 0xED)
                high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            if (lead == 0xF0)
                low = 0x90;
            else if (lead == 0xF4)
                high = 0x8F;
        } else {
            return at;
        }
        if (size - at < length)
            return at;
        if (data[at + 1] < low || data[at + 1] > high)
            return at;
        for (int i = 2; i < length; ++i) {
            if (data[at + i] < 0x80 || data[at + i] > 0xBF)
                return at;
        }
        at += length;
    }
    return -1;
}

template <typename Text>
bool ParseCode(Text text, quint32 &code)
{
    if (text.isEmpty() || text.size() > 8)
        return false;
    quint32 value = 0;
    for (const auto c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return false;
        value = value << 4 | quint32(digit);
    }
    code = value;
    return true;
}

} // namespace

QString CodeText(quint32 code)
{
    QByteArray bytes;
    AppendCodeText(bytes, code);
    return QString::fromLatin1(bytes);
}

void AppendCodeText(QByteArray &bytes, quint32 code)
{
    char digits[8];
    WriteCodeText(digits, code);
    bytes.append(digits, 8);
}

void WriteCodeText(char *digits, quint32 code)
{
    for (int i = 0; i < 8; ++i)
        digits[i] = HexDigits[(code >> (28 - 4 * i)) & 0xF];
}

bool ParseCodeText(QStringView text, quint32 &code)
{
    return ParseCode(text, code);
}

bool ParseCodeText(QByteArrayView text, quint32 &code)
{
    return ParseCode(text, code);
}

void LineAndColumn(QStringView text, qsizetype offset, int &line, int &column)
{
    line = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < offset && i < text.size(); ++i) {
        if (text[i] == QLatin1Char('\n')) {
            ++line;
            lineStart = i + 1;
        }
    }
    column = int(offset - lineStart) + 1;
}

void CheckUtf8(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    const qsizetype bad = FirstInvalidUtf8(bytes);
    if (bad < 0)
        return;
    // The line and column of the characters before it.
    int line = 0;
    int column = 0;
    const QString before = QString::fromUtf8(bytes.first(bad));
    LineAndColumn(before, before.size(), line, column);
    throw ETranslationFileError(GetMsg(QStringLiteral("ExchangeBadUtf8")), line, column);
}

QString DecodeUtf8Strictly(QByteArrayView bytes)
{
    CheckUtf8(bytes);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    return QString::fromUtf8(bytes);
}

QString BadCodeMessage(QStringView text)
{
    const QString shown = text.size() > 20 ? text.first(20).toString() + QStringLiteral("...") : text.toString();
    return Format(GetMsg(QStringLiteral("ExchangeBadCode")), {shown});
}
