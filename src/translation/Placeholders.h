#pragma once
// The placeholders of a message text, which the server fills in when it
// shows the message, and the check that a translation keeps them.
//
// Two kinds, both looked for in every text:
// - server style: "@" and one digit 1 to 9 ("@10" is "@1" and a "0"); they
//   may stand in any order and any number of times;
// - printf style: "%", any of the flags - + # 0, an optional width (digits
//   or "*"), an optional precision ("." then digits or "*"), an optional
//   length (hh h ll l L q j z t) and one of d i o u x X e E f g G c s p n.
//   "%%" is a percent sign; a "%" that begins no such conversion is plain
//   text ("100% sure"). They are the server's arguments in order: each
//   conversion, and each "*" before it, takes the next one.
//
// The rules look at the bytes: every character they care about is ASCII,
// which the ANSI and OEM code pages share, so a text is checked the same in
// either.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The type of a printf-style argument: its class (d i o u x X c are one
// class, e E f g G another, s, p and n one each) and its length, which is
// part of the type ("%ld" is not "%d"). A "*" width or precision is an int.
struct TPrintfArgType
{
    enum Class : quint8 { Integer, Floating, String, Pointer, Count };
    Class ArgClass = Integer;
    QByteArray Length; // "", "hh", "h", "ll", "l", "L", "q", "j", "z" or "t"

    friend bool operator==(const TPrintfArgType &a, const TPrintfArgType &b)
    {
        return a.ArgClass == b.ArgClass && a.Length == b.Length;
    }
    friend bool operator!=(const TPrintfArgType &a, const TPrintfArgType &b) { return !(a == b); }
};

struct TPlaceholders
{
    // Bit N (1 to 9) is set when "@N" appears.
    quint16 ServerNumbers = 0;
    // The printf-style conversions as written ("%5.2f", "%*d"), in order.
    QList<QByteArray> Conversions;
    // The arguments they take, in order: a "*" gives one of its own before
    // its conversion's.
    QList<TPrintfArgType> Arguments;
};

[[nodiscard]] TPlaceholders FindPlaceholders(QByteArrayView text);

// Whether Text has any printf-style conversion.
[[nodiscard]] bool HasPrintfPlaceholders(QByteArrayView text);

// How a translation's placeholders differ from its original's.
struct TPlaceholderProblem
{
    quint16 Missing = 0; // server-style numbers of the original the translation lacks (bit N: "@N")
    quint16 Extra = 0;   // and those it adds
    // The printf-style arguments differ in number, order or type; then the
    // conversions of both, as written.
    bool PrintfDiffers = false;
    QList<QByteArray> OriginalConversions;
    QList<QByteArray> TranslatedConversions;

    [[nodiscard]] bool Any() const { return Missing != 0 || Extra != 0 || PrintfDiffers; }
};

// The placeholder problem of a translation against its original. A text
// equal to its original (an untranslated message) never has one.
[[nodiscard]] TPlaceholderProblem FindPlaceholderProblem(QByteArrayView original, QByteArrayView translation);

// The same answer as FindPlaceholderProblem(...).Any(), without building
// the description: what a pass over a whole file asks.
[[nodiscard]] bool HasPlaceholderProblem(QByteArrayView original, QByteArrayView translation);

// The problem in words, from the language table: "Missing @2", "Extra @3",
// "Placeholders %s %ld became %ld %s", joined by "; "; empty for none.
[[nodiscard]] QString DescribePlaceholderProblem(const TPlaceholderProblem &problem);
