#pragma once

#include "JpegWriter.h"

#include <QByteArray>
#include <QImage>

#include <array>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

// Where libjpeg runs while the caller paints bands.
enum class BandEncoding {
    SecondThread, // on a thread of its own: the next band is painted while one is compressed
    CallerThread, // inside submit(), one band after the other
};

// Feeds a JpegWriter band by band from two band buffers that take turns: the caller
// paints into nextBand() and submits it, the encoder compresses it meanwhile. The caller's
// thread does all the painting, so Qt's text objects never leave it; the encoder thread
// runs libjpeg alone. The bytes do not depend on the mode or on the band height.
//
// An error of the encoder thread is thrown by the caller's next nextBand() or finish().
// Destroying the object unfinished (the caller threw) stops the thread and waits for it.
class JpegBandEncoder {
public:
    // Throws as JpegWriter does for a size libjpeg refuses, and for bands that cannot be
    // allocated; both before any thread is started.
    JpegBandEncoder(int width, int height, int bandRows, BandEncoding encoding);
    ~JpegBandEncoder();
    JpegBandEncoder(const JpegBandEncoder&) = delete;
    JpegBandEncoder& operator=(const JpegBandEncoder&) = delete;

    // The bands' format: QPainter paints it about twice as fast as Format_RGB888, and
    // libjpeg-turbo reads it without a conversion.
    static constexpr QImage::Format BandFormat = QImage::Format_RGB32;

    // A band buffer (BandFormat, width x bandRows) free to be painted; waits while both
    // are queued for the encoder.
    QImage& nextBand();
    // Queues the first `rows` rows of the band that nextBand() gave, as the picture's next rows.
    void submit(int rows);
    // Waits for every queued band and completes compression: the file's bytes.
    QByteArray finish();

private:
    struct Job {
        int band;
        int rows;
    };
    void encodeQueued();
    void stopThread();

    JpegWriter m_writer;
    std::array<QImage, 2> m_bands;
    int m_next = 0; // the buffer nextBand() hands out

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_queue; // submitted and not yet compressed; the front one is in work
    bool m_closing = false;  // no more bands: compress the queue, then end
    bool m_abandon = false;  // the caller gave up: end at once
    std::exception_ptr m_error;
    std::thread m_thread; // last: started once everything above exists
};
