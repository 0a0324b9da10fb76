#include "picture/QtImageRead.h"

#include "picture/PictureLimits.h"

#include "TovexError.h"

#include <QBuffer>
#include <QImageReader>

QImage ReadImageWithQt(const QByteArray& data, const char* format, const char* invalidMessage) {
    const auto invalid = [invalidMessage] {
        return TovexError(QString::fromLatin1(invalidMessage));
    };
    if (data.isEmpty())
        throw invalid();
    QByteArray bytes = data; // shared, not copied: QBuffer needs a non-const array
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    // Qt's own allocation guard, in MiB, as a second line behind the size check below.
    reader.setAllocationLimit(int(PictureLimits::MaxPixels * 4 / (1024 * 1024)) + 1);
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
