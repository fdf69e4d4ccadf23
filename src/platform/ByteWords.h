#pragma once
// Eight bytes of a text at a time, for the passes over whole files (the
// exchange formats, the code page conversions): most of a text is plain
// ASCII, and a word tells at once whether any of its bytes needs a look.
//
// Each test is exact for the word as a whole (never a byte missed), which is
// all the callers ask: they look at the bytes one by one once a word says so.

#include <QtGlobal>

#include <cstring>

namespace ByteWords {

constexpr quint64 Ones = 0x0101010101010101ull;
constexpr quint64 HighBits = 0x8080808080808080ull;

inline quint64 Load(const char *bytes)
{
    quint64 word;
    std::memcpy(&word, bytes, 8);
    return word;
}

// Nonzero when a byte of Word is 0x80 or above.
inline quint64 AnyHigh(quint64 word)
{
    return word & HighBits;
}

// Nonzero when a byte of Word is below Limit (at most 0x80).
inline quint64 AnyBelow(quint64 word, unsigned limit)
{
    return (word - Ones * limit) & ~word & HighBits;
}

// Nonzero when a byte of Word is Byte.
inline quint64 AnyEqual(quint64 word, unsigned char byte)
{
    return AnyBelow(word ^ (Ones * byte), 1);
}

} // namespace ByteWords
