#include "help/HelpViewer.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QScreen>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>

// The viewer's own words: like the toolkit's button captions, they belong to
// the help program, not to the language table.
namespace {

const char kDefaultTitle[] = "Help";
const char kContents[] = "&Contents";
const char kBack[] = "&Back";
const char kForward[] = "&Forward";
const char kCannotOpen[] = "The help file %1 cannot be opened: %2";
const char kNoTopic[] = "The help file %1 has no topic \"%2\".";

// The viewer's first size, and the gap between it and the window that asked.
constexpr QSize kViewerSize(640, 520);
constexpr int kGapBeside = 8;

QToolButton *NewButton(const char *text, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(QString::fromLatin1(text));
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    return button;
}

} // namespace

THelpViewer::THelpViewer(const QString &helpFileName, QWidget *parent)
    : QWidget(parent, Qt::Window),
      m_helpFileName(helpFileName),
      m_browser(new QTextBrowser(this)),
      m_contentsButton(NewButton(kContents, this)),
      m_backButton(NewButton(kBack, this)),
      m_forwardButton(NewButton(kForward, this))
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QString::fromLatin1(kDefaultTitle));
    resize(kViewerSize);

    m_browser->setOpenLinks(false);
    m_backButton->setShortcut(QKeySequence::Back);
    m_forwardButton->setShortcut(QKeySequence::Forward);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_contentsButton);
    buttons->addWidget(m_backButton);
    buttons->addWidget(m_forwardButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(m_browser);

    connect(m_contentsButton, &QToolButton::clicked, this, &THelpViewer::ShowContents);
    connect(m_backButton, &QToolButton::clicked, this, &THelpViewer::GoBack);
    connect(m_forwardButton, &QToolButton::clicked, this, &THelpViewer::GoForward);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &THelpViewer::FollowLink);
    UpdateButtons();
}

void THelpViewer::ShowContents()
{
    Open(THelpDocument::ContentsAnchor());
}

void THelpViewer::ShowTopic(const QString &jumpName)
{
    Open(jumpName);
}

void THelpViewer::ShowPopup(const QString &jumpName, const QPoint &position)
{
    move(position);
    Open(jumpName, false);
}

void THelpViewer::ShowContext(int context)
{
    Open(THelpDocument::ContextAnchor(context));
}

QString THelpViewer::CurrentTopic() const
{
    if (m_showingError || m_current < 0)
        return {};
    return m_history.at(m_current);
}

QString THelpViewer::PageText() const
{
    return m_browser->toPlainText();
}

void THelpViewer::GoBack()
{
    if (!CanGoBack())
        return;
    --m_current;
    ShowPage(m_history.at(m_current));
}

void THelpViewer::GoForward()
{
    if (!CanGoForward())
        return;
    ++m_current;
    ShowPage(m_history.at(m_current));
}

void THelpViewer::Open(const QString &anchor, bool placeBeside)
{
    Present(placeBeside);
    if (!m_document.Load(m_helpFileName)) {
        ShowError(QString::fromLatin1(kCannotOpen).arg(m_helpFileName, m_document.ErrorString()));
        return;
    }
    if (!m_document.HasTopic(anchor)) {
        ShowError(QString::fromLatin1(kNoTopic).arg(m_helpFileName, anchor));
        return;
    }
    if (CurrentTopic() == anchor) {
        ShowPage(anchor); // the file may have changed
        return;
    }
    m_history.erase(m_history.begin() + (m_current + 1), m_history.end());
    m_history.append(anchor);
    m_current = int(m_history.size()) - 1;
    ShowPage(anchor);
}

void THelpViewer::ShowPage(const QString &anchor)
{
    m_showingError = false;
    if (!m_document.Title().isEmpty())
        setWindowTitle(m_document.Title());
    m_browser->setHtml(m_document.TopicPage(anchor));
    UpdateButtons();
}

void THelpViewer::ShowError(const QString &text)
{
    m_showingError = true;
    m_browser->setPlainText(text);
    UpdateButtons();
}

void THelpViewer::FollowLink(const QUrl &url)
{
    const bool inDocument = url.scheme().isEmpty() && url.path().isEmpty() && url.hasFragment();
    if (inDocument) {
        Open(url.fragment());
        return;
    }
    QDesktopServices::openUrl(url);
}

void THelpViewer::UpdateButtons()
{
    m_backButton->setEnabled(CanGoBack());
    m_forwardButton->setEnabled(CanGoForward());
}

void THelpViewer::Present(bool placeBeside)
{
    // The window that asked: a modal dialog while one runs, else the active
    // window; the viewer itself when a link in it was followed.
    QWidget *asking = QApplication::activeModalWidget();
    if (!asking)
        asking = QApplication::activeWindow();
    if (asking == this)
        asking = nullptr;
    if (placeBeside && !isVisible() && asking)
        PlaceBeside(*asking);
    // A modal dialog blocks every window but its own; as a transient of the
    // dialog the viewer is one of them. Elsewhere it belongs to no window.
    winId(); // the window handle exists from here on
    QWidget *modal = QApplication::activeModalWidget();
    windowHandle()->setTransientParent(modal && modal != this ? modal->windowHandle() : nullptr);
    show();
    raise();
    activateWindow();
}

void THelpViewer::PlaceBeside(const QWidget &asking)
{
    const QRect frame = asking.frameGeometry();
    const QScreen *screen = asking.screen();
    const QRect room = screen ? screen->availableGeometry() : frame;
    const QSize size = frameGeometry().size().boundedTo(room.size());
    QPoint at(frame.right() + 1 + kGapBeside, frame.top());
    if (at.x() + size.width() - 1 > room.right()) {
        const int left = frame.left() - kGapBeside - size.width();
        at.setX(left >= room.left() ? left : room.right() + 1 - size.width());
    }
    at.setY(qBound(room.top(), at.y(), room.bottom() + 1 - size.height()));
    move(at);
}

void THelpViewer::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        close();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
