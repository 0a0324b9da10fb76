#include "picture/MetafileDib.h"

#include "picture/BmpReader.h"
#include "picture/MetafileBytes.h"
#include "picture/PictureLimits.h"

#include "TovexError.h"

#include <QtEndian>

#include <climits>

namespace {
struct InfoLayout {
    qint64 infoBytes = -1; // header, masks and colour table; -1 when not a DIB header
    bool bottomUp = true;
    QSize size;
};

InfoLayout layoutOf(const QByteArray& data) {
    MetafileBytes in(data.constData(), data.size());
    InfoLayout layout;
    const quint32 headerSize = in.u32();
    if (!in.ok())
        return layout;
    qint64 colours = 0;
    qint64 entryBytes = 4;
    qint64 masks = 0;
    int bitCount = 0;
    if (headerSize == 12) { // BITMAPCOREHEADER: unsigned sizes, always bottom-up
        const int width = in.u16();
        const int height = in.u16();
        in.u16(); // planes
        bitCount = in.u16();
        if (!in.ok() || width == 0 || height == 0)
            return layout;
        layout.size = QSize(width, height);
        entryBytes = 3;
        colours = bitCount <= 8 ? (qint64(1) << bitCount) : 0;
    } else if (headerSize >= 40 && headerSize <= 124) {
        const qint32 width = in.i32();
        const qint32 height = in.i32();
        in.u16(); // planes
        bitCount = in.u16();
        const quint32 compression = in.u32();
        in.skip(12); // image size and resolution
        const quint32 used = in.u32();
        if (!in.ok() || width <= 0 || height == 0 || height == INT_MIN)
            return layout;
        layout.size = QSize(width, qAbs(height));
        layout.bottomUp = height > 0;
        colours = used != 0 ? qint64(used) : (bitCount <= 8 ? (qint64(1) << bitCount) : 0);
        if (headerSize == 40 && compression == 3) // BI_BITFIELDS after a short header
            masks = 12;
        else if (headerSize == 40 && compression == 6) // BI_ALPHABITFIELDS
            masks = 16;
    } else {
        return layout;
    }
    if (bitCount == 0 || bitCount > 32)
        return layout;
    layout.infoBytes = qint64(headerSize) + masks + colours * entryBytes;
    return layout;
}

// The BMP file of a DIB: a 14-byte file header before the DIB's own bytes.
QByteArray bmpFile(const QByteArray& dib, qint64 infoBytes) {
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    qToLittleEndian<quint32>(quint32(14 + dib.size()), file.data() + 2);
    qToLittleEndian<quint32>(quint32(14 + infoBytes), file.data() + 10);
    return file + dib;
}

MetafileDib decode(const QByteArray& dib, const InfoLayout& layout, const DibCharge& charge) {
    MetafileDib result;
    if (layout.infoBytes < 0 || layout.infoBytes > dib.size())
        return result;
    PictureLimits::CheckSize(layout.size);
    charge(qint64(layout.size.width()) * layout.size.height());
    try {
        result.image = ReadBmp(bmpFile(dib, layout.infoBytes));
    } catch (const TovexError&) {
        // The size was checked above; any other refusal is a bitmap that does not read.
        return MetafileDib();
    }
    result.bottomUp = layout.bottomUp;
    return result;
}
} // namespace

MetafileDib ReadMetafileDib(const QByteArray& info, const QByteArray& pixels,
                            const DibCharge& charge) {
    const InfoLayout layout = layoutOf(info);
    // The colour table may claim more than the info part holds; the pixels follow it.
    if (layout.infoBytes < 0 || layout.infoBytes > info.size())
        return MetafileDib();
    return decode(info.left(qsizetype(layout.infoBytes)) + pixels, layout, charge);
}

MetafileDib ReadPackedDib(const QByteArray& packed, const DibCharge& charge) {
    return decode(packed, layoutOf(packed), charge);
}
