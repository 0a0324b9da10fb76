#include "DialogRunner.h"

namespace DialogRunner {
namespace {
Answer* activeAnswer = nullptr;
}

bool run(QDialog& dialog) {
    if (activeAnswer)
        return activeAnswer->respond(dialog);
    return dialog.exec() == QDialog::Accepted;
}

Answer::Answer(Responder responder)
    : m_responder(std::move(responder)) {
    activeAnswer = this;
}

Answer::~Answer() {
    activeAnswer = nullptr;
}

bool Answer::respond(QDialog& dialog) {
    ++m_calls;
    return m_responder(dialog);
}

} // namespace DialogRunner
