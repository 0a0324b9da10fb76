#include "JpegBandEncoder.h"

#include "TovexError.h"

JpegBandEncoder::JpegBandEncoder(int width, int height, int bandRows, BandEncoding encoding)
    : m_writer(width, height, BandFormat) {
    for (QImage& band : m_bands) {
        band = QImage(width, bandRows, BandFormat);
        if (band.isNull())
            throw TovexError(
                QStringLiteral("Out of memory for a %1 x %2 band").arg(width).arg(bandRows));
    }
    if (encoding == BandEncoding::SecondThread)
        m_thread = std::thread([this] { encodeQueued(); });
}

JpegBandEncoder::~JpegBandEncoder() {
    if (m_thread.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_abandon = true;
        }
        stopThread();
    }
}

QImage& JpegBandEncoder::nextBand() {
    if (m_thread.joinable()) {
        std::unique_lock lock(m_mutex);
        // The queue alternates between the two buffers, so with at most one queued the
        // one handed out next is free.
        m_changed.wait(lock, [this] { return m_error || m_queue.size() < m_bands.size(); });
        if (m_error)
            std::rethrow_exception(m_error);
    }
    return m_bands[static_cast<size_t>(m_next)];
}

void JpegBandEncoder::submit(int rows) {
    if (m_thread.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_queue.push_back({m_next, rows});
        }
        m_changed.notify_all();
    } else {
        m_writer.writeRows(m_bands[static_cast<size_t>(m_next)], rows);
    }
    m_next = (m_next + 1) % static_cast<int>(m_bands.size());
}

QByteArray JpegBandEncoder::finish() {
    if (m_thread.joinable()) {
        {
            const std::lock_guard lock(m_mutex);
            m_closing = true;
        }
        stopThread();
        if (m_error)
            std::rethrow_exception(m_error);
    }
    return m_writer.finish();
}

void JpegBandEncoder::stopThread() {
    m_changed.notify_all();
    m_thread.join();
}

// The encoder thread. The band in work stays at the queue's front, so that nextBand()
// does not hand it out for painting before it is compressed.
void JpegBandEncoder::encodeQueued() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_abandon || m_closing || !m_queue.empty(); });
        if (m_abandon || m_queue.empty())
            return;
        const Job job = m_queue.front();
        lock.unlock();
        try {
            m_writer.writeRows(m_bands[static_cast<size_t>(job.band)], job.rows);
        } catch (...) {
            lock.lock();
            m_error = std::current_exception();
            m_changed.notify_all();
            return;
        }
        lock.lock();
        m_queue.pop_front();
        m_changed.notify_all();
    }
}
