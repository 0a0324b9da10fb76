#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>

// Qt's image reader over bytes in memory, with the format forced (never guessed from the
// content) and Qt's own allocation guard set from PictureLimits, as a second line behind
// the size checks of the readers.
class ForcedFormatReader {
public:
    ForcedFormatReader(const QByteArray& data, const char* format);
    ForcedFormatReader(const ForcedFormatReader&) = delete;
    ForcedFormatReader& operator=(const ForcedFormatReader&) = delete;

    QImageReader& reader() { return m_reader; }

private:
    QByteArray m_bytes; // shared with the caller's array, not copied
    QBuffer m_buffer;
    QImageReader m_reader;
};

// Reads one image with Qt's reader for the format, forced, after checking the size that
// the file declares against PictureLimits. Throws TovexError(invalidMessage) when the
// reader cannot read the data, and the limit's error for a declared size beyond the limits.
QImage ReadImageWithQt(const QByteArray& data, const char* format, const char* invalidMessage);
