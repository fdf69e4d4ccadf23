#include "translation/TranslationExchange.h"

#include "diagnostics/Exception.h"
#include "platform/CodePages.h"
#include "translation/CsvFile.h"
#include "translation/Placeholders.h"
#include "translation/PoFile.h"
#include "translation/SafeFileWrite.h"
#include "translation/XliffFile.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <QFile>
#include <QHash>

namespace {

QByteArrayView OriginalOf(int index, const TMsgData &originals)
{
    return index < originals.Count() ? originals.TextView(index) : QByteArrayView();
}

// The character at Position, with its second half when it is a surrogate
// pair.
QString CharacterAt(const QString &text, qsizetype position)
{
    const qsizetype length = text.at(position).isHighSurrogate() && position + 1 < text.size() ? 2 : 1;
    return text.mid(position, length);
}

// Text in the ANSI code page; Otherwise when it cannot be stored there.
QByteArray AnsiOr(const QString &text, QByteArrayView otherwise)
{
    QByteArray bytes;
    if (UnicodeToAnsi(text, bytes))
        return bytes;
    return otherwise.toByteArray();
}

// Each ANSI byte's character, from one conversion of all 256 bytes rather
// than one conversion per text (a million for a large file).
class TAnsiCharacters
{
public:
    TAnsiCharacters()
    {
        QByteArray bytes(256, Qt::Uninitialized);
        for (int b = 0; b < 256; ++b)
            bytes[b] = char(b);
        m_characters = AnsiToUnicode(bytes);
    }
    // The text Bytes show, as AnsiToUnicode gives it.
    [[nodiscard]] QString Decode(QByteArrayView bytes) const
    {
        QString text(bytes.size(), Qt::Uninitialized);
        QChar *out = text.data();
        for (const char byte : bytes)
            *out++ = m_characters[static_cast<uchar>(byte)];
        return text;
    }
    // Whether Text is what Bytes show as.
    [[nodiscard]] bool Shows(const QString &text, QByteArrayView bytes) const
    {
        if (text.size() != bytes.size())
            return false;
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            if (text[i] != m_characters[static_cast<uchar>(bytes[i])])
                return false;
        }
        return true;
    }

private:
    QString m_characters;
};

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
    const TAnsiCharacters ansi;
    for (int i = 0; i < messages.Count(); ++i) {
        TTranslationEntry &entry = entries[size_t(i)];
        const QByteArrayView original = OriginalOf(i, originals);
        const QByteArrayView text = messages.TextView(i);
        entry.Code = messages.Codes(i);
        entry.Original = ansi.Decode(original);
        if (text == original)
            continue;
        entry.Translation = ansi.Decode(text);
        if (marks.IsEmpty())
            continue;
        if (const std::optional<QByteArray> previous = marks.PreviousOriginal(entry.Code)) {
            entry.State = TTranslationEntry::TState::NeedsReview;
            entry.HasPreviousOriginal = true;
            entry.PreviousOriginal = ansi.Decode(*previous);
        }
    }
    return entries;
}

TImportReport ImportTranslations(const TTranslationEntries &entries, TMsgData &messages, const TMsgData &originals,
                                 TReviewMarks &marks, const TImportOptions &options)
{
    TImportReport report;
    // Each code's first message, as IndexOfCode finds it.
    QHash<quint32, int> indexOfCode;
    indexOfCode.reserve(messages.Count());
    for (int i = messages.Count() - 1; i >= 0; --i)
        indexOfCode.insert(messages.Codes(i), i);

    std::vector<bool> changed(size_t(messages.Count()), false);
    const TAnsiCharacters ansi;
    QByteArray stored;
    for (const TTranslationEntry &entry : entries) {
        const auto found = indexOfCode.constFind(entry.Code);
        if (found == indexOfCode.constEnd()) {
            ++report.Unknown;
            report.Notes.append({TImportNote::TKind::UnknownCode, entry.Code, entry.Line, -1, {}});
            continue;
        }
        const int index = *found;
        if (entry.Translation.isEmpty()) {
            ++report.Unchanged;
            continue;
        }
        const bool review = entry.State == TTranslationEntry::TState::NeedsReview;
        if (review && !options.ApplyNeedsReview) {
            ++report.Skipped;
            continue;
        }
        qsizetype bad = 0;
        if (!UnicodeToAnsi(entry.Translation, stored, &bad)) {
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
            const QString &previous = entry.HasPreviousOriginal ? entry.PreviousOriginal
                : entry.HasOriginal                             ? entry.Original
                                                                : QString();
            markChanged = marks.Mark(entry.Code, entry.HasPreviousOriginal || entry.HasOriginal
                                                     ? AnsiOr(previous, original)
                                                     : original.toByteArray());
        } else if (otherOriginal) {
            markChanged = marks.Mark(entry.Code, AnsiOr(entry.Original, original));
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
