#pragma once

#include <QByteArray>
#include <QImage>

// Reads one image with Qt's reader for the format, forced (never guessed from the
// content), after checking the size that the file declares against PictureLimits.
// Throws TovexError(invalidMessage) when the reader cannot read the data, and the
// limit's error for a declared size beyond the limits.
QImage ReadImageWithQt(const QByteArray& data, const char* format, const char* invalidMessage);
