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

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// A set of bytes to look for: those below Below (at most 0x80; 0 for
// none), those equal to one of the first EqualCount of Equal, and with High
// every byte from 0x80 up.
struct ByteSet
{
    unsigned Below = 0;
    char Equal[4] = {};
    int EqualCount = 0;
    bool High = false;
};

// The bytes of Word in the set, flagged.
inline quint64 Flags(quint64 word, const ByteSet &set)
{
    quint64 flags = set.High ? AnyHigh(word) : 0;
    if (set.Below != 0)
        flags |= AnyBelow(word, set.Below);
    for (int i = 0; i < set.EqualCount; ++i)
        flags |= AnyEqual(word, static_cast<unsigned char>(set.Equal[i]));
    return flags;
}

// The offset of the first byte of the set at or after From in Text; Size
// when there is none. Sixteen bytes at a time where the processor can, then
// words, the last few bytes as a word too, padded with zeros that do not
// count. Always inlined: with the set known where it is called, the tests
// not asked for are compiled out.
Q_ALWAYS_INLINE qsizetype FindFirst(const char *text, qsizetype size, qsizetype from, const ByteSet &set)
{
    qsizetype at = from;
#if defined(__SSE2__)
    if (size - at >= 16) {
        const __m128i below = _mm_set1_epi8(static_cast<char>(set.Below - 1));
        __m128i equal[4];
        for (int i = 0; i < set.EqualCount; ++i)
            equal[i] = _mm_set1_epi8(set.Equal[i]);
        for (; size - at >= 16; at += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i *>(text + at));
            // min(x, Below - 1) == x: x below Below, unsigned.
            __m128i found = set.Below != 0 ? _mm_cmpeq_epi8(_mm_min_epu8(chunk, below), chunk) : _mm_setzero_si128();
            for (int i = 0; i < set.EqualCount; ++i)
                found = _mm_or_si128(found, _mm_cmpeq_epi8(chunk, equal[i]));
            const int mask = _mm_movemask_epi8(found) | (set.High ? _mm_movemask_epi8(chunk) : 0);
            if (mask != 0)
                return at + qCountTrailingZeroBits(unsigned(mask));
        }
    }
#endif
    for (; size - at >= 8; at += 8) {
        if (const quint64 found = Flags(Load(text + at), set))
            return at + FirstFlagged(found);
    }
    if (at < size) {
        quint64 tail = 0;
        std::memcpy(&tail, text + at, size_t(size - at));
        const quint64 inside = (quint64(1) << (8 * (size - at))) - 1;
        if (const quint64 found = Flags(qFromLittleEndian(tail), set) & inside)
            return at + FirstFlagged(found);
    }
    return size;
}

} // namespace ByteWords
