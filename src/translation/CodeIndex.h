#pragma once
// Messages found by code in a pass that goes through codes in order: an
// import's entries, the update's new messages.
//
// A server numbers its messages in ascending code order, and the files
// exported from them keep it; so the message sought is mostly the one after
// the last found, and a sorted list of codes walked alongside finds it at
// once, where a hash table would look each code up afresh all over memory.
// Codes out of order cost a binary search; a file whose codes are not in
// order at all is sorted once.

#include "msgfile/MsgData.h"

#include <functional>
#include <vector>

class TCodeIndex
{
public:
    // The messages of Messages that Wanted takes (every one without it).
    explicit TCodeIndex(const TMsgData &messages, const std::function<bool(int)> &wanted = {});

    // The lowest index among them whose code is Code, or -1.
    [[nodiscard]] int Find(quint32 code);

    // How many of their codes Find never found.
    [[nodiscard]] int CountNeverFound() const;

private:
    struct Item
    {
        quint32 Code;
        int Index;
    };
    std::vector<Item> m_items; // ascending by code, the lowest index of each
    std::vector<bool> m_found; // parallel to m_items
    size_t m_next = 0;         // the item after the last one found
};
