#include "support/ScriptedFileDialogs.h"

ScriptedFileDialogs::ScriptedFileDialogs()
    : m_previous(SetFileDialogPresenter(this))
{
}

ScriptedFileDialogs::~ScriptedFileDialogs()
{
    SetFileDialogPresenter(m_previous);
}

std::optional<QString> ScriptedFileDialogs::Open(const TFileDialogRequest &request)
{
    OpenRequests.append(request);
    return NextAnswer();
}

std::optional<QString> ScriptedFileDialogs::Save(const TFileDialogRequest &request)
{
    SaveRequests.append(request);
    return NextAnswer();
}

std::optional<QString> ScriptedFileDialogs::NextAnswer()
{
    if (m_answers.isEmpty())
        return std::nullopt;
    return m_answers.dequeue();
}
