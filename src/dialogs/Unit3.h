#pragma once
// The message file selection dialog: the user chooses the message file of
// the installed 32-bit server, that of the 16-bit server (each offered only
// when it was found), or any other file. A new dialog serves each use
// (SelectMessageFile) and confirms only a file that exists at that moment.

#include <QDialog>
#include <QString>

class QPushButton;
class QRadioButton;
class TContextHelp;
class TFileNameEdit;
class TOpenDialog;

class TForm3 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm3(QWidget *parent = nullptr);
    ~TForm3() override;

    // Creates the dialog, looks up the server files, applies the language
    // table and shows it modally. On OK: true, with FileName the chosen
    // file; otherwise false with FileName untouched.
    static bool SelectMessageFile(QString &fileName);

    // Looks the two server files up anew (FindMsgFile32, FindMsgFile16) and
    // offers each server choice only when its file was found.
    void FindServerFiles();

    // The checked server's file, or with "Other" the file CustomEdit names.
    [[nodiscard]] QString GetSelectedFile() const;

    // CustomEdit enabled or not, its background the palette's base colour
    // when enabled and the button colour when not.
    void EnableCustomEdit(bool on);

public Q_SLOTS:
    // Closing with OK: refused, with an error box, while the selected name
    // is not blank and no file of that name exists.
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;
    // A double click on an enabled choice is OK.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void FormShow();
    void ServerCheckClick();
    void CustomCheckClick();
    void Button1Click();
    void Button3Click();
    bool IsChoice(const QObject *object) const;

    QRadioButton *IB32Check = nullptr;
    QRadioButton *IB16Check = nullptr;
    QRadioButton *CustomCheck = nullptr;
    TFileNameEdit *CustomEdit = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QPushButton *Button3 = nullptr;
    TContextHelp *ContextHelp1 = nullptr;
    TOpenDialog *OpenDialog1 = nullptr;

    QString m_ib32Path;
    QString m_ib16Path;
};
