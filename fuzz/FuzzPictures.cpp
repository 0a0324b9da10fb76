#include "FuzzEntries.h"

#include "TovexError.h"
#include "picture/Picture.h"
#include "picture/PictureLimits.h"

#include <QPainter>

namespace {

// Loads the input as a banner picture file of the given extension, onto a picture that
// already holds something: a refused input must leave it as it was, a read one must be
// of the extension's kind, within the size limits and drawable frame by frame.
void loadPicture(QByteArrayView input, const char* extension, TPicture::Kind kind) {
    TPicture picture;
    picture.bitmapForDrawing(QSize(3, 2)).fill(Qt::red);
    try {
        picture.loadFromData(input.toByteArray(), QString::fromLatin1(extension));
    } catch (const TovexError&) {
        FuzzCheck(picture.kind() == TPicture::Kind::Bitmap && picture.size() == QSize(3, 2),
                  "a refused picture leaves the earlier one");
        throw;
    }
    FuzzCheck(picture.kind() == kind, "the extension chooses the kind");
    FuzzCheck(!picture.image().isNull(), "a read picture has an image");
    FuzzCheck(PictureLimits::SizeAllowed(picture.size()), "a read picture is within the limits");
    FuzzCheck(picture.frames().size() <= size_t(PictureLimits::MaxGifFrames),
              "at most MaxGifFrames frames");
    for (const PictureFrame& frame : picture.frames())
        FuzzCheck(PictureLimits::SizeAllowed(frame.image.size()), "each frame within the limits");
    // What the banner does with it: paint it, or the frame being shown.
    QImage screen(16, 16, QImage::Format_RGB32);
    QPainter painter(&screen);
    painter.drawImage(QPoint(0, 0), picture.image());
}

} // namespace

void FuzzBmp(QByteArrayView input) {
    loadPicture(input, "bmp", TPicture::Kind::Bitmap);
}

void FuzzIco(QByteArrayView input) {
    loadPicture(input, "ico", TPicture::Kind::Icon);
}

void FuzzJpeg(QByteArrayView input) {
    loadPicture(input, "jpg", TPicture::Kind::Jpeg);
}

void FuzzGif(QByteArrayView input) {
    loadPicture(input, "gif", TPicture::Kind::Gif);
}
