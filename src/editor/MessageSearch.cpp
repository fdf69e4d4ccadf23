#include "editor/MessageSearch.h"

#include "dialogs/DialogEntryPoints.h"
#include "editor/EditSession.h"
#include "editor/GridText.h"
#include "msgfile/MsgData.h"
#include "translation/MessageFilter.h"
#include "platform/CodePages.h"
#include "uitext/DlgUtils.h"
#include "uitext/HexDigit.h"
#include "uitext/MsgRes.h"

#include <QChar>
#include <QStringView>

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace MessageSearch {

namespace {

constexpr int MaxCodeDigits = 8;

// Case folding in byte space. Every byte of a text as the grid shows it
// stands for one character of the ANSI code page; two bytes match ignoring
// case when their characters have the same upper-case letter. Each byte is
// mapped to the lowest byte with the same upper-case letter, so that folded
// bytes compare as bytes; the pattern is folded the same way through the
// upper-case letters of its characters.
class TCaseFolding
{
public:
    TCaseFolding()
    {
        QByteArray bytes(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            bytes[b] = char(b);
        const QString characters = AnsiToUnicode(bytes);
        for (int b = 0; b < 256; ++b)
            m_upper[b] = QChar::toUpper(char32_t(characters.at(b).unicode()));
        for (int b = 0; b < 256; ++b)
            m_fold[b] = uchar(LowestByteOf(m_upper[b]));
    }

    const uchar *Table() const { return m_fold.data(); }

    // Text folded into bytes; false when one of its characters upper-cases
    // to a letter that no byte of the code page has, so that no text can
    // contain it.
    bool FoldPattern(const QString &text, std::string &pattern) const
    {
        pattern.clear();
        const QList<uint> codePoints = text.toUcs4();
        for (const uint codePoint : codePoints) {
            const int b = LowestByteOf(QChar::toUpper(char32_t(codePoint)));
            if (b < 0)
                return false;
            pattern.push_back(char(b));
        }
        return true;
    }

private:
    int LowestByteOf(char32_t upper) const
    {
        const auto found = std::find(m_upper.begin(), m_upper.end(), upper);
        return found == m_upper.end() ? -1 : int(found - m_upper.begin());
    }

    std::array<char32_t, 256> m_upper{};
    std::array<uchar, 256> m_fold{};
};

// Searches texts for a folded pattern, folding each text byte through one
// table as it compares (Horspool: on a mismatch the window moves on by the
// shift of its last byte), so that a text needs no folded copy.
class TFoldedSearcher
{
public:
    TFoldedSearcher(const std::string &pattern, const uchar *fold)
        : m_pattern(pattern), m_fold(fold)
    {
        const size_t length = pattern.size();
        std::array<size_t, 256> shift;
        shift.fill(length);
        for (size_t j = 0; j + 1 < length; ++j)
            shift[uchar(pattern[j])] = length - 1 - j;
        for (int b = 0; b < 256; ++b)
            m_shift[b] = shift[fold[b]];
    }

    bool Contains(const char *text, size_t length) const
    {
        const size_t patternLength = m_pattern.size();
        if (length < patternLength)
            return false;
        const auto *bytes = reinterpret_cast<const uchar *>(text);
        const auto *pattern = reinterpret_cast<const uchar *>(m_pattern.data());
        const size_t last = patternLength - 1;
        for (size_t i = 0; i + patternLength <= length; i += m_shift[bytes[i + last]]) {
            if (m_fold[bytes[i + last]] != pattern[last])
                continue;
            size_t j = 0;
            while (j < last && m_fold[bytes[i + j]] == pattern[j])
                ++j;
            if (j == last)
                return true;
        }
        return false;
    }

private:
    const std::string &m_pattern;
    const uchar *m_fold;
    std::array<size_t, 256> m_shift;
};

bool IsBlankChar(QChar c)
{
    return c.unicode() <= 0x20 || c.isSpace() || c.category() == QChar::Other_Control;
}

} // namespace

int FindMessage(const TEditSession &session, int currentIndex, bool inOriginal, const QString &findText,
                const TShownMessages *shown)
{
    if (!session.IsOpen() || findText.isEmpty())
        return -1;
    // The code pages may change between searches: fold with the ones in use.
    const TCaseFolding folding;
    std::string pattern;
    if (!folding.FoldPattern(findText, pattern))
        return -1;
    const TFoldedSearcher searcher(pattern, folding.Table());
    TShownMessages all;
    if (!shown) {
        all.ShowAll(session.Count());
        shown = &all;
    }
    QByteArray buffer; // reused from text to text
    for (int row = shown->RowAfter(currentIndex); row < shown->Count(); ++row) {
        const int index = shown->MessageAt(row);
        if (index >= session.Count())
            break;
        const QByteArrayView text = GridCellBytes(session, index, inOriginal, buffer);
        if (searcher.Contains(text.data(), size_t(text.size())))
            return index;
    }
    return -1;
}

int FindNext(const TEditSession &session, int currentIndex, bool inOriginal, const QString &findText,
             const TShownMessages *shown)
{
    const int index = FindMessage(session, currentIndex, inOriginal, findText, shown);
    if (index < 0)
        ShowInfo(GetMsg(QStringLiteral("NotFound")));
    return index;
}

QString TrimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlankChar(text.at(first)))
        ++first;
    while (last > first && IsBlankChar(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

bool ParseMessageCode(const QString &text, quint32 &code)
{
    if (text.isEmpty())
        return false;
    quint32 value = 0;
    int significant = 0;
    for (const QChar c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0)
            return false;
        if (significant == 0 && digit == 0)
            continue;
        if (++significant > MaxCodeDigits)
            return false;
        value = value * 16 + quint32(digit);
    }
    code = value;
    return true;
}

int GoToMessage(const TEditSession &session)
{
    if (!session.IsOpen())
        return -1;
    QString input;
    for (;;) {
        if (!EnterString(GetMsg(QStringLiteral("GotoLineCaption")), GetMsg(QStringLiteral("GotoLinePrompt")), input,
                         QStringLiteral("Form1.GotoDialog"), false))
            return -1;
        const QString trimmed = TrimBlanks(input);
        quint32 code = 0;
        if (!ParseMessageCode(trimmed, code)) {
            ShowErrorMsg(QStringLiteral("InvalidHex"), {trimmed});
            continue;
        }
        const int index = session.Messages()->IndexOfCode(code);
        if (index < 0) {
            ShowErrorMsg(QStringLiteral("LineNotFound"), {trimmed.toUpper()});
            continue;
        }
        return index;
    }
}

} // namespace MessageSearch
