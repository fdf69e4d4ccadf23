#include "translation/TranslationExchange.h"

#include "diagnostics/Exception.h"
#include "platform/CodePages.h"
#include "translation/CodeIndex.h"
#include "translation/CsvFile.h"
#include "translation/Placeholders.h"
#include "translation/PoFile.h"
#include "translation/SafeFileWrite.h"
#include "translation/XliffFile.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <QFile>

namespace {

QByteArrayView OriginalOf(int index, const TMsgData &originals)
{
    return index < originals.Count() ? originals.TextView(index) : QByteArrayView();
}

// The character that begins at byte Offset of the UTF-8 text.
QString CharacterAt(QByteArrayView utf8, qsizetype offset)
{
    const auto lead = static_cast<uchar>(utf8[offset]);
    const qsizetype length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return QString::fromUtf8(utf8.sliced(offset, qMin(length, utf8.size() - offset)));
}

// Text in the ANSI code page; Otherwise when it cannot be stored there.
QByteArray AnsiOr(const AnsiUtf8Codec &ansi, QByteArrayView utf8, QByteArrayView otherwise)
{
    QByteArray bytes;
    if (ansi.FromUtf8(utf8, bytes))
        return bytes;
    return otherwise.toByteArray();
}

} // namespace

std::optional<TExchangeFormat> ExchangeFormatOf(const QString &fileName)
{
    const QString name = fileName.toLower();
    if (name.endsWith(QLatin1String(".po")))
        return TExchangeFormat::Po;
    if (name.endsWith(QLatin1String(".xlf")) || name.endsWith(QLatin1String(".xliff")))
        return TExchangeFormat::Xliff;
    if (name.endsWith(QLatin1String(".csv")))
        return TExchangeFormat::Csv;
    return std::nullopt;
}

TTranslationEntries ReadTranslations(TExchangeFormat format, QByteArrayView bytes)
{
    switch (format) {
    case TExchangeFormat::Po:
        return ReadPo(bytes);
    case TExchangeFormat::Xliff:
        return ReadXliff(bytes);
    case TExchangeFormat::Csv:
        break;
    }
    return ReadCsv(bytes);
}

void WriteTranslations(TExchangeFormat format, QIODevice &device, const TTranslationEntries &entries,
                       const TExportInfo &info)
{
    switch (format) {
    case TExchangeFormat::Po:
        WritePo(device, entries, info);
        return;
    case TExchangeFormat::Xliff:
        WriteXliff(device, entries, info);
        return;
    case TExchangeFormat::Csv:
        WriteCsv(device, entries);
        return;
    }
}

TTranslationEntries LoadTranslations(TExchangeFormat format, const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EFOpenError(Format(GetMsg(QStringLiteral("ToolCannotOpen")), {fileName}));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFOpenError(Format(GetMsg(QStringLiteral("ToolCannotOpen")), {fileName}));
    return ReadTranslations(format, bytes);
}

void SaveTranslations(TExchangeFormat format, const QString &fileName, const TTranslationEntries &entries,
                      const TExportInfo &info)
{
    WriteFileSafely(fileName, [&](QIODevice &device) { WriteTranslations(format, device, entries, info); });
}

TTranslationEntries ExportTranslations(const TMsgData &messages, const TMsgData &originals, const TReviewMarks &marks)
{
    TTranslationEntries entries(size_t(messages.Count()));
    const AnsiUtf8Codec ansi;
    for (int i = 0; i < messages.Count(); ++i) {
        TTranslationEntry &entry = entries[size_t(i)];
        const QByteArrayView original = OriginalOf(i, originals);
        const QByteArrayView text = messages.TextView(i);
        entry.Code = messages.Codes(i);
        entry.Original = ansi.ToUtf8(original);
        if (text == original)
            continue;
        entry.Translation = ansi.ToUtf8(text);
        if (marks.IsEmpty())
            continue;
        if (const std::optional<QByteArray> previous = marks.PreviousOriginal(entry.Code)) {
            entry.State = TTranslationEntry::TState::NeedsReview;
            entry.HasPreviousOriginal = true;
            entry.PreviousOriginal = ansi.ToUtf8(*previous);
        }
    }
    return entries;
}

TImportReport ImportTranslations(const TTranslationEntries &entries, TMsgData &messages, const TMsgData &originals,
                                 TReviewMarks &marks, const TImportOptions &options)
{
    TImportReport report;
    // Each code's first message, as IndexOfCode finds it.
    TCodeIndex indexOfCode(messages);

    std::vector<bool> changed(size_t(messages.Count()), false);
    const AnsiUtf8Codec ansi;
    for (const TTranslationEntry &entry : entries) {
        const int index = indexOfCode.Find(entry.Code);
        if (index < 0) {
            ++report.Unknown;
            report.Notes.append({TImportNote::TKind::UnknownCode, entry.Code, entry.Line, -1, {}});
            continue;
        }
        if (entry.Translation.isEmpty()) {
            ++report.Unchanged;
            continue;
        }
        const bool review = entry.State == TTranslationEntry::TState::NeedsReview;
        if (review && !options.ApplyNeedsReview) {
            ++report.Skipped;
            continue;
        }
        // A text of its own for each entry: the store keeps it as it is.
        QByteArray stored;
        qsizetype bad = 0;
        if (!ansi.FromUtf8(entry.Translation, stored, &bad)) {
            ++report.Refused;
            report.Notes.append({TImportNote::TKind::CharacterNotStored, entry.Code, entry.Line, index,
                                 CharacterAt(entry.Translation, bad)});
            continue;
        }
        const bool textChanges = messages.TextView(index) != QByteArrayView(stored);
        if (textChanges && stored.size() > MaxTranslationLength) {
            ++report.Refused;
            report.Notes.append({TImportNote::TKind::TooLong, entry.Code, entry.Line, index,
                                 QString::number(stored.size())});
            continue;
        }

        const QByteArrayView original = OriginalOf(index, originals);
        const bool otherOriginal = entry.HasOriginal && !ansi.Shows(entry.Original, original);
        bool markChanged = false;
        if (QByteArrayView(stored) == original) {
            markChanged = marks.Clear(entry.Code); // untranslated: nothing to review
        } else if (review) {
            const QByteArray &previous = entry.HasPreviousOriginal ? entry.PreviousOriginal
                : entry.HasOriginal                                ? entry.Original
                                                                   : QByteArray();
            markChanged = marks.Mark(entry.Code, entry.HasPreviousOriginal || entry.HasOriginal
                                                     ? AnsiOr(ansi, previous, original)
                                                     : original.toByteArray());
        } else if (otherOriginal) {
            markChanged = marks.Mark(entry.Code, AnsiOr(ansi, entry.Original, original));
        } else if (entry.State == TTranslationEntry::TState::Final) {
            markChanged = marks.Clear(entry.Code);
        }
        if (textChanges)
            messages.SetTexts(index, stored);
        if (textChanges || markChanged) {
            ++report.Applied;
            changed[size_t(index)] = true;
        } else {
            ++report.Unchanged;
        }
        if (otherOriginal)
            report.Notes.append({TImportNote::TKind::OtherOriginal, entry.Code, entry.Line, index, {}});
        if (textChanges && HasPlaceholderProblem(original, stored))
            report.Notes.append({TImportNote::TKind::PlaceholderProblem, entry.Code, entry.Line, index,
                                 DescribePlaceholderProblem(FindPlaceholderProblem(original, stored))});
    }
    for (size_t i = 0; i < changed.size(); ++i) {
        if (changed[i])
            report.ChangedMessages.push_back(int(i));
    }
    return report;
}

QString DescribeImportNote(const TImportNote &note)
{
    switch (note.Kind) {
    case TImportNote::TKind::TooLong:
        return Format(GetMsg(QStringLiteral("ImportTooLong")), {note.Detail, MaxTranslationLength});
    case TImportNote::TKind::CharacterNotStored:
        return Format(GetMsg(QStringLiteral("ImportCharacterNotStored")), {note.Detail, CurrentCodePages().Ansi});
    case TImportNote::TKind::UnknownCode:
        return GetMsg(QStringLiteral("ImportUnknownCode"));
    case TImportNote::TKind::OtherOriginal:
        return GetMsg(QStringLiteral("ImportOtherOriginal"));
    case TImportNote::TKind::PlaceholderProblem:
        break;
    }
    return Format(GetMsg(QStringLiteral("ImportPlaceholderProblem")), {note.Detail});
}
