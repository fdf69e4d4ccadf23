#pragma once
// The program's own dialogs behind the dialog entry points. The text edit
// dialog, the font setup dialog and the about box are created once at
// start-up and reused, so this presenter only refers to them; the message
// file selection dialog and the input prompt are created for each question.

#include "dialogs/DialogEntryPoints.h"

class TAboutBox;
class TForm2;
class TForm4;

class TQtDialogs : public TDialogPresenter
{
public:
    TQtDialogs(TForm2 &textEdit, TForm4 &fontSetup, TAboutBox &aboutBox);

    bool EditText(QByteArray &text, const QByteArray &original, bool &oem,
                  const std::optional<QByteArray> &previousOriginal) override;
    bool SelectMessageFile(QString &fileName) override;
    bool ExecuteFontSetup() override;
    bool EnterString(const QString &caption, const QString &prompt, QString &text, const QString &helpKey,
                     bool allowEmpty) override;
    void ShowAboutBox() override;

private:
    TForm2 &m_textEdit;
    TForm4 &m_fontSetup;
    TAboutBox &m_aboutBox;
};
