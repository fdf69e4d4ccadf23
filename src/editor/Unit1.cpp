#include "editor/Unit1.h"

#include "diagnostics/CommandLine.h"
#include "dialogs/DialogEntryPoints.h"
#include "dialogs/FileDialogs.h"
#include "dialogs/SWUtils.h"
#include "dialogs/Unit2.h"
#include "dialogs/Unit4.h"
#include "editor/FindDialog.h"
#include "editor/MessageGrid.h"
#include "editor/MessageSearch.h"
#include "editor/ToolbarIcons.h"
#include "help/HelpUtils.h"
#include "settings/CodePageChoice.h"
#include "settings/ConfigUtils.h"
#include "editor/StatusText.h"
#include "editor/TranslationCommands.h"
#include "uitext/Format.h"
#include "settings/FormPlacement.h"
#include "uitext/DlgUtils.h"
#include "uitext/LangUtils.h"
#include "uitext/MsgRes.h"
#include "uitext/SupportAddresses.h"

#include <QAction>
#include <QActionGroup>
#include <QStatusBar>
#include <QCloseEvent>
#include <QFrame>
#include <QApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShowEvent>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// The window's design: 580 x 420 pixels, Arial 13 pixels high; a toolbar
// panel 31 pixels high with 25-pixel buttons 3 pixels from its top.
constexpr int DesignWidth = 580;
constexpr int DesignHeight = 420;
constexpr int ToolPanelHeight = 31;
constexpr int ButtonSize = 25;
constexpr int ButtonTop = 3;
// The buttons' left edges: 26 pixels apart within a group, 6 more between
// groups (open and save; undo; find and find next; view original; about).
constexpr int OpenBtnLeft = 3;
constexpr int SaveBtnLeft = 29;
constexpr int UndoBtnLeft = 61;
constexpr int FindBtnLeft = 93;
constexpr int FindNextBtnLeft = 119;
constexpr int ViewOrigBtnLeft = 151;
constexpr int AboutBtnLeft = 183;

// The four display fonts: their name in the settings, the key of their
// title in the font setup dialog, and the window's record of each, in the
// order they are loaded, offered and saved.
struct TDisplayFont
{
    const char *Name;
    const char *TitleKey;
    TFontRecord TForm1::*Font;
};
const TDisplayFont DisplayFonts[] = {
    {"NormalFont", "NormalFontTitle", &TForm1::NormalFont},
    {"TitleFont", "TitleFontTitle", &TForm1::TitleFont},
    {"OriginFont", "OriginFontTitle", &TForm1::OriginFont},
    {"ChangedFont", "ChangedFontTitle", &TForm1::ChangedFont},
};

const QString SideBySideIdent = QStringLiteral("SideBySide");
const QString FilterIdent = QStringLiteral("Filter");

// The filter stored as its number; anything else shows every message.
TMessageFilter FilterFromSetting(int value)
{
    switch (value) {
    case int(TMessageFilter::Untranslated): return TMessageFilter::Untranslated;
    case int(TMessageFilter::Translated): return TMessageFilter::Translated;
    case int(TMessageFilter::Problems): return TMessageFilter::Problems;
    case int(TMessageFilter::NeedsReview): return TMessageFilter::NeedsReview;
    default: return TMessageFilter::All;
    }
}

} // namespace

TFormCommand FormKeyCommand(int key, Qt::KeyboardModifiers modifiers, bool debugMode)
{
    if (key == Qt::Key_F5)
        return TFormCommand::ToggleMaximized;
    if (modifiers & Qt::AltModifier) {
        if (key == Qt::Key_X)
            return TFormCommand::Close;
        if (key == Qt::Key_I)
            return TFormCommand::About;
        return TFormCommand::None;
    }
    if (modifiers & Qt::ControlModifier) {
        switch (key) {
        case Qt::Key_F: return TFormCommand::ShowFind;
        case Qt::Key_L: return TFormCommand::FindNext;
        case Qt::Key_S: return TFormCommand::Save;
        case Qt::Key_O: return TFormCommand::Open;
        case Qt::Key_D: return debugMode ? TFormCommand::Dump : TFormCommand::None;
        case Qt::Key_G: return TFormCommand::GoTo;
        case Qt::Key_J:
            return (modifiers & Qt::ShiftModifier) ? TFormCommand::PreviousUnfinished : TFormCommand::NextUnfinished;
        default: return TFormCommand::None;
        }
    }
    return key == Qt::Key_F3 ? TFormCommand::FindNext : TFormCommand::None;
}

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Form1"));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    setFont(font);
    resize(DesignWidth, DesignHeight);
    m_session = std::make_unique<TEditSession>(static_cast<TSessionView &>(*this));
    FormCreate();
}

TForm1::~TForm1()
{
    // The grid reads the session while it is hidden and destroyed, which
    // the base class does only after this object's members are gone: take
    // it down first, while the session it shows still exists.
    delete m_grid;
    m_grid = nullptr;
}

void TForm1::AttachDialogs(TForm2 *textEdit, TForm4 *fontSetup)
{
    m_textEdit = textEdit;
    m_fontSetup = fontSetup;
}

// --- Life cycle -----------------------------------------------------------

void TForm1::FormCreate()
{
    for (const TDisplayFont &font : DisplayFonts)
        this->*font.Font = DefaultNamedFont(QLatin1String(font.Name));

    SetHelpContext(this, OwnHelpTopic);
    m_contextHelp = new TContextHelp(this);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildToolbar();
    layout->addWidget(m_toolPanel);
    m_grid = new TMessageGrid(*m_session, central);
    layout->addWidget(m_grid);
    setCentralWidget(central);


    m_saveDialog1 = new TSaveDialog(this);
    m_saveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    m_saveDialog1->SetDefaultExt(QStringLiteral("OUT"));
    m_saveDialog1->SetOptions(TOpenOption::ofHideReadOnly | TOpenOption::ofOverwritePrompt | TOpenOption::ofPathMustExist);
    m_saveDialog2 = new TSaveDialog(this);
    m_saveDialog2->setObjectName(QStringLiteral("SaveDialog2"));
    m_saveDialog2->SetDefaultExt(QStringLiteral("MSG"));
    m_saveDialog2->SetOptions(TOpenOption::ofHideReadOnly | TOpenOption::ofOverwritePrompt
                              | TOpenOption::ofPathMustExist | TOpenOption::ofShowHelp);
    SetHelpContext(m_saveDialog2, OwnHelpTopic);
    m_session->SetSaveAsDialog(m_saveDialog2);

    // The translation exchange and the update to a new server file.
    const auto dialog = [this](auto *component, const char *name, const char *defaultExt, TOpenOptions options) {
        component->setObjectName(QLatin1String(name));
        component->SetDefaultExt(QLatin1String(defaultExt));
        component->SetOptions(options);
        return component;
    };
    m_exportDialog = dialog(new TSaveDialog(this), "ExportDialog", "po",
                            TOpenOption::ofHideReadOnly | TOpenOption::ofOverwritePrompt | TOpenOption::ofPathMustExist);
    m_importDialog = dialog(new TOpenDialog(this), "ImportDialog", "",
                            TOpenOption::ofHideReadOnly | TOpenOption::ofFileMustExist);
    m_newServerFileDialog = dialog(new TOpenDialog(this), "NewServerFileDialog", "MSG",
                                   TOpenOption::ofHideReadOnly | TOpenOption::ofFileMustExist);
    // The update never replaces a file: no question before overwriting.
    m_updatedFileDialog = dialog(new TSaveDialog(this), "UpdatedFileDialog", "MSG",
                                 TOpenOption::ofHideReadOnly | TOpenOption::ofPathMustExist);

    FindDialog1 = new TFindDialog(this);
    connect(FindDialog1, &TFindDialog::FindRequested, this, &TForm1::FindDialog1Find);

    // The status bar: the counts on the left, the code pages on the right.
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    m_statusCounts = new QLabel(statusBar());
    m_statusCounts->setObjectName(QStringLiteral("StatusCounts"));
    statusBar()->addWidget(m_statusCounts, 1);
    m_statusCodePages = new QLabel(statusBar());
    m_statusCodePages->setObjectName(QStringLiteral("StatusCodePages"));
    statusBar()->addPermanentWidget(m_statusCodePages);

    BuildMenu();
    ConnectCommands();
    UpdateCommands();
    // Every key pressed in the window passes the window's own handling first.
    qApp->installEventFilter(this);
}

void TForm1::FormShow()
{
    setWindowTitle(ApplicationTitle());
    CenterForm(*this);
    m_session->MarkModified(false);
    RefreshGrid();
    TrySettings([this] { RestoreFormPlacement(*this); });
    for (const TDisplayFont &font : DisplayFonts)
        TrySettings([this, &font] { LoadNamedFont(QLatin1String(font.Name), this->*font.Font); });
    // The slots refer to this window's fonts, so they are added once, at the
    // first showing.
    if (m_fontSetup && m_fontSetup->SlotCount() == 0) {
        for (const TDisplayFont &font : DisplayFonts)
            m_fontSetup->AddFontSlot(GetMsg(QLatin1String(font.TitleKey)), &(this->*font.Font));
        m_fontSetup->OnApply = [this](TForm4 &) { ApplyFonts(); };
    }
    ApplyFonts();
    m_grid->FormResize();
    if (m_textEdit)
        m_textEdit->SetEditFonts(NormalFont, OriginFont);
    bool toolbar = true;
    TrySettings([&toolbar] { toolbar = AppIni().ReadBool(LastSection, QStringLiteral("Toolbar"), true); });
    SetToolbarVisible(toolbar);
    // The translator's own view: the code pages (before any text shows),
    // the columns side by side, the messages shown.
    CodePageNames codePages;
    TrySettings([&codePages] { codePages = StoredCodePageChoice(); });
    ApplyCodePageChoice(codePages);
    bool sideBySide = false;
    TrySettings([&sideBySide] { sideBySide = AppIni().ReadBool(LastSection, SideBySideIdent, false); });
    SetSideBySide(sideBySide);
    int filter = 0;
    TrySettings([&filter] { filter = AppIni().ReadInteger(LastSection, FilterIdent, 0); });
    ShowMessages(FilterFromSetting(filter));
    // The start-up file is opened once the window is on the screen.
    QTimer::singleShot(0, this, &TForm1::OpenStartupFile);
}

void TForm1::FormHide()
{
    TrySettings([this] { SaveFormPlacement(*this); });
    for (const TDisplayFont &font : DisplayFonts)
        TrySettings([this, &font] { SaveNamedFont(QLatin1String(font.Name), this->*font.Font); });
    const bool toolbar = m_toolPanel->isVisibleTo(this);
    TrySettings([toolbar] { AppIni().WriteBool(LastSection, QStringLiteral("Toolbar"), toolbar); });
    const bool sideBySide = m_grid->IsSideBySide();
    TrySettings([sideBySide] { AppIni().WriteBool(LastSection, SideBySideIdent, sideBySide); });
    const int filter = int(m_grid->Filter());
    TrySettings([filter] { AppIni().WriteInteger(LastSection, FilterIdent, filter); });
}

void TForm1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // The window system shows the window again after a minimize: only the
    // program's own showing counts.
    if (!event->spontaneous())
        FormShow();
}

void TForm1::hideEvent(QHideEvent *event)
{
    if (!event->spontaneous())
        FormHide();
    QMainWindow::hideEvent(event);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!m_session->CloseQuery())
        event->ignore();
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    m_grid->FormResize();
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    const TFormCommand command = FormKeyCommand(key->key(), key->modifiers(), DebugMode());
    if (command == TFormCommand::None)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Taken here, not by a menu shortcut: the key press follows.
        event->accept();
        return true;
    }
    FormKeyDown(command);
    return true;
}

void TForm1::FormKeyDown(TFormCommand command)
{
    switch (command) {
    case TFormCommand::ToggleMaximized:
        setWindowState(windowState() ^ Qt::WindowMaximized);
        break;
    case TFormCommand::Close: close(); break;
    case TFormCommand::About: ShowAboutBox(); break;
    case TFormCommand::ShowFind: ShowFindDialog(); break;
    case TFormCommand::FindNext: FindNext(); break;
    case TFormCommand::Save: m_session->SaveCommand(); break;
    case TFormCommand::Open: m_session->OpenCommand(); break;
    case TFormCommand::Dump: DumpMessages(); break;
    case TFormCommand::GoTo: GoToMessage(); break;
    case TFormCommand::NextUnfinished: GoToUnfinished(true); break;
    case TFormCommand::PreviousUnfinished: GoToUnfinished(false); break;
    case TFormCommand::None: break;
    }
}

void TForm1::OpenStartupFile()
{
    m_session->OpenStartupFile();
}

// --- Controls -------------------------------------------------------------

QToolButton *TForm1::AddButton(const char *name, TToolbarPicture picture, int left)
{
    auto *button = new QToolButton(m_toolPanel);
    button->setObjectName(QLatin1String(name));
    button->setIcon(ToolbarIcon(picture));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setGeometry(left, ButtonTop, ButtonSize, ButtonSize);
    return button;
}

void TForm1::BuildToolbar()
{
    m_toolPanel = new QFrame(this);
    m_toolPanel->setObjectName(QStringLiteral("ToolPanel"));
    m_toolPanel->setFixedHeight(ToolPanelHeight);
    OpenBtn = AddButton("OpenBtn", TToolbarPicture::Open, OpenBtnLeft);
    SaveBtn = AddButton("SaveBtn", TToolbarPicture::Save, SaveBtnLeft);
    UndoBtn = AddButton("UndoBtn", TToolbarPicture::Undo, UndoBtnLeft);
    FindBtn = AddButton("FindBtn", TToolbarPicture::Find, FindBtnLeft);
    FindNextBtn = AddButton("FindNextBtn", TToolbarPicture::FindNext, FindNextBtnLeft);
    ViewOrigBtn = AddButton("ViewOrigBtn", TToolbarPicture::ViewOriginal, ViewOrigBtnLeft);
    ViewOrigBtn->setCheckable(true);
    AboutBtn = AddButton("AboutBtn", TToolbarPicture::About, AboutBtnLeft);
}

QAction *TForm1::AddItem(QMenu *menu, const char *name, const QString &builtInCaption)
{
    auto *item = new QAction(builtInCaption, this);
    item->setObjectName(QLatin1String(name));
    SetHelpContext(item, OwnHelpTopic);
    menu->addAction(item);
    return item;
}

QAction *TForm1::AddSeparator(QMenu *menu, const char *name)
{
    QAction *separator = menu->addSeparator();
    separator->setObjectName(QLatin1String(name));
    return separator;
}

QMenu *TForm1::AddSubmenu(QMenu *parent, const char *name, const QString &builtInCaption)
{
    QMenu *submenu = parent ? parent->addMenu(builtInCaption) : menuBar()->addMenu(builtInCaption);
    submenu->menuAction()->setObjectName(QLatin1String(name));
    SetHelpContext(submenu->menuAction(), OwnHelpTopic);
    return submenu;
}

// The menu with its built-in captions; the language table replaces them.
void TForm1::BuildMenu()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu1"));

    QMenu *file = AddSubmenu(nullptr, "N1", QStringLiteral("&File"));
    N2 = AddItem(file, "N2", QStringLiteral("&Open..."));
    N2->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    SaveItem = AddItem(file, "SaveItem", QStringLiteral("&Save"));
    SaveItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    N4 = AddItem(file, "N4", QStringLiteral("Save &as..."));
    AddSeparator(file, "ExchangeSeparator");
    ExportItem = AddItem(file, "ExportItem", QStringLiteral("&Export translation..."));
    ImportItem = AddItem(file, "ImportItem", QStringLiteral("&Import translation..."));
    UpdateItem = AddItem(file, "UpdateItem", QStringLiteral("&Update from server file..."));
    AddSeparator(file, "N12");
    RevertItem = AddSubmenu(file, "RevertItem", QStringLiteral("&Revert to"));
    SetHelpContext(RevertItem->menuAction(), ParentHelpTopic);
    RevertSavedItem = AddItem(RevertItem, "RevertSavedItem", QStringLiteral("&Saved..."));
    RevertBAKItem = AddItem(RevertItem, "RevertBAKItem", QStringLiteral("&Last backup..."));
    RevertOriginalItem = AddItem(RevertItem, "RevertOriginalItem", QStringLiteral("Initial &backup..."));
    N13 = AddItem(file, "N13", QStringLiteral("&Dump..."));
    N13->setVisible(false);
    AddSeparator(file, "N5");
    N6 = AddItem(file, "N6", QStringLiteral("E&xit"));
    N6->setShortcut(QKeySequence(Qt::ALT | Qt::Key_X));

    QMenu *edit = AddSubmenu(nullptr, "EditItem", QStringLiteral("&Edit"));
    UndoItem = AddItem(edit, "UndoItem", QStringLiteral("&Undo last entry"));
    UndoItem->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Backspace));

    QMenu *view = AddSubmenu(nullptr, "N7", QStringLiteral("&View"));
    ToolbarItem = AddItem(view, "ToolbarItem", QStringLiteral("&Toolbar"));
    ToolbarItem->setCheckable(true);
    ViewOrigItem = AddItem(view, "ViewOrigItem", QStringLiteral("&Original"));
    ViewOrigItem->setCheckable(true);
    SideBySideItem = AddItem(view, "SideBySideItem", QStringLiteral("&Side by side"));
    SideBySideItem->setCheckable(true);
    BuildShowMenu(view);
    AddSeparator(view, "N3");
    N18 = AddItem(view, "N18", QStringLiteral("&Go to..."));
    N18->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    AddSeparator(view, "N17");
    N8 = AddItem(view, "N8", QStringLiteral("&Find..."));
    N8->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    N9 = AddItem(view, "N9", QStringLiteral("Find &next"));
    N9->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    AddSeparator(view, "UnfinishedSeparator");
    NextUnfinishedItem = AddItem(view, "NextUnfinishedItem", QStringLiteral("Next &unfinished"));
    NextUnfinishedItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
    PreviousUnfinishedItem = AddItem(view, "PreviousUnfinishedItem", QStringLiteral("&Previous unfinished"));
    PreviousUnfinishedItem->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_J));

    QMenu *options = AddSubmenu(nullptr, "N15", QStringLiteral("&Options"));
    N16 = AddItem(options, "N16", QStringLiteral("Language..."));
    N16->setVisible(false);
    N16->setEnabled(false);
    N14 = AddItem(options, "N14", QStringLiteral("&Font..."));
    BuildCodePageMenu(options);

    QMenu *help = AddSubmenu(nullptr, "N10", QStringLiteral("&Help"));
    N19 = AddItem(help, "N19", QStringLiteral("&Contents..."));
    Web1 = AddItem(help, "Web1", QStringLiteral("Tessavel &Web-site..."));
    AddSeparator(help, "N22");
    N23 = AddItem(help, "N23", QStringLiteral("&E-mail to support..."));
    AddSeparator(help, "N21");
    N11 = AddItem(help, "N11", QStringLiteral("&About..."));
    N11->setShortcut(QKeySequence(Qt::ALT | Qt::Key_I));
}

void TForm1::BuildShowMenu(QMenu *view)
{
    ShowItem = AddSubmenu(view, "ShowItem", QStringLiteral("S&how"));
    auto *group = new QActionGroup(this);
    const struct
    {
        QAction *TForm1::*Item;
        const char *Name;
        const char *Caption;
        TMessageFilter Filter;
    } items[] = {
        {&TForm1::ShowAllItem, "ShowAllItem", "&All messages", TMessageFilter::All},
        {&TForm1::ShowUntranslatedItem, "ShowUntranslatedItem", "&Untranslated", TMessageFilter::Untranslated},
        {&TForm1::ShowTranslatedItem, "ShowTranslatedItem", "&Translated", TMessageFilter::Translated},
        {&TForm1::ShowProblemsItem, "ShowProblemsItem", "&Placeholder problems", TMessageFilter::Problems},
        {&TForm1::ShowReviewItem, "ShowReviewItem", "Needs &review", TMessageFilter::NeedsReview},
    };
    for (const auto &item : items) {
        QAction *action = AddItem(ShowItem, item.Name, QString::fromLatin1(item.Caption));
        action->setCheckable(true);
        action->setActionGroup(group);
        action->setData(int(item.Filter));
        const TMessageFilter filter = item.Filter;
        connect(action, &QAction::triggered, this, [this, filter] { ShowMessages(filter); });
        this->*item.Item = action;
    }
    ShowAllItem->setChecked(true);
}

void TForm1::BuildCodePageMenu(QMenu *options)
{
    CodePageItem = AddSubmenu(options, "CodePageItem", QStringLiteral("&Code page"));
    m_codePageGroup = new QActionGroup(this);
    // The choices' captions come from the language table when the submenu
    // opens; their help is the submenu's.
    const auto addChoice = [this](const QString &name, const CodePageNames &pages) {
        QAction *item = AddItem(CodePageItem, qPrintable(name), name);
        SetHelpContext(item, ParentHelpTopic);
        item->setCheckable(true);
        item->setActionGroup(m_codePageGroup);
        item->setData(QStringList{pages.Ansi, pages.Oem});
        connect(item, &QAction::triggered, this, [this, pages] { ChooseCodePages(pages); });
    };
    addChoice(QStringLiteral("CodePageDesktopItem"), {});
    for (const TCodePageChoice &choice : CodePageChoices())
        addChoice(choice.TitleKey + QStringLiteral("Item"), choice.Pages);
    connect(CodePageItem, &QMenu::aboutToShow, this, &TForm1::CheckCodePageItem);
}

void TForm1::CheckCodePageItem()
{
    CodePageNames stored;
    TrySettings([&stored] { stored = StoredCodePageChoice(); });
    // The environment variables win over the menu: it only shows them.
    const bool fromEnvironment = CodePagesFromEnvironment();
    for (QAction *item : m_codePageGroup->actions()) {
        const QStringList pages = item->data().toStringList();
        const QString key = item->objectName().chopped(int(qstrlen("Item")));
        item->setText(pages.first().isEmpty()
                          ? GetMsg(key)
                          : Format(GetMsg(QStringLiteral("CodePageCaption")), {GetMsg(key), pages.at(0), pages.at(1)}));
        item->setChecked(pages.first() == stored.Ansi && pages.last() == stored.Oem);
        item->setEnabled(!fromEnvironment);
    }
}

void TForm1::ConnectCommands()
{
    TEditSession *session = m_session.get();
    // A menu item that stands for a toolbar button runs the button's click
    // handler, which runs even while the button is disabled; the commands
    // check their own state.
    auto openBtnClick = [session] { session->OpenCommand(); };
    auto saveBtnClick = [session] { session->SaveCommand(); };
    auto aboutBtnClick = [] { ShowAboutBox(); };
    auto undoItemClick = [session] { session->UndoLastEntry(); };
    connect(N2, &QAction::triggered, this, openBtnClick);
    connect(OpenBtn, &QToolButton::clicked, this, openBtnClick);
    connect(SaveItem, &QAction::triggered, this, saveBtnClick);
    connect(SaveBtn, &QToolButton::clicked, this, saveBtnClick);
    connect(N4, &QAction::triggered, this, [session] { session->SaveDocumentAs(); });
    connect(ExportItem, &QAction::triggered, this, [this] { ExportTranslationCommand(*m_session, *m_exportDialog); });
    connect(ImportItem, &QAction::triggered, this, [this] { ImportTranslationCommand(*m_session, *m_importDialog); });
    connect(UpdateItem, &QAction::triggered, this,
            [this] { UpdateFromServerCommand(*m_session, *m_newServerFileDialog, *m_updatedFileDialog); });
    connect(RevertItem, &QMenu::aboutToShow, this, &TForm1::RevertItemClick);
    connect(RevertSavedItem, &QAction::triggered, this, [session] { session->RevertToSaved(); });
    connect(RevertBAKItem, &QAction::triggered, this, [session] { session->RevertToBackup(); });
    connect(RevertOriginalItem, &QAction::triggered, this, [session] { session->RevertToOriginal(); });
    connect(N13, &QAction::triggered, this, &TForm1::DumpMessages);
    connect(N6, &QAction::triggered, this, &QWidget::close);
    connect(UndoItem, &QAction::triggered, this, undoItemClick);
    connect(UndoBtn, &QToolButton::clicked, this, undoItemClick);
    connect(ToolbarItem, &QAction::triggered, this, [this] { SetToolbarVisible(!m_toolPanel->isVisibleTo(this)); });
    connect(ViewOrigItem, &QAction::triggered, this, &TForm1::ViewOrigItemClick);
    connect(ViewOrigBtn, &QToolButton::clicked, this, &TForm1::ViewOrigBtnClick);
    connect(N18, &QAction::triggered, this, &TForm1::GoToMessage);
    connect(N8, &QAction::triggered, this, &TForm1::ShowFindDialog);
    connect(FindBtn, &QToolButton::clicked, this, &TForm1::ShowFindDialog);
    connect(N9, &QAction::triggered, this, &TForm1::FindNext);
    connect(FindNextBtn, &QToolButton::clicked, this, &TForm1::FindNext);
    connect(N14, &QAction::triggered, this, [] { ExecuteFontSetup(); });
    connect(N19, &QAction::triggered, this, [this] { m_contextHelp->ShowContents(); });
    connect(Web1, &QAction::triggered, this, &TForm1::Web1Click);
    connect(N23, &QAction::triggered, this, &TForm1::N23Click);
    connect(N11, &QAction::triggered, this, aboutBtnClick);
    connect(SideBySideItem, &QAction::triggered, this, [this](bool checked) { SetSideBySide(checked); });
    connect(NextUnfinishedItem, &QAction::triggered, this, [this] { GoToUnfinished(true); });
    connect(PreviousUnfinishedItem, &QAction::triggered, this, [this] { GoToUnfinished(false); });
    connect(AboutBtn, &QToolButton::clicked, this, aboutBtnClick);

    connect(m_grid, &TMessageGrid::EditRequested, this, &TForm1::EditCurrentMessage);
    connect(m_grid, &TMessageGrid::ViewingOriginalChanged, this, [this](bool viewing) {
        ViewOrigBtn->setChecked(viewing);
        ViewOrigItem->setChecked(viewing);
    });
}

// --- The session's view ---------------------------------------------------

void TForm1::RefreshGrid()
{
    UpdateCommands();
    m_grid->RefreshGrid();
}

void TForm1::RepaintMessage(int index)
{
    m_grid->RepaintMessage(index);
}

void TForm1::UpdateCommands()
{
    const bool open = m_session->IsOpen();
    for (QAction *item : {N4, N13, N18, N8, N9, ExportItem, ImportItem, UpdateItem})
        item->setEnabled(open);
    RevertItem->menuAction()->setEnabled(open);
    FindBtn->setEnabled(open);
    FindNextBtn->setEnabled(open);
    const bool canSave = open && m_session->Modified();
    SaveItem->setEnabled(canSave);
    SaveBtn->setEnabled(canSave);
    UndoItem->setEnabled(m_session->UndoAvailable());
    UndoBtn->setEnabled(m_session->UndoAvailable());
    NextUnfinishedItem->setEnabled(open);
    PreviousUnfinishedItem->setEnabled(open);
    UpdateTitle();
    UpdateStatusBar();
}

void TForm1::UpdateTitle()
{
    QString title = GetMsg(QStringLiteral("Application.Title"));
    if (m_session->IsOpen())
        title += QStringLiteral(" - ") + m_session->FileName();
    setWindowTitle(title);
    SetApplicationTitle(title);
}

// --- Commands -------------------------------------------------------------

void TForm1::EditCurrentMessage()
{
    m_session->EditMessage(m_grid->CurrentMessage());
}

void TForm1::ApplyFonts()
{
    m_grid->ApplyFonts(NormalFont, TitleFont, OriginFont, ChangedFont);
    if (m_textEdit)
        m_textEdit->SetEditFonts(NormalFont, OriginFont);
}

void TForm1::SetToolbarVisible(bool visible)
{
    m_toolPanel->setVisible(visible);
    ToolbarItem->setChecked(visible);
}

void TForm1::ViewOrigBtnClick()
{
    ViewOrigItem->setChecked(ViewOrigBtn->isChecked());
    m_grid->SetViewingOriginal(ViewOrigBtn->isChecked());
}

void TForm1::ViewOrigItemClick()
{
    // The item's own toggle has already inverted its check mark.
    ViewOrigBtn->setChecked(ViewOrigItem->isChecked());
    m_grid->SetViewingOriginal(ViewOrigItem->isChecked());
}

// The Revert submenu's items follow the disk at the moment it opens.
void TForm1::RevertItemClick()
{
    RevertSavedItem->setEnabled(m_session->CanRevertToSaved());
    RevertBAKItem->setEnabled(m_session->CanRevertToBackup());
    RevertOriginalItem->setEnabled(m_session->CanRevertToOriginal());
}

void TForm1::DumpMessages()
{
    if (!m_session->IsOpen() || !m_saveDialog1->Execute())
        return;
    m_session->Messages()->DumpToFile(m_saveDialog1->FileName());
}

void TForm1::Web1Click()
{
    const QString address = QLatin1String(WebSiteAddress);
    if (!RunProgram(address))
        ShowErrorFmt(GetMsg(QStringLiteral("FailedBrowserLaunch")), {address});
}

void TForm1::N23Click()
{
    const QString address = QStringLiteral("mailto:") + QLatin1String(SupportMailAddress);
    if (!RunProgram(address))
        ShowErrorFmt(GetMsg(QStringLiteral("FailedMailerLaunch")), {address});
}

// --- Find and go to -------------------------------------------------------

void TForm1::ShowFindDialog()
{
    FindDialog1->Show();
}

void TForm1::FindNext()
{
    if (FindDialog1->FindText().isEmpty()) {
        ShowFindDialog();
        return;
    }
    FindDialog1Find();
}

// One search downward in the current cell's column; the dialog stays open.
void TForm1::FindDialog1Find()
{
    const bool inOriginal = m_grid->CurrentColumn() == TMessageGrid::OriginalColumn;
    const int index = MessageSearch::FindNext(*m_session, m_grid->CurrentMessage(), inOriginal, FindDialog1->FindText(),
                                              &m_grid->Shown());
    if (index >= 0)
        m_grid->SetCurrentMessage(index);
}

void TForm1::GoToMessage()
{
    const int index = MessageSearch::GoToMessage(*m_session);
    if (index < 0 || m_grid->SetCurrentMessage(index))
        return;
    // A message the filter hides: every message shows again.
    ShowMessages(TMessageFilter::All);
    m_grid->SetCurrentMessage(index);
}

// --- The translator's view --------------------------------------------------

void TForm1::ShowMessages(TMessageFilter filter)
{
    m_grid->SetFilter(filter);
    for (QAction *item : {ShowAllItem, ShowUntranslatedItem, ShowTranslatedItem, ShowProblemsItem, ShowReviewItem}) {
        if (item->data().toInt() == int(filter))
            item->setChecked(true);
    }
    UpdateStatusBar();
}

void TForm1::SetSideBySide(bool sideBySide)
{
    SideBySideItem->setChecked(sideBySide);
    m_grid->SetSideBySide(sideBySide);
}

void TForm1::GoToUnfinished(bool forward)
{
    if (!m_session->IsOpen())
        return;
    const int current = m_grid->CurrentMessage();
    // Moving on is when a message that stopped matching the filter goes.
    if (!m_grid->Shown().ShowsAll())
        ShowMessages(m_grid->Filter());
    const int target = m_grid->Shown().NextUnfinished(m_session->Status(), current, forward);
    if (target < 0) {
        ShowInfo(GetMsg(forward ? QStringLiteral("NoNextUnfinished") : QStringLiteral("NoPreviousUnfinished")));
        return;
    }
    m_grid->SetCurrentMessage(target);
}

void TForm1::ChooseCodePages(const CodePageNames &choice)
{
    TrySettings([&choice] { StoreCodePageChoice(choice); });
    ApplyCodePageChoice(choice);
    // The bytes stay; only what they show changes.
    m_grid->viewport()->update();
    UpdateStatusBar();
}

void TForm1::UpdateStatusBar()
{
    if (!m_statusCounts)
        return;
    if (!m_session->IsOpen()) {
        m_statusCounts->clear();
        m_statusCodePages->clear();
        return;
    }
    m_statusCounts->setText(StatusCountsText(m_session->Status(), m_grid->Shown()));
    const CodePageNames pages = CurrentCodePages();
    m_statusCodePages->setText(Format(GetMsg(QStringLiteral("StatusCodePages")), {pages.Ansi, pages.Oem}));
}
