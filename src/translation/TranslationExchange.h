#pragma once
// The translation exchange: a message file's translation carried out to the
// formats CAT tools speak (gettext PO, XLIFF 1.2, CSV) and back in, over the
// stores in memory, as the editor's File > Export translation... and File >
// Import translation... and lexivane-msg's export and import use them.
//
// A message is translated when its current text differs in any byte from
// its original (the original store's message at the same position, an empty
// text where that store is shorter), untranslated otherwise. Texts go out
// decoded from the ANSI code page and come back encoded into it.

#include "msgfile/MsgData.h"
#include "translation/ReviewMarks.h"
#include "translation/TranslationEntry.h"

#include <QByteArrayView>
#include <QIODevice>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

enum class TExchangeFormat { Po, Xliff, Csv };

// The format a file name's extension names: .po; .xlf or .xliff; .csv (in
// any case); nullopt for any other.
[[nodiscard]] std::optional<TExchangeFormat> ExchangeFormatOf(const QString &fileName);

// The reader and the writer of a format (PoFile.h, XliffFile.h, CsvFile.h).
[[nodiscard]] TTranslationEntries ReadTranslations(TExchangeFormat format, QByteArrayView bytes);
void WriteTranslations(TExchangeFormat format, QIODevice &device, const TTranslationEntries &entries,
                       const TExportInfo &info);

// The same for files: the whole file read (EFOpenError "ToolCannotOpen" when
// it cannot be, ETranslationFileError when it is malformed); the file written
// safely (WriteFileSafely), replacing what it held.
[[nodiscard]] TTranslationEntries LoadTranslations(TExchangeFormat format, const QString &fileName);
void SaveTranslations(TExchangeFormat format, const QString &fileName, const TTranslationEntries &entries,
                      const TExportInfo &info);

// --- Export --------------------------------------------------------------------

// One entry per message of Messages, in file order: the code, the original,
// the current text when the message is translated (empty otherwise). A
// translated message that Marks marks is to review (NeedsReview), with the
// original its translation was made for.
[[nodiscard]] TTranslationEntries ExportTranslations(const TMsgData &messages, const TMsgData &originals,
                                                     const TReviewMarks &marks);

// --- Import --------------------------------------------------------------------

struct TImportOptions
{
    // Apply entries to review (PO fuzzy, XLIFF states that are not final)
    // too, marking their messages for review; without it they are skipped.
    bool ApplyNeedsReview = false;
};

// What import had to say of one entry.
struct TImportNote
{
    enum class TKind {
        TooLong,            // refused: longer than MaxTranslationLength in stored form
        CharacterNotStored, // refused: a character the ANSI code page cannot hold
        UnknownCode,        // no message has the entry's code
        OtherOriginal,      // applied, but made for another original (marked for review)
        PlaceholderProblem, // applied, with a placeholder problem
    };
    TKind Kind;
    quint32 Code = 0;
    int Line = 0;     // of the entry in the file read
    int Message = -1; // the message's index; -1 for an unknown code
    QString Detail;   // the length, the character, the placeholder problem in words
};

struct TImportReport
{
    // Every entry is counted once: applied (its text or its review mark
    // changed), unchanged, skipped (to review, without ApplyNeedsReview),
    // refused, unknown.
    int Applied = 0;
    int Unchanged = 0;
    int Skipped = 0;
    int Refused = 0;
    int Unknown = 0;
    QList<TImportNote> Notes; // in the entries' order
    // The messages whose text or review mark changed, ascending, for the
    // editor to recount and repaint.
    std::vector<int> ChangedMessages;
};

// The longest text a translation may be, in bytes of its stored form.
constexpr int MaxTranslationLength = 255;

// Applies Entries to Messages, each to the (first) message with its code:
// - an empty translation leaves the message as it is (unchanged);
// - an entry to review is skipped unless Options say otherwise; then it is
//   applied and the message marked for review (with the entry's previous
//   original, else its original);
// - a translation longer than MaxTranslationLength bytes once stored, or with
//   a character the ANSI code page cannot hold, is refused for that message
//   alone (a text equal to the current one is unchanged, however long);
// - an entry made for another original than the message's is applied and
//   noted, and the message marked for review with the entry's original;
// - a final entry clears the message's review mark (a CSV entry, which
//   says nothing of review, leaves it as it is);
// - a placeholder problem of the text applied is noted as a warning.
TImportReport ImportTranslations(const TTranslationEntries &entries, TMsgData &messages, const TMsgData &originals,
                                 TReviewMarks &marks, const TImportOptions &options = {});

// The note in words, from the language table ("ImportTooLong" and so on),
// without the file, line and code the tool puts before it.
[[nodiscard]] QString DescribeImportNote(const TImportNote &note);
