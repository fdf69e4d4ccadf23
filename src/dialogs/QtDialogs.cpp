#include "dialogs/QtDialogs.h"

#include "dialogs/Unit2.h"
#include "dialogs/Unit3.h"
#include "dialogs/Unit4.h"
#include "dialogs/Unit6.h"
#include "dialogs/fmAbout.h"

TQtDialogs::TQtDialogs(TForm2 &textEdit, TForm4 &fontSetup, TAboutBox &aboutBox)
    : m_textEdit(textEdit), m_fontSetup(fontSetup), m_aboutBox(aboutBox)
{
}

bool TQtDialogs::EditText(QByteArray &text, const QByteArray &original, bool &oem,
                          const std::optional<QByteArray> &previousOriginal)
{
    return m_textEdit.EditText(text, original, oem, previousOriginal);
}

bool TQtDialogs::SelectMessageFile(QString &fileName)
{
    return TForm3::SelectMessageFile(fileName);
}

bool TQtDialogs::ExecuteFontSetup()
{
    return m_fontSetup.ExecuteFontSetup();
}

bool TQtDialogs::EnterString(const QString &caption, const QString &prompt, QString &text, const QString &helpKey,
                             bool allowEmpty)
{
    return TStringEnterForm::EnterString(caption, prompt, text, helpKey, allowEmpty);
}

void TQtDialogs::ShowAboutBox()
{
    m_aboutBox.ShowAboutBox();
}
