#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

// Small picture files for tests, made with Qt's own writers.
inline QImage SolidImage(QSize size, const QColor& color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// The image as a file of the format ("BMP", "ICO", "JPG", "PNG").
inline QByteArray EncodedImage(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        qFatal("cannot encode a %s fixture", format);
    return bytes;
}
