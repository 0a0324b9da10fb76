#include "picture/QtImageRead.h"

#include "picture/PictureLimits.h"

#include "TovexError.h"

ForcedFormatReader::ForcedFormatReader(const QByteArray& data, const char* format)
    : m_bytes(data)
    , m_buffer(&m_bytes) {
    m_buffer.open(QIODevice::ReadOnly);
    m_reader.setDevice(&m_buffer);
    m_reader.setFormat(format);
    m_reader.setDecideFormatFromContent(false);
    // In MiB, for 32-bit pixels of the largest picture allowed.
    m_reader.setAllocationLimit(int(PictureLimits::MaxPixels * 4 / (1024 * 1024)) + 1);
}

QImage ReadImageWithQt(const QByteArray& data, const char* format, const char* invalidMessage) {
    const auto invalid = [invalidMessage] {
        return TovexError(QString::fromLatin1(invalidMessage));
    };
    if (data.isEmpty())
        throw invalid();
    ForcedFormatReader forced(data, format);
    QImageReader& reader = forced.reader();
    if (!reader.canRead())
        throw invalid();
    const QSize declared = reader.size();
    if (declared.isValid())
        PictureLimits::CheckSize(declared);
    QImage image = reader.read();
    if (image.isNull())
        throw invalid();
    PictureLimits::CheckSize(image.size());
    return image;
}
