#pragma once
// The open and save file dialogs as the program asks them: a request (title,
// filter, default extension, initial name, options) goes to the one file
// dialog presenter plugged in, which answers with the chosen name or nothing.
// The program plugs in the Qt dialogs (TQtFileDialogs); tests plug in a
// scripted presenter. TOpenDialog and TSaveDialog are the non-visual
// components that stand on a window and keep their settings as properties
// the language table can set ("Form1.SaveDialog1.Filter"); TSaveDialog asks
// through here.

#include "dialogs/DialogEntryPoints.h"

#include <QFlags>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

// What a file dialog must insist on. Only the Windows dialogs have a
// read-only box to hide; Qt's has none, so ofHideReadOnly always holds.
enum class TOpenOption {
    ofHideReadOnly = 0x1,    // no "open as read-only" box
    ofFileMustExist = 0x2,   // only an existing file can be chosen
    ofPathMustExist = 0x4,   // the chosen name's folder must exist
    ofOverwritePrompt = 0x8, // saving over an existing file asks first
    ofShowHelp = 0x10,       // a Help button asks for HelpContext
};
Q_DECLARE_FLAGS(TOpenOptions, TOpenOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TOpenOptions)

struct TFileDialogRequest
{
    QString Title;      // empty: the toolkit's own ("Open", "Save As")
    QString Filter;     // "Message files (*.MSG)|*.MSG|All files (*.*)|*.*"
    QString DefaultExt; // without the dot: "MSG"
    QString FileName;   // the name shown at first, possibly with its folder
    QString InitialDir; // the folder shown at first when FileName names none
    TOpenOptions Options;
    int HelpContext = 0; // asked for by the Help button (ofShowHelp)
};

// Shows file dialogs modally.
class TFileDialogPresenter
{
public:
    virtual ~TFileDialogPresenter() = default;
    // The chosen file to open, or nothing when the user cancelled.
    virtual std::optional<QString> Open(const TFileDialogRequest &request) = 0;
    // The chosen file to save into, or nothing when the user cancelled.
    virtual std::optional<QString> Save(const TFileDialogRequest &request) = 0;
};

// Plugs Presenter in (not owned; nullptr unplugs) and returns the one
// plugged in before.
TFileDialogPresenter *SetFileDialogPresenter(TFileDialogPresenter *presenter);
[[nodiscard]] TFileDialogPresenter *FileDialogPresenter();

// The request shown by the presenter plugged in; both raise EDialogError
// when there is none.
std::optional<QString> ExecuteOpenDialog(const TFileDialogRequest &request);
std::optional<QString> ExecuteSaveDialog(const TFileDialogRequest &request);

// A filter of "description|patterns|..." pairs, patterns separated by ";",
// as Qt's name filters: "Message files (*.MSG *.msg)". Linux names are case
// sensitive, so every pattern is followed by its lower-case form when that
// differs; "*.*" (any file) becomes "*". A parenthesised list at the end of
// the description gives way to the patterns; a pair without patterns is
// left out.
[[nodiscard]] QStringList QtNameFilters(const QString &filter);

// FileName with "." and DefaultExt appended when its name (the part after
// the last "/") has no "." of its own and DefaultExt is not empty.
[[nodiscard]] QString AddDefaultExt(const QString &fileName, const QString &defaultExt);

// What the open and save dialog components share: their settings, and the
// request made of them.
class TFileDialog : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Filter READ Filter WRITE SetFilter)
    Q_PROPERTY(QString Title READ Title WRITE SetTitle)
    Q_PROPERTY(QString DefaultExt READ DefaultExt WRITE SetDefaultExt)
    Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
    Q_PROPERTY(QString InitialDir READ InitialDir WRITE SetInitialDir)
    // The help context of context help (HelpContextOf) as well.
    Q_PROPERTY(int HelpContext READ HelpContext WRITE SetHelpContext)

public:
    QString Filter() const { return m_request.Filter; }
    void SetFilter(const QString &filter) { m_request.Filter = filter; }
    QString Title() const { return m_request.Title; }
    void SetTitle(const QString &title) { m_request.Title = title; }
    QString DefaultExt() const { return m_request.DefaultExt; }
    void SetDefaultExt(const QString &extension) { m_request.DefaultExt = extension; }
    // The name shown at first; after a confirmed Execute, the chosen one.
    QString FileName() const { return m_request.FileName; }
    void SetFileName(const QString &fileName) { m_request.FileName = fileName; }
    QString InitialDir() const { return m_request.InitialDir; }
    void SetInitialDir(const QString &dir) { m_request.InitialDir = dir; }
    int HelpContext() const { return m_request.HelpContext; }
    void SetHelpContext(int context) { m_request.HelpContext = context; }
    TOpenOptions Options() const { return m_request.Options; }
    void SetOptions(TOpenOptions options) { m_request.Options = options; }

    // What Execute asks the presenter.
    [[nodiscard]] const TFileDialogRequest &Request() const { return m_request; }

protected:
    TFileDialog(QObject *owner, TOpenOptions options);
    // Takes a confirmed answer as FileName, the default extension added.
    bool TakeAnswer(const std::optional<QString> &answer);

private:
    TFileDialogRequest m_request;
};

// The open dialog component: its settings, which the language table sets,
// and the question asked with them.
class TOpenDialog : public TFileDialog
{
    Q_OBJECT

public:
    // Stands on Owner (its parent), without the read-only box.
    explicit TOpenDialog(QObject *owner = nullptr);
    // Asks for a file to open; true with FileName set when the user chose
    // one. Raises EDialogError when no presenter is plugged in.
    bool Execute();
};

class TSaveDialog : public TFileDialog
{
    Q_OBJECT

public:
    // Stands on Owner (its parent), without the read-only box.
    explicit TSaveDialog(QObject *owner = nullptr);
    // Asks for a file to save into; true with FileName set when the user
    // chose one. Raises EDialogError when no presenter is plugged in.
    bool Execute();
};
