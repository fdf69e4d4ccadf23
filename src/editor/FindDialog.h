#pragma once
// TFindDialog ("FindDialog1"): the main window's modeless find dialog. It
// holds the find text, which it keeps between showings, and tells its owner
// when the user asks to find; the search itself is the owner's. It searches
// downward only, so it has no match-case, whole-word or direction options.
// Like the platform's own find dialog its captions are built-in English and
// its help goes by the help context number (1), not by a topic name.

#include <QDialog>
#include <QString>

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;

class TFindDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TFindDialog(QWidget *parent = nullptr);

    // Shows the dialog, or brings it forward when it is already shown; the
    // find text is selected for typing over.
    void Show();

    QString FindText() const;

    QLabel *FindWhatLabel;
    QLineEdit *FindWhatEdit;
    // Enabled only while the find text is not empty; the default button.
    QPushButton *FindNextButton;
    // Hides the dialog, as Escape and the close box do.
    QPushButton *CancelButton;
    QPushButton *HelpButton;

signals:
    // The user asked to find the find text: the Find Next button, or Enter.
    void FindRequested();

protected:
    // F1 asks for the dialog's help context.
    void keyPressEvent(QKeyEvent *event) override;

private slots:
    void FindWhatEditChange();
    void FindNextButtonClick();
    void HelpButtonClick();
};
