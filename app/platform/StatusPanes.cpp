#include "StatusPanes.h"

#include <QLocale>

TStatusBar::TStatusBar(QWidget* parent)
    : QFrame(parent) {
    setFocusPolicy(Qt::NoFocus);
}

TStatusPane::TStatusPane(QWidget* parent)
    : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setTextFormat(Qt::PlainText);
}

TClockPane::TClockPane(QWidget* parent)
    : TStatusPane(parent)
    , m_clock([] { return QDateTime::currentDateTime(); }) {
    m_timer.setInterval(500);
    connect(&m_timer, &QTimer::timeout, this, [this] { refresh(); });
    m_timer.start();
    refresh();
}

QString TClockPane::ClockText(const QDateTime& moment) {
    const QLocale locale = QLocale::system();
    return locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
           locale.toString(moment.time(), QLocale::LongFormat);
}

void TClockPane::setClock(Clock clock) {
    m_clock = std::move(clock);
    refresh();
}

bool TClockPane::refresh() {
    const QString now = ClockText(m_clock());
    if (now == text())
        return false;
    setText(now); // QLabel repaints only when told
    return true;
}
