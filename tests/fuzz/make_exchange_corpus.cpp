// Writes the seed files of the translation readers' fuzz targets into
// FOLDER/corpus-po, corpus-xliff, corpus-csv and corpus-review: small valid
// files, those our writers make and those other tools write in their own
// manner, each read back and checked before it is written.
// tests/fuzz/corpus-* hold what this program makes; tools/fuzz checks that
// they agree.
//
//   fuzz_exchange_corpus FOLDER

#include "translation/ReviewMarks.h"
#include "translation/TranslationExchange.h"

#include <QBuffer>
#include <QDir>
#include <QFile>

#include <cstdio>
#include <vector>

namespace {

struct Seed
{
    const char *Folder;
    const char *Name;
    QByteArray Bytes;
    size_t Entries; // entries (or marks) it reads as
};

TTranslationEntry Entry(quint32 code, const QString &original, const QString &translation,
                        TTranslationEntry::TState state = TTranslationEntry::TState::Final,
                        const QString *previous = nullptr)
{
    TTranslationEntry entry;
    entry.Code = code;
    entry.Original = original.toUtf8();
    entry.Translation = translation.toUtf8();
    entry.State = state;
    if (previous) {
        entry.HasPreviousOriginal = true;
        entry.PreviousOriginal = previous->toUtf8();
    }
    return entry;
}

// A few messages of every kind the formats carry: untranslated, translated,
// to review, empty, several lines, quotes and commas, control characters,
// printf-style placeholders, letters beyond ASCII.
TTranslationEntries Entries()
{
    const QString previous = QStringLiteral("Old text of @1");
    return {
        Entry(0, QString(), QString()),
        Entry(0x14000001, QStringLiteral("Table %s not found"), QStringLiteral("Tabelle %s nicht gefunden")),
        Entry(0x14000002, QStringLiteral("Line one\nline two, \"quoted\""), QString()),
        Entry(0x14000003, QStringLiteral("New text of @1"), QStringLiteral("Neuer Text von @1"),
              TTranslationEntry::TState::NeedsReview, &previous),
        Entry(0x14000004, QStringLiteral("Tab\there, bell\a, CR\r, nul") + QChar(0), QStringLiteral("\u00E9t\u00E9 \u20AC")),
        Entry(0xFFFFFFFF, QStringLiteral("last"), QStringLiteral("letzte")),
    };
}

QByteArray Written(TExchangeFormat format, const TTranslationEntries &entries)
{
    QBuffer buffer;
    buffer.open(QIODevice::ReadWrite);
    WriteTranslations(format, buffer, entries, {QStringLiteral("seed.msg"), QStringLiteral("2026-01-01 00:00+0000")});
    return buffer.data();
}

std::vector<Seed> Seeds()
{
    std::vector<Seed> seeds;
    const TTranslationEntries entries = Entries();
    seeds.push_back({"corpus-po", "exported.po", Written(TExchangeFormat::Po, entries), entries.size()});
    seeds.push_back({"corpus-po", "tool-style.po",
                     "# Translator's comment\n"
                     "msgid \"\"\n"
                     "msgstr \"\"\n"
                     "\"Content-Type: text/plain; charset=utf-8\\n\"\n"
                     "\"Plural-Forms: nplurals=2; plural=(n != 1);\\n\"\n"
                     "\n"
                     "#. extracted\n"
                     "#: interbase.msg:1\n"
                     "#, fuzzy, c-format\n"
                     "#| msgctxt \"00000001\"\n"
                     "#| msgid \"Old \"\n"
                     "#| \"%d\"\n"
                     "msgctxt \"1\"\n"
                     "msgid \"\"\n"
                     "\"New %d\\n\"\n"
                     "\"second\"\n"
                     "msgstr \"Neu %d\\n\\x41\\101\"\n"
                     "msgctxt \"00000002\"\r\n"
                     "msgid \"next\"\r\n"
                     "msgstr \"\"\r\n"
                     "\n"
                     "#~ msgctxt \"00000003\"\n"
                     "#~ msgid \"gone\"\n"
                     "#~ msgstr \"weg\"\n",
                     2});
    seeds.push_back({"corpus-xliff", "exported.xlf", Written(TExchangeFormat::Xliff, entries), entries.size()});
    seeds.push_back({"corpus-xliff", "tool-style.xlf",
                     "<?xml version='1.0'?>\n"
                     "<xliff version='1.2'><file original='x' source-language='en' target-language='de' datatype='plaintext'>"
                     "<body><group id='g'><trans-unit id='a' approved='yes'><source>Say <g id='1'>hi</g>&amp;bye&#13;</source>"
                     "<target state='final'>Sag <mrk mtype='term'>hallo</mrk><x id='2' ctype='x-char-01'/></target>"
                     "<note>a note</note></trans-unit></group>"
                     "<trans-unit id='B'><source><![CDATA[<raw>]]></source><target state='new'>neu</target></trans-unit>"
                     "<trans-unit id='c'><source/></trans-unit></body></file></xliff>\n",
                     3});
    seeds.push_back({"corpus-csv", "exported.csv", Written(TExchangeFormat::Csv, entries), entries.size()});
    seeds.push_back({"corpus-csv", "tool-style.csv",
                     "Translation,Code\n"
                     "\"Zeile 1\nZeile 2\",0000000A\n"
                     "\n"
                     ",b\n"
                     "\"\"\"quoted\"\"\",C\n",
                     3});

    TReviewMarks marks;
    marks.Mark(1, "Old text of @1");
    marks.Mark(0x14000004, QByteArray("Tab\tback\\slash\nbytes \x01\x7F\x80\xFF", 24));
    marks.Mark(0xFFFFFFFF, QByteArray());
    seeds.push_back({"corpus-review", "marks.review", FormatReviewMarks(marks), 3});
    seeds.push_back({"corpus-review", "none.review", FormatReviewMarks({}), 0});
    return seeds;
}

bool CheckSeed(const Seed &seed)
{
    const QString folder = QString::fromLatin1(seed.Folder);
    try {
        size_t read = 0;
        if (folder == QLatin1String("corpus-review"))
            read = size_t(ParseReviewMarks(seed.Bytes).Count());
        else
            read = ReadTranslations(*ExchangeFormatOf(QString::fromLatin1(seed.Name)), seed.Bytes).size();
        if (read == seed.Entries)
            return true;
        std::fprintf(stderr, "%s/%s: %zu entries, not %zu\n", seed.Folder, seed.Name, read, seed.Entries);
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s/%s: %s\n", seed.Folder, seed.Name, error.what());
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 64;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    for (const Seed &seed : Seeds()) {
        if (!CheckSeed(seed))
            return 1;
        const QString subfolder = QString::fromLatin1(seed.Folder);
        QFile file(folder.filePath(subfolder + QLatin1Char('/') + QString::fromLatin1(seed.Name)));
        if (!folder.mkpath(subfolder) || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(seed.Bytes) != seed.Bytes.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
    }
    return 0;
}
