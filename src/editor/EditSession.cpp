#include "editor/EditSession.h"

#include "diagnostics/CommandLine.h"
#include "diagnostics/LogUtils.h"
#include "dialogs/DialogEntryPoints.h"
#include "dialogs/FileDialogs.h"
#include "dialogs/WaitCursor.h"
#include "msgfile/FileUtils.h"
#include "msgfile/MsgFile.h"
#include "msgfile/MsgFileSave.h"
#include "translation/ReviewMarks.h"
#include "uitext/DlgUtils.h"
#include "uitext/MsgRes.h"

#include <QFileInfo>

namespace {

const char kSaveAsFilterKey[] = "Form1.SaveDialog2.Filter";

QString AbsoluteName(const QString &name)
{
    return QFileInfo(name).absoluteFilePath();
}

// The text an exception carries.
QString ErrorMessage(const std::exception &error)
{
    if (const auto *own = dynamic_cast<const Exception *>(&error))
        return own->Message();
    return QString::fromLocal8Bit(error.what());
}

// A question with Yes, No and Cancel; whatever else closes the box counts as
// Cancel.
TModalResult AskYesNoCancel(const QString &key)
{
    const TModalResult answer = ShowMessageBox(GetMsg(key), TMsgDlgType::mtConfirmation,
                                               TMsgDlgBtn::mbYes | TMsgDlgBtn::mbNo | TMsgDlgBtn::mbCancel);
    if (answer == TModalResult::mrYes || answer == TModalResult::mrNo)
        return answer;
    return TModalResult::mrCancel;
}

// Runs the view's UpdateCommands when it goes out of scope, also when the
// work in between raises.
class TCommandsUpdate
{
public:
    explicit TCommandsUpdate(TSessionView &view) : m_view(view) {}
    ~TCommandsUpdate() noexcept(false)
    {
        // While another exception is on its way, a second one would end the
        // program; the first one is the one worth reporting.
        if (std::uncaught_exceptions() > m_exceptions) {
            try {
                m_view.UpdateCommands();
            } catch (...) {
            }
            return;
        }
        m_view.UpdateCommands();
    }
    TCommandsUpdate(const TCommandsUpdate &) = delete;
    TCommandsUpdate &operator=(const TCommandsUpdate &) = delete;

private:
    TSessionView &m_view;
    int m_exceptions = std::uncaught_exceptions();
};

} // namespace

TEditSession::TEditSession(TSessionView &view) : m_view(view)
{
}

TEditSession::~TEditSession() = default;

// --- What the grid shows -----------------------------------------------------

int TEditSession::Count() const
{
    return m_messages ? m_messages->Count() : 0;
}

QByteArray TEditSession::MessageText(int index, bool fromOriginal) const
{
    return TextView(index, fromOriginal).toByteArray();
}

QByteArrayView TEditSession::TextView(int index, bool fromOriginal) const
{
    const TMsgData *store = fromOriginal ? m_originalMessages.get() : m_messages.get();
    if (!store || index < 0 || index >= store->Count())
        return {};
    return store->TextView(index);
}

bool TEditSession::OriginalOem(int index) const
{
    if (!m_originalMessages || index < 0 || index >= m_originalMessages->Count())
        return false;
    return m_originalMessages->Oem(index);
}

bool TEditSession::IsChanged(int index) const
{
    if (!m_messages || index < 0 || index >= m_messages->Count())
        return false;
    // A message without a partner is compared with an empty original.
    QByteArrayView original;
    if (m_originalMessages && index < m_originalMessages->Count())
        original = m_originalMessages->TextView(index);
    return m_messages->TextView(index) != original;
}

// --- Opening and closing -----------------------------------------------------

bool TEditSession::OpenDocument(const QString &name)
{
    TCommandsUpdate update(m_view);
    const QString fullName = AbsoluteName(name);
    if (!LoadMessageFile(fullName, true, true))
        return false;
    m_fileName = fullName;
    return true;
}

bool TEditSession::ReloadDocument(const QString &name, bool loadOriginal, bool askSave)
{
    TCommandsUpdate update(m_view);
    return LoadMessageFile(name, loadOriginal, askSave);
}

bool TEditSession::LoadMessageFile(const QString &name, bool loadOriginal, bool askSave)
{
    if (!CloseDocument(askSave))
        return false;
    try {
        const QString fullName = AbsoluteName(name);
        TWaitScope wait;
        try {
            std::unique_ptr<TMsgData> store = LoadMsgData(fullName);
            std::unique_ptr<TMsgData> original;
            if (loadOriginal)
                original = LoadInitialBackup(fullName);
            if (!original)
                original = store->Clone();
            QString warning;
            TReviewMarks marks = LoadReviewMarks(fullName, warning);
            marks.KeepOnly(*store);
            m_messages = std::move(store);
            m_originalMessages = std::move(original);
            m_marks = std::move(marks);
            m_status.Recount(*m_messages, *m_originalMessages, &m_marks);
            MarkModified(false);
            // A damaged review file costs its marks, never the file.
            if (!warning.isEmpty())
                ShowMessageBox(warning, TMsgDlgType::mtWarning, TMsgDlgBtn::mbOK);
        } catch (...) {
            // The grid follows the session also when the load failed: it
            // now shows no file.
            m_view.RefreshGrid();
            throw;
        }
        m_view.RefreshGrid();
    } catch (const std::exception &error) {
        ReportFileError(QStringLiteral("LoadError"), QStringLiteral("LoadErrorDebug"), name, error);
        return false;
    }
    return true;
}

bool TEditSession::CloseDocument(bool askSave)
{
    if (!IsOpen()) {
        m_originalMessages.reset();
        return true;
    }
    bool result = true;
    if (askSave && m_modified) {
        switch (AskYesNoCancel(QStringLiteral("ConfirmSave"))) {
        case TModalResult::mrYes:
            result = SaveDocument();
            break;
        case TModalResult::mrNo:
            break;
        default:
            return false;
        }
    }
    if (!result)
        return false;
    m_messages.reset();
    m_marks.ClearAll();
    m_status.Clear();
    MarkModified(false);
    m_view.RefreshGrid();
    m_originalMessages.reset();
    // The window may stay open without a file (a session end that did not
    // happen after all); its commands must say so.
    m_view.UpdateCommands();
    return true;
}

void TEditSession::OpenCommand()
{
    QString name;
    if (!SelectMessageFile(name))
        return;
    OpenDocument(name);
}

void TEditSession::OpenStartupFile()
{
    if (StartupFileName().isEmpty()) {
        QString name;
        if (SelectMessageFile(name))
            StartupFileName() = name;
    }
    const QString name = StartupFileName();
    if (name.trimmed().isEmpty())
        return;
    if (FileExists(name))
        OpenDocument(name);
    else
        ShowErrorMsg(QStringLiteral("NotExists"), {name});
}

// --- Editing -----------------------------------------------------------------

void TEditSession::EditMessage(int index)
{
    if (!IsOpen() || index < 0 || index >= m_messages->Count())
        return;
    QByteArray text = m_messages->Texts(index);
    bool oem = m_messages->Oem(index);
    const QByteArray original = MessageText(index, true);
    const std::optional<QByteArray> previous = m_marks.PreviousOriginal(*m_messages, index);
    if (!EditText(text, original, oem, previous))
        return;
    // OK on a message to review, changed or not, says it was reviewed.
    const QByteArray stored = ToStoredText(text);
    if (stored == m_messages->Texts(index) && !previous)
        return;

    TCommandsUpdate update(m_view);
    m_undoAvailable = false;
    m_undoText = m_messages->Texts(index);
    m_undoOem = m_messages->Oem(index);
    m_undoMark = previous;
    m_undoIndex = index;
    if (stored != m_undoText) {
        m_messages->SetTexts(index, stored);
        m_messages->SetOem(index, oem);
    }
    m_marks.Clear(*m_messages, index);
    m_status.Update(index, *m_messages, *m_originalMessages, &m_marks);
    m_undoAvailable = true;
    m_view.RepaintMessage(index);
    MarkModified(true);
}

void TEditSession::UndoLastEntry()
{
    if (!m_undoAvailable)
        return;
    TCommandsUpdate update(m_view);
    m_messages->SetTexts(m_undoIndex, m_undoText);
    m_messages->SetOem(m_undoIndex, m_undoOem);
    if (m_undoMark)
        m_marks.Mark(*m_messages, m_undoIndex, *m_undoMark);
    m_status.Update(m_undoIndex, *m_messages, *m_originalMessages, &m_marks);
    m_undoAvailable = false;
    m_view.RepaintMessage(m_undoIndex);
    if (m_undoClearsModified)
        MarkModified(false);
}

TImportReport TEditSession::ImportTranslations(const TTranslationEntries &entries, const TImportOptions &options)
{
    if (!IsOpen())
        return {};
    TCommandsUpdate update(m_view);
    TImportReport report = ::ImportTranslations(entries, *m_messages, *m_originalMessages, m_marks, options);
    for (const int index : report.ChangedMessages)
        m_status.Update(index, *m_messages, *m_originalMessages, &m_marks);
    if (report.ChangedMessages.empty())
        return report;
    m_undoAvailable = false;
    MarkModified(true);
    m_view.RefreshGrid();
    return report;
}

void TEditSession::MarkModified(bool value)
{
    if (value == m_modified) {
        m_undoClearsModified = false;
        return;
    }
    if (value)
        m_undoClearsModified = true;
    else
        m_undoAvailable = false;
    m_modified = value;
    m_view.UpdateCommands();
}

// --- Saving ------------------------------------------------------------------

void TEditSession::SaveCommand()
{
    if (m_modified)
        SaveDocument();
}

bool TEditSession::SaveDocument()
{
    const bool saved = WriteMessageFile(m_fileName);
    if (saved)
        MarkModified(false);
    return saved;
}

bool TEditSession::SaveDocumentAs()
{
    if (!m_saveAsDialog)
        return false;
    TSaveDialog &dialog = *m_saveAsDialog;
    dialog.SetDefaultExt(QStringLiteral("MSG"));
    dialog.SetOptions(dialog.Options() | TOpenOption::ofOverwritePrompt | TOpenOption::ofHideReadOnly
                      | TOpenOption::ofPathMustExist | TOpenOption::ofShowHelp);
    if (dialog.Filter().isEmpty()) {
        // The window's translation normally sets it; a table row it missed
        // still supplies it.
        const QString key = QString::fromLatin1(kSaveAsFilterKey);
        const QString filter = GetMsg(key);
        if (filter != key)
            dialog.SetFilter(filter);
    }
    if (!dialog.Execute())
        return false;
    const QString name = AbsoluteName(dialog.FileName());
    const bool saved = WriteMessageFile(name);
    if (saved) {
        m_fileName = name;
        MarkModified(false);
        m_view.UpdateCommands();
    }
    return saved;
}

bool TEditSession::WriteMessageFile(const QString &name)
{
    if (!IsOpen())
        return true;
    if (FileExists(name) && !InitialBackupExists(name)) {
        switch (AskYesNoCancel(QStringLiteral("ConfirmBackup"))) {
        case TModalResult::mrYes:
            if (!CreateInitialBackup(name))
                return false;
            break;
        case TModalResult::mrNo:
            break;
        default:
            return false;
        }
    }

    TCommandsUpdate update(m_view);
    try {
        TWaitScope wait;
        // Temporary file, written and synced; the previous file kept as the
        // last backup while the new one replaces it in one step.
        SaveMsgDataWithBackup(name, *m_messages);
        // The review marks go with the file they belong to.
        SaveReviewMarks(name, m_marks);
    } catch (const std::exception &error) {
        ReportFileError(QStringLiteral("SaveError"), QStringLiteral("SaveErrorDebug"), name, error);
        return false;
    }
    return true;
}

// --- Backups and revert ------------------------------------------------------

bool TEditSession::InitialBackupExists(const QString &name)
{
    return FileExists(InitialBackupName(name));
}

bool TEditSession::CreateInitialBackup(const QString &name)
{
    try {
        const QString backup = InitialBackupName(name);
        if (FileExists(name)) {
            if (FileExists(backup))
                DeleteFileChecked(backup);
            CopyFileChecked(name, backup);
        }
    } catch (const std::exception &error) {
        ReportFileError(QStringLiteral("BackupError"), QStringLiteral("BackupErrorDebug"), name, error);
        return false;
    }
    return true;
}

std::unique_ptr<TMsgData> TEditSession::LoadInitialBackup(const QString &name)
{
    const QString backup = InitialBackupName(name);
    if (!FileExists(backup))
        return nullptr;
    try {
        return LoadMsgData(backup);
    } catch (const std::exception &error) {
        ReportFileError(QStringLiteral("BackupReadError"), QStringLiteral("BackupReadErrorDebug"), name, error);
        return nullptr;
    }
}

bool TEditSession::CanRevertToSaved() const
{
    return IsOpen() && m_modified && FileExists(m_fileName);
}

bool TEditSession::CanRevertToBackup() const
{
    return IsOpen() && FileExists(BackupFileName(m_fileName));
}

bool TEditSession::CanRevertToOriginal() const
{
    return IsOpen() && InitialBackupExists(m_fileName);
}

void TEditSession::RevertToSaved()
{
    if (!IsOpen() || !ConfirmMsg(QStringLiteral("ConfirmRevertToSaved")))
        return;
    if (ReloadDocument(m_fileName, true, false))
        MarkModified(false);
}

void TEditSession::RevertToBackup()
{
    if (!IsOpen() || !ConfirmMsg(QStringLiteral("ConfirmRevertToBAK")))
        return;
    if (ReloadDocument(BackupFileName(m_fileName), true, false))
        MarkModified(true);
}

void TEditSession::RevertToOriginal()
{
    if (!IsOpen() || !ConfirmMsg(QStringLiteral("ConfirmRevertToOriginal")))
        return;
    if (ReloadDocument(InitialBackupName(m_fileName), false, false))
        MarkModified(true);
}

// --- Helpers -----------------------------------------------------------------

QByteArray TEditSession::ToStoredText(const QByteArray &text)
{
    // The dialog has already encoded the text through the message's code
    // page; only the line breaks change here.
    QByteArray stored;
    stored.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\r') {
            stored.append(c);
            continue;
        }
        stored.append('\n');
        if (i + 1 < text.size() && text.at(i + 1) == '\n')
            ++i;
    }
    return stored;
}

void TEditSession::ReportFileError(const QString &plainKey, const QString &debugKey, const QString &name,
                                   const std::exception &error) const
{
    if (!DebugMode()) {
        ShowErrorMsg(plainKey, {name});
        return;
    }
    LogFile().LogException(error);
    ShowErrorMsg(debugKey, {name, ErrorMessage(error)});
}
