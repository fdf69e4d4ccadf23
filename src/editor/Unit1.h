#pragma once
// TForm1, the program's main window: a toolbar, the message grid and the main
// menu over the one editing session. The window shows the session and turns
// commands into session operations; the session decides.

#include "editor/EditSession.h"
#include "editor/ToolbarIcons.h"
#include "platform/CodePages.h"
#include "settings/FontRecord.h"
#include "translation/MessageFilter.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QMenu;
class QToolButton;
class TContextHelp;
class TForm2;
class TFindDialog;
class TForm4;
class TMessageGrid;
class TOpenDialog;
class TSaveDialog;

// The commands the window's own key handling runs, seeing every key pressed
// in the window before its focused control does.
enum class TFormCommand {
    None, ToggleMaximized, Close, About, ShowFind, FindNext, Save, Open, Dump, GoTo, NextUnfinished,
    PreviousUnfinished
};

// The command for a key, checked in this order: F5 (any modifiers); Alt+X,
// Alt+I (any other Alt combination: none, the key goes on); Ctrl+F, Ctrl+L,
// Ctrl+S, Ctrl+O, Ctrl+D (only in debug mode), Ctrl+G, Ctrl+J and
// Ctrl+Shift+J (any other Ctrl combination: none); F3.
TFormCommand FormKeyCommand(int key, Qt::KeyboardModifiers modifiers, bool debugMode);

class TForm1 : public QMainWindow, private TSessionView
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // The long-lived dialogs the window works with: the text edit dialog
    // (its fonts) and the font setup dialog (its slots and OnApply). Set by
    // start-up after they are created, before the window is shown.
    void AttachDialogs(TForm2 *textEdit, TForm4 *fontSetup);

    TEditSession &Session() { return *m_session; }
    TMessageGrid &Grid() { return *m_grid; }

    // The four grid fonts.
    TFontRecord NormalFont;
    TFontRecord TitleFont;
    TFontRecord OriginFont;
    TFontRecord ChangedFont;

    void UpdateTitle();
    void ApplyFonts();
    void SetToolbarVisible(bool visible);
    void EditCurrentMessage();
    void ShowFindDialog();
    void FindNext();
    void GoToMessage();
    void DumpMessages();
    // View > Show: the messages Filter picks now.
    void ShowMessages(TMessageFilter filter);
    // View > Side by side.
    void SetSideBySide(bool sideBySide);
    // Ctrl+J and Ctrl+Shift+J: the filter picks again (a message that
    // stopped matching goes), then the grid moves to the next shown message
    // below (Forward) or above the current one that is untranslated or has
    // a placeholder problem; an information box when there is none.
    void GoToUnfinished(bool forward);
    // Options > Code page: Choice's code pages (empty names: the desktop's
    // language) from now on, remembered for the user.
    void ChooseCodePages(const CodePageNames &choice);
    // The status bar: the counts, the messages shown while a filter is on,
    // the code pages; empty without a file.
    void UpdateStatusBar();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // TSessionView
    void RefreshGrid() override;
    void RepaintMessage(int index) override;
    void UpdateCommands() override;

    void FormCreate();
    void FormShow();
    void FormHide();
    void BuildToolbar();
    void BuildMenu();
    // A menu item named Name on Menu, with its built-in caption (the
    // language table gives the real one).
    QAction *AddItem(QMenu *menu, const char *name, const QString &builtInCaption);
    QAction *AddSeparator(QMenu *menu, const char *name);
    QMenu *AddSubmenu(QMenu *parent, const char *name, const QString &builtInCaption);
    QToolButton *AddButton(const char *name, TToolbarPicture picture, int left);
    void BuildShowMenu(QMenu *view);
    void BuildCodePageMenu(QMenu *options);
    void CheckCodePageItem();
    void ConnectCommands();
    void RevertItemClick();
    void ViewOrigBtnClick();
    void ViewOrigItemClick();
    void FormKeyDown(TFormCommand command);
    void FindDialog1Find();
    void Web1Click();
    void N23Click();
    void OpenStartupFile();

    std::unique_ptr<TEditSession> m_session;
    TMessageGrid *m_grid = nullptr;
    TForm2 *m_textEdit = nullptr;
    TForm4 *m_fontSetup = nullptr;
    TContextHelp *m_contextHelp = nullptr;
    TSaveDialog *m_saveDialog1 = nullptr; // the dump
    TSaveDialog *m_saveDialog2 = nullptr; // save as
    TSaveDialog *m_exportDialog = nullptr;
    TOpenDialog *m_importDialog = nullptr;
    TOpenDialog *m_newServerFileDialog = nullptr;
    TSaveDialog *m_updatedFileDialog = nullptr;
    TFindDialog *FindDialog1 = nullptr;
    QFrame *m_toolPanel = nullptr;
    QLabel *m_statusCounts = nullptr;
    QLabel *m_statusCodePages = nullptr;

    // Toolbar buttons.
    QToolButton *OpenBtn = nullptr;
    QToolButton *SaveBtn = nullptr;
    QToolButton *UndoBtn = nullptr;
    QToolButton *FindBtn = nullptr;
    QToolButton *FindNextBtn = nullptr;
    QToolButton *ViewOrigBtn = nullptr;
    QToolButton *AboutBtn = nullptr;

    // Menu items whose state follows the session.
    QMenu *RevertItem = nullptr;
    QAction *N2 = nullptr;
    QAction *SaveItem = nullptr;
    QAction *N4 = nullptr;
    QAction *ExportItem = nullptr;
    QAction *ImportItem = nullptr;
    QAction *UpdateItem = nullptr;
    QAction *RevertSavedItem = nullptr;
    QAction *RevertBAKItem = nullptr;
    QAction *RevertOriginalItem = nullptr;
    QAction *N13 = nullptr;
    QAction *N6 = nullptr;
    QAction *UndoItem = nullptr;
    QAction *ToolbarItem = nullptr;
    QAction *ViewOrigItem = nullptr;
    QAction *N18 = nullptr;
    QAction *N8 = nullptr;
    QAction *N9 = nullptr;
    QAction *N16 = nullptr;
    QAction *N14 = nullptr;
    QAction *N19 = nullptr;
    QAction *Web1 = nullptr;
    QAction *N23 = nullptr;
    QAction *N11 = nullptr;
    QAction *SideBySideItem = nullptr;
    QMenu *ShowItem = nullptr;
    QAction *ShowAllItem = nullptr;
    QAction *ShowUntranslatedItem = nullptr;
    QAction *ShowTranslatedItem = nullptr;
    QAction *ShowProblemsItem = nullptr;
    QAction *ShowReviewItem = nullptr;
    QAction *NextUnfinishedItem = nullptr;
    QAction *PreviousUnfinishedItem = nullptr;
    QMenu *CodePageItem = nullptr;
    QActionGroup *m_codePageGroup = nullptr;
};
