#pragma once
// A file dialog presenter for tests: it plugs itself in while it exists,
// records every request and answers each from a queue of prepared answers
// (a name, or nullopt for Cancel); once the queue is empty, every dialog is
// cancelled.

#include "dialogs/FileDialogs.h"

#include <QList>
#include <QQueue>
#include <optional>

class ScriptedFileDialogs : public TFileDialogPresenter
{
public:
    ScriptedFileDialogs();
    ~ScriptedFileDialogs() override;
    ScriptedFileDialogs(const ScriptedFileDialogs &) = delete;
    ScriptedFileDialogs &operator=(const ScriptedFileDialogs &) = delete;

    std::optional<QString> Open(const TFileDialogRequest &request) override;
    std::optional<QString> Save(const TFileDialogRequest &request) override;

    // Prepares the answer to the next dialog, open or save.
    void Answer(const std::optional<QString> &fileName) { m_answers.enqueue(fileName); }
    qsizetype PendingAnswers() const { return m_answers.size(); }

    // Every request so far, oldest first.
    QList<TFileDialogRequest> OpenRequests;
    QList<TFileDialogRequest> SaveRequests;

private:
    std::optional<QString> NextAnswer();

    TFileDialogPresenter *m_previous = nullptr;
    QQueue<std::optional<QString>> m_answers;
};
