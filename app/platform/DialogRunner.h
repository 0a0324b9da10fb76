#pragma once

#include <QDialog>

#include <functional>

// How the program's own modal dialogs are run: exec() for a person, or, while a
// DialogRunner::Answer exists, a test's function that looks at the dialog, sets its
// controls as a user would and returns true to accept, false to cancel.
namespace DialogRunner {

bool run(QDialog& dialog);

class Answer {
public:
    using Responder = std::function<bool(QDialog&)>;

    explicit Answer(Responder responder);
    ~Answer();
    Answer(const Answer&) = delete;
    Answer& operator=(const Answer&) = delete;

    int calls() const { return m_calls; }
    bool respond(QDialog& dialog);

private:
    Responder m_responder;
    int m_calls = 0;
};

} // namespace DialogRunner
