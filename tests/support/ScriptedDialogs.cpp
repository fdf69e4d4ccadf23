#include "support/ScriptedDialogs.h"

ScriptedDialogs::ScriptedDialogs()
    : m_previous(SetDialogPresenter(this))
{
}

ScriptedDialogs::~ScriptedDialogs()
{
    SetDialogPresenter(m_previous);
}

bool ScriptedDialogs::EditText(QByteArray &text, const QByteArray &original, bool &oem,
                               const std::optional<QByteArray> &previousOriginal)
{
    EditTextCalls.append({text, original, oem, previousOriginal});
    return OnEditText ? OnEditText(text, original, oem) : false;
}

bool ScriptedDialogs::SelectMessageFile(QString &fileName)
{
    ++SelectMessageFileCalls;
    return OnSelectMessageFile ? OnSelectMessageFile(fileName) : false;
}

bool ScriptedDialogs::ExecuteFontSetup()
{
    ++FontSetupCalls;
    return OnExecuteFontSetup ? OnExecuteFontSetup() : false;
}

bool ScriptedDialogs::EnterString(const QString &caption, const QString &prompt, QString &text,
                                  const QString &helpKey, bool allowEmpty)
{
    EnterStringCalls.append({caption, prompt, text, helpKey, allowEmpty});
    return OnEnterString ? OnEnterString(text) : false;
}

void ScriptedDialogs::ShowAboutBox()
{
    ++AboutBoxCalls;
}
