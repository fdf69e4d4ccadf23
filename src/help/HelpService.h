#pragma once
// The help viewer as the program sees it: every request for help goes
// through the one service plugged in here. The program plugs in the viewer
// window (THelpViewer); tests plug in a recorder. With none plugged in,
// help requests do nothing.

#include <QPoint>
#include <QString>

class THelpService
{
public:
    virtual ~THelpService() = default;

    // The help file's contents.
    virtual void ShowContents() = 0;
    // The topic of a jump name ("Form1.N2") in the viewer's main window.
    virtual void ShowTopic(const QString &jumpName) = 0;
    // The topic of a jump name as a pop-up at a screen position, for
    // windows that show a context-help button in their caption.
    virtual void ShowPopup(const QString &jumpName, const QPoint &position) = 0;
    // The topic of a help context number (the toolkit's dialogs and menus
    // ask for these; the program's own windows ask by jump name).
    virtual void ShowContext(int context) = 0;
};

// The service plugged in, or nullptr. Not owned.
THelpService *HelpService();
// Plugs in a service (nullptr: none); returns the one plugged in before.
THelpService *SetHelpService(THelpService *service);
