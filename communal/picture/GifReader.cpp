#include "picture/GifReader.h"

#include "picture/PictureLimits.h"
#include "picture/QtImageRead.h"

#include "TovexError.h"

namespace {
bool hasGifSignature(const QByteArray& data) {
    return data.startsWith("GIF87a") || data.startsWith("GIF89a");
}

[[noreturn]] void tooLarge(const QString& what) {
    throw TovexError(QStringLiteral("Picture is too large (%1)").arg(what));
}

// The logical screen's size from the header, read before Qt's reader allocates for it.
QSize screenSize(const QByteArray& data) {
    if (data.size() < 10)
        throw TovexError(QStringLiteral("GIF image is not valid"));
    const auto byte = [&data](int i) { return int(uchar(data[i])); };
    return QSize(byte(6) | byte(7) << 8, byte(8) | byte(9) << 8);
}
} // namespace

GifAnimation ReadGif(const QByteArray& data) {
    if (!hasGifSignature(data))
        throw TovexError(QStringLiteral("Invalid GIF signature"));
    PictureLimits::CheckSize(screenSize(data));

    ForcedFormatReader forced(data, "gif");
    QImageReader& reader = forced.reader();

    GifAnimation animation;
    qint64 decodedBytes = 0;
    // Frames are read one by one until the reader has no more; the frame count that the
    // reader can report would first scan the whole file, which the limits make needless.
    for (;;) {
        QImage frame = reader.read();
        if (frame.isNull())
            break;
        PictureLimits::CheckSize(frame.size());
        if (int(animation.frames.size()) == PictureLimits::MaxGifFrames)
            tooLarge(QStringLiteral("more than %1 GIF frames").arg(PictureLimits::MaxGifFrames));
        decodedBytes += frame.sizeInBytes();
        if (decodedBytes > PictureLimits::MaxGifDecodedBytes)
            tooLarge(QStringLiteral("more than %1 MiB of GIF frames")
                         .arg(PictureLimits::MaxGifDecodedBytes / (1024 * 1024)));
        animation.frames.push_back({std::move(frame), reader.nextImageDelay()});
    }
    if (animation.frames.empty())
        throw TovexError(QStringLiteral("GIF image is not valid"));
    animation.loopCount = animation.frames.size() > 1 ? reader.loopCount() : 0;
    return animation;
}
