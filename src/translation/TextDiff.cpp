#include "translation/TextDiff.h"

#include <vector>

namespace {

struct TToken
{
    qsizetype Start;
    qsizetype Length;
};

std::vector<TToken> Tokens(const QString &text)
{
    std::vector<TToken> tokens;
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = at + 1;
        if (text.at(at).isLetterOrNumber()) {
            while (end < text.size() && text.at(end).isLetterOrNumber())
                ++end;
        }
        tokens.push_back({at, end - at});
        at = end;
    }
    return tokens;
}

void Append(QList<TTextRange> &ranges, const TToken &token)
{
    if (!ranges.isEmpty() && ranges.last().Start + ranges.last().Length == token.Start)
        ranges.last().Length += token.Length;
    else
        ranges.append({token.Start, token.Length});
}

} // namespace

TTextDiff DiffWords(const QString &before, const QString &after)
{
    const std::vector<TToken> a = Tokens(before);
    const std::vector<TToken> b = Tokens(after);
    const auto same = [&](size_t i, size_t j) {
        return QStringView(before).mid(a[i].Start, a[i].Length) == QStringView(after).mid(b[j].Start, b[j].Length);
    };
    // lengths[i][j]: the longest common sequence of a[i...] and b[j...].
    const size_t n = a.size();
    const size_t m = b.size();
    std::vector<int> lengths((n + 1) * (m + 1), 0);
    const auto at = [&](size_t i, size_t j) -> int & { return lengths[i * (m + 1) + j]; };
    for (size_t i = n; i-- > 0;) {
        for (size_t j = m; j-- > 0;)
            at(i, j) = same(i, j) ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    }
    TTextDiff diff;
    size_t i = 0;
    size_t j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && same(i, j)) {
            ++i;
            ++j;
        } else if (j < m && (i == n || at(i, j + 1) >= at(i + 1, j))) {
            Append(diff.Added, b[j++]);
        } else {
            Append(diff.Removed, a[i++]);
        }
    }
    return diff;
}
