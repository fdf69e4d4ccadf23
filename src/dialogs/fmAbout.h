#pragma once
// The about box: the product's name and version and a link to the maker's
// web site. Created once at start-up and shown modally by ShowAboutBox as
// often as asked; every showing fills it anew.
//
// Arrangement: the icon beside the name and version; below them the hidden
// panel; then one row, centred, in which Copyright ends one pixel before
// the link (the layout keeps them together at any font size); the OK button
// at the bottom right.

#include <QDialog>

class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QPushButton;
class TContextHelp;
class TURLLabel;
class TXLabel;

class TAboutBox : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutBox(QWidget *parent = nullptr);

    // Shows the box modally until OK, Escape or the close box.
    void ShowAboutBox();

    QLabel *ProgramIcon;
    QLabel *ProductName;
    QLabel *Label1;
    QLabel *Comments;
    QLabel *Copyright;
    TURLLabel *URLLabel1;
    QPushButton *OKButton;
    QFrame *Panel1;
    TXLabel *Label2;
    QMenu *URLMenu;
    QAction *N1;
    QAction *N2;
    TContextHelp *ContextHelp1;

protected:
    // The box sees key presses before its controls: Alt+V followed by Alt+F
    // shows the hidden panel.
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private slots:
    void FormShow();
    void URLLabel1OpenFailed();
    void N1Click();
    void N2Click();
    void URLLabel1ContextMenu(const QPoint &position);

private:
    // Advances the Alt+V, Alt+F sequence; whether the key was taken.
    bool WatchKey(const QKeyEvent *event);
};
