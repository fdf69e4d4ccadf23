#pragma once
// The help viewer: our stand-in for the system's help program. A window of
// its own that shows one topic of the help file at a time (HelpDocument.h
// describes the file), with Contents, Back and Forward. It reads the file
// afresh for every request, so a help file installed while the program runs
// is found. A missing file or an unknown jump name is reported in the
// viewer's own page; the program shows nothing.
//
// Help context numbers open the topic with the anchor "context-N":
// OwnHelpTopic (1), which the main window's find and save-as dialogs and the
// about box's link menu ask for, opens the topic that describes those three.
// A pop-up request opens the topic in this window, placed at the position.
//
// The viewer is a window of its own beside the program: opened while a
// modal dialog runs, it stands on that dialog's side of the modality, so
// that it takes clicks, keys and scrolling and can be closed while the
// dialog stays open. A viewer that was hidden opens beside the window that
// asked for it, on that window's screen. Escape closes it.

#include "help/HelpDocument.h"
#include "help/HelpService.h"

#include <QStringList>
#include <QWidget>

class QTextBrowser;
class QToolButton;
class QUrl;

class THelpViewer : public QWidget, public THelpService
{
    Q_OBJECT

public:
    explicit THelpViewer(const QString &helpFileName, QWidget *parent = nullptr);

    void ShowContents() override;
    void ShowTopic(const QString &jumpName) override;
    void ShowPopup(const QString &jumpName, const QPoint &position) override;
    void ShowContext(int context) override;

    // The anchor of the topic shown; empty while an error page shows.
    QString CurrentTopic() const;
    // The text of the page shown, as the reader sees it.
    QString PageText() const;
    bool CanGoBack() const { return m_current > 0; }
    bool CanGoForward() const { return m_current + 1 < m_history.size(); }
    void GoBack();
    void GoForward();

private:
    // Shows the topic Anchor; a hidden viewer is put beside the window that
    // asked unless PlaceBeside is false (a pop-up has its own position).
    void Open(const QString &anchor, bool placeBeside = true);
    void ShowPage(const QString &anchor);
    void ShowError(const QString &text);
    void FollowLink(const QUrl &url);
    void UpdateButtons();
    void Present(bool placeBeside);
    // Puts the viewer beside Asking, within Asking's screen: to its right
    // where there is room, else to its left, else over its right edge.
    void PlaceBeside(const QWidget &asking);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:

    QString m_helpFileName;
    THelpDocument m_document;
    QTextBrowser *m_browser;
    QToolButton *m_contentsButton;
    QToolButton *m_backButton;
    QToolButton *m_forwardButton;
    QStringList m_history; // anchors of the topics shown, oldest first
    int m_current = -1;
    bool m_showingError = false;
};
