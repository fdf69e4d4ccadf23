// The translation exchange formats (PO, XLIFF, CSV): what export writes
// reads back and imports into the untranslated file as the translation it
// came from, byte for byte; malformed files are refused with their line; and
// the real tools of gettext, Qt and the Translate Toolkit accept what export
// writes.

#include "platform/CodePages.h"
#include "support/EnglishTable.h"
#include "support/TestEnvironment.h"
#include "support/TranslationFixtures.h"
#include "translation/ExchangeText.h"
#include "translation/TranslationExchange.h"
#include "uitext/EnglishMsg.h"
#include "uitext/LangUtils.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QtTest>

Q_DECLARE_METATYPE(TExchangeFormat)

namespace {

const TExportInfo Info{QStringLiteral("test.msg"), QStringLiteral("2026-12-09 12:00+0000")};

QByteArray Written(TExchangeFormat format, const TTranslationEntries &entries)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    WriteTranslations(format, buffer, entries, Info);
    return buffer.data();
}

// What a format keeps of an exported entry: CSV says nothing of review.
TTranslationEntry AsCarried(TExchangeFormat format, TTranslationEntry entry)
{
    if (format == TExchangeFormat::Csv) {
        entry.State = TTranslationEntry::TState::Unstated;
        entry.HasPreviousOriginal = false;
        entry.PreviousOriginal.clear();
    }
    entry.Line = 0;
    return entry;
}

// The messages and translations of a TS file, as (context comment or id,
// source, translation, whether unfinished).
QStringList TsMessages(const QString &fileName)
{
    QStringList messages;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("cannot read ") + fileName};
    QXmlStreamReader xml(&file);
    QString source, translation, key;
    bool unfinished = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("message")) {
            key = xml.attributes().value(QLatin1String("id")).toString();
            source.clear();
            translation.clear();
            unfinished = false;
        } else if (xml.isStartElement() && xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("comment")) {
            key = xml.readElementText();
        } else if (xml.isStartElement() && xml.name() == QLatin1String("translation")) {
            unfinished = xml.attributes().value(QLatin1String("type")) == QLatin1String("unfinished");
            translation = xml.readElementText();
        } else if (xml.isEndElement() && xml.name() == QLatin1String("message")) {
            messages << QStringLiteral("%1|%2|%3|%4").arg(key, source, translation, unfinished ? "unfinished" : "done");
        }
    }
    return messages;
}

} // namespace

class TestExchangeFormats : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        UseEnglishTable();
    }

    // Export, write, read, import into the untranslated messages: the
    // translated file comes back byte for byte, with its review marks where
    // the format carries them.
    void roundTrip_data()
    {
        QTest::addColumn<TExchangeFormat>("format");
        QTest::addColumn<QString>("codePage");
        for (const char *codePage : {"windows-1252", "windows-1251"}) {
            QTest::addRow("PO %s", codePage) << TExchangeFormat::Po << QString::fromLatin1(codePage);
            QTest::addRow("XLIFF %s", codePage) << TExchangeFormat::Xliff << QString::fromLatin1(codePage);
            QTest::addRow("CSV %s", codePage) << TExchangeFormat::Csv << QString::fromLatin1(codePage);
        }
    }
    void roundTrip()
    {
        QFETCH(TExchangeFormat, format);
        QFETCH(QString, codePage);
        SetCodePages(codePage, QStringLiteral("IBM437"));
        const TTranslationFixture fixture = HardTranslation();
        const TTranslationEntries exported = ExportTranslations(fixture.Messages, fixture.Originals, fixture.Marks);
        QCOMPARE(int(exported.size()), fixture.Messages.Count());

        const TTranslationEntries read = ReadTranslations(format, Written(format, exported));
        QCOMPARE(read.size(), exported.size());
        for (size_t i = 0; i < read.size(); ++i) {
            QVERIFY2(read[i].Line > 0, qPrintable(CodeText(read[i].Code)));
            QVERIFY2(AsCarried(format, read[i]) == AsCarried(format, exported[i]), qPrintable(CodeText(read[i].Code)));
        }

        const auto untranslated = fixture.Originals.Clone();
        TReviewMarks marks;
        TImportOptions options;
        options.ApplyNeedsReview = true;
        const TImportReport report = ImportTranslations(read, *untranslated, fixture.Originals, marks, options);
        QCOMPARE(report.Refused + report.Unknown, 0);
        for (int i = 0; i < fixture.Messages.Count(); ++i)
            QCOMPARE(untranslated->Texts(i), fixture.Messages.Texts(i));
        QCOMPARE(marks == fixture.Marks, format != TExchangeFormat::Csv);
    }

    // Every kind of malformed input is refused with the line (and, where the
    // reader knows it, the column) of what is wrong.
    void malformedRefused_data()
    {
        QTest::addColumn<TExchangeFormat>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("reason");
        const auto po = [](const char *name, const QByteArray &bytes, int line, int column, const char *reason) {
            QTest::addRow("PO: %s", name) << TExchangeFormat::Po << bytes << line << column << QString::fromUtf8(reason);
        };
        const QByteArray entry = "msgctxt \"00000001\"\nmsgid \"a\"\nmsgstr \"b\"\n";
        po("unclosed string", entry + "\nmsgctxt \"2\"\nmsgid \"abc\nmsgstr \"\"\n", 6, 7, "closing quote");
        po("unknown keyword", entry + "msgtext \"x\"\n", 4, 1, "unexpected");
        po("text after a string", "msgctxt \"1\" x\nmsgid \"\"\nmsgstr \"\"\n", 1, 13, "after the closing");
        po("unknown escape", "msgctxt \"1\"\nmsgid \"a\\qb\"\nmsgstr \"\"\n", 2, 9, "escape");
        po("escape beyond ASCII", "msgctxt \"1\"\nmsgid \"\\xE9\"\nmsgstr \"\"\n", 2, 8, "escape");
        po("msgstr without msgid", "msgctxt \"1\"\nmsgstr \"b\"\n", 2, 1, "msgstr in the wrong place");
        po("two msgids", "msgctxt \"1\"\nmsgid \"a\"\nmsgid \"b\"\n", 3, 1, "msgid in the wrong place");
        po("no msgstr", entry + "\nmsgctxt \"2\"\nmsgid \"a\"\n\n", 5, 0, "without msgstr");
        po("no msgid", entry + "\nmsgctxt \"2\"\n\n", 5, 0, "without msgid");
        po("no code", entry + "\nmsgid \"a\"\nmsgstr \"b\"\n", 5, 0, "no msgctxt");
        po("not a code", entry + "\nmsgctxt \"file.c:12\"\nmsgid \"a\"\nmsgstr \"b\"\n", 5, 0, "not a message code");
        po("plural forms", "msgctxt \"1\"\nmsgid \"a\"\nmsgid_plural \"as\"\n", 3, 1, "plural");
        po("continuation outside an entry", "\"dangling\"\n", 1, 1, "unexpected");
        po("comment inside an entry", "msgctxt \"1\"\nmsgid \"a\"\n# note\nmsgstr \"b\"\n", 3, 1, "comment inside");
        po("another charset", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n", 1, 0, "ISO-8859-1");
        po("not UTF-8", entry + "msgctxt \"2\"\nmsgid \"caf\xE9\"\nmsgstr \"\"\n", 5, 11, "not UTF-8");

        const auto xliff = [](const char *name, const QByteArray &bytes, int line, int column, const char *reason) {
            QTest::addRow("XLIFF: %s", name) << TExchangeFormat::Xliff << bytes << line << column << QString::fromUtf8(reason);
        };
        const QByteArray head = "<xliff version=\"1.2\"><file original=\"x\" source-language=\"en\" datatype=\"plaintext\"><body>\n";
        xliff("mismatched tag", head + "<trans-unit id=\"1\"><source>a</target></trans-unit>\n", 2, 37, "XML");
        xliff("unclosed document", head + "<trans-unit id=\"1\"><source>a</source>\n", 3, 0, "XML");
        xliff("a control character reference", head + "<trans-unit id=\"1\"><source>&#1;</source></trans-unit>\n", 2, 31, "XML");
        xliff("an undefined entity", head + "<trans-unit id=\"1\"><source>&nbsp;</source></trans-unit>\n", 2, 33, "XML");
        xliff("id that is no code", head + "<trans-unit id=\"msg-1\"><source>a</source></trans-unit>\n", 2, 23, "not a message code");
        xliff("no source", head + "<trans-unit id=\"1\">\n<target>a</target></trans-unit>\n", 3, 31, "no source");
        xliff("a character element for a tab", head + "<trans-unit id=\"1\"><source><x id=\"1\" ctype=\"x-char-09\"/></source></trans-unit>\n",
              2, 56, "no character");
        xliff("not UTF-8", head + "<trans-unit id=\"1\"><source>caf\xE9</source></trans-unit>\n", 2, 31, "not UTF-8");

        const auto csv = [](const char *name, const QByteArray &bytes, int line, int column, const char *reason) {
            QTest::addRow("CSV: %s", name) << TExchangeFormat::Csv << bytes << line << column << QString::fromUtf8(reason);
        };
        csv("a quote left open", "code,original,translation\r\n1,a,b\r\n2,\"open\r\nstill open\r\n", 3, 3, "never closed");
        csv("text after a closing quote", "code,original,translation\r\n1,\"a\"x,b\r\n", 2, 6, "after the closing quote");
        csv("a quote inside a field", "code,original,translation\r\n1,a\"b,c\r\n", 2, 4, "inside a field");
        csv("no code column", "id,original,translation\r\n1,a,b\r\n", 1, 0, "\"code\"");
        csv("no translation column", "code,original\r\n1,a\r\n", 1, 0, "\"translation\"");
        csv("an empty file", "", 1, 0, "\"code\"");
        csv("too many fields", "code,original,translation\r\n1,a,b\r\n2,a,b,c\r\n", 3, 0, "4 fields");
        csv("not a code", "code,original,translation\r\n1,a,b\r\n\"1 2\",a,b\r\n", 3, 0, "not a message code");
        csv("a code of nine digits", "code,original,translation\r\n123456789,a,b\r\n", 2, 0, "not a message code");
        csv("not UTF-8", "code,original,translation\r\n1,a,b\r\n2,\xFF,b\r\n", 3, 3, "not UTF-8");
    }
    void malformedRefused()
    {
        QFETCH(TExchangeFormat, format);
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(int, column);
        QFETCH(QString, reason);
        try {
            const TTranslationEntries entries = ReadTranslations(format, bytes);
            QFAIL(qPrintable(QStringLiteral("read as %1 entries").arg(entries.size())));
        } catch (const ETranslationFileError &error) {
            QVERIFY2(error.Message().contains(reason), qPrintable(error.Message()));
            QCOMPARE(error.Line(), line);
            QCOMPARE(error.Column(), column);
        }
    }

    // What other tools write reads as the entries it holds: gettext's line
    // breaks and previous msgid, comments, obsolete entries and the header;
    // XLIFF in groups, without a namespace, with inline elements and CDATA;
    // CSV with columns in another order, LF row ends and blank rows.
    void otherToolsRead_data()
    {
        QTest::addColumn<TExchangeFormat>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("expected"); // code|original|translation|state|previous
        QTest::newRow("PO") << TExchangeFormat::Po
                            << QByteArray("# comment\nmsgid \"\"\nmsgstr \"\"\n\"Content-Type: text/plain; charset=utf-8\\n\"\n\n"
                                          "#: somewhere\n#, fuzzy, c-format\n#| msgid \"Old \"\n#| \"%d\"\n"
                                          "msgctxt \"1a\"\nmsgid \"\"\n\"New %d\\n\"\n\"second\"\nmsgstr \"Neu %d\\n\\x41\\101\\t\"\n"
                                          "msgctxt \"00000002\"\r\nmsgid \"next\"\r\nmsgstr \"\"\r\n\n"
                                          "#~ msgctxt \"00000003\"\n#~ msgid \"gone\"\n#~ msgstr \"weg\"\n")
                            << QStringList{"0000001A|New %d\nsecond|Neu %d\nAA\t|review|Old %d", "00000002|next||final|"};
        QTest::newRow("XLIFF")
            << TExchangeFormat::Xliff
            << QByteArray("<?xml version='1.0'?>\n<xliff version='1.2'><file original='x' source-language='en' datatype='plaintext'>"
                          "<body><group id='g'><trans-unit id='a'><source>Say <g id='1'>hi</g>&amp;bye&#13;</source>"
                          "<target state='final'>Sag <mrk mtype='term'>hallo</mrk><x id='2' ctype='x-char-01'/></target>"
                          "<note>a note</note></trans-unit></group>"
                          "<trans-unit id='B'><source><![CDATA[<raw>]]></source><target state='new'>neu</target>"
                          "<alt-trans><source>old</source><target>alt</target></alt-trans></trans-unit>"
                          "<trans-unit id='c'><source/><target>ohne Zustand</target></trans-unit></body></file></xliff>\n")
            << QStringList{"0000000A|Say hi&bye\r|Sag hallo\x01|final|", "0000000B|<raw>|neu|review|old",
                           "0000000C||ohne Zustand|final|"};
        QTest::newRow("CSV") << TExchangeFormat::Csv
                             << QByteArray("Translation,Code\n\"Zeile 1\nZeile 2\",0000000A\n\n,b\n\"\"\"quoted\"\"\",C\n")
                             << QStringList{"0000000A|-|Zeile 1\nZeile 2|unstated|", "0000000B|-||unstated|",
                                            "0000000C|-|\"quoted\"|unstated|"};
    }
    void otherToolsRead()
    {
        QFETCH(TExchangeFormat, format);
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, expected);
        QStringList read;
        for (const TTranslationEntry &entry : ReadTranslations(format, bytes)) {
            const char *state = entry.State == TTranslationEntry::TState::Final ? "final"
                : entry.State == TTranslationEntry::TState::NeedsReview     ? "review"
                                                                            : "unstated";
            read << QStringList{CodeText(entry.Code),
                                entry.HasOriginal ? QString::fromUtf8(entry.Original) : QStringLiteral("-"),
                                QString::fromUtf8(entry.Translation), QString::fromLatin1(state),
                                QString::fromUtf8(entry.PreviousOriginal)}
                        .join(QLatin1Char('|'));
        }
        QCOMPARE(read, expected);
    }

    // The real tools accept what export writes of a consistent translation,
    // and find its texts and their states in it.
    void externalToolsAccept_data()
    {
        QTest::addColumn<TExchangeFormat>("format");
        QTest::addColumn<QString>("tool");
        QTest::newRow("msgfmt -c") << TExchangeFormat::Po << QStringLiteral("msgfmt");
        QTest::newRow("lconvert PO") << TExchangeFormat::Po << QStringLiteral("lconvert");
        QTest::newRow("lconvert XLIFF") << TExchangeFormat::Xliff << QStringLiteral("lconvert");
        QTest::newRow("po2csv") << TExchangeFormat::Po << QStringLiteral("po2csv");
        QTest::newRow("xliff2po, msgfmt -c") << TExchangeFormat::Xliff << QStringLiteral("xliff2po");
    }
    void externalToolsAccept()
    {
        QFETCH(TExchangeFormat, format);
        QFETCH(QString, tool);
        SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437"));
        TestEnvironment environment;
        const TTranslationFixture fixture = ConsistentTranslation();
        const TTranslationEntries entries = ExportTranslations(fixture.Messages, fixture.Originals, fixture.Marks);
        const QString exported = environment.path(format == TExchangeFormat::Po ? "test.po" : "test.xlf");
        SaveTranslations(format, exported, entries, Info);

        const char *package = tool == QLatin1String("msgfmt") ? "gettext"
            : tool == QLatin1String("lconvert")                ? "qt6-l10n-tools"
                                                               : "translate-toolkit";
        QString problem;
        const QString program = FindExternalTool(tool, QString::fromLatin1(package), problem);
        QVERIFY2(!program.isEmpty(), qPrintable(problem));
        const QString msgfmt = FindExternalTool(QStringLiteral("msgfmt"), QStringLiteral("gettext"), problem);
        QVERIFY2(!msgfmt.isEmpty(), qPrintable(problem));
        QString output;

        if (tool == QLatin1String("msgfmt") || tool == QLatin1String("xliff2po")) {
            QString po = exported;
            if (tool == QLatin1String("xliff2po")) {
                po = environment.path("converted.po");
                QCOMPARE(RunExternalTool(program, {exported, po}, output), 0);
            }
            QVERIFY2(RunExternalTool(msgfmt, {QStringLiteral("-c"), QStringLiteral("--statistics"), QStringLiteral("-o"),
                                              environment.path("test.mo"), po},
                                     output) == 0,
                     qPrintable(output));
            // Each state as gettext counts it: the message to review is
            // fuzzy, the two untranslated ones (one with an empty original)
            // untranslated.
            QVERIFY2(output.contains(QLatin1String("6 translated messages, 1 fuzzy translation, 2 untranslated messages")),
                     qPrintable(output));
            return;
        }
        if (tool == QLatin1String("po2csv")) {
            const QString csv = environment.path("converted.csv");
            QCOMPARE(RunExternalTool(program, {exported, csv}, output), 0);
            const QString converted = QString::fromUtf8(ReadWholeFile(csv));
            for (const TTranslationEntry &entry : entries) {
                const QString row = QStringLiteral("\"%1\",\"%2\"").arg(QString::fromUtf8(entry.Original).replace('"', "\"\""),
                                                                         QString::fromUtf8(entry.Translation).replace('"', "\"\""));
                QVERIFY2(entry.Original.isEmpty() || converted.contains(row), qPrintable(row + "\n" + converted));
            }
            return;
        }
        const QString ts = environment.path("converted.ts");
        QVERIFY2(RunExternalTool(program, {QStringLiteral("-i"), exported, QStringLiteral("-o"), ts}, output) == 0,
                 qPrintable(output));
        const QStringList messages = TsMessages(ts);
        // lconvert takes a PO entry with an empty msgid for a header, even
        // with a msgctxt: the message with the empty original is not among
        // its messages.
        for (const TTranslationEntry &entry : entries) {
            if (entry.Original.isEmpty())
                continue;
            const bool done = !entry.Translation.isEmpty() && entry.State == TTranslationEntry::TState::Final;
            const QString message = QStringLiteral("%1|%2|%3|%4").arg(CodeText(entry.Code), QString::fromUtf8(entry.Original),
                                                                       QString::fromUtf8(entry.Translation), done ? "done" : "unfinished");
            QVERIFY2(messages.contains(message), qPrintable(message + "\n" + messages.join('\n')));
        }
    }
};

QTEST_GUILESS_MAIN(TestExchangeFormats)
#include "tst_exchangeformats.moc"
