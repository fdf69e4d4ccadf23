#pragma once
// What changed between two texts, word by word: the parts of the earlier
// text that the later one dropped and the parts it added, for showing a
// translator how a message's original changed since it was translated.

#include <QList>
#include <QString>

struct TTextRange
{
    qsizetype Start = 0;
    qsizetype Length = 0;
    friend bool operator==(const TTextRange &a, const TTextRange &b)
    {
        return a.Start == b.Start && a.Length == b.Length;
    }
};

struct TTextDiff
{
    QList<TTextRange> Removed; // in Before
    QList<TTextRange> Added;   // in After
};

// The words (runs of letters and digits) and the single other characters of
// Before and After compared, keeping the longest common sequence of them;
// what is left over in each is removed or added, neighbours joined into one
// range.
[[nodiscard]] TTextDiff DiffWords(const QString &before, const QString &after);
