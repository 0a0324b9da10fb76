#include "picture/IcoReader.h"

#include "picture/QtImageRead.h"

QImage ReadIco(const QByteArray& data) {
    return ReadImageWithQt(data, "ico", "Icon image is not valid");
}
