#include "help/HelpViewer.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

// The viewer's own words: like the toolkit's button captions, they belong to
// the help program, not to the language table.
namespace {

const char kDefaultTitle[] = "Help";
const char kContents[] = "&Contents";
const char kBack[] = "&Back";
const char kForward[] = "&Forward";
const char kCannotOpen[] = "The help file %1 cannot be opened: %2";
const char kNoTopic[] = "The help file %1 has no topic \"%2\".";

// The window's size when it first opens, in pixels.
constexpr QSize kInitialSize(640, 520);

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
    resize(kInitialSize);

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
    Open(jumpName);
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

void THelpViewer::Open(const QString &anchor)
{
    Present();
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

void THelpViewer::Present()
{
    show();
    raise();
    activateWindow();
}
