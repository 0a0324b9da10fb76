#pragma once

#include "picture/Picture.h"

#include <QObject>
#include <QTimer>

#include <vector>

// Plays the frames of an animated picture on the window's thread: each frame for its own
// delay, the whole sequence as often as the loop count asks (-1 forever, n: n + 1 times),
// stopping on the last frame.
class TFramePlayer : public QObject {
    Q_OBJECT
public:
    // Frames shorter than this play this long, as browsers do for "as fast as possible".
    static constexpr int MinimumDelayMs = 20;
    static constexpr int ZeroDelayMs = 100;

    explicit TFramePlayer(QObject* parent = nullptr);

    // Starts at the first frame; fewer than two frames do not play.
    void play(const std::vector<PictureFrame>& frames, int loopCount);
    void stop();

    int currentFrame() const { return m_current; }
    bool isPlaying() const { return m_timer.isActive(); }

signals:
    void frameChanged(int frame);

private:
    void advance();
    void scheduleCurrent();

    QTimer m_timer;
    std::vector<int> m_delays;
    int m_current = 0;
    int m_loopsLeft = 0; // -1: forever
};
