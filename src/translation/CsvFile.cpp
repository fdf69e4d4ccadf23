#include "translation/CsvFile.h"

#include "msgfile/BufferedWriter.h"
#include "translation/ExchangeText.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <QStringList>

namespace {

[[noreturn]] void Malformed(const char *key, int line, int column, std::initializer_list<FormatArg> args = {})
{
    throw ETranslationFileError(Format(GetMsg(QString::fromLatin1(key)), args), line, column);
}

// Splits the text into records of fields, one at a time.
class CsvScanner
{
public:
    explicit CsvScanner(const QString &text) : m_text(text) {}

    // The next record into Fields, with the line it begins on; false at the
    // end of the text.
    bool Next(QStringList &fields, int &line)
    {
        fields.clear();
        if (m_at >= m_text.size())
            return false;
        line = m_line;
        while (true) {
            fields.append(ReadField());
            if (m_at >= m_text.size())
                return true;
            const QChar c = m_text[m_at];
            if (c == QLatin1Char(',')) {
                ++m_at;
                if (m_at >= m_text.size()) {
                    fields.append(QString());
                    return true;
                }
                continue;
            }
            // The end of the record: CR LF or LF.
            if (c == QLatin1Char('\r') && m_at + 1 < m_text.size() && m_text[m_at + 1] == QLatin1Char('\n'))
                ++m_at;
            ++m_at;
            NewLine();
            return true;
        }
    }

private:
    QString ReadField()
    {
        if (m_at < m_text.size() && m_text[m_at] == QLatin1Char('"'))
            return ReadQuoted();
        const qsizetype start = m_at;
        while (m_at < m_text.size()) {
            const QChar c = m_text[m_at];
            if (c == QLatin1Char(',') || c == QLatin1Char('\n')
                || (c == QLatin1Char('\r') && m_at + 1 < m_text.size() && m_text[m_at + 1] == QLatin1Char('\n')))
                break;
            if (c == QLatin1Char('"'))
                Malformed("CsvStrayQuote", m_line, Column());
            ++m_at;
        }
        return m_text.mid(start, m_at - start);
    }

    QString ReadQuoted()
    {
        const int openLine = m_line;
        const int openColumn = Column();
        ++m_at;
        QString field;
        qsizetype runStart = m_at;
        while (true) {
            const qsizetype quote = m_text.indexOf(QLatin1Char('"'), m_at);
            if (quote < 0)
                Malformed("CsvQuoteOpen", openLine, openColumn);
            CountLines(m_at, quote);
            m_at = quote + 1;
            if (m_at < m_text.size() && m_text[m_at] == QLatin1Char('"')) {
                field += QStringView(m_text).mid(runStart, m_at - runStart);
                ++m_at;
                runStart = m_at;
                continue;
            }
            field += QStringView(m_text).mid(runStart, quote - runStart);
            break;
        }
        if (m_at < m_text.size()) {
            const QChar c = m_text[m_at];
            const bool recordEnd = c == QLatin1Char('\n')
                || (c == QLatin1Char('\r') && m_at + 1 < m_text.size() && m_text[m_at + 1] == QLatin1Char('\n'));
            if (c != QLatin1Char(',') && !recordEnd)
                Malformed("CsvTextAfterQuote", m_line, Column());
        }
        return field;
    }

    void CountLines(qsizetype from, qsizetype to)
    {
        for (qsizetype i = from; i < to; ++i) {
            if (m_text[i] == QLatin1Char('\n')) {
                ++m_line;
                m_lineStart = i + 1;
            }
        }
    }

    void NewLine()
    {
        ++m_line;
        m_lineStart = m_at;
    }

    int Column() const { return int(m_at - m_lineStart) + 1; }

    const QString &m_text;
    qsizetype m_at = 0;
    int m_line = 1;
    qsizetype m_lineStart = 0;
};

bool NeedsQuotes(QStringView text)
{
    for (const QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return true;
    }
    return false;
}

void AppendField(QByteArray &out, const QString &text)
{
    out += ',';
    if (!NeedsQuotes(text)) {
        out += text.toUtf8();
        return;
    }
    // Each quote doubled: the text up to and with it, then the quote again.
    const QByteArray utf8 = text.toUtf8();
    out += '"';
    qsizetype start = 0;
    for (qsizetype quote = utf8.indexOf('"'); quote >= 0; quote = utf8.indexOf('"', start)) {
        out.append(utf8.constData() + start, quote + 1 - start);
        out += '"';
        start = quote + 1;
    }
    out.append(utf8.constData() + start, utf8.size() - start);
    out += '"';
}

} // namespace

TTranslationEntries ReadCsv(QByteArrayView bytes)
{
    const QString text = DecodeUtf8Strictly(bytes);
    CsvScanner scanner(text);
    QStringList fields;
    int line = 1;
    if (!scanner.Next(fields, line))
        Malformed("CsvNoCodeColumn", 1, 0);
    qsizetype codeColumn = -1;
    qsizetype originalColumn = -1;
    qsizetype translationColumn = -1;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QString name = fields.at(i).trimmed().toLower();
        if (name == QLatin1String("code") && codeColumn < 0)
            codeColumn = i;
        else if (name == QLatin1String("original") && originalColumn < 0)
            originalColumn = i;
        else if (name == QLatin1String("translation") && translationColumn < 0)
            translationColumn = i;
    }
    if (codeColumn < 0)
        Malformed("CsvNoCodeColumn", line, 0);
    if (translationColumn < 0)
        Malformed("CsvNoTranslationColumn", line, 0);
    const qsizetype columns = fields.size();

    TTranslationEntries entries;
    while (scanner.Next(fields, line)) {
        if (fields.size() == 1 && fields.first().isEmpty())
            continue; // a blank row
        if (fields.size() > columns)
            Malformed("CsvTooManyFields", line, 0, {int(fields.size()), int(columns)});
        TTranslationEntry entry;
        entry.Line = line;
        if (!ParseCodeText(fields.value(codeColumn), entry.Code))
            throw ETranslationFileError(BadCodeMessage(fields.value(codeColumn)), line, 0);
        entry.HasOriginal = originalColumn >= 0;
        if (entry.HasOriginal)
            entry.Original = fields.value(originalColumn);
        entry.Translation = fields.value(translationColumn);
        entry.State = TTranslationEntry::TState::Unstated;
        entries.push_back(std::move(entry));
    }
    return entries;
}

void WriteCsv(QIODevice &device, const TTranslationEntries &entries)
{
    BufferedWriter out(device);
    out.write(QByteArrayView("\xEF\xBB\xBF" "code,original,translation\r\n"));
    QByteArray row;
    for (const TTranslationEntry &entry : entries) {
        row.clear();
        AppendCodeText(row, entry.Code);
        AppendField(row, entry.Original);
        AppendField(row, entry.Translation);
        row += "\r\n";
        out.write(row);
    }
    out.flush();
}
