#include "translation/CodeIndex.h"

#include <algorithm>

TCodeIndex::TCodeIndex(const TMsgData &messages, const std::function<bool(int)> &wanted)
{
    m_items.reserve(size_t(messages.Count()));
    bool ascending = true;
    for (int i = 0; i < messages.Count(); ++i) {
        if (wanted && !wanted(i))
            continue;
        const quint32 code = messages.Codes(i);
        if (!m_items.empty() && code <= m_items.back().Code)
            ascending = false;
        m_items.push_back({code, i});
    }
    if (!ascending) {
        // Each code's lowest index first, then the others dropped.
        std::stable_sort(m_items.begin(), m_items.end(),
                         [](const Item &a, const Item &b) { return a.Code < b.Code; });
        m_items.erase(std::unique(m_items.begin(), m_items.end(),
                                  [](const Item &a, const Item &b) { return a.Code == b.Code; }),
                      m_items.end());
    }
    m_found.assign(m_items.size(), false);
}

int TCodeIndex::Find(quint32 code)
{
    size_t at = m_next;
    if (at >= m_items.size() || m_items[at].Code != code) {
        const auto found = std::lower_bound(m_items.begin(), m_items.end(), code,
                                            [](const Item &item, quint32 wanted) { return item.Code < wanted; });
        if (found == m_items.end() || found->Code != code)
            return -1;
        at = size_t(found - m_items.begin());
    }
    m_next = at + 1;
    m_found[at] = true;
    return m_items[at].Index;
}

int TCodeIndex::CountNeverFound() const
{
    return int(std::count(m_found.begin(), m_found.end(), false));
}
