#pragma once
// The editing session of the main window: at most one message file open at a
// time, with its current store, its original store (from the file's initial
// backup, or a clone taken at load), its full name, whether it was changed
// since it was loaded or saved, and a one-step undo of the last entry.
//
// The session decides; the window shows. Every question goes through the
// message box and dialog seams; the session tells its view what to redraw.
//
// States: no file; clean; changed; changed and undoable.

#include "msgfile/MsgData.h"
#include "translation/ReviewMarks.h"
#include "translation/TranslationExchange.h"
#include "translation/TranslationStatus.h"

#include <QByteArray>
#include <QString>
#include <exception>
#include <memory>
#include <optional>

class TSaveDialog;

// What the session needs of the window that shows it.
class TSessionView
{
public:
    virtual ~TSessionView() = default;
    // The number of messages changed: size the rows, repaint everything.
    virtual void RefreshGrid() = 0;
    // Repaint the row that shows message Index.
    virtual void RepaintMessage(int index) = 0;
    // The session's state changed: enable and disable the commands and set
    // the title.
    virtual void UpdateCommands() = 0;
};

class TEditSession
{
public:
    explicit TEditSession(TSessionView &view);
    ~TEditSession();
    TEditSession(const TEditSession &) = delete;
    TEditSession &operator=(const TEditSession &) = delete;

    // --- State -------------------------------------------------------------
    // The stores; null while no file is open.
    const TMsgData *Messages() const { return m_messages.get(); }
    const TMsgData *OriginalMessages() const { return m_originalMessages.get(); }
    bool IsOpen() const { return m_messages != nullptr; }
    // The session's file, absolute; meaningful only while a file is open.
    const QString &FileName() const { return m_fileName; }
    bool Modified() const { return m_modified; }
    bool UndoAvailable() const { return m_undoAvailable; }

    // --- What the grid shows ----------------------------------------------------
    // Messages are counted from 0 here and everywhere outside the grid.
    // The number of messages; 0 without a file.
    int Count() const;
    // The stored text of message I, or of its original; an original without
    // a partner (a shorter original store) is empty.
    QByteArray MessageText(int index, bool fromOriginal) const;
    // The same without a copy, valid until the store changes.
    QByteArrayView TextView(int index, bool fromOriginal) const;
    bool OriginalOem(int index) const; // false without a partner
    // Whether the current text differs from the original in any byte.
    bool IsChanged(int index) const;
    // What is translated and what has a placeholder problem, kept up to
    // date by every load and change; nothing counted without a file.
    const TTranslationStatus &Status() const { return m_status; }
    // The messages to review, with the originals their translations were
    // made for; read with the file from its review file, saved with it.
    const TReviewMarks &ReviewMarks() const { return m_marks; }

    // --- Opening and closing -----------------------------------------------
    // Opens Name (made absolute) as the session's file.
    bool OpenDocument(const QString &name);
    // Loads Name into the session without taking its name (the reverts).
    bool ReloadDocument(const QString &name, bool loadOriginal, bool askSave);
    bool LoadMessageFile(const QString &name, bool loadOriginal, bool askSave);
    // Asks "ConfirmSave" when wanted, then drops both stores. False: stay.
    bool CloseDocument(bool askSave);
    // The Open command: the message file selection dialog, then OpenDocument.
    void OpenCommand();
    // The deferred start-up request: the command line's file, or the
    // selection dialog's choice.
    void OpenStartupFile();
    // The window's close query and the end of the user's session.
    bool CloseQuery() { return CloseDocument(true); }

    // --- Editing -------------------------------------------------------------
    // Lets the user edit message Index in the text edit dialog (a message to
    // review shows the original its translation was made for); nothing for
    // an index without a message. OK on a message to review clears its mark,
    // whether the text changed or not.
    void EditMessage(int index);
    void UndoLastEntry();
    // Applies translations read from a CAT tool's file to the current store
    // (TranslationExchange.h); the messages changed are counted again and,
    // when any changed, the file is modified and the last entry can no
    // longer be undone. Revert to saved undoes it all.
    TImportReport ImportTranslations(const TTranslationEntries &entries, const TImportOptions &options);
    void MarkModified(bool value);

    // --- Saving --------------------------------------------------------------
    // The Save command: SaveDocument when Modified.
    void SaveCommand();
    bool SaveDocument();
    // Asks for a name with the save-as dialog (set by the window).
    bool SaveDocumentAs();
    bool WriteMessageFile(const QString &name);
    void SetSaveAsDialog(TSaveDialog *dialog) { m_saveAsDialog = dialog; }

    // --- Backups and revert --------------------------------------------------
    static bool InitialBackupExists(const QString &name);
    bool CreateInitialBackup(const QString &name);
    std::unique_ptr<TMsgData> LoadInitialBackup(const QString &name);
    // Enabled states of the Revert submenu, read from the disk when asked.
    bool CanRevertToSaved() const;
    bool CanRevertToBackup() const;
    bool CanRevertToOriginal() const;
    void RevertToSaved();
    void RevertToBackup();
    void RevertToOriginal();

    // --- Helpers -------------------------------------------------------------
    // The stored form of a text from the edit dialog: CR LF and lone CR
    // become LF. (The dialog already encodes through the message's code page.)
    static QByteArray ToStoredText(const QByteArray &text);
    // Tells the user that a file operation failed: the plain key, or with
    // DebugMode the debug key after logging the exception.
    void ReportFileError(const QString &plainKey, const QString &debugKey, const QString &name,
                         const std::exception &error) const;

private:
    TSessionView &m_view;
    TSaveDialog *m_saveAsDialog = nullptr;
    std::unique_ptr<TMsgData> m_originalMessages;
    std::unique_ptr<TMsgData> m_messages;
    TReviewMarks m_marks;
    TTranslationStatus m_status;
    QString m_fileName;
    bool m_modified = false;
    bool m_undoAvailable = false;
    QByteArray m_undoText;
    bool m_undoOem = false; // the OEM flag comes back with the text
    std::optional<QByteArray> m_undoMark; // and the review mark the entry cleared
    int m_undoIndex = -1;
    bool m_undoClearsModified = false;
};
