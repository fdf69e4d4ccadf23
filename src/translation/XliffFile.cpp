#include "translation/XliffFile.h"

#include "msgfile/BufferedWriter.h"
#include "translation/ExchangeText.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

const QString CharType = QStringLiteral("x-char-");

bool NeedsElement(char16_t c)
{
    return c < 0x20 && c != u'\t' && c != u'\n';
}

[[noreturn]] void Malformed(const QXmlStreamReader &xml, const QString &message)
{
    throw ETranslationFileError(message, int(xml.lineNumber()), int(xml.columnNumber()));
}

[[noreturn]] void Malformed(const QXmlStreamReader &xml, const char *key, std::initializer_list<FormatArg> args = {})
{
    Malformed(xml, Format(GetMsg(QString::fromLatin1(key)), args));
}

bool IsFinalState(QStringView state)
{
    return state.isEmpty() || state == QLatin1String("translated") || state == QLatin1String("final")
        || state == QLatin1String("signed-off");
}

// Whether the document is UTF-8 by its XML declaration, or for want of one.
bool DeclaresUtf8(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return false;
    if (!bytes.startsWith("<?xml"))
        return true;
    const qsizetype end = bytes.indexOf("?>");
    const QByteArray declaration = bytes.first(end < 0 ? qMin<qsizetype>(bytes.size(), 256) : end).toByteArray().toLower();
    const qsizetype at = declaration.indexOf("encoding");
    if (at < 0)
        return true;
    qsizetype quote = at + 8;
    while (quote < declaration.size() && declaration[quote] != '"' && declaration[quote] != '\'')
        ++quote;
    const QByteArray encoding = declaration.mid(quote + 1);
    return quote >= declaration.size() || encoding.startsWith("utf-8") || encoding.startsWith("utf8");
}

class XliffReader
{
public:
    explicit XliffReader(QByteArrayView bytes) : m_xml(bytes.toByteArray()) {}

    TTranslationEntries Read()
    {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isStartElement() && m_xml.name() == QLatin1String("trans-unit"))
                ReadUnit();
        }
        CheckError();
        return std::move(m_entries);
    }

private:
    void CheckError()
    {
        if (m_xml.hasError())
            Malformed(m_xml, "XliffNotWellFormed", {m_xml.errorString()});
    }

    void ReadUnit()
    {
        TTranslationEntry entry;
        entry.Line = int(m_xml.lineNumber());
        const QStringView id = m_xml.attributes().value(QLatin1String("id"));
        if (!ParseCodeText(id, entry.Code))
            Malformed(m_xml, BadCodeMessage(id));
        bool hasSource = false;
        bool hasTarget = false;
        while (m_xml.readNextStartElement()) {
            const QStringView name = m_xml.name();
            if (name == QLatin1String("source") && !hasSource) {
                hasSource = true;
                entry.Original = ReadText();
            } else if (name == QLatin1String("target") && !hasTarget) {
                hasTarget = true;
                const QString state = m_xml.attributes().value(QLatin1String("state")).toString();
                entry.State = IsFinalState(state) ? TTranslationEntry::TState::Final
                                                  : TTranslationEntry::TState::NeedsReview;
                entry.Translation = ReadText();
            } else if (name == QLatin1String("alt-trans") && !entry.HasPreviousOriginal) {
                ReadAltTrans(entry);
            } else {
                m_xml.skipCurrentElement();
            }
        }
        CheckError();
        if (!hasSource)
            Malformed(m_xml, "XliffNoSource", {CodeText(entry.Code)});
        m_entries.push_back(std::move(entry));
    }

    void ReadAltTrans(TTranslationEntry &entry)
    {
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("source") && !entry.HasPreviousOriginal) {
                entry.HasPreviousOriginal = true;
                entry.PreviousOriginal = ReadText();
            } else {
                m_xml.skipCurrentElement();
            }
        }
    }

    // The text of the current element, up to its end: the characters, our
    // <x/> elements as the characters they stand for, the text inside other
    // inline elements.
    QString ReadText()
    {
        QString text;
        int depth = 1;
        while (depth > 0 && !m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isCharacters()) {
                text += m_xml.text();
            } else if (m_xml.isStartElement()) {
                ++depth;
                const QStringView type = m_xml.attributes().value(QLatin1String("ctype"));
                if (m_xml.name() == QLatin1String("x") && type.startsWith(CharType)) {
                    bool ok = false;
                    const uint value = type.mid(CharType.size()).toUInt(&ok, 16);
                    if (!ok || type.size() != CharType.size() + 2 || !NeedsElement(char16_t(value)))
                        Malformed(m_xml, "XliffBadCharElement", {type.toString()});
                    text += QChar(char16_t(value));
                }
            } else if (m_xml.isEndElement()) {
                --depth;
            }
        }
        CheckError();
        return text;
    }

    QXmlStreamReader m_xml;
    TTranslationEntries m_entries;
};

// The text of Text with each control character XML cannot hold as an <x/>.
void WriteText(QXmlStreamWriter &xml, const QString &text, int &elementId)
{
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (!NeedsElement(c))
            continue;
        if (i > runStart)
            xml.writeCharacters(QStringView(text).mid(runStart, i - runStart).toString());
        xml.writeEmptyElement(QStringLiteral("x"));
        xml.writeAttribute(QStringLiteral("id"), QString::number(++elementId));
        xml.writeAttribute(QStringLiteral("ctype"), CharType + QStringLiteral("%1").arg(uint(c), 2, 16, QLatin1Char('0')).toUpper());
        runStart = i + 1;
    }
    if (runStart < text.size())
        xml.writeCharacters(runStart == 0 ? text : QStringView(text).mid(runStart).toString());
}

} // namespace

TTranslationEntries ReadXliff(QByteArrayView bytes)
{
    // The XML reader reports bytes that are not UTF-8 without their place;
    // a file in UTF-8 (no declaration of another encoding, no UTF-16 byte
    // order mark) is checked first, to name the line and column.
    if (DeclaresUtf8(bytes))
        CheckUtf8(bytes);
    return XliffReader(bytes).Read();
}

void WriteXliff(QIODevice &device, const TTranslationEntries &entries, const TExportInfo &info)
{
    // The writer fills a string that goes to the device, as UTF-8, a block
    // at a time: far cheaper than handing the device each small piece.
    QString text;
    const auto pass = [&text, &device] {
        const QByteArray utf8 = text.toUtf8();
        if (device.write(utf8) != utf8.size())
            RaiseWriteError();
        text.truncate(0);
    };
    text = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    QXmlStreamWriter xml(&text);
    xml.writeStartElement(QStringLiteral("xliff"));
    xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.2"));
    xml.writeDefaultNamespace(QStringLiteral("urn:oasis:names:tc:xliff:document:1.2"));
    xml.writeCharacters(QStringLiteral("\n  "));
    xml.writeStartElement(QStringLiteral("file"));
    xml.writeAttribute(QStringLiteral("original"), info.FileName);
    xml.writeAttribute(QStringLiteral("source-language"), QStringLiteral("en"));
    xml.writeAttribute(QStringLiteral("datatype"), QStringLiteral("plaintext"));
    xml.writeCharacters(QStringLiteral("\n    "));
    xml.writeStartElement(QStringLiteral("header"));
    xml.writeEmptyElement(QStringLiteral("tool"));
    xml.writeAttribute(QStringLiteral("tool-id"), QStringLiteral("lexivane"));
    xml.writeAttribute(QStringLiteral("tool-name"), QStringLiteral("Lexivane"));
    xml.writeAttribute(QStringLiteral("tool-version"), QStringLiteral(LEXIVANE_VERSION));
    xml.writeEndElement();
    xml.writeCharacters(QStringLiteral("\n    "));
    xml.writeStartElement(QStringLiteral("body"));
    const QString id = QStringLiteral("id");
    for (const TTranslationEntry &entry : entries) {
        int elementId = 0;
        xml.writeCharacters(QStringLiteral("\n      "));
        xml.writeStartElement(QStringLiteral("trans-unit"));
        xml.writeAttribute(id, CodeText(entry.Code));
        xml.writeAttribute(QStringLiteral("maxwidth"), QStringLiteral("255"));
        xml.writeAttribute(QStringLiteral("size-unit"), QStringLiteral("char"));
        xml.writeAttribute(QStringLiteral("xml:space"), QStringLiteral("preserve"));
        // Only a target can be to review; without one the unit is untranslated.
        const bool review = entry.State == TTranslationEntry::TState::NeedsReview && !entry.Translation.isEmpty();
        // Tools that look at approval rather than the target's state (Qt's
        // lconvert, the Translate Toolkit) take a final translation as done.
        if (!review && !entry.Translation.isEmpty())
            xml.writeAttribute(QStringLiteral("approved"), QStringLiteral("yes"));
        xml.writeCharacters(QStringLiteral("\n        "));
        xml.writeStartElement(QStringLiteral("source"));
        WriteText(xml, entry.Original, elementId);
        xml.writeEndElement();
        if (!entry.Translation.isEmpty()) {
            xml.writeCharacters(QStringLiteral("\n        "));
            xml.writeStartElement(QStringLiteral("target"));
            xml.writeAttribute(QStringLiteral("state"), review ? QStringLiteral("needs-review-translation")
                                                               : QStringLiteral("translated"));
            WriteText(xml, entry.Translation, elementId);
            xml.writeEndElement();
        }
        if (review && entry.HasPreviousOriginal) {
            xml.writeCharacters(QStringLiteral("\n        "));
            xml.writeStartElement(QStringLiteral("alt-trans"));
            xml.writeAttribute(QStringLiteral("alttranstype"), QStringLiteral("previous-version"));
            xml.writeCharacters(QStringLiteral("\n          "));
            xml.writeStartElement(QStringLiteral("source"));
            WriteText(xml, entry.PreviousOriginal, elementId);
            xml.writeEndElement();
            xml.writeCharacters(QStringLiteral("\n          "));
            xml.writeStartElement(QStringLiteral("target"));
            WriteText(xml, entry.Translation, elementId);
            xml.writeEndElement();
            xml.writeCharacters(QStringLiteral("\n        "));
            xml.writeEndElement();
        }
        xml.writeCharacters(QStringLiteral("\n      "));
        xml.writeEndElement();
        if (text.size() >= (1 << 19))
            pass();
    }
    xml.writeCharacters(QStringLiteral("\n    "));
    xml.writeEndElement(); // body
    xml.writeCharacters(QStringLiteral("\n  "));
    xml.writeEndElement(); // file
    xml.writeCharacters(QStringLiteral("\n"));
    xml.writeEndElement(); // xliff
    xml.writeEndDocument();
    text += QLatin1Char('\n');
    pass();
}
