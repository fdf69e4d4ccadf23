#pragma once
// Dialogs answered by a script, for tests of code that asks the user: plugs
// itself in while it exists, records every question and answers through
// handlers the test sets. Without a handler every dialog is cancelled.

#include "dialogs/DialogEntryPoints.h"

#include <QList>
#include <QStringList>
#include <functional>

class ScriptedDialogs : public TDialogPresenter
{
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs &) = delete;
    ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;

    struct EditTextCall
    {
        QByteArray Text;
        QByteArray Original;
        bool Oem;
        std::optional<QByteArray> PreviousOriginal;
    };
    struct EnterStringCall
    {
        QString Caption;
        QString Prompt;
        QString Text;
        QString HelpKey;
        bool AllowEmpty;
    };

    // Handlers: change the in/out arguments and return whether the user
    // confirmed.
    std::function<bool(QByteArray &text, const QByteArray &original, bool &oem)> OnEditText;
    std::function<bool(QString &fileName)> OnSelectMessageFile;
    std::function<bool()> OnExecuteFontSetup;
    std::function<bool(QString &text)> OnEnterString;

    QList<EditTextCall> EditTextCalls;
    int SelectMessageFileCalls = 0;
    int FontSetupCalls = 0;
    QList<EnterStringCall> EnterStringCalls;
    int AboutBoxCalls = 0;

    bool EditText(QByteArray &text, const QByteArray &original, bool &oem,
                  const std::optional<QByteArray> &previousOriginal) override;
    bool SelectMessageFile(QString &fileName) override;
    bool ExecuteFontSetup() override;
    bool EnterString(const QString &caption, const QString &prompt, QString &text, const QString &helpKey,
                     bool allowEmpty) override;
    void ShowAboutBox() override;

private:
    TDialogPresenter *m_previous;
};
