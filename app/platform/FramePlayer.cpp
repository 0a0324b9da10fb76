#include "FramePlayer.h"

TFramePlayer::TFramePlayer(QObject* parent)
    : QObject(parent) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TFramePlayer::advance);
}

void TFramePlayer::play(const std::vector<PictureFrame>& frames, int loopCount) {
    stop();
    m_delays.clear();
    for (const PictureFrame& frame : frames)
        m_delays.push_back(frame.delayMs <= 0 ? ZeroDelayMs : qMax(frame.delayMs, MinimumDelayMs));
    m_current = 0;
    m_loopsLeft = loopCount;
    if (m_delays.size() > 1)
        scheduleCurrent();
}

void TFramePlayer::stop() {
    m_timer.stop();
}

void TFramePlayer::scheduleCurrent() {
    m_timer.start(m_delays[size_t(m_current)]);
}

void TFramePlayer::advance() {
    const bool lastFrame = m_current + 1 == int(m_delays.size());
    if (lastFrame) {
        if (m_loopsLeft == 0)
            return;
        if (m_loopsLeft > 0)
            --m_loopsLeft;
        m_current = 0;
    } else {
        ++m_current;
    }
    emit frameChanged(m_current);
    scheduleCurrent();
}
