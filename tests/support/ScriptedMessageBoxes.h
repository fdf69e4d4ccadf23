#pragma once
// A message box presenter for tests: it plugs itself in while it exists,
// records every box asked for and answers each from a queue of prepared
// answers; once the queue is empty, from the default answer when one is set,
// else as a user pressing Enter would (the box's default button, or, in a
// box without one, its close box: Cancel).

#include "uitext/DlgUtils.h"

#include <QList>
#include <QQueue>
#include <optional>

class ScriptedMessageBoxes : public TMessageBoxPresenter
{
public:
    ScriptedMessageBoxes();
    ~ScriptedMessageBoxes() override;
    ScriptedMessageBoxes(const ScriptedMessageBoxes &) = delete;
    ScriptedMessageBoxes &operator=(const ScriptedMessageBoxes &) = delete;

    TModalResult Show(const TMessageBoxRequest &request) override;

    // Prepares the answer to the next box not yet answered.
    void Answer(TModalResult result);
    void Answer(std::initializer_list<TModalResult> results);
    // The answer once the prepared ones are used up; nullopt: as Enter would.
    void SetDefaultAnswer(std::optional<TModalResult> result);

    // Every box shown so far, oldest first.
    const QList<TMessageBoxRequest> &Requests() const { return m_requests; }
    qsizetype Count() const { return m_requests.size(); }
    // The most recent box; raises when none was shown.
    const TMessageBoxRequest &Last() const;
    // The prepared answers not yet given.
    qsizetype PendingAnswers() const { return m_answers.size(); }
    // Forgets the boxes shown and the answers prepared.
    void Clear();

private:
    TMessageBoxPresenter *m_previous = nullptr;
    QList<TMessageBoxRequest> m_requests;
    QQueue<TModalResult> m_answers;
    std::optional<TModalResult> m_defaultAnswer;
};
