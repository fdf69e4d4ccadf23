#pragma once
// One message as the translation exchange formats (PO, XLIFF, CSV) carry
// it, whatever the format: its code, its original text, its translation and
// whether that translation is final. The readers give a list of these, the
// writers take one; export, import and the tests work on them alone.
//
// Texts are Unicode in UTF-8, decoded from the ANSI code page as the editor
// shows them; a line feed stays a line feed. UTF-8 is what every format
// holds, so a text goes from the file to the entry and back as bytes.

#include "diagnostics/Exception.h"

#include <QByteArray>
#include <QString>

#include <vector>

struct TTranslationEntry
{
    enum class TState : quint8 {
        Final,       // a translation to use (or none: an empty Translation)
        NeedsReview, // PO "fuzzy", an XLIFF target whose state is not final
        Unstated,    // the format says nothing of it (CSV)
    };

    quint32 Code = 0;
    QByteArray Original;
    bool HasOriginal = true; // false: the file gives no original (a CSV file without that column)
    QByteArray Translation;  // empty: untranslated
    TState State = TState::Final;
    // The original the translation was made for, when it was made for
    // another one (PO "#| msgid", an XLIFF alt-trans source).
    QByteArray PreviousOriginal;
    bool HasPreviousOriginal = false;
    int Line = 0; // where the entry begins in the file read; 0 for one made in memory

    // Equal in everything the file says; the line is where, not what.
    friend bool operator==(const TTranslationEntry &a, const TTranslationEntry &b)
    {
        return a.Code == b.Code && a.HasOriginal == b.HasOriginal && a.Original == b.Original
            && a.Translation == b.Translation && a.State == b.State && a.HasPreviousOriginal == b.HasPreviousOriginal
            && a.PreviousOriginal == b.PreviousOriginal;
    }
    friend bool operator!=(const TTranslationEntry &a, const TTranslationEntry &b) { return !(a == b); }
};

using TTranslationEntries = std::vector<TTranslationEntry>;

// A translation file (or a review file) that is not well formed: the reason,
// and the line and column (both from 1; column 0 when only the line is
// known) where the reader found it wrong.
class ETranslationFileError : public Exception
{
public:
    LEXIVANE_INLINE_RAISE ETranslationFileError(const QString &message, int line, int column = 0)
        : Exception(message), m_line(line), m_column(column) {}

    [[nodiscard]] int Line() const noexcept { return m_line; }
    [[nodiscard]] int Column() const noexcept { return m_column; }

private:
    int m_line;
    int m_column;
};

// What a file written by export names besides its entries.
struct TExportInfo
{
    QString FileName;     // the message file's name without its folder ("interbase.msg")
    QString RevisionDate; // "2026-12-09 16:40+0000", for the PO header
};
