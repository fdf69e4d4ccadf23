#include "editor/MessageSearch.h"

#include "dialogs/DialogEntryPoints.h"
#include "editor/EditSession.h"
#include "msgfile/MsgData.h"
#include "platform/CodePages.h"
#include "uitext/DlgUtils.h"
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

constexpr int TabWidth = 8;
constexpr int MaxCodeDigits = 8;

// Case folding in byte space. Every stored byte stands for one character of
// the ANSI code page (after the OEM conversion for an OEM text); two bytes
// match ignoring case when their characters have the same upper-case letter.
// Each byte is mapped to the lowest byte with the same upper-case letter, so
// that folded bytes compare as bytes; the pattern is folded the same way
// through the upper-case letters of its characters.
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
            m_ansi[b] = uchar(LowestByteOf(m_upper[b]));
        OemToCharA(bytes);
        for (int b = 0; b < 256; ++b)
            m_oem[b] = m_ansi[uchar(bytes.at(b))];
    }

    // The table that folds the stored bytes of a text with the given flag.
    const uchar *Table(bool oem) const { return oem ? m_oem.data() : m_ansi.data(); }

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
    std::array<uchar, 256> m_ansi{};
    std::array<uchar, 256> m_oem{};
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

// Whether ToGridText changes the layout of Text: it has a tab or a line feed.
bool NeedsExpanding(QByteArrayView text)
{
    return std::memchr(text.data(), '\t', size_t(text.size())) != nullptr
        || std::memchr(text.data(), '\n', size_t(text.size())) != nullptr;
}

// Text as ToGridText lays it out before its OEM conversion: each tab becomes
// the blanks up to the next multiple of 8, each line feed backslash and "n".
// Into Buffer, which is reused from text to text; returns the length.
size_t ExpandGridText(QByteArrayView text, std::vector<char> &buffer)
{
    // A byte gives at most 8 (a tab at a tab stop).
    const size_t most = size_t(text.size()) * TabWidth;
    if (buffer.size() < most)
        buffer.resize(most);
    char *const start = buffer.data();
    char *out = start;
    for (const char c : text) {
        if (c == '\t') {
            const ptrdiff_t blanks = TabWidth - (out - start) % TabWidth;
            std::memset(out, ' ', TabWidth);
            out += blanks;
        } else if (c == '\n') {
            out[0] = '\\';
            out[1] = 'n';
            out += 2;
        } else {
            *out++ = c;
        }
    }
    return size_t(out - start);
}

// The stored text MessageText(Index, FromOriginal) gives, without a copy.
QByteArrayView StoredText(const TEditSession &session, int index, bool fromOriginal)
{
    const TMsgData *store = fromOriginal ? session.OriginalMessages() : session.Messages();
    if (store == nullptr || index >= store->Count())
        return {};
    return store->TextView(index);
}

bool IsBlankChar(QChar c)
{
    return c.unicode() <= 0x20 || c.isSpace() || c.category() == QChar::Other_Control;
}

int HexDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}

} // namespace

int FindRow(const TEditSession &session, int currentRow, int currentColumn, const QString &findText)
{
    if (!session.IsOpen() || currentColumn <= 0 || findText.isEmpty())
        return 0;
    const bool fromOriginal = currentColumn == 1;
    // The code pages may change between searches: fold with the ones in use.
    const TCaseFolding folding;
    std::string pattern;
    if (!folding.FoldPattern(findText, pattern))
        return 0;
    // The OEM conversion is one byte for one byte, so it is part of the
    // folding table of an OEM text.
    const TFoldedSearcher ansiSearcher(pattern, folding.Table(false));
    const TFoldedSearcher oemSearcher(pattern, folding.Table(true));

    const TMsgData &messages = *session.Messages();
    const int count = messages.Count();
    std::vector<char> buffer;
    for (int index = std::max(currentRow, 0); index < count; ++index) {
        const QByteArrayView text = StoredText(session, index, fromOriginal);
        if (text.isEmpty())
            continue;
        const TFoldedSearcher &searcher = messages.Oem(index) ? oemSearcher : ansiSearcher;
        // Most texts have neither tabs nor line feeds: searched where they lie.
        if (!NeedsExpanding(text)) {
            if (searcher.Contains(text.data(), size_t(text.size())))
                return index + 1;
            continue;
        }
        const size_t length = ExpandGridText(text, buffer);
        if (searcher.Contains(buffer.data(), length))
            return index + 1;
    }
    return 0;
}

int FindNext(const TEditSession &session, int currentRow, int currentColumn, const QString &findText)
{
    const int row = FindRow(session, currentRow, currentColumn, findText);
    if (row == 0)
        ShowInfo(GetMsg(QStringLiteral("NotFound")));
    return row;
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
        return 0;
    QString input;
    for (;;) {
        if (!EnterString(GetMsg(QStringLiteral("GotoLineCaption")), GetMsg(QStringLiteral("GotoLinePrompt")), input,
                         QStringLiteral("Form1.GotoDialog"), false))
            return 0;
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
        return index + 1;
    }
}

} // namespace MessageSearch
