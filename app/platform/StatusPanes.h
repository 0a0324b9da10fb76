#pragma once

#include <QDateTime>
#include <QLabel>
#include <QTimer>

#include <functional>

// The status bar and its panes: flat, thin-framed text fields, left-aligned, in the
// window's font, deaf to the mouse. The look comes from the skin.
class TStatusBar : public QFrame {
    Q_OBJECT
public:
    explicit TStatusBar(QWidget* parent = nullptr);
};

class TStatusPane : public QLabel {
    Q_OBJECT
public:
    explicit TStatusPane(QWidget* parent = nullptr);
};

// The clock pane: the local date in the system's short date format, one blank, the time
// in the system's long time format; refreshed every 500 ms, repainted only on a change.
class TClockPane : public TStatusPane {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    explicit TClockPane(QWidget* parent = nullptr);

    static QString ClockText(const QDateTime& moment);

    // Tests pass their own time source; the default is the system clock.
    void setClock(Clock clock);
    // Reads the clock now; returns whether the text changed.
    bool refresh();

private:
    Clock m_clock;
    QTimer m_timer;
};
