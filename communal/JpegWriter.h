#pragma once

#include <QByteArray>
#include <QImage>

#include <memory>

// Baseline JPEG encoder over libjpeg: the library's defaults, quality 75 with baseline
// tables forced, the floating-point DCT, 8-bit RGB input fed top to bottom in bands.
// The compressed picture stays in memory; nothing touches a file here.
//
// Bands are Format_RGB888, or Format_RGB32 (the format QPainter paints fastest), which
// libjpeg-turbo reads as it stands; the file's bytes are the same for the same pixels.
//
// Every libjpeg failure is thrown as TovexError("JPEG error #<code>") with the
// library's own message code (41 for a side over 65,500 pixels).
class JpegWriter {
public:
    // Starts compression of a width x height picture fed in bands of the given format;
    // throws on a size libjpeg refuses.
    JpegWriter(int width, int height, QImage::Format bandFormat = QImage::Format_RGB888);
    ~JpegWriter();
    JpegWriter(const JpegWriter&) = delete;
    JpegWriter& operator=(const JpegWriter&) = delete;

    // Feeds the band's rows, top to bottom. The band must have the constructor's format
    // and be as wide as the picture; its rows follow the rows fed so far.
    void writeRows(const QImage& rgbBand);
    // The same for the band's first rowCount rows only (0 .. the band's height).
    void writeRows(const QImage& rgbBand, int rowCount);

    int rowsWritten() const;

    // Completes compression and hands over the file's bytes. Throws if rows are missing.
    QByteArray finish();

    struct Compressor; // libjpeg's state, private to JpegWriter.cpp

private:
    std::unique_ptr<Compressor> m_compressor;
};
