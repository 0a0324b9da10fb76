#pragma once

#include <QByteArray>
#include <QImage>

// A JPEG file, decoded with libjpeg into an RGB image (grey, RGB, YCbCr, CMYK and YCCK
// files). Throws TovexError "JPEG error #N" with libjpeg's own message number for a file
// that libjpeg refuses, and "Picture is too large ..." for a declared size, working memory
// or scan count beyond PictureLimits. Corrupt-data warnings are not errors: libjpeg
// decodes what it can, as it does by default. Never exits the process.
QImage ReadJpeg(const QByteArray& data);
