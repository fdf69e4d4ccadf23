#include "dialogs/fmAbout.h"

#include "dialogs/SWUtils.h"
#include "dialogs/VerUtils.h"
#include "help/HelpUtils.h"
#include "settings/FormPlacement.h"
#include "uitext/DlgUtils.h"
#include "uitext/Format.h"
#include "uitext/MsgRes.h"
#include "uitext/SupportAddresses.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Design sizes, in pixels.
constexpr QSize kDesignClientSize(265, 166);
constexpr int kDesignFontPixelSize = 13;
constexpr int kFormMargin = 8;
constexpr QSize kIconSize(32, 32);
constexpr int kIconSpacing = 6;      // between the icon and the title lines
constexpr int kTitleLineSpacing = 2; // between the product name, version and comments
// Copyright's right edge one pixel before the link.
constexpr int kLinkSpacing = 1;
constexpr QSize kButtonSize(75, 25);
constexpr int kPanelHeight = 40;
constexpr int kPanelMargin = 1; // inside the panel's raised frame

// The hidden panel's text, stored scrambled under the key kLabel2XValue (only
// its low byte counts).
constexpr char16_t kLabel2Value[] =
    u"\x77\x5b\x5e\x5f\x1a\x4d\x53\x4e\x52\x1a\x4a\x5b\x4e\x53\x5f\x54\x59\x5f\x1a\x53\x54\x1a\x6e\x5f\x49\x49\x5b\x4c\x5f\x56";
constexpr int kLabel2XValue = 0x13A;

// Where the Alt+V, Alt+F sequence stands: 0 nothing yet, 1 after Alt+V. It
// is kept for the whole run, across showings.
int g_secretKeys = 0;

bool IsModifierKey(int key)
{
    return key == Qt::Key_Alt || key == Qt::Key_AltGr || key == Qt::Key_Shift || key == Qt::Key_Control
           || key == Qt::Key_Meta;
}

void MakeBold(QWidget *widget)
{
    QFont boldFont = widget->font();
    boldFont.setBold(true);
    widget->setFont(boldFont);
}

} // namespace

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About..."));
    QFont designFont(QStringLiteral("Arial"));
    designFont.setPixelSize(kDesignFontPixelSize);
    setFont(designFont);

    ProgramIcon = new QLabel(this);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setFixedSize(kIconSize);
    ProductName = new QLabel(QStringLiteral("Lexivane"), this);
    ProductName->setObjectName(QStringLiteral("ProductName"));
    MakeBold(ProductName);
    Label1 = new QLabel(QStringLiteral("v. 1.01"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    MakeBold(Label1);
    Comments = new QLabel(this);
    Comments->setObjectName(QStringLiteral("Comments"));
    Comments->hide();
    Copyright = new QLabel(QStringLiteral("\u00A9 2026"), this);
    Copyright->setObjectName(QStringLiteral("Copyright"));
    URLLabel1 = new TURLLabel(this);
    URLLabel1->setObjectName(QStringLiteral("URLLabel1"));
    URLLabel1->setText(QStringLiteral("Tessavel"));
    URLLabel1->setToolTip(QStringLiteral("Opens Tessavel Web-site..."));
    MakeBold(URLLabel1);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setMinimumSize(kButtonSize);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setMinimumHeight(kPanelHeight);
    Label2 = new TXLabel(Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->Load(QString::fromUtf16(kLabel2Value), kLabel2XValue);
    auto *panelLayout = new QVBoxLayout(Panel1);
    panelLayout->setContentsMargins(kPanelMargin, kPanelMargin, kPanelMargin, kPanelMargin);
    panelLayout->addWidget(Label2);

    // The link's menu hangs on the link itself, so that help for its items
    // is asked by the menu's help context number.
    URLMenu = new QMenu(URLLabel1);
    URLMenu->setObjectName(QStringLiteral("URLMenu"));
    SetHelpContext(URLMenu, OwnHelpTopic);
    N1 = URLMenu->addAction(QStringLiteral("Open..."));
    N1->setObjectName(QStringLiteral("N1"));
    N2 = URLMenu->addAction(QStringLiteral("Copy URL"));
    N2->setObjectName(QStringLiteral("N2"));
    URLMenu->setDefaultAction(N1);
    URLLabel1->setContextMenuPolicy(Qt::CustomContextMenu);

    ContextHelp1 = new TContextHelp(this);
    SetHelpContext(this, OwnHelpTopic);

    auto *titleColumn = new QVBoxLayout;
    titleColumn->setSpacing(kTitleLineSpacing);
    titleColumn->addWidget(ProductName);
    titleColumn->addWidget(Label1);
    titleColumn->addWidget(Comments);
    auto *titleRow = new QHBoxLayout;
    titleRow->setSpacing(kIconSpacing);
    titleRow->addWidget(ProgramIcon, 0, Qt::AlignTop);
    titleRow->addLayout(titleColumn);
    titleRow->addStretch();
    auto *linkRow = new QHBoxLayout;
    linkRow->setSpacing(kLinkSpacing);
    linkRow->addStretch();
    linkRow->addWidget(Copyright);
    linkRow->addWidget(URLLabel1);
    linkRow->addStretch();
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(OKButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(kFormMargin, kFormMargin, kFormMargin, kFormMargin);
    layout->addLayout(titleRow);
    layout->addWidget(Panel1);
    layout->addStretch();
    layout->addLayout(linkRow);
    layout->addLayout(buttonRow);

    // A fixed dialog border, large enough for the panel when it is shown.
    setFixedSize(kDesignClientSize.expandedTo(sizeHint()));
    Panel1->hide();

    URLLabel1->OnOpenFailed = [this](TURLLabel *) { URLLabel1OpenFailed(); };
    connect(URLLabel1, &QWidget::customContextMenuRequested, this, &TAboutBox::URLLabel1ContextMenu);
    connect(N1, &QAction::triggered, this, &TAboutBox::N1Click);
    connect(N2, &QAction::triggered, this, &TAboutBox::N2Click);
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::accept);

    QApplication::instance()->installEventFilter(this);
}

void TAboutBox::ShowAboutBox()
{
    exec();
}

bool TAboutBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != this)
        return false;
    return WatchKey(static_cast<QKeyEvent *>(event));
}

bool TAboutBox::WatchKey(const QKeyEvent *event)
{
    // The Alt key itself is no key of the sequence: holding it down between
    // Alt+V and Alt+F must not break it.
    if (!event->modifiers().testFlag(Qt::AltModifier) || IsModifierKey(event->key()))
        return false;
    if (g_secretKeys == 0) {
        if (event->key() == Qt::Key_V)
            g_secretKeys = 1;
    } else if (event->key() == Qt::Key_F) {
        Panel1->show();
        g_secretKeys = 0;
    } else {
        g_secretKeys = 0;
    }
    // Taken, so that the key, passed on to the parents of the control that
    // got it, is not counted again there.
    return true;
}

void TAboutBox::keyPressEvent(QKeyEvent *event)
{
    // OK is also the cancel button: Escape presses it.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        OKButton->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    CenterForm(*this);
    FormShow();
}

void TAboutBox::FormShow()
{
    const QIcon icon = QApplication::windowIcon().isNull() ? style()->standardIcon(QStyle::SP_ComputerIcon)
                                                           : QApplication::windowIcon();
    ProgramIcon->setPixmap(icon.pixmap(kIconSize));
    URLLabel1->SetURL(QLatin1String(WebSiteAddress));
    Comments->setText(Format(QStringLiteral("(%s %s)"),
                             {VerInfo().GetValue(QStringLiteral("Comments")),
                              VerInfo().GetValue(QStringLiteral("FileVersion"))}));
    Panel1->hide();
}

void TAboutBox::URLLabel1OpenFailed()
{
    ShowErrorFmt(GetMsg(QStringLiteral("FailedBrowserLaunch")), {URLLabel1->URL()});
}

void TAboutBox::N1Click()
{
    URLLabel1->OpenURL();
}

void TAboutBox::N2Click()
{
    URLLabel1->CopyURL();
}

void TAboutBox::URLLabel1ContextMenu(const QPoint &position)
{
    URLMenu->popup(URLLabel1->mapToGlobal(position));
}
