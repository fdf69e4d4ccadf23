#pragma once
// Messages to review: a translation that was made for another original (the
// server's English text changed since, or a CAT tool marked it fuzzy) is
// marked, and the mark remembers the original it was made for, so that the
// translator can compare the two.
//
// The marks of a message file live beside it in its review file, the file's
// absolute name with ".review" appended (x.msg.review), a small text file:
//
//   # Lexivane review marks
//   0000271A The original the translation was made for
//
// one line per mark, in ascending code order: the code as eight upper-case
// hexadecimal digits, a blank, the previous original's bytes (in the ANSI
// code page, as the message file holds them) with "\" written as "\\", a
// line feed as "\n", a tab as "\t" and every other byte outside printable
// ASCII as "\x" and two hexadecimal digits; every line ends in a line feed.
// It is thus plain ASCII (UTF-8), and gives back the exact bytes whatever
// the code page.
//
// The review file is written whenever the message file is saved (a new
// temporary file beside it, synced, renamed into place) and removed when no
// mark is left. A missing review file means no marks; a damaged one never
// stops the message file from opening: its marks are dropped with a warning.

#include "msgfile/MsgData.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

class TReviewMarks
{
public:
    [[nodiscard]] bool IsEmpty() const { return m_marks.isEmpty(); }
    [[nodiscard]] int Count() const { return int(m_marks.size()); }

    // The original the translation of Code was made for; nullopt when the
    // message is not marked.
    [[nodiscard]] std::optional<QByteArray> PreviousOriginal(quint32 code) const;
    [[nodiscard]] bool IsMarked(quint32 code) const { return m_marks.contains(code); }
    // Marks Code (replacing an earlier mark); whether anything changed.
    bool Mark(quint32 code, const QByteArray &previousOriginal);
    // Removes the mark of Code; whether there was one.
    bool Clear(quint32 code) { return m_marks.remove(code); }
    void ClearAll() { m_marks.clear(); }

    // The same by the index of a message of Messages (its code).
    [[nodiscard]] bool IsMarked(const TMsgData &messages, int index) const { return IsMarked(messages.Codes(index)); }
    [[nodiscard]] std::optional<QByteArray> PreviousOriginal(const TMsgData &messages, int index) const
    {
        return PreviousOriginal(messages.Codes(index));
    }
    bool Mark(const TMsgData &messages, int index, const QByteArray &previousOriginal)
    {
        return Mark(messages.Codes(index), previousOriginal);
    }
    bool Clear(const TMsgData &messages, int index) { return Clear(messages.Codes(index)); }

    // The messages of Messages that are marked: what "needs review" counts.
    [[nodiscard]] int CountIn(const TMsgData &messages) const;
    // Drops the marks of codes that Messages does not have.
    void KeepOnly(const TMsgData &messages);

    // The marked codes, ascending.
    [[nodiscard]] std::vector<quint32> Codes() const;

    friend bool operator==(const TReviewMarks &a, const TReviewMarks &b) { return a.m_marks == b.m_marks; }
    friend bool operator!=(const TReviewMarks &a, const TReviewMarks &b) { return !(a == b); }

private:
    QHash<quint32, QByteArray> m_marks;
};

// The review file of the message file FileName: its absolute name with
// ".review" appended.
[[nodiscard]] QString ReviewFileName(const QString &msgFileName);

// The review file's contents for Marks, and the marks of such contents;
// ParseReviewMarks raises ETranslationFileError with the line of the first
// thing that is wrong (a missing first line, a line that is not a code, a
// blank and a text, an unknown escape or a byte the writer never writes, a
// code given twice, a last line without its line feed).
[[nodiscard]] QByteArray FormatReviewMarks(const TReviewMarks &marks);
[[nodiscard]] TReviewMarks ParseReviewMarks(QByteArrayView bytes);

// The marks of the message file MsgFileName. No review file: no marks, no
// warning. A review file that cannot be read or is damaged: no marks, and
// Warning says what is wrong ("ReviewFileDropped"); otherwise Warning is
// emptied.
[[nodiscard]] TReviewMarks LoadReviewMarks(const QString &msgFileName, QString &warning);

// Writes the review file of MsgFileName (WriteFileSafely), or removes it
// when Marks is empty. Raises EOSError or EWriteError.
void SaveReviewMarks(const QString &msgFileName, const TReviewMarks &marks);
