#pragma once
// The input prompt: asks the user for one line of text. Created for each
// question by EnterString and destroyed afterwards; the go-to command uses it
// for the message code to go to.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class TContextHelp;

class TStringEnterForm : public QDialog
{
    Q_OBJECT

public:
    explicit TStringEnterForm(QWidget *parent = nullptr);

    // Asks with Caption and Prompt, Text as the initial answer; HelpKey is
    // the help topic of the Help button and F1; AllowEmpty lets OK accept a
    // blank answer. True when the user confirmed: Text is then the answer as
    // typed (not trimmed); otherwise Text is unchanged.
    static bool EnterString(const QString &caption, const QString &prompt, QString &text, const QString &helpKey,
                            bool allowEmpty);

    // Fills the dialog as EnterString does before showing it: caption,
    // prompt, help topic, AllowEmpty and the initial text, and the OK
    // button's state for that text.
    void Prepare(const QString &caption, const QString &prompt, const QString &text, const QString &helpKey,
                 bool allowEmpty);

    // Whether OK may be pressed with a blank answer.
    bool AllowEmpty = false;

    QLabel *Label1;
    QLineEdit *Edit1;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;
    QPushButton *HelpBtn;
    TContextHelp *ContextHelp1;

    // Whether Text counts as blank: nothing left once blanks and control
    // characters are removed from both ends.
    [[nodiscard]] static bool IsBlank(const QString &text);

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    // Enables OK for a non-blank answer, or any answer with AllowEmpty.
    void Edit1Change();
    void HelpBtnClick();
};
