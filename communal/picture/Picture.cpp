#include "picture/Picture.h"

#include "picture/BmpReader.h"
#include "picture/GifReader.h"
#include "picture/IcoReader.h"
#include "picture/JpegReader.h"
#include "picture/MetafileReader.h"
#include "picture/PictureLimits.h"

#include "FileErrors.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>

namespace {
TPicture::Kind kindOfExtension(const QString& extension) {
    const QString ext = extension.toLower();
    if (ext == QLatin1String("bmp"))
        return TPicture::Kind::Bitmap;
    if (ext == QLatin1String("ico"))
        return TPicture::Kind::Icon;
    if (ext == QLatin1String("wmf") || ext == QLatin1String("emf"))
        return TPicture::Kind::Metafile;
    if (ext == QLatin1String("jpg") || ext == QLatin1String("jpeg"))
        return TPicture::Kind::Jpeg;
    if (ext == QLatin1String("gif"))
        return TPicture::Kind::Gif;
    throw TovexError(QStringLiteral("Unknown picture file extension (.%1)").arg(extension));
}

[[noreturn]] void cannotOpen(const QString& path, const QString& reason) {
    throw FileError(QStringLiteral("Cannot open file"), path, reason);
}

QByteArray readPictureFile(const QString& path) {
    if (QFileInfo(path).isDir())
        cannotOpen(path, SystemReason(EISDIR));
    QFile file(path);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        cannotOpen(path, FailureReason(errno, file));
    if (file.size() > PictureLimits::MaxFileBytes)
        throw TovexError(QStringLiteral("Picture file is too large (%1 bytes)").arg(file.size()));
    // A file that is not a regular file may report no size: read at most one byte more
    // than allowed, so that such a file cannot make this allocate without bound.
    QByteArray data = file.read(PictureLimits::MaxFileBytes + 1);
    if (data.size() > PictureLimits::MaxFileBytes)
        throw TovexError(QStringLiteral("Picture file is too large"));
    if (file.error() != QFileDevice::NoError)
        cannotOpen(path, file.errorString());
    return data;
}
} // namespace

QString PictureFileExtension(const QString& path) {
    const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

void TPicture::loadFromFile(const QString& path) {
    const QString extension = PictureFileExtension(path);
    kindOfExtension(extension); // an unknown extension is refused before the file is read
    loadFromData(readPictureFile(path), extension);
}

void TPicture::loadFromData(const QByteArray& data, const QString& extension) {
    const Kind kind = kindOfExtension(extension);
    // Read into locals first: a reader that throws leaves this picture as it was.
    QImage image;
    GifAnimation animation;
    switch (kind) {
    case Kind::Bitmap:
        image = ReadBmp(data);
        break;
    case Kind::Icon:
        image = ReadIco(data);
        break;
    case Kind::Metafile:
        // As the toolkit does, the content tells WMF from EMF, not the extension.
        image = ReadMetafile(data);
        break;
    case Kind::Jpeg:
        image = ReadJpeg(data);
        break;
    case Kind::Gif:
        animation = ReadGif(data);
        image = animation.frames.front().image;
        break;
    case Kind::None:
        break;
    }
    m_kind = kind;
    m_image = std::move(image);
    m_frames = std::move(animation.frames);
    m_loopCount = animation.loopCount;
}

QImage& TPicture::bitmapForDrawing(const QSize& sizeIfEmpty) {
    if (m_kind == Kind::None) {
        QImage bitmap(sizeIfEmpty.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        bitmap.fill(Qt::white);
        m_image = std::move(bitmap);
        m_kind = Kind::Bitmap;
    }
    if (m_kind != Kind::Bitmap)
        throw TovexError(QStringLiteral("Can only modify an image if it contains a bitmap"));
    return m_image;
}

void TPicture::clear() {
    *this = TPicture();
}
