#include "translation/PoFile.h"

#include "msgfile/BufferedWriter.h"
#include "platform/ByteWords.h"
#include "translation/ExchangeText.h"
#include "translation/Placeholders.h"
#include "uitext/Format.h"
#include "uitext/HexDigit.h"
#include "uitext/MsgRes.h"

#include <cstring>
#include <string>

namespace {

[[noreturn]] void Malformed(const char *key, int line, int column, std::initializer_list<FormatArg> args = {})
{
    throw ETranslationFileError(Format(GetMsg(QString::fromLatin1(key)), args), line, column);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

qsizetype SkipBlanks(QByteArrayView line, qsizetype at)
{
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    return at;
}

int OctalValue(char c)
{
    return c >= '0' && c <= '7' ? c - '0' : -1;
}

// Whether Text begins with Word: compared in place, as the reader asks it of
// every line.
template <qsizetype N>
bool StartsWith(QByteArrayView text, const char (&word)[N])
{
    return text.size() >= N - 1 && std::memcmp(text.data(), word, N - 1) == 0;
}

// The column (from 1, in characters) of byte At of the UTF-8 line.
int Column(QByteArrayView line, qsizetype at)
{
    return int(QString::fromUtf8(line.first(at)).size()) + 1;
}

// The reader: one line at a time, an entry gathered until the next one
// begins. It works on the file's UTF-8 bytes (checked beforehand), and
// decodes each field once, when its entry is complete.
class PoReader
{
public:
    explicit PoReader(QByteArrayView text) : m_text(text) {}

    TTranslationEntries Read()
    {
        // Room for about as many entries as a file of this size holds (one
        // of a message file is some two hundred bytes).
        m_entries.reserve(size_t(m_text.size() / 256));
        qsizetype start = 0;
        const qsizetype size = m_text.size();
        while (start <= size) {
            const auto *lineFeed = static_cast<const char *>(std::memchr(m_text.data() + start, '\n', size_t(size - start)));
            const qsizetype end = lineFeed ? lineFeed - m_text.data() : size;
            ++m_lineNumber;
            ReadLine(m_text.sliced(start, end - start));
            start = end + 1;
        }
        Finish();
        return std::move(m_entries);
    }

private:
    enum class Field { None, Context, Id, Str, Previous, PreviousOther };

    void ReadLine(QByteArrayView line)
    {
        const qsizetype at = SkipBlanks(line, 0);
        if (at == line.size()) {
            Finish();
            return;
        }
        if (line[at] == '#') {
            ReadComment(line, at);
            return;
        }
        if (line[at] == '"') {
            if (m_field == Field::None)
                Malformed("PoUnexpectedText", m_lineNumber, Column(line, at), {Shown(line.sliced(at))});
            ReadString(line, at, Target(m_field));
            return;
        }
        ReadKeyword(line, at);
    }

    std::string &Target(Field field)
    {
        switch (field) {
        case Field::Context:
            return m_context;
        case Field::Id:
            return m_id;
        case Field::Previous:
            return m_previousId;
        case Field::PreviousOther:
            return m_ignored;
        default:
            return m_str;
        }
    }

    static bool HasFuzzyFlag(QByteArrayView flags)
    {
        qsizetype start = 0;
        while (start <= flags.size()) {
            qsizetype end = flags.indexOf(',', start);
            if (end < 0)
                end = flags.size();
            if (flags.sliced(start, end - start).trimmed() == "fuzzy")
                return true;
            start = end + 1;
        }
        return false;
    }

    void ReadComment(QByteArrayView line, qsizetype at)
    {
        // A comment after a complete entry begins the next one.
        if (m_hasStr)
            Finish();
        if (m_hasId || m_hasContext)
            Malformed("PoCommentInEntry", m_lineNumber, Column(line, at));
        m_field = Field::None;
        const QByteArrayView rest = line.sliced(at + 1);
        if (rest.startsWith('~'))
            return; // an obsolete entry: not one of the file's messages
        if (!m_started) {
            m_started = true;
            m_entryLine = m_lineNumber;
        }
        if (rest.startsWith(',')) {
            m_fuzzy = m_fuzzy || HasFuzzyFlag(rest.sliced(1));
            return;
        }
        if (!rest.startsWith('|'))
            return;
        const qsizetype keyword = SkipBlanks(line, at + 2);
        const QByteArrayView previous = line.sliced(keyword);
        if (previous.startsWith('"')) {
            if (m_previousField == Field::None)
                Malformed("PoUnexpectedText", m_lineNumber, Column(line, keyword), {Shown(previous)});
            ReadString(line, keyword, Target(m_previousField));
            return;
        }
        Field field = Field::None;
        qsizetype length = 0;
        if (StartsWith(previous, "msgid_plural") || StartsWith(previous, "msgctxt")) {
            field = Field::PreviousOther;
            length = StartsWith(previous, "msgctxt") ? 7 : 12;
        } else if (StartsWith(previous, "msgid")) {
            field = Field::Previous;
            length = 5;
        } else {
            Malformed("PoUnexpectedText", m_lineNumber, Column(line, keyword), {Shown(previous)});
        }
        const qsizetype quote = SkipBlanks(line, keyword + length);
        if (quote == keyword + length || quote >= line.size() || line[quote] != '"')
            Malformed("PoUnexpectedText", m_lineNumber, Column(line, keyword), {Shown(previous)});
        m_previousField = field;
        if (field == Field::Previous) {
            m_hasPrevious = true;
            m_previousId.clear();
        }
        m_ignored.clear();
        ReadString(line, quote, Target(field));
    }

    void ReadKeyword(QByteArrayView line, qsizetype at)
    {
        const QByteArrayView word = line.sliced(at);
        Field field = Field::None;
        qsizetype length = 0;
        if (StartsWith(word, "msgid_plural") || StartsWith(word, "msgstr[")) {
            Malformed("PoPlural", m_lineNumber, Column(line, at));
        } else if (StartsWith(word, "msgctxt")) {
            field = Field::Context;
            length = 7;
        } else if (StartsWith(word, "msgid")) {
            field = Field::Id;
            length = 5;
        } else if (StartsWith(word, "msgstr")) {
            field = Field::Str;
            length = 6;
        } else {
            Malformed("PoUnexpectedText", m_lineNumber, Column(line, at), {Shown(word)});
        }
        const qsizetype quote = SkipBlanks(line, at + length);
        if (quote == at + length || quote >= line.size() || line[quote] != '"')
            Malformed("PoUnexpectedText", m_lineNumber, Column(line, at), {Shown(word)});

        if (field != Field::Str && m_hasStr)
            Finish(); // the next entry begins
        const bool misplaced = (field == Field::Context && (m_hasContext || m_hasId))
            || (field == Field::Id && m_hasId) || (field == Field::Str && (!m_hasId || m_hasStr));
        if (misplaced)
            Malformed("PoMisplacedKeyword", m_lineNumber, Column(line, at), {QString::fromLatin1(word.first(length))});
        if (!m_started) {
            m_started = true;
            m_entryLine = m_lineNumber;
        }
        m_field = field;
        m_previousField = Field::None;
        switch (field) {
        case Field::Context:
            m_hasContext = true;
            m_contextLine = m_lineNumber;
            break;
        case Field::Id:
            m_hasId = true;
            break;
        default:
            m_hasStr = true;
            break;
        }
        ReadString(line, quote, Target(field));
    }

    // Appends the string that begins with the quote at Quote to Text (UTF-8);
    // nothing but blanks may follow it on the line.
    void ReadString(QByteArrayView line, qsizetype quote, std::string &text)
    {
        constexpr ByteWords::ByteSet quoteOrBackslash{0, {'"', '\\'}, 2, false};
        qsizetype runStart = quote + 1;
        qsizetype at = runStart;
        while (true) {
            at = ByteWords::FindFirst(line.data(), line.size(), at, quoteOrBackslash);
            if (at >= line.size())
                Malformed("PoStringNotClosed", m_lineNumber, Column(line, quote));
            if (line[at] == '"')
                break;
            text.append(line.data() + runStart, size_t(at - runStart));
            at = ReadEscape(line, at, text);
            runStart = at;
        }
        text.append(line.data() + runStart, size_t(at - runStart));
        const qsizetype after = SkipBlanks(line, at + 1);
        if (after != line.size())
            Malformed("PoTextAfterString", m_lineNumber, Column(line, after));
    }

    // Reads the escape sequence at Backslash into Text; returns the offset
    // after it.
    qsizetype ReadEscape(QByteArrayView line, qsizetype backslash, std::string &text)
    {
        const qsizetype at = backslash + 1;
        if (at >= line.size())
            Malformed("PoStringNotClosed", m_lineNumber, Column(line, backslash));
        const char c = line[at];
        char simple = 0;
        switch (c) {
        case 'n': simple = '\n'; break;
        case 't': simple = '\t'; break;
        case 'r': simple = '\r'; break;
        case 'a': simple = '\a'; break;
        case 'b': simple = '\b'; break;
        case 'f': simple = '\f'; break;
        case 'v': simple = '\v'; break;
        case '\\': simple = '\\'; break;
        case '"': simple = '"'; break;
        case '\'': simple = '\''; break;
        case '?': simple = '?'; break;
        default: break;
        }
        if (simple) {
            text += simple;
            return at + 1;
        }
        int value = 0;
        qsizetype end = at;
        if (OctalValue(c) >= 0) {
            while (end < line.size() && end < at + 3 && OctalValue(line[end]) >= 0)
                value = value * 8 + OctalValue(line[end++]);
        } else if (c == 'x') {
            ++end;
            while (end < line.size() && end < at + 3 && HexDigitValue(line[end]) >= 0)
                value = value * 16 + HexDigitValue(line[end++]);
            if (end == at + 1)
                Malformed("PoBadEscape", m_lineNumber, Column(line, backslash), {Shown(line.sliced(backslash, 2))});
        } else {
            Malformed("PoBadEscape", m_lineNumber, Column(line, backslash), {Shown(line.sliced(backslash, 2))});
        }
        // A numeric escape stands for one byte of the file's UTF-8: only
        // ASCII is a character by itself.
        if (value > 0x7F)
            Malformed("PoBadEscape", m_lineNumber, Column(line, backslash), {Shown(line.sliced(backslash, end - backslash))});
        text += char(value);
        return end;
    }

    void Finish()
    {
        m_field = Field::None;
        m_previousField = Field::None;
        if (!m_hasId && !m_hasContext) {
            Reset();
            return; // comments alone
        }
        if (!m_hasId)
            Malformed("PoNoMsgid", m_entryLine, 0);
        if (!m_hasStr)
            Malformed("PoNoMsgstr", m_entryLine, 0);
        if (!m_hasContext) {
            if (!m_id.empty())
                Malformed("PoNoCode", m_entryLine, 0);
            CheckHeader();
            Reset();
            return;
        }
        TTranslationEntry entry;
        if (!ParseCodeText(QByteArrayView(m_context.data(), qsizetype(m_context.size())), entry.Code))
            throw ETranslationFileError(BadCodeMessage(QString::fromUtf8(m_context.data(), qsizetype(m_context.size()))), m_contextLine, 0);
        entry.Original = QByteArray(m_id.data(), qsizetype(m_id.size()));
        entry.Translation = QByteArray(m_str.data(), qsizetype(m_str.size()));
        entry.State = m_fuzzy ? TTranslationEntry::TState::NeedsReview : TTranslationEntry::TState::Final;
        entry.HasPreviousOriginal = m_hasPrevious;
        if (m_hasPrevious)
            entry.PreviousOriginal = QByteArray(m_previousId.data(), qsizetype(m_previousId.size()));
        entry.Line = m_entryLine;
        m_entries.push_back(std::move(entry));
        Reset();
    }

    // The header's charset must be one this reader decodes: UTF-8 (or its
    // subset ASCII, or the template's placeholder).
    void CheckHeader()
    {
        const QString header = QString::fromUtf8(m_str.data(), qsizetype(m_str.size()));
        const qsizetype at = header.indexOf(QLatin1String("charset="), 0, Qt::CaseInsensitive);
        if (at < 0)
            return;
        qsizetype end = at + 8;
        while (end < header.size() && !header[end].isSpace() && header[end] != QLatin1Char(';'))
            ++end;
        const QString charset = header.mid(at + 8, end - at - 8);
        static const char *const accepted[] = {"UTF-8", "UTF8", "ASCII", "US-ASCII", "CHARSET"};
        for (const char *name : accepted) {
            if (charset.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return;
        }
        Malformed("PoCharset", m_entryLine, 0, {charset});
    }

    void Reset()
    {
        m_started = false;
        m_hasContext = m_hasId = m_hasStr = m_fuzzy = m_hasPrevious = false;
        m_context.clear();
        m_id.clear();
        m_str.clear();
        m_previousId.clear();
    }

    // A few characters of the text, for a message.
    static QString Shown(QByteArrayView text)
    {
        const QString shown = QString::fromUtf8(text.first(qMin<qsizetype>(text.size(), 80)));
        return shown.size() > 20 ? shown.first(20) + QStringLiteral("...") : shown;
    }

    const QByteArrayView m_text;
    TTranslationEntries m_entries;
    int m_lineNumber = 0;
    int m_entryLine = 0;
    int m_contextLine = 0;
    Field m_field = Field::None;
    Field m_previousField = Field::None;
    bool m_started = false;
    bool m_hasContext = false;
    bool m_hasId = false;
    bool m_hasStr = false;
    bool m_fuzzy = false;
    bool m_hasPrevious = false;
    // The fields of the entry being read, in UTF-8: emptied for the next
    // entry, never freed, so that its fields fit in the same room.
    std::string m_context;
    std::string m_id;
    std::string m_str;
    std::string m_previousId;
    std::string m_ignored; // a previous msgctxt or msgid_plural
};

// The bytes that need an escape in a PO string: control characters, DEL,
// backslashes and quotes.
constexpr ByteWords::ByteSet Escaped{0x20, {0x7F, '\\', '"'}, 3, false};

// Writes Utf8 as the inside of a PO string: the runs of bytes between
// escapes in one piece each.
void WriteEscaped(BufferedWriter &out, QByteArrayView utf8)
{
    const char *data = utf8.data();
    const qsizetype size = utf8.size();
    qsizetype runStart = 0;
    while (true) {
        const qsizetype i = ByteWords::FindFirst(data, size, runStart, Escaped);
        out.write(data + runStart, i - runStart);
        if (i == size)
            return;
        runStart = i + 1;
        const char c = data[i];
        switch (c) {
        case '\n': out.write("\\n", 2); continue;
        case '\t': out.write("\\t", 2); continue;
        case '\r': out.write("\\r", 2); continue;
        case '\a': out.write("\\a", 2); continue;
        case '\b': out.write("\\b", 2); continue;
        case '\f': out.write("\\f", 2); continue;
        case '\v': out.write("\\v", 2); continue;
        case '\\': out.write("\\\\", 2); continue;
        case '"': out.write("\\\"", 2); continue;
        default: break;
        }
        const auto u = static_cast<unsigned char>(c);
        const char octal[] = {'\\', char('0' + (u >> 6)), char('0' + ((u >> 3) & 7)), char('0' + (u & 7))};
        out.write(octal, 4);
    }
}

// Keyword, a blank and the string; a text of several lines as gettext
// writes it: an empty first string, then one line of the text per line.
void WriteString(BufferedWriter &out, QByteArrayView prefix, QByteArrayView keyword, QByteArrayView utf8)
{
    out.write(prefix);
    out.write(keyword);
    const qsizetype firstBreak = utf8.indexOf('\n');
    if (firstBreak < 0 || firstBreak == utf8.size() - 1) {
        out.write(" \"", 2);
        WriteEscaped(out, utf8);
        out.write("\"\n", 2);
        return;
    }
    out.write(" \"\"\n", 4);
    qsizetype start = 0;
    while (start < utf8.size()) {
        qsizetype end = utf8.indexOf('\n', start);
        end = end < 0 ? utf8.size() : end + 1;
        out.write(prefix);
        out.write('"');
        WriteEscaped(out, utf8.sliced(start, end - start));
        out.write("\"\n", 2);
        start = end;
    }
}

} // namespace

TTranslationEntries ReadPo(QByteArrayView bytes)
{
    CheckUtf8(bytes);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    return PoReader(bytes).Read();
}

void WritePo(QIODevice &device, const TTranslationEntries &entries, const TExportInfo &info)
{
    BufferedWriter out(device);
    out.write("msgid \"\"\nmsgstr \"\"\n");
    const auto field = [&out](const char *name, const QString &value) {
        out.write('"');
        out.write(name);
        out.write(": ");
        WriteEscaped(out, value.toUtf8());
        out.write("\\n\"\n");
    };
    field("Project-Id-Version", info.FileName);
    field("PO-Revision-Date", info.RevisionDate);
    field("Last-Translator", QString());
    field("Language-Team", QString());
    field("Language", QString());
    field("MIME-Version", QStringLiteral("1.0"));
    field("Content-Type", QStringLiteral("text/plain; charset=UTF-8"));
    field("Content-Transfer-Encoding", QStringLiteral("8bit"));
    field("X-Generator", QStringLiteral("Lexivane " LEXIVANE_VERSION));

    for (const TTranslationEntry &entry : entries) {
        const bool fuzzy = entry.State == TTranslationEntry::TState::NeedsReview;
        const bool cFormat = HasPrintfPlaceholders(entry.Original);
        out.write('\n');
        if (fuzzy && cFormat)
            out.write("#, fuzzy, c-format\n");
        else if (fuzzy)
            out.write("#, fuzzy\n");
        else if (cFormat)
            out.write("#, c-format\n");
        if (fuzzy && entry.HasPreviousOriginal)
            WriteString(out, "#| ", "msgid", entry.PreviousOriginal);
        char context[] = "msgctxt \"00000000\"\n";
        WriteCodeText(context + 9, entry.Code);
        out.write(context, sizeof context - 1);
        WriteString(out, "", "msgid", entry.Original);
        WriteString(out, "", "msgstr", entry.Translation);
    }
    out.flush();
}
