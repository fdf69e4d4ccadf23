#pragma once
// The value of one hexadecimal digit, for every reader of codes and escapes
// written in hexadecimal (the exchange formats, the review file, Find's
// "\x" form).

#include <QChar>

// 0 to 15 for a digit of either case; -1 for any other character.
[[nodiscard]] constexpr int HexDigitValue(char16_t c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
[[nodiscard]] constexpr int HexDigitValue(char c)
{
    return c < 0 ? -1 : HexDigitValue(char16_t(c));
}
[[nodiscard]] constexpr int HexDigitValue(QChar c)
{
    return HexDigitValue(c.unicode());
}
