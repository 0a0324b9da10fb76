#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the program. It carries the message that the error box shows;
// handlers let it pass, and the application catches it once, centrally.
class TovexError : public std::runtime_error {
public:
    explicit TovexError(const QString& message)
        : std::runtime_error(message.toStdString()) {}

    QString message() const { return QString::fromUtf8(what()); }
};
