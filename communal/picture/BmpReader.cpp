#include "picture/BmpReader.h"

#include "picture/QtImageRead.h"

QImage ReadBmp(const QByteArray& data) {
    return ReadImageWithQt(data, "bmp", "Bitmap image is not valid");
}
