#pragma once

#include <QList>
#include <QString>

// The one home of the program's message boxes, with a seam for tests: while a
// MessageBoxes::Recorder exists, no box is shown and each one is recorded instead.
namespace MessageBoxes {

// Plain informational box: the text, an OK button, no icon, centred on the screen,
// the application's title as caption. Returns when the user closes it.
void information(const QString& text);

// The application's standard error box: ErrorBoxText(message), a stop icon, an OK
// button, the application's title as caption.
void error(const QString& message);

struct Shown {
    bool isError = false;
    QString text; // as displayed, i.e. after ErrorBoxText for errors
};

class Recorder {
public:
    Recorder();
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    const QList<Shown>& shown() const { return m_shown; }
    void record(const Shown& box) { m_shown.append(box); }

private:
    QList<Shown> m_shown;
};

} // namespace MessageBoxes
