#pragma once

#include <QSize>
#include <QtGlobal>

// Bounds on what a banner picture may ask for. Every picture comes from a remote server,
// so each reader checks what a file declares against these before it allocates, and
// refuses a picture beyond them with a TovexError. A banner is 256 or 300 by 47 pixels;
// the bounds leave room for far larger pictures and still keep a hostile file from
// taking more than a few hundred MiB or more than about a second.
namespace PictureLimits {
// Longest side and largest area of one decoded image (a bitmap, a JPEG, one GIF frame,
// a metafile's natural size, a bitmap embedded in a metafile).
inline constexpr int MaxSide = 8192;
inline constexpr qint64 MaxPixels = 16 * 1024 * 1024;

// Largest picture file that is read at all (downloads stop at 4 MiB).
inline constexpr qint64 MaxFileBytes = 32 * 1024 * 1024;

// JPEG: the decoder's working memory (coefficient buffers of multi-scan files) and the
// number of scans of a progressive file.
inline constexpr long MaxJpegWorkingBytes = 96L * 1024 * 1024;
inline constexpr int MaxJpegScans = 256;

// GIF: the number of frames and the memory of all decoded frames together.
inline constexpr int MaxGifFrames = 1024;
inline constexpr qint64 MaxGifDecodedBytes = 128 * 1024 * 1024;

// Metafiles: records played, nesting of saved drawing states, and the drawing work:
// the sum of the areas (in pixels of the picture) that the drawing records cover.
inline constexpr int MaxMetafileRecords = 100'000;
inline constexpr int MaxMetafileSavedStates = 256;
inline constexpr qint64 MaxMetafileDrawnPixels = 256LL * 1024 * 1024;
// Text larger than this many pixels is drawn at this height.
inline constexpr int MaxMetafileFontPixels = 2048;

// True when neither side is beyond MaxSide and the area is not beyond MaxPixels.
// Emptiness is not checked here: an empty image is each reader's own "not valid" case.
inline bool SizeAllowed(const QSize& size) {
    return size.width() <= MaxSide && size.height() <= MaxSide &&
           qint64(size.width()) * size.height() <= MaxPixels;
}

// Throws TovexError "Picture is too large (W x H pixels)" unless SizeAllowed(size).
void CheckSize(const QSize& size);
} // namespace PictureLimits
