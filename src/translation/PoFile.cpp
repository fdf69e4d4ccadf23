#include "translation/PoFile.h"

#include "msgfile/BufferedWriter.h"
#include "translation/ExchangeText.h"
#include "translation/Placeholders.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

namespace {

[[noreturn]] void Malformed(const char *key, int line, int column, std::initializer_list<FormatArg> args = {})
{
    throw ETranslationFileError(Format(GetMsg(QString::fromLatin1(key)), args), line, column);
}

bool IsBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\f')
        || c == QLatin1Char('\v');
}

qsizetype SkipBlanks(QStringView line, qsizetype at)
{
    while (at < line.size() && IsBlank(line[at]))
        ++at;
    return at;
}

int OctalValue(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('7') ? c.unicode() - '0' : -1;
}

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The reader: one line at a time, an entry gathered until the next one
// begins.
class PoReader
{
public:
    explicit PoReader(const QString &text) : m_text(text) {}

    TTranslationEntries Read()
    {
        qsizetype start = 0;
        const qsizetype size = m_text.size();
        while (start <= size) {
            qsizetype end = m_text.indexOf(QLatin1Char('\n'), start);
            if (end < 0)
                end = size;
            ++m_lineNumber;
            ReadLine(QStringView(m_text).mid(start, end - start));
            start = end + 1;
        }
        Finish();
        return std::move(m_entries);
    }

private:
    enum class Field { None, Context, Id, Str, Previous, PreviousOther };

    void ReadLine(QStringView line)
    {
        const qsizetype at = SkipBlanks(line, 0);
        if (at == line.size()) {
            Finish();
            return;
        }
        if (line[at] == QLatin1Char('#')) {
            ReadComment(line, at);
            return;
        }
        if (line[at] == QLatin1Char('"')) {
            if (m_field == Field::None || m_field == Field::Previous || m_field == Field::PreviousOther)
                Malformed("PoUnexpectedText", m_lineNumber, int(at) + 1, {Shown(line.mid(at))});
            Append(ReadString(line, at));
            return;
        }
        ReadKeyword(line, at);
    }

    void ReadComment(QStringView line, qsizetype at)
    {
        // A comment after a complete entry begins the next one.
        if (m_hasStr)
            Finish();
        if (m_hasId || m_hasContext)
            Malformed("PoCommentInEntry", m_lineNumber, int(at) + 1);
        m_field = Field::None;
        const QStringView rest = line.mid(at + 1);
        if (rest.startsWith(QLatin1Char('~')))
            return; // an obsolete entry: not one of the file's messages
        if (!m_started) {
            m_started = true;
            m_entryLine = m_lineNumber;
        }
        if (rest.startsWith(QLatin1Char(','))) {
            for (QStringView flag : rest.mid(1).split(QLatin1Char(','))) {
                if (flag.trimmed() == QLatin1String("fuzzy"))
                    m_fuzzy = true;
            }
            return;
        }
        if (!rest.startsWith(QLatin1Char('|')))
            return;
        const qsizetype keyword = SkipBlanks(line, at + 2);
        const QStringView previous = line.mid(keyword);
        if (previous.startsWith(QLatin1Char('"'))) {
            if (m_previousField == Field::None)
                Malformed("PoUnexpectedText", m_lineNumber, int(keyword) + 1, {Shown(previous)});
            const QString text = ReadString(line, keyword);
            if (m_previousField == Field::Previous)
                m_previousId += text;
            return;
        }
        Field field = Field::None;
        qsizetype length = 0;
        if (previous.startsWith(QLatin1String("msgid_plural")) || previous.startsWith(QLatin1String("msgctxt"))) {
            field = Field::PreviousOther;
            length = previous.startsWith(QLatin1String("msgctxt")) ? 7 : 12;
        } else if (previous.startsWith(QLatin1String("msgid"))) {
            field = Field::Previous;
            length = 5;
        } else {
            Malformed("PoUnexpectedText", m_lineNumber, int(keyword) + 1, {Shown(previous)});
        }
        const qsizetype quote = SkipBlanks(line, keyword + length);
        if (quote == keyword + length || quote >= line.size() || line[quote] != QLatin1Char('"'))
            Malformed("PoUnexpectedText", m_lineNumber, int(keyword) + 1, {Shown(previous)});
        const QString text = ReadString(line, quote);
        m_previousField = field;
        if (field == Field::Previous) {
            m_hasPrevious = true;
            m_previousId = text;
        }
    }

    void ReadKeyword(QStringView line, qsizetype at)
    {
        const QStringView word = line.mid(at);
        Field field = Field::None;
        qsizetype length = 0;
        if (word.startsWith(QLatin1String("msgid_plural")) || word.startsWith(QLatin1String("msgstr["))) {
            Malformed("PoPlural", m_lineNumber, int(at) + 1);
        } else if (word.startsWith(QLatin1String("msgctxt"))) {
            field = Field::Context;
            length = 7;
        } else if (word.startsWith(QLatin1String("msgid"))) {
            field = Field::Id;
            length = 5;
        } else if (word.startsWith(QLatin1String("msgstr"))) {
            field = Field::Str;
            length = 6;
        } else {
            Malformed("PoUnexpectedText", m_lineNumber, int(at) + 1, {Shown(word)});
        }
        const qsizetype quote = SkipBlanks(line, at + length);
        if (quote == at + length || quote >= line.size() || line[quote] != QLatin1Char('"'))
            Malformed("PoUnexpectedText", m_lineNumber, int(at) + 1, {Shown(word)});

        if (field != Field::Str && m_hasStr)
            Finish(); // the next entry begins
        const bool misplaced = (field == Field::Context && (m_hasContext || m_hasId))
            || (field == Field::Id && m_hasId) || (field == Field::Str && (!m_hasId || m_hasStr));
        if (misplaced)
            Malformed("PoMisplacedKeyword", m_lineNumber, int(at) + 1, {word.first(length).toString()});
        if (!m_started) {
            m_started = true;
            m_entryLine = m_lineNumber;
        }
        m_field = field;
        m_previousField = Field::None;
        QString text = ReadString(line, quote);
        switch (field) {
        case Field::Context:
            m_hasContext = true;
            m_contextLine = m_lineNumber;
            m_context = std::move(text);
            break;
        case Field::Id:
            m_hasId = true;
            m_id = std::move(text);
            break;
        default:
            m_hasStr = true;
            m_str = std::move(text);
            break;
        }
    }

    void Append(const QString &text)
    {
        switch (m_field) {
        case Field::Context:
            m_context += text;
            break;
        case Field::Id:
            m_id += text;
            break;
        default:
            m_str += text;
            break;
        }
    }

    // The string that begins with the quote at Quote; nothing but blanks may
    // follow it on the line.
    QString ReadString(QStringView line, qsizetype quote)
    {
        QString text;
        qsizetype at = quote + 1;
        qsizetype runStart = at;
        while (true) {
            if (at >= line.size())
                Malformed("PoStringNotClosed", m_lineNumber, int(quote) + 1);
            const QChar c = line[at];
            if (c == QLatin1Char('"'))
                break;
            if (c != QLatin1Char('\\')) {
                ++at;
                continue;
            }
            text += line.mid(runStart, at - runStart);
            at = ReadEscape(line, at, text);
            runStart = at;
        }
        text += line.mid(runStart, at - runStart);
        const qsizetype after = SkipBlanks(line, at + 1);
        if (after != line.size())
            Malformed("PoTextAfterString", m_lineNumber, int(after) + 1);
        return text;
    }

    // Reads the escape sequence at Backslash into Text; returns the offset
    // after it.
    qsizetype ReadEscape(QStringView line, qsizetype backslash, QString &text)
    {
        const qsizetype at = backslash + 1;
        if (at >= line.size())
            Malformed("PoStringNotClosed", m_lineNumber, int(backslash) + 1);
        const char16_t c = line[at].unicode();
        const char *simple = nullptr;
        switch (c) {
        case 'n': simple = "\n"; break;
        case 't': simple = "\t"; break;
        case 'r': simple = "\r"; break;
        case 'a': simple = "\a"; break;
        case 'b': simple = "\b"; break;
        case 'f': simple = "\f"; break;
        case 'v': simple = "\v"; break;
        case '\\': simple = "\\"; break;
        case '"': simple = "\""; break;
        case '\'': simple = "'"; break;
        case '?': simple = "?"; break;
        default: break;
        }
        if (simple) {
            text += QLatin1Char(simple[0]);
            return at + 1;
        }
        int value = 0;
        qsizetype end = at;
        if (OctalValue(line[at]) >= 0) {
            while (end < line.size() && end < at + 3 && OctalValue(line[end]) >= 0)
                value = value * 8 + OctalValue(line[end++]);
        } else if (c == 'x') {
            ++end;
            while (end < line.size() && end < at + 3 && HexValue(line[end]) >= 0)
                value = value * 16 + HexValue(line[end++]);
            if (end == at + 1)
                Malformed("PoBadEscape", m_lineNumber, int(backslash) + 1, {line.mid(backslash, 2).toString()});
        } else {
            Malformed("PoBadEscape", m_lineNumber, int(backslash) + 1, {line.mid(backslash, 2).toString()});
        }
        // A numeric escape stands for one byte of the file's UTF-8: only
        // ASCII is a character by itself.
        if (value > 0x7F)
            Malformed("PoBadEscape", m_lineNumber, int(backslash) + 1, {line.mid(backslash, end - backslash).toString()});
        text += QChar(char16_t(value));
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
            if (!m_id.isEmpty())
                Malformed("PoNoCode", m_entryLine, 0);
            CheckHeader();
            Reset();
            return;
        }
        TTranslationEntry entry;
        if (!ParseCodeText(m_context, entry.Code))
            throw ETranslationFileError(BadCodeMessage(m_context), m_contextLine, 0);
        entry.Original = std::move(m_id);
        entry.Translation = std::move(m_str);
        entry.State = m_fuzzy ? TTranslationEntry::TState::NeedsReview : TTranslationEntry::TState::Final;
        entry.HasPreviousOriginal = m_hasPrevious;
        entry.PreviousOriginal = std::move(m_previousId);
        entry.Line = m_entryLine;
        m_entries.push_back(std::move(entry));
        Reset();
    }

    // The header's charset must be one this reader decodes: UTF-8 (or its
    // subset ASCII, or the template's placeholder).
    void CheckHeader()
    {
        const qsizetype at = m_str.indexOf(QLatin1String("charset="), 0, Qt::CaseInsensitive);
        if (at < 0)
            return;
        qsizetype end = at + 8;
        while (end < m_str.size() && !m_str[end].isSpace() && m_str[end] != QLatin1Char(';'))
            ++end;
        const QString charset = m_str.mid(at + 8, end - at - 8);
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

    static QString Shown(QStringView text)
    {
        return text.size() > 20 ? text.first(20).toString() + QStringLiteral("...") : text.toString();
    }

    const QString &m_text;
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
    QString m_context;
    QString m_id;
    QString m_str;
    QString m_previousId;
};

// Appends Utf8 as the inside of a PO string: runs of bytes that need no
// escape in one piece.
void AppendEscaped(QByteArray &out, QByteArrayView utf8)
{
    const char *data = utf8.data();
    const qsizetype size = utf8.size();
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < size; ++i) {
        const char c = data[i];
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u != 0x7F && c != '\\' && c != '"')
            continue;
        out.append(data + runStart, i - runStart);
        runStart = i + 1;
        switch (c) {
        case '\n': out += "\\n"; continue;
        case '\t': out += "\\t"; continue;
        case '\r': out += "\\r"; continue;
        case '\a': out += "\\a"; continue;
        case '\b': out += "\\b"; continue;
        case '\f': out += "\\f"; continue;
        case '\v': out += "\\v"; continue;
        case '\\': out += "\\\\"; continue;
        case '"': out += "\\\""; continue;
        default: break;
        }
        const char octal[] = {'\\', char('0' + (u >> 6)), char('0' + ((u >> 3) & 7)), char('0' + (u & 7))};
        out.append(octal, 4);
    }
    out.append(data + runStart, size - runStart);
}

// Keyword, a blank and the string; a text of several lines as gettext
// writes it: an empty first string, then one line of the text per line.
void AppendString(QByteArray &out, const char *prefix, const char *keyword, QByteArrayView utf8)
{
    out += prefix;
    out += keyword;
    const qsizetype firstBreak = utf8.indexOf('\n');
    if (firstBreak < 0 || firstBreak == utf8.size() - 1) {
        out += " \"";
        AppendEscaped(out, utf8);
        out += "\"\n";
        return;
    }
    out += " \"\"\n";
    qsizetype start = 0;
    while (start < utf8.size()) {
        qsizetype end = utf8.indexOf('\n', start);
        end = end < 0 ? utf8.size() : end + 1;
        out += prefix;
        out += '"';
        AppendEscaped(out, utf8.sliced(start, end - start));
        out += "\"\n";
        start = end;
    }
}

} // namespace

TTranslationEntries ReadPo(QByteArrayView bytes)
{
    const QString text = DecodeUtf8Strictly(bytes);
    return PoReader(text).Read();
}

void WritePo(QIODevice &device, const TTranslationEntries &entries, const TExportInfo &info)
{
    BufferedWriter out(device);
    QByteArray chunk;
    chunk += "msgid \"\"\nmsgstr \"\"\n";
    const auto field = [&chunk](const char *name, const QString &value) {
        chunk += '"';
        chunk += name;
        chunk += ": ";
        AppendEscaped(chunk, value.toUtf8());
        chunk += "\\n\"\n";
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
    out.write(chunk);

    QByteArray original;
    QByteArray translation;
    for (const TTranslationEntry &entry : entries) {
        chunk.clear();
        original = entry.Original.toUtf8();
        translation = entry.Translation.toUtf8();
        const bool fuzzy = entry.State == TTranslationEntry::TState::NeedsReview;
        const bool cFormat = HasPrintfPlaceholders(original);
        chunk += '\n';
        if (fuzzy && cFormat)
            chunk += "#, fuzzy, c-format\n";
        else if (fuzzy)
            chunk += "#, fuzzy\n";
        else if (cFormat)
            chunk += "#, c-format\n";
        if (fuzzy && entry.HasPreviousOriginal)
            AppendString(chunk, "#| ", "msgid", entry.PreviousOriginal.toUtf8());
        chunk += "msgctxt \"";
        AppendCodeText(chunk, entry.Code);
        chunk += "\"\n";
        AppendString(chunk, "", "msgid", original);
        AppendString(chunk, "", "msgstr", translation);
        out.write(chunk);
    }
    out.flush();
}
