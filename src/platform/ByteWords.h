#pragma once
// Eight bytes of a text at a time, for the passes over whole files (the
// exchange formats, the code page conversions): most of a text is plain
// ASCII, and a word tells at once whether any of its bytes needs a look.
//
// A word's bytes are in text order from its lowest bits up, whatever the
// machine. Each test below flags (with its high bit) every byte it is true
// of, and may flag some bytes after the first true one, never one before: so
// the first flagged byte of a test, or of several or-ed together, is exact.

#include <QtAlgorithms>
#include <QtEndian>
#include <QtGlobal>

#include <cstring>

namespace ByteWords {

constexpr quint64 Ones = 0x0101010101010101ull;
constexpr quint64 HighBits = 0x8080808080808080ull;

inline quint64 Load(const char *bytes)
{
    quint64 word;
    std::memcpy(&word, bytes, 8);
    return qFromLittleEndian(word);
}

// The position (0 to 7) of the first byte Flags flags (Flags not zero).
inline int FirstFlagged(quint64 flags)
{
    return int(qCountTrailingZeroBits(flags) / 8);
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

// The offset of the first byte at or after From that Flags (a function of a
// word, one or more of the tests above) flags; Text's size when none. The
// last few bytes are tested as a word too, padded with zeros that do not
// count.
template <typename Flags>
inline qsizetype FindFirst(const char *text, qsizetype size, qsizetype from, Flags flags)
{
    qsizetype at = from;
    for (; size - at >= 8; at += 8) {
        if (const quint64 found = flags(Load(text + at)))
            return at + FirstFlagged(found);
    }
    if (at < size) {
        char tail[8] = {};
        std::memcpy(tail, text + at, size_t(size - at));
        const quint64 inside = (quint64(1) << (8 * (size - at))) - 1;
        if (const quint64 found = flags(Load(tail)) & inside)
            return at + FirstFlagged(found);
    }
    return size;
}

} // namespace ByteWords
