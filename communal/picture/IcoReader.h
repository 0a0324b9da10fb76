#pragma once

#include <QByteArray>
#include <QImage>

// A Windows icon file; its first image, through Qt's ICO reader.
// Throws TovexError "Icon image is not valid", or the size limit's error.
QImage ReadIco(const QByteArray& data);
