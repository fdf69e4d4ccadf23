#pragma once
// What the readers and writers of the translation exchange formats share:
// message codes as text, checked UTF-8 decoding, and where an offset lies.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The code as eight upper-case hexadecimal digits ("0000271A").
[[nodiscard]] QString CodeText(quint32 code);
// Appends the same to Bytes.
void AppendCodeText(QByteArray &bytes, quint32 code);
// Writes the same to the eight bytes at Digits.
void WriteCodeText(char *digits, quint32 code);

// Reads a code written as one to eight hexadecimal digits, either case.
[[nodiscard]] bool ParseCodeText(QStringView text, quint32 &code);
[[nodiscard]] bool ParseCodeText(QByteArrayView text, quint32 &code);

// The line (from 1) and column (from 1, in characters) of offset Offset of
// Text.
void LineAndColumn(QStringView text, qsizetype offset, int &line, int &column);

// Bytes decoded as UTF-8 (a byte order mark at the start dropped); raises
// ETranslationFileError ("ExchangeBadUtf8") with the line and column of the
// first sequence that is not UTF-8.
[[nodiscard]] QString DecodeUtf8Strictly(QByteArrayView bytes);

// The same check without the decoding, for a reader that decodes by
// itself.
void CheckUtf8(QByteArrayView bytes);

// The message for a code that is not one ("ExchangeBadCode"), the text
// shortened to a few characters.
[[nodiscard]] QString BadCodeMessage(QStringView text);
