// lexivane-exchangebench: times the translation exchange on a large
// generated translation, each operation beside the raw reading or writing
// of the same bytes.
//
//   lexivane-exchangebench [--messages N] [--runs R] [--dir DIR]
//
// For each format: export (the stores to entries, written into a new file)
// beside a raw write of the bytes it writes, and import (the file read,
// parsed and applied to the untranslated store) beside a raw read of them.
// Then the update of the translation to a new release (the three files
// loaded, updated, the result written with its initial backup) beside
// loading the three files.

#include "BenchSupport.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "platform/CodePages.h"
#include "translation/TranslationExchange.h"
#include "translation/TranslationUpdate.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The originals: texts of 0 to 140 printable bytes (70 on average), some
// with placeholders, codes ascending as a server numbers them.
TMsgData GenerateOriginals(int count)
{
    QRandomGenerator random(20261209);
    TMsgData data;
    data.SetHeader(QByteArray::fromHex("01000004000000000000000002000000"));
    QByteArray text;
    for (int i = 0; i < count; ++i) {
        const int length = int(random.bounded(141));
        text.resize(length);
        for (int j = 0; j < length; ++j)
            text[j] = char(' ' + random.bounded(95));
        if (i % 7 == 0)
            text += " %s\n@1";
        data.AddMessage(quint32((i / 5000) * 10000 + i % 5000 + 1), text);
    }
    return data;
}

// Every message translated (its text with letters beyond ASCII), every
// hundredth marked for review.
void Translate(const TMsgData &originals, TMsgData &messages, TReviewMarks &marks)
{
    messages.Assign(originals);
    for (int i = 0; i < messages.Count(); ++i) {
        QByteArray text = originals.Texts(i);
        text.replace('e', '\xE9');
        messages.SetTexts(i, text.left(250) + "\xFC");
        if (i % 100 == 0)
            marks.Mark(messages.Codes(i), "earlier text");
    }
}

// The next release: every tenth text rewritten, every fiftieth code gone,
// new codes between.
TMsgData NextRelease(const TMsgData &originals)
{
    TMsgData next;
    next.SetHeader(originals.Header());
    for (int i = 0; i < originals.Count(); ++i) {
        if (i % 50 == 49)
            continue;
        next.AddMessage(originals.Codes(i), i % 10 == 3 ? originals.Texts(i) + " (rewritten)" : originals.Texts(i));
        if (i % 50 == 10)
            next.AddMessage(originals.Codes(i) + 5000, "A new message");
    }
    return next;
}

void Report(const char *what, double ms, const char *rawWhat, double rawMs)
{
    std::printf("%-14s %9.1f ms   %-26s %9.1f ms   ratio %5.2f\n", what, ms, rawWhat, rawMs, ms / rawMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const TBenchOptions options = ParseBenchOptions(QCoreApplication::arguments(), 3);
    SetCodePages(QStringLiteral("windows-1252"), QStringLiteral("IBM437"));
    QTemporaryDir temporary(BenchTempTemplate(options, QStringLiteral("lexivane-exchangebench")));
    if (!temporary.isValid())
        qFatal("cannot make a temporary folder");
    const QString msgFile = temporary.filePath(QStringLiteral("bench.msg"));
    const QString nextFile = temporary.filePath(QStringLiteral("next.msg"));
    const QString rawFile = temporary.filePath(QStringLiteral("raw.bin"));

    const TMsgData originals = GenerateOriginals(options.Messages);
    TMsgData messages;
    TReviewMarks marks;
    Translate(originals, messages, marks);
    SaveMsgData(msgFile, messages);
    SaveMsgData(InitialBackupName(msgFile), originals);
    SaveReviewMarks(msgFile, marks);
    SaveMsgData(nextFile, NextRelease(originals));
    std::printf("%d messages, %.1f MB, best of %d runs\n", options.Messages, QFileInfo(msgFile).size() / 1e6,
                options.Runs);

    const TExportInfo info{QStringLiteral("bench.msg"), QStringLiteral("2026-12-09 12:00+0000")};
    const struct
    {
        TExchangeFormat Format;
        const char *Name;
    } formats[] = {{TExchangeFormat::Po, "po"}, {TExchangeFormat::Xliff, "xlf"}, {TExchangeFormat::Csv, "csv"}};
    for (const auto &format : formats) {
        const QString file = temporary.filePath(QStringLiteral("bench.") + QLatin1String(format.Name));
        // Into a new file, as the raw write writes one (the command's save
        // adds a sync and a rename).
        const double exported = BestOf(options.Runs, [&] {
            QFile::remove(file);
            QFile out(file);
            if (!out.open(QIODevice::WriteOnly))
                qFatal("cannot create %s", qPrintable(file));
            WriteTranslations(format.Format, out, ExportTranslations(messages, originals, marks), info);
        });
        const QByteArray bytes = RawRead(file);
        const double rawWrite = BestOf(options.Runs, [&] {
            QFile::remove(rawFile);
            RawWrite(rawFile, bytes);
        });
        std::printf("%s: %.1f MB\n", format.Name, bytes.size() / 1e6);
        Report("  export", exported, "raw write of the file", rawWrite);

        const double rawRead = BestOf(options.Runs, [&] { RawRead(file); });
        int applied = 0;
        const double imported = BestOf(options.Runs, [&] {
            const auto untranslated = originals.Clone();
            TReviewMarks none;
            TImportOptions importOptions;
            importOptions.ApplyNeedsReview = true;
            applied = ImportTranslations(LoadTranslations(format.Format, file), *untranslated, originals, none,
                                         importOptions).Applied;
        });
        if (applied != options.Messages)
            qFatal("import applied %d of %d translations", applied, options.Messages);
        Report("  import", imported, "raw read of the file", rawRead);
    }

    const double loadThree = BestOf(options.Runs, [&] {
        LoadMsgData(msgFile);
        LoadMsgData(InitialBackupName(msgFile));
        LoadMsgData(nextFile);
    });
    TUpdateResult result;
    const double inMemory = BestOf(options.Runs, [&] {
        const auto translated = LoadMsgData(msgFile);
        const auto original = LoadMsgData(InitialBackupName(msgFile));
        const auto next = LoadMsgData(nextFile);
        QString warning;
        result = UpdateTranslation(*translated, *original, LoadReviewMarks(msgFile, warning), *next);
    });
    Report("update", inMemory, "loading the three files", loadThree);
    const QString out = temporary.filePath(QStringLiteral("out.msg"));
    const double withFiles = BestOf(options.Runs, [&] {
        QFile::remove(out);
        QFile::remove(InitialBackupName(out));
        SaveUpdatedTranslation(out, nextFile, result);
    });
    Report("  its files", withFiles, "loading the three files", loadThree);
    std::printf("update: carried %d, needs review %d, untranslated %d, dropped %d\n", result.Carried,
                result.NeedsReview, result.Untranslated, result.Dropped);
    return 0;
}
