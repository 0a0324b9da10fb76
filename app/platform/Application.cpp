#include "Application.h"

#include "Fonts.h"
#include "MessageBoxes.h"
#include "Skin.h"
#include "TovexError.h"

#include <exception>

bool RunGuarded(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (const TovexError& error) {
        MessageBoxes::error(error.message());
    } catch (const std::exception& error) {
        MessageBoxes::error(QString::fromLocal8Bit(error.what()));
    }
    return false;
}

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv) {
    EnsureTahoma();
    setWindowIcon(ProgramIcon());
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    bool result = false;
    RunGuarded([&] { result = QApplication::notify(receiver, event); });
    return result;
}
