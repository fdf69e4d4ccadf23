#include "uitext/Format.h"

#include <QStringView>

namespace {

// Widths and precisions come from text files (language tables); a stray run
// of digits must not make us allocate gigabytes, so larger ones are treated
// as a malformed directive.
constexpr int kMaxFieldSize = 1 << 20;

// Addresses always show at least this many hexadecimal digits.
constexpr int kMinPointerDigits = 8;

const char kArgumentMissing[] = "No argument for format '%s'";
const char kInvalidFormat[] = "Format '%s' invalid or incompatible with argument";

// Fills the single "%s" of Text with the format string. Done by plain
// replacement: the error path must not go through Format again.
[[noreturn]] void RaiseConvertError(const char *text, const QString &format)
{
    QString message = QString::fromLatin1(text);
    message.replace(QLatin1String("%s"), format);
    throw EConvertError(message);
}

struct Directive
{
    bool leftAlign = false;
    int width = 0;
    int precision = -1; // -1: none given
    char16_t type = 0;  // lower case
};

// The magnitude of an integer argument; for a negative one, the two's
// complement within its own width.
std::uint64_t Magnitude(const FormatArg &arg)
{
    if (!arg.isNegative())
        return arg.bits();
    const std::uint64_t mask =
        arg.bitCount() >= 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << arg.bitCount()) - 1;
    return (~arg.bits() + 1) & mask;
}

QString ZeroPadded(const QString &digits, int minDigits)
{
    if (digits.size() >= minDigits)
        return digits;
    return QString(minDigits - digits.size(), QLatin1Char('0')) + digits;
}

QString HexDigits(std::uint64_t value)
{
    return QString::number(qulonglong(value), 16).toUpper();
}

// At most MaxChars UTF-16 units of Text, without splitting a surrogate pair.
QString Truncated(const QString &text, int maxChars)
{
    if (text.size() <= maxChars)
        return text;
    qsizetype end = maxChars;
    if (end > 0 && text.at(end - 1).isHighSurrogate() && text.at(end).isLowSurrogate())
        --end;
    return text.left(end);
}

class Formatter
{
public:
    Formatter(const QString &format, const FormatArg *args, qsizetype argCount)
        : m_format(format), m_args(args), m_argCount(argCount) {}

    QString run();

private:
    [[noreturn]] void raiseInvalid() const { RaiseConvertError(kInvalidFormat, m_format); }
    bool atEnd() const { return m_pos >= m_format.size(); }
    QChar current() const { return m_format.at(m_pos); }
    bool atDigit() const { return !atEnd() && current() >= QLatin1Char('0') && current() <= QLatin1Char('9'); }

    void appendDirective();
    Directive parseDirective();
    int parseNumber();
    const FormatArg &nextArgument();
    QString convert(const Directive &directive, const FormatArg &arg) const;
    QString convertString(const Directive &directive, const FormatArg &arg) const;
    QString convertDecimal(const Directive &directive, const FormatArg &arg) const;
    QString convertHex(const Directive &directive, const FormatArg &arg) const;
    QString convertPointer(const Directive &directive, const FormatArg &arg) const;

    const QString &m_format;
    const FormatArg *m_args;
    qsizetype m_argCount;
    qsizetype m_pos = 0;
    qsizetype m_nextArg = 0;
    QString m_result;
};

QString Formatter::run()
{
    m_result.reserve(m_format.size());
    while (!atEnd()) {
        const qsizetype percent = m_format.indexOf(QLatin1Char('%'), m_pos);
        if (percent < 0) {
            m_result += QStringView(m_format).mid(m_pos);
            break;
        }
        m_result += QStringView(m_format).mid(m_pos, percent - m_pos);
        m_pos = percent + 1;
        appendDirective();
    }
    return m_result;
}

// Reads the directive after a "%" and appends its text.
void Formatter::appendDirective()
{
    if (!atEnd() && current() == QLatin1Char('%')) {
        m_result += QLatin1Char('%');
        ++m_pos;
        return;
    }
    const Directive directive = parseDirective();
    QString text = convert(directive, nextArgument());
    if (text.size() < directive.width)
        text = directive.leftAlign ? text.leftJustified(directive.width) : text.rightJustified(directive.width);
    m_result += text;
}

Directive Formatter::parseDirective()
{
    Directive directive;
    if (!atEnd() && current() == QLatin1Char('-')) {
        directive.leftAlign = true;
        ++m_pos;
    }
    if (atDigit())
        directive.width = parseNumber();
    if (!atEnd() && current() == QLatin1Char('.')) {
        ++m_pos;
        if (!atDigit())
            raiseInvalid();
        directive.precision = parseNumber();
    }
    if (atEnd())
        raiseInvalid();
    const char16_t type = current().toLower().unicode();
    if (type != u's' && type != u'd' && type != u'x' && type != u'p')
        raiseInvalid();
    directive.type = type;
    ++m_pos;
    return directive;
}

int Formatter::parseNumber()
{
    int value = 0;
    while (atDigit()) {
        value = value * 10 + (current().unicode() - u'0');
        if (value > kMaxFieldSize)
            raiseInvalid();
        ++m_pos;
    }
    return value;
}

const FormatArg &Formatter::nextArgument()
{
    if (m_nextArg >= m_argCount)
        RaiseConvertError(kArgumentMissing, m_format);
    return m_args[m_nextArg++];
}

QString Formatter::convert(const Directive &directive, const FormatArg &arg) const
{
    switch (directive.type) {
    case u's':
        return convertString(directive, arg);
    case u'd':
        return convertDecimal(directive, arg);
    case u'x':
        return convertHex(directive, arg);
    default:
        return convertPointer(directive, arg);
    }
}

QString Formatter::convertString(const Directive &directive, const FormatArg &arg) const
{
    if (arg.kind() != FormatArg::Kind::String)
        raiseInvalid();
    if (directive.precision < 0)
        return arg.string();
    return Truncated(arg.string(), directive.precision);
}

QString Formatter::convertDecimal(const Directive &directive, const FormatArg &arg) const
{
    if (arg.kind() != FormatArg::Kind::Integer)
        raiseInvalid();
    const QString digits = ZeroPadded(QString::number(qulonglong(Magnitude(arg))), directive.precision);
    return arg.isNegative() ? QLatin1Char('-') + digits : digits;
}

QString Formatter::convertHex(const Directive &directive, const FormatArg &arg) const
{
    if (arg.kind() != FormatArg::Kind::Integer)
        raiseInvalid();
    return ZeroPadded(HexDigits(arg.bits()), directive.precision);
}

// All digits of the address are kept, however many; precision can only ask
// for more than the usual eight.
QString Formatter::convertPointer(const Directive &directive, const FormatArg &arg) const
{
    if (arg.kind() != FormatArg::Kind::Pointer)
        raiseInvalid();
    return ZeroPadded(HexDigits(arg.bits()), qMax(kMinPointerDigits, directive.precision));
}

} // namespace

QString Format(const QString &format, std::initializer_list<FormatArg> args)
{
    return Formatter(format, args.begin(), qsizetype(args.size())).run();
}

QString Format(const QString &format, const QList<FormatArg> &args)
{
    return Formatter(format, args.constData(), args.size()).run();
}
