#include "translation/TranslationUpdate.h"

#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "platform/OsError.h"
#include "translation/CodeIndex.h"
#include "translation/SafeFileWrite.h"

#include <cerrno>

namespace {

QByteArrayView OriginalOf(int index, const TMsgData &originals)
{
    return index < originals.Count() ? originals.TextView(index) : QByteArrayView();
}

} // namespace

TUpdateResult UpdateTranslation(const TMsgData &translated, const TMsgData &original, const TReviewMarks &marks,
                                const TMsgData &newMessages)
{
    TUpdateResult result;
    result.Messages = newMessages.Clone();
    TMsgData &out = *result.Messages;

    // The translated messages by code, the first of each code.
    TCodeIndex translatedIndex(translated,
                               [&](int i) { return translated.TextView(i) != OriginalOf(i, original); });
    for (int i = 0; i < out.Count(); ++i) {
        const quint32 code = out.Codes(i);
        const int found = translatedIndex.Find(code);
        const QByteArrayView newText = newMessages.TextView(i);
        if (found < 0 || translated.TextView(found) == newText) {
            ++result.Untranslated;
            continue;
        }
        out.SetTexts(i, translated.Texts(found));
        const std::optional<QByteArray> marked = marks.IsEmpty() ? std::nullopt : marks.PreviousOriginal(code);
        const QByteArrayView madeFor = OriginalOf(found, original);
        if (!marked && madeFor == newText) {
            ++result.Carried;
            continue;
        }
        result.Marks.Mark(code, marked ? *marked : madeFor.toByteArray());
        ++result.NeedsReview;
    }
    // The translated messages whose code NEW no longer has.
    result.Dropped = translatedIndex.CountNeverFound();
    return result;
}

void SaveUpdatedTranslation(const QString &outName, const QString &newFileName, const TUpdateResult &result)
{
    const QString backup = InitialBackupName(outName);
    if (FileExists(outName) || FileExists(backup))
        RaiseOSError(EEXIST);

    // Everything is written and synced under temporary names first; then the
    // initial backup takes its name, and the file last, so that the file
    // never stands without its backup.
    const QString messageTemp = WriteTempFileBeside(outName, [&result](QIODevice &device) {
        WriteMsgData(device, *result.Messages);
    });
    QString backupTemp;
    try {
        backupTemp = CreateTempFile(GetFileDir(outName), QString::fromLatin1(SaveTempPrefix));
        CopyFileChecked(newFileName, backupTemp);
    } catch (...) {
        if (!backupTemp.isEmpty())
            DeleteFileQuiet(backupTemp);
        DeleteFileQuiet(messageTemp);
        throw;
    }
    bool backupPlaced = false;
    bool filePlaced = false;
    try {
        RenameFileChecked(backupTemp, backup);
        backupPlaced = true;
        SaveReviewMarks(outName, result.Marks);
        RenameFileChecked(messageTemp, outName);
        filePlaced = true;
        SyncDirectory(GetFileDir(outName));
    } catch (...) {
        if (filePlaced)
            DeleteFileQuiet(outName);
        else
            DeleteFileQuiet(messageTemp);
        if (backupPlaced) {
            DeleteFileQuiet(backup);
            DeleteFileQuiet(ReviewFileName(outName));
        } else {
            DeleteFileQuiet(backupTemp);
        }
        throw;
    }
}
