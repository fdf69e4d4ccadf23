#pragma once
// The format language of every text with arguments: "%", optionally "-"
// (pad on the right), a width, "." and a precision, then the type letter:
// "s" string, "d" decimal, "x" upper-case hexadecimal, "p" address; "%%" is
// a percent sign. A directive without an argument, or with an argument of
// the wrong type, raises EConvertError.

#include "diagnostics/Exception.h"

#include <QList>
#include <QString>
#include <cstdint>
#include <initializer_list>

LEXIVANE_DECLARE_EXCEPTION(EConvertError);

// One argument of Format: a string, an integer (with the width of its type,
// which decides how a negative number looks in hexadecimal) or an address.
class FormatArg
{
public:
    enum class Kind { String, Integer, Pointer };

    FormatArg(const QString &value) : m_kind(Kind::String), m_string(value) {}
    FormatArg(const char *value) : m_kind(Kind::String), m_string(QString::fromUtf8(value)) {}
    FormatArg(int value) : FormatArg(value, true) {}
    FormatArg(unsigned value) : FormatArg(value, false) {}
    FormatArg(long value) : FormatArg(value, true) {}
    FormatArg(unsigned long value) : FormatArg(value, false) {}
    FormatArg(long long value) : FormatArg(value, true) {}
    FormatArg(unsigned long long value) : FormatArg(value, false) {}
    FormatArg(const void *value)
        : m_kind(Kind::Pointer), m_value(reinterpret_cast<std::uintptr_t>(value)), m_bits(8 * sizeof(void *)) {}

    Kind kind() const { return m_kind; }
    const QString &string() const { return m_string; }
    // The integer's two's-complement bits, as many as its type has (or the
    // address), zero-extended to 64 bits.
    std::uint64_t bits() const { return m_value; }
    int bitCount() const { return m_bits; }
    bool isNegative() const { return m_signed && m_bits > 0 && ((m_value >> (m_bits - 1)) & 1u); }

private:
    template <typename T>
    FormatArg(T value, bool isSigned)
        : m_kind(Kind::Integer),
          m_value(static_cast<std::uint64_t>(value) & (sizeof(T) >= 8 ? ~std::uint64_t(0) : ((std::uint64_t(1) << (8 * sizeof(T))) - 1))),
          m_bits(8 * sizeof(T)), m_signed(isSigned) {}

    Kind m_kind;
    QString m_string;
    std::uint64_t m_value = 0;
    int m_bits = 0;
    bool m_signed = false;
};

// Fills the directives of Format with Args, in order. Arguments beyond the
// directives are ignored.
QString Format(const QString &format, std::initializer_list<FormatArg> args = {});
QString Format(const QString &format, const QList<FormatArg> &args);
