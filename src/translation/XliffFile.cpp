#include "translation/XliffFile.h"

#include "msgfile/BufferedWriter.h"
#include "translation/ExchangeText.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <QBuffer>
#include <QStringDecoder>
#include <QStringEncoder>
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
    // The reader takes the bytes through a buffer over them, a block at a
    // time: neither the bytes nor the whole of their decoded text are copied.
    explicit XliffReader(QByteArrayView bytes)
        : m_bytes(QByteArray::fromRawData(bytes.data(), bytes.size())), m_buffer(&m_bytes)
    {
        m_buffer.open(QIODevice::ReadOnly);
        m_xml.setDevice(&m_buffer);
    }

    TTranslationEntries Read()
    {
        // Room for about as many entries as a file of this size holds.
        m_entries.reserve(size_t(m_bytes.size() / 256));
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
                const QXmlStreamAttributes attributes = m_xml.attributes();
                entry.State = IsFinalState(attributes.value(QLatin1String("state")))
                    ? TTranslationEntry::TState::Final
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

    // The text of the current element, up to its end, in UTF-8: the
    // characters, our <x/> elements as the characters they stand for, the
    // text inside other inline elements. Gathered in room used again for
    // every text, then copied at its size.
    QByteArray ReadText()
    {
        m_text.truncate(0);
        m_encoder.resetState(); // a character's halves stay together across pieces of one text
        int depth = 1;
        while (depth > 0 && !m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.isCharacters()) {
                const QStringView characters = m_xml.text();
                const qsizetype size = m_text.size();
                m_text.resize(size + m_encoder.requiredSpace(characters.size()));
                const char *end = m_encoder.appendToBuffer(m_text.data() + size, characters);
                m_text.truncate(end - m_text.constData());
            } else if (m_xml.isStartElement()) {
                ++depth;
                const QStringView type = m_xml.attributes().value(QLatin1String("ctype"));
                if (m_xml.name() == QLatin1String("x") && type.startsWith(CharType)) {
                    bool ok = false;
                    const uint value = type.mid(CharType.size()).toUInt(&ok, 16);
                    if (!ok || type.size() != CharType.size() + 2 || !NeedsElement(char16_t(value)))
                        Malformed(m_xml, "XliffBadCharElement", {type.toString()});
                    m_text += char(value);
                }
            } else if (m_xml.isEndElement()) {
                --depth;
            }
        }
        CheckError();
        return QByteArray(m_text.constData(), m_text.size());
    }

    QByteArray m_bytes; // the caller's, not copied
    QBuffer m_buffer;
    QXmlStreamReader m_xml;
    TTranslationEntries m_entries;
    QByteArray m_text; // the text being read
    QStringEncoder m_encoder{QStringEncoder::Utf8};
};

// Writes the XML through a string, handed to the device as UTF-8 a block at
// a time: far cheaper than handing the device each small piece.
class XliffWriter
{
public:
    explicit XliffWriter(QIODevice &device) : m_device(device), m_xml(&m_text) {}

    QXmlStreamWriter &Xml() { return m_xml; }

    // Writes the text of Utf8 with each control character XML cannot hold
    // as an <x/>, numbered on from ElementId.
    void WriteText(QByteArrayView utf8, int &elementId)
    {
        qsizetype runStart = 0;
        for (qsizetype i = 0; i < utf8.size(); ++i) {
            const auto c = static_cast<unsigned char>(utf8[i]);
            if (!NeedsElement(c))
                continue;
            if (i > runStart)
                m_xml.writeCharacters(Decoded(utf8.sliced(runStart, i - runStart)));
            m_xml.writeEmptyElement(QStringLiteral("x"));
            m_xml.writeAttribute(QStringLiteral("id"), QString::number(++elementId));
            m_xml.writeAttribute(QStringLiteral("ctype"), CharType + QStringLiteral("%1").arg(uint(c), 2, 16, QLatin1Char('0')).toUpper());
            runStart = i + 1;
        }
        if (runStart < utf8.size())
            m_xml.writeCharacters(Decoded(utf8.sliced(runStart)));
    }

    // The code as the id attribute's value.
    const QString &Code(quint32 code)
    {
        char digits[8];
        WriteCodeText(digits, code);
        m_code.resize(8);
        for (int i = 0; i < 8; ++i)
            m_code[i] = QLatin1Char(digits[i]);
        return m_code;
    }

    // Hands what is written to the device when a block is full, or always.
    void Pass(bool always = false)
    {
        if (!always && m_text.size() < (1 << 19))
            return;
        m_utf8.resize(m_encoder.requiredSpace(m_text.size()));
        const char *end = m_encoder.appendToBuffer(m_utf8.data(), m_text);
        const qint64 size = end - m_utf8.constData();
        if (m_device.write(m_utf8.constData(), size) != size)
            RaiseWriteError();
        m_text.truncate(0);
    }

    QString &Text() { return m_text; }

private:
    // The UTF-8 as the string the writer takes, in room used again for
    // every text.
    const QString &Decoded(QByteArrayView utf8)
    {
        m_decoded.resize(utf8.size()); // never more UTF-16 units than UTF-8 bytes
        const QChar *end = m_decoder.appendToBuffer(m_decoded.data(), utf8);
        m_decoded.truncate(end - m_decoded.constData());
        return m_decoded;
    }

    QIODevice &m_device;
    QString m_text;
    QXmlStreamWriter m_xml;
    QString m_decoded;
    QString m_code;
    QByteArray m_utf8;
    QStringDecoder m_decoder{QStringDecoder::Utf8};
    QStringEncoder m_encoder{QStringEncoder::Utf8};
};

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
    XliffWriter writer(device);
    QXmlStreamWriter &xml = writer.Xml();
    writer.Text() = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
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
    for (const TTranslationEntry &entry : entries) {
        int elementId = 0;
        xml.writeCharacters(QStringLiteral("\n      "));
        xml.writeStartElement(QStringLiteral("trans-unit"));
        xml.writeAttribute(QStringLiteral("id"), writer.Code(entry.Code));
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
        writer.WriteText(entry.Original, elementId);
        xml.writeEndElement();
        if (!entry.Translation.isEmpty()) {
            xml.writeCharacters(QStringLiteral("\n        "));
            xml.writeStartElement(QStringLiteral("target"));
            xml.writeAttribute(QStringLiteral("state"), review ? QStringLiteral("needs-review-translation")
                                                               : QStringLiteral("translated"));
            writer.WriteText(entry.Translation, elementId);
            xml.writeEndElement();
        }
        if (review && entry.HasPreviousOriginal) {
            xml.writeCharacters(QStringLiteral("\n        "));
            xml.writeStartElement(QStringLiteral("alt-trans"));
            xml.writeAttribute(QStringLiteral("alttranstype"), QStringLiteral("previous-version"));
            xml.writeCharacters(QStringLiteral("\n          "));
            xml.writeStartElement(QStringLiteral("source"));
            writer.WriteText(entry.PreviousOriginal, elementId);
            xml.writeEndElement();
            xml.writeCharacters(QStringLiteral("\n          "));
            xml.writeStartElement(QStringLiteral("target"));
            writer.WriteText(entry.Translation, elementId);
            xml.writeEndElement();
            xml.writeCharacters(QStringLiteral("\n        "));
            xml.writeEndElement();
        }
        xml.writeCharacters(QStringLiteral("\n      "));
        xml.writeEndElement();
        writer.Pass();
    }
    xml.writeCharacters(QStringLiteral("\n    "));
    xml.writeEndElement(); // body
    xml.writeCharacters(QStringLiteral("\n  "));
    xml.writeEndElement(); // file
    xml.writeCharacters(QStringLiteral("\n"));
    xml.writeEndElement(); // xliff
    xml.writeEndDocument();
    writer.Text() += QLatin1Char('\n');
    writer.Pass(true);
}
