#pragma once

#include "picture/Picture.h"

#include <QByteArray>

// A GIF file, through Qt's GIF reader: every frame composed onto the logical screen (with
// transparency and the frames' disposal), its delay, and the loop setting. Throws
// TovexError:
//   "Invalid GIF signature"       the data does not start with GIF87a or GIF89a;
//   "GIF image is not valid"      no frame can be read;
//   "Picture is too large ..."    a screen beyond PictureLimits, more than MaxGifFrames
//                                 frames, or more than MaxGifDecodedBytes of frames.
GifAnimation ReadGif(const QByteArray& data);
