#include "editor/TranslationCommands.h"

#include "dialogs/FileDialogs.h"
#include "dialogs/WaitCursor.h"
#include "editor/EditSession.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "translation/TranslationExchange.h"
#include "translation/TranslationUpdate.h"
#include "uitext/DlgUtils.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"

#include <QDateTime>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace {

// The notes a report box lists before it only counts the rest.
constexpr int ShownNotes = 20;

QString AbsoluteName(const QString &name)
{
    return QFileInfo(name).absoluteFilePath();
}

// The format of Name, or an error box and nothing.
std::optional<TExchangeFormat> FormatOf(const QString &name)
{
    const std::optional<TExchangeFormat> format = ExchangeFormatOf(name);
    if (!format)
        ShowErrorMsg(QStringLiteral("ExchangeUnknownFormatBox"), {name});
    return format;
}

QString Where(const ETranslationFileError &error)
{
    if (error.Column() > 0)
        return Format(GetMsg(QStringLiteral("ExchangeWhereAt")), {error.Line(), error.Column(), error.Message()});
    return Format(GetMsg(QStringLiteral("ExchangeWhereLine")), {error.Line(), error.Message()});
}

QString ReportText(const QString &name, const TImportReport &report)
{
    QStringList lines;
    lines << Format(GetMsg(QStringLiteral("ImportReport")), {name})
          << Format(GetMsg(QStringLiteral("ImportSummary")),
                    {report.Applied, report.Unchanged, report.Skipped, report.Refused, report.Unknown});
    const qsizetype shown = qMin<qsizetype>(report.Notes.size(), ShownNotes);
    for (qsizetype i = 0; i < shown; ++i) {
        const TImportNote &note = report.Notes.at(i);
        lines << Format(GetMsg(QStringLiteral("ImportNoteLine")), {note.Code, DescribeImportNote(note)});
    }
    if (report.Notes.size() > shown)
        lines << Format(GetMsg(QStringLiteral("ImportMoreNotes")), {report.Notes.size() - shown});
    return lines.join(QChar(13));
}

} // namespace

bool ExportTranslationFile(const TEditSession &session, const QString &name)
{
    if (!session.IsOpen())
        return false;
    const std::optional<TExchangeFormat> format = FormatOf(name);
    if (!format)
        return false;
    TExportInfo info;
    info.FileName = QFileInfo(session.FileName()).fileName();
    info.RevisionDate = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd HH:mm+0000"));
    try {
        TWaitScope wait;
        SaveTranslations(*format, name,
                         ExportTranslations(*session.Messages(), *session.OriginalMessages(), session.ReviewMarks()),
                         info);
    } catch (const std::exception &error) {
        session.ReportFileError(QStringLiteral("SaveError"), QStringLiteral("SaveErrorDebug"), name, error);
        return false;
    }
    return true;
}

void ExportTranslationCommand(const TEditSession &session, TSaveDialog &dialog)
{
    if (session.IsOpen() && dialog.Execute())
        ExportTranslationFile(session, AbsoluteName(dialog.FileName()));
}

bool ImportTranslationFile(TEditSession &session, const QString &name)
{
    if (!session.IsOpen())
        return false;
    const std::optional<TExchangeFormat> format = FormatOf(name);
    if (!format)
        return false;
    TTranslationEntries entries;
    try {
        TWaitScope wait;
        entries = LoadTranslations(*format, name);
    } catch (const ETranslationFileError &error) {
        ShowErrorMsg(QStringLiteral("ImportReadError"), {name, Where(error)});
        return false;
    } catch (const std::exception &error) {
        session.ReportFileError(QStringLiteral("LoadError"), QStringLiteral("LoadErrorDebug"), name, error);
        return false;
    }
    TImportOptions options;
    const auto notFinal = std::count_if(entries.begin(), entries.end(), [](const TTranslationEntry &entry) {
        return entry.State == TTranslationEntry::TState::NeedsReview && !entry.Translation.isEmpty();
    });
    if (notFinal > 0)
        options.ApplyNeedsReview = ConfirmMsgFmt(QStringLiteral("ConfirmImportReview"), {qint64(notFinal), name});
    const TImportReport report = session.ImportTranslations(entries, options);
    ShowInfo(ReportText(name, report));
    return true;
}

void ImportTranslationCommand(TEditSession &session, TOpenDialog &dialog)
{
    if (session.IsOpen() && dialog.Execute())
        ImportTranslationFile(session, AbsoluteName(dialog.FileName()));
}

bool UpdateFromServerFile(TEditSession &session, const QString &newFile, const QString &outFile)
{
    if (!session.IsOpen())
        return false;
    // The originals must be what the translation was made from.
    if (!TEditSession::InitialBackupExists(session.FileName())) {
        ShowErrorMsg(QStringLiteral("UpdateNeedsOriginal"), {session.FileName()});
        return false;
    }
    for (const QString &existing : {outFile, InitialBackupName(outFile)}) {
        if (FileExists(existing)) {
            ShowErrorMsg(QStringLiteral("UpdateOutputExists"), {existing});
            return false;
        }
    }
    std::unique_ptr<TMsgData> newMessages;
    try {
        TWaitScope wait;
        newMessages = LoadMsgData(newFile);
    } catch (const std::exception &error) {
        session.ReportFileError(QStringLiteral("LoadError"), QStringLiteral("LoadErrorDebug"), newFile, error);
        return false;
    }
    const TUpdateResult result =
        UpdateTranslation(*session.Messages(), *session.OriginalMessages(), session.ReviewMarks(), *newMessages);
    try {
        TWaitScope wait;
        SaveUpdatedTranslation(outFile, newFile, result);
    } catch (const std::exception &error) {
        session.ReportFileError(QStringLiteral("SaveError"), QStringLiteral("SaveErrorDebug"), outFile, error);
        return false;
    }
    ShowInfo(Format(GetMsg(QStringLiteral("UpdateDone")),
                    {outFile, result.Carried, result.NeedsReview, result.Untranslated, result.Dropped}));
    return session.OpenDocument(outFile);
}

void UpdateFromServerCommand(TEditSession &session, TOpenDialog &newFileDialog, TSaveDialog &outFileDialog)
{
    if (!session.IsOpen() || !newFileDialog.Execute())
        return;
    const QString newFile = AbsoluteName(newFileDialog.FileName());
    if (!outFileDialog.Execute())
        return;
    UpdateFromServerFile(session, newFile, AbsoluteName(outFileDialog.FileName()));
}
