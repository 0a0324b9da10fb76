#pragma once

#include <QApplication>

#include <functional>
#include <utility>

// The application object, and the one place where errors that leave an event handler
// are caught and shown.
//
// Every handler of the window is connected through guarded():
//
//     connect(BitBtn2, &QPushButton::clicked, this, guarded(this, &TForm1::BitBtn2Click));
//
// The handler itself catches nothing. An exception that leaves it (a TovexError or any
// other std::exception) is shown by MessageBoxes::error with its message, and the program
// goes on. TApplication::notify is a backstop for anything thrown from an event handler
// that was not connected through guarded().

// Runs the action; an exception that leaves it is shown by the standard error box.
// Returns false when one was shown.
bool RunGuarded(const std::function<void()>& action);

// A slot for connect(): calls (receiver->*handler)(sender) under RunGuarded. The signal's
// own arguments are dropped; handlers take the object that raised the event and ignore it.
template <class Receiver>
auto guarded(Receiver* receiver, void (Receiver::*handler)(QObject*), QObject* sender = nullptr) {
    return [receiver, handler, sender](auto&&...) {
        RunGuarded([&] { (receiver->*handler)(sender); });
    };
}

class TApplication : public QApplication {
    Q_OBJECT
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};
