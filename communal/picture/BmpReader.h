#pragma once

#include <QByteArray>
#include <QImage>

// A Windows bitmap file (BITMAPFILEHEADER and a DIB), through Qt's BMP reader.
// Throws TovexError "Bitmap image is not valid", or the size limit's error.
QImage ReadBmp(const QByteArray& data);
