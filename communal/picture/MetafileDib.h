#pragma once

#include <QByteArray>
#include <QImage>

#include <functional>

// A bitmap embedded in a metafile record: a device-independent bitmap (its info header,
// colour table and pixels), decoded through the BMP reader with its limits.
struct MetafileDib {
    QImage image;         // null when the bitmap cannot be read; top row first
    bool bottomUp = true; // rows stored bottom first, as the header's height says
};

// Called with the number of pixels that a bitmap declares, before it is decoded, so
// that the metafile's budget pays for the decoding.
using DibCharge = std::function<void(qint64 pixels)>;

// The info header with its colour table, and the pixels, as two pieces (EMF) or one
// (WMF, packed). A bitmap that does not read gives a null image: the record that carries
// it is then skipped, as Windows skips a transfer it cannot do. A bitmap beyond the size
// limits throws TovexError "Picture is too large ..." like any other picture, and so
// does the charge when the budget is used up.
MetafileDib ReadMetafileDib(const QByteArray& info, const QByteArray& pixels,
                            const DibCharge& charge);
MetafileDib ReadPackedDib(const QByteArray& packed, const DibCharge& charge);
