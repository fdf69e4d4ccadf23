#pragma once
// Which messages the grid shows: all of them, or those a filter picked when
// it was chosen. The choice is taken once, in file order, and kept as it
// is while texts change, so that a message an edit makes stop matching
// stays where it is until the filter is chosen again (or the translator
// moves on to the next unfinished message).

#include <cstddef>
#include <vector>

class TTranslationStatus;

enum class TMessageFilter { All, Untranslated, Translated, Problems, NeedsReview };

// Whether message Index of Status matches Filter.
[[nodiscard]] bool Matches(TMessageFilter filter, const TTranslationStatus &status, int index);

// Whether a message is left to do: untranslated, with a placeholder
// problem, or to review.
[[nodiscard]] bool IsUnfinished(const TTranslationStatus &status, int index);

class TShownMessages
{
public:
    // All Count messages, nothing picked.
    void ShowAll(int count);
    // The messages of Status that match Filter, in file order.
    void Pick(TMessageFilter filter, const TTranslationStatus &status);

    [[nodiscard]] TMessageFilter Filter() const { return m_filter; }
    [[nodiscard]] bool ShowsAll() const { return m_filter == TMessageFilter::All; }
    // The number of messages shown, and the message of shown row Row
    // (0 <= Row < Count()).
    [[nodiscard]] int Count() const { return m_filter == TMessageFilter::All ? m_all : int(m_picked.size()); }
    [[nodiscard]] int MessageAt(int row) const { return m_filter == TMessageFilter::All ? row : m_picked[std::size_t(row)]; }
    // The row that shows message Index; -1 when it is not shown.
    [[nodiscard]] int RowOf(int index) const;
    // The first row that shows a message after Index (any message index,
    // -1 for before the first), Count() when there is none; and the last row
    // before Index, -1 when there is none.
    [[nodiscard]] int RowAfter(int index) const;
    [[nodiscard]] int RowBefore(int index) const;

    // The message shown after Index (Forward) or before it that is left to
    // do (IsUnfinished); -1 when there is none.
    [[nodiscard]] int NextUnfinished(const TTranslationStatus &status, int index, bool forward) const;

private:
    TMessageFilter m_filter = TMessageFilter::All;
    int m_all = 0;
    std::vector<int> m_picked; // message indices, ascending
};
