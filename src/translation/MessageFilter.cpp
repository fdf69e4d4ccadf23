#include "translation/MessageFilter.h"

#include "translation/TranslationStatus.h"

#include <algorithm>

bool Matches(TMessageFilter filter, const TTranslationStatus &status, int index)
{
    switch (filter) {
    case TMessageFilter::All:
        return true;
    case TMessageFilter::Untranslated:
        return !status.IsTranslated(index);
    case TMessageFilter::Translated:
        return status.IsTranslated(index);
    case TMessageFilter::Problems:
        return status.HasProblem(index);
    case TMessageFilter::NeedsReview:
        return status.NeedsReview(index);
    }
    return true;
}

bool IsUnfinished(const TTranslationStatus &status, int index)
{
    return !status.IsTranslated(index) || status.HasProblem(index) || status.NeedsReview(index);
}

void TShownMessages::ShowAll(int count)
{
    m_filter = TMessageFilter::All;
    m_all = count;
    m_picked.clear();
    m_picked.shrink_to_fit();
}

void TShownMessages::Pick(TMessageFilter filter, const TTranslationStatus &status)
{
    const int count = status.Messages();
    ShowAll(count);
    if (filter == TMessageFilter::All)
        return;
    m_filter = filter;
    for (int index = 0; index < count; ++index) {
        if (Matches(filter, status, index))
            m_picked.push_back(index);
    }
}

int TShownMessages::RowOf(int index) const
{
    if (m_filter == TMessageFilter::All)
        return index >= 0 && index < m_all ? index : -1;
    const auto found = std::lower_bound(m_picked.begin(), m_picked.end(), index);
    return found != m_picked.end() && *found == index ? int(found - m_picked.begin()) : -1;
}

int TShownMessages::RowAfter(int index) const
{
    if (m_filter == TMessageFilter::All)
        return std::clamp(index + 1, 0, m_all);
    return int(std::upper_bound(m_picked.begin(), m_picked.end(), index) - m_picked.begin());
}

int TShownMessages::RowBefore(int index) const
{
    if (m_filter == TMessageFilter::All)
        return std::clamp(index, 0, m_all) - 1;
    return int(std::lower_bound(m_picked.begin(), m_picked.end(), index) - m_picked.begin()) - 1;
}

int TShownMessages::NextUnfinished(const TTranslationStatus &status, int index, bool forward) const
{
    const int count = Count();
    const int step = forward ? 1 : -1;
    for (int row = forward ? RowAfter(index) : RowBefore(index); row >= 0 && row < count; row += step) {
        const int message = MessageAt(row);
        if (IsUnfinished(status, message))
            return message;
    }
    return -1;
}
