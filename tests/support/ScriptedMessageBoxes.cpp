#include "support/ScriptedMessageBoxes.h"

ScriptedMessageBoxes::ScriptedMessageBoxes()
    : m_previous(SetMessageBoxPresenter(this))
{
}

ScriptedMessageBoxes::~ScriptedMessageBoxes()
{
    SetMessageBoxPresenter(m_previous);
}

TModalResult ScriptedMessageBoxes::Show(const TMessageBoxRequest &request)
{
    m_requests.append(request);
    if (!m_answers.isEmpty())
        return m_answers.dequeue();
    if (m_defaultAnswer)
        return *m_defaultAnswer;
    if (request.DefaultButton)
        return ButtonResult(*request.DefaultButton);
    return TModalResult::mrCancel;
}

void ScriptedMessageBoxes::Answer(TModalResult result)
{
    m_answers.enqueue(result);
}

void ScriptedMessageBoxes::Answer(std::initializer_list<TModalResult> results)
{
    for (TModalResult result : results)
        m_answers.enqueue(result);
}

void ScriptedMessageBoxes::SetDefaultAnswer(std::optional<TModalResult> result)
{
    m_defaultAnswer = result;
}

const TMessageBoxRequest &ScriptedMessageBoxes::Last() const
{
    if (m_requests.isEmpty())
        throw Exception(QStringLiteral("No message box has been shown"));
    return m_requests.constLast();
}

void ScriptedMessageBoxes::Clear()
{
    m_requests.clear();
    m_answers.clear();
}
