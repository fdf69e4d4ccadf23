// libFuzzer target for the readers of the translation exchange formats, one
// build per format (LEXIVANE_FUZZ_FORMAT: 0 PO, 1 XLIFF, 2 CSV). Any bytes
// are either read or refused with an ETranslationFileError that names a line
// of the input. Entries that were read are written again and read back, and
// must come back as the writer can give them; writing what was read back
// must give the same bytes again. Anything else (a crash, a sanitizer
// report, another exception, a difference) aborts with a message.

#include "translation/TranslationExchange.h"

#include <QBuffer>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr auto Format = TExchangeFormat(LEXIVANE_FUZZ_FORMAT);

[[noreturn]] void Fail(const char *what, size_t entry = 0)
{
    std::fprintf(stderr, "fuzz_translation (format %d): %s (entry %zu)\n", int(Format), what, entry);
    std::abort();
}

QByteArray Written(const TTranslationEntries &entries)
{
    QBuffer buffer;
    if (!buffer.open(QIODevice::ReadWrite))
        Fail("cannot open a buffer for writing");
    TExportInfo info;
    info.FileName = QStringLiteral("fuzz.msg");
    info.RevisionDate = QStringLiteral("2026-01-01 00:00+0000");
    WriteTranslations(Format, buffer, entries, info);
    return buffer.data();
}

// What the writer keeps of an entry: CSV has no review and always an
// original column; a previous original goes with a translation to review
// alone, and XLIFF has no review without a target.
TTranslationEntry AsWritten(TTranslationEntry entry)
{
    entry.Line = 0;
    if (Format == TExchangeFormat::Csv) {
        entry.HasOriginal = true;
        entry.State = TTranslationEntry::TState::Unstated;
    }
    if (Format == TExchangeFormat::Xliff && entry.Translation.isEmpty())
        entry.State = TTranslationEntry::TState::Final;
    if (entry.State != TTranslationEntry::TState::NeedsReview) {
        entry.HasPreviousOriginal = false;
        entry.PreviousOriginal.clear();
    }
    return entry;
}

// The lines of the input: LF ends a line; for XML a CR too (a CR LF is one
// line end), as the XML reader counts them.
int Lines(const uint8_t *input, size_t size)
{
    int lines = 1;
    for (size_t i = 0; i < size; ++i) {
        const bool crEndsLine = Format == TExchangeFormat::Xliff && input[i] == '\r'
            && (i + 1 == size || input[i + 1] != '\n');
        lines += input[i] == '\n' || crEndsLine;
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(input), qsizetype(size));
    TTranslationEntries entries;
    try {
        entries = ReadTranslations(Format, bytes);
    } catch (const ETranslationFileError &error) {
        if (error.Line() < 1 || error.Line() > Lines(input, size) || error.Column() < 0 || error.Message().isEmpty())
            Fail("a refusal without a line of the input");
        return 0;
    } catch (const std::exception &error) {
        Fail(error.what());
    } catch (...) {
        Fail("the reader raised something that is not an exception");
    }

    try {
        const QByteArray written = Written(entries);
        const TTranslationEntries readBack = ReadTranslations(Format, written);
        if (readBack.size() != entries.size())
            Fail("the entries written read back as another number of entries");
        for (size_t i = 0; i < entries.size(); ++i) {
            if (AsWritten(readBack[i]) != AsWritten(entries[i]))
                Fail("an entry written reads back differently", i);
        }
        if (Written(readBack) != written)
            Fail("the entries read back are written differently");
    } catch (const std::exception &error) {
        Fail(error.what());
    }
    return 0;
}
