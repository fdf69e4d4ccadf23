#pragma once
// Carrying a finished translation to the next release of the server's
// message file: the new file's messages, in its order, each with the
// translation of the translated message of the same code, marked for review
// when the English text it was made for has changed.

#include "msgfile/MsgData.h"
#include "translation/ReviewMarks.h"

#include <QString>

#include <memory>

struct TUpdateResult
{
    std::unique_ptr<TMsgData> Messages; // the new file's header, codes and flags; carried texts
    TReviewMarks Marks;                 // of Messages' codes
    // Each message of the new file is counted once: carried (as it was),
    // carried and to review, left untranslated (the new file's text).
    int Carried = 0;
    int NeedsReview = 0;
    int Untranslated = 0;
    // Translated messages whose code the new file no longer has.
    int Dropped = 0;
};

// For each message of NewMessages: when Translated has a translated message
// of that code (its text differs from Original's at the same position), its
// text is carried; it is to review when that original differs from the new
// text, remembering the original (or, when Marks already marks it, the
// original the mark remembers). Every other message keeps the new text.
[[nodiscard]] TUpdateResult UpdateTranslation(const TMsgData &translated, const TMsgData &original,
                                              const TReviewMarks &marks, const TMsgData &newMessages);

// Writes the result as the message file OutName, with NewFileName copied
// byte for byte as its initial backup (InitialBackupName) and its review
// file beside it (replacing a stale one, or removing it when Result has no
// marks). Never replaces an existing OutName or initial backup (EOSError
// "exists"); a failure leaves neither. Raises EOSError, EWriteError or
// EMsgFileError.
void SaveUpdatedTranslation(const QString &outName, const QString &newFileName, const TUpdateResult &result);
