#include "translation/CsvFile.h"

#include "msgfile/BufferedWriter.h"
#include "platform/ByteWords.h"
#include "translation/ExchangeText.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <deque>
#include <vector>

namespace {

[[noreturn]] void Malformed(const char *key, int line, int column, std::initializer_list<FormatArg> args = {})
{
    throw ETranslationFileError(Format(GetMsg(QString::fromLatin1(key)), args), line, column);
}

// The bytes that end an unquoted field or make a field need quotes: commas,
// quotes, CRs and LFs.
constexpr ByteWords::ByteSet Delimiters{0, {',', '"', '\r', '\n'}, 4, false};

// Splits the text (UTF-8, checked beforehand) into records of fields, one
// at a time. A field is a view of the text, or of the scanner's own copy
// when its doubled quotes had to be made single.
class CsvScanner
{
public:
    explicit CsvScanner(QByteArrayView text) : m_text(text) {}

    // The next record into Fields (valid until the next call), with the
    // line it begins on; false at the end of the text.
    bool Next(std::vector<QByteArrayView> &fields, int &line)
    {
        fields.clear();
        m_unquoted.clear();
        if (m_at >= m_text.size())
            return false;
        line = m_line;
        while (true) {
            fields.push_back(ReadField());
            if (m_at >= m_text.size())
                return true;
            const char c = m_text[m_at];
            if (c == ',') {
                ++m_at;
                if (m_at >= m_text.size()) {
                    fields.push_back(QByteArrayView());
                    return true;
                }
                continue;
            }
            // The end of the record: CR LF or LF.
            if (c == '\r' && m_at + 1 < m_text.size() && m_text[m_at + 1] == '\n')
                ++m_at;
            ++m_at;
            NewLine();
            return true;
        }
    }

private:
    bool RecordEndAt(qsizetype at) const
    {
        const char c = m_text[at];
        return c == '\n' || (c == '\r' && at + 1 < m_text.size() && m_text[at + 1] == '\n');
    }

    QByteArrayView ReadField()
    {
        if (m_at < m_text.size() && m_text[m_at] == '"')
            return ReadQuoted();
        const qsizetype start = m_at;
        while (true) {
            m_at = ByteWords::FindFirst(m_text.data(), m_text.size(), m_at, Delimiters);
            if (m_at >= m_text.size() || m_text[m_at] == ',' || RecordEndAt(m_at))
                break;
            if (m_text[m_at] == '"')
                Malformed("CsvStrayQuote", m_line, Column());
            ++m_at; // a CR alone
        }
        return m_text.sliced(start, m_at - start);
    }

    QByteArrayView ReadQuoted()
    {
        const int openLine = m_line;
        const int openColumn = Column();
        ++m_at;
        const qsizetype start = m_at;
        QByteArray *unquoted = nullptr; // once a doubled quote is met
        qsizetype runStart = m_at;
        QByteArrayView field;
        while (true) {
            const qsizetype quote = m_text.indexOf('"', m_at);
            if (quote < 0)
                Malformed("CsvQuoteOpen", openLine, openColumn);
            CountLines(m_at, quote);
            m_at = quote + 1;
            if (m_at < m_text.size() && m_text[m_at] == '"') {
                if (!unquoted)
                    unquoted = &m_unquoted.emplace_back();
                unquoted->append(m_text.sliced(runStart, m_at - runStart));
                ++m_at;
                runStart = m_at;
                continue;
            }
            if (!unquoted) {
                field = m_text.sliced(start, quote - start);
                break;
            }
            unquoted->append(m_text.sliced(runStart, quote - runStart));
            field = *unquoted;
            break;
        }
        if (m_at < m_text.size() && m_text[m_at] != ',' && !RecordEndAt(m_at))
            Malformed("CsvTextAfterQuote", m_line, Column());
        return field;
    }

    void CountLines(qsizetype from, qsizetype to)
    {
        for (qsizetype at = m_text.indexOf('\n', from); at >= 0 && at < to; at = m_text.indexOf('\n', at + 1)) {
            ++m_line;
            m_lineStart = at + 1;
        }
    }

    void NewLine()
    {
        ++m_line;
        m_lineStart = m_at;
    }

    // In characters, as a text editor counts them.
    int Column() const { return int(QString::fromUtf8(m_text.sliced(m_lineStart, m_at - m_lineStart)).size()) + 1; }

    const QByteArrayView m_text;
    qsizetype m_at = 0;
    int m_line = 1;
    qsizetype m_lineStart = 0;
    // The record's fields whose doubled quotes were made single; a deque,
    // so that each stays where it is while the next is added.
    std::deque<QByteArray> m_unquoted;
};

// Whether the text needs quotes: a comma, a quote, a CR or a LF.
bool NeedsQuotes(QByteArrayView text)
{
    return ByteWords::FindFirst(text.data(), text.size(), 0, Delimiters) < text.size();
}

void WriteField(BufferedWriter &out, QByteArrayView utf8)
{
    out.write(',');
    if (!NeedsQuotes(utf8)) {
        out.write(utf8);
        return;
    }
    // Each quote doubled: the text up to and with it, then the quote again.
    out.write('"');
    qsizetype start = 0;
    for (qsizetype quote = utf8.indexOf('"'); quote >= 0; quote = utf8.indexOf('"', start)) {
        out.write(utf8.data() + start, quote + 1 - start);
        out.write('"');
        start = quote + 1;
    }
    out.write(utf8.data() + start, utf8.size() - start);
    out.write('"');
}

} // namespace

TTranslationEntries ReadCsv(QByteArrayView bytes)
{
    CheckUtf8(bytes);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    CsvScanner scanner(bytes);
    std::vector<QByteArrayView> fields;
    int line = 1;
    if (!scanner.Next(fields, line))
        Malformed("CsvNoCodeColumn", 1, 0);
    qsizetype codeColumn = -1;
    qsizetype originalColumn = -1;
    qsizetype translationColumn = -1;
    for (size_t i = 0; i < fields.size(); ++i) {
        const QString name = QString::fromUtf8(fields[i]).trimmed().toLower();
        if (name == QLatin1String("code") && codeColumn < 0)
            codeColumn = qsizetype(i);
        else if (name == QLatin1String("original") && originalColumn < 0)
            originalColumn = qsizetype(i);
        else if (name == QLatin1String("translation") && translationColumn < 0)
            translationColumn = qsizetype(i);
    }
    if (codeColumn < 0)
        Malformed("CsvNoCodeColumn", line, 0);
    if (translationColumn < 0)
        Malformed("CsvNoTranslationColumn", line, 0);
    const qsizetype columns = qsizetype(fields.size());
    // A field the record lacks is empty.
    const auto field = [&fields](qsizetype column) {
        return column < qsizetype(fields.size()) ? fields[size_t(column)] : QByteArrayView();
    };

    TTranslationEntries entries;
    // Room for about as many entries as a file of this size holds.
    entries.reserve(size_t(bytes.size() / 128));
    while (scanner.Next(fields, line)) {
        if (fields.size() == 1 && fields.front().isEmpty())
            continue; // a blank row
        if (qsizetype(fields.size()) > columns)
            Malformed("CsvTooManyFields", line, 0, {int(fields.size()), int(columns)});
        TTranslationEntry entry;
        entry.Line = line;
        if (!ParseCodeText(field(codeColumn), entry.Code))
            throw ETranslationFileError(BadCodeMessage(QString::fromUtf8(field(codeColumn))), line, 0);
        entry.HasOriginal = originalColumn >= 0;
        if (entry.HasOriginal)
            entry.Original = field(originalColumn).toByteArray();
        entry.Translation = field(translationColumn).toByteArray();
        entry.State = TTranslationEntry::TState::Unstated;
        entries.push_back(std::move(entry));
    }
    return entries;
}

void WriteCsv(QIODevice &device, const TTranslationEntries &entries)
{
    BufferedWriter out(device);
    out.write(QByteArrayView("\xEF\xBB\xBF" "code,original,translation\r\n"));
    for (const TTranslationEntry &entry : entries) {
        char code[8];
        WriteCodeText(code, entry.Code);
        out.write(code, 8);
        WriteField(out, entry.Original);
        WriteField(out, entry.Translation);
        out.write("\r\n", 2);
    }
    out.flush();
}
