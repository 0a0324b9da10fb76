// The Windows metafile (WMF): an optional placeable header, the META_HEADER, then records
// of 16-bit words, each with its size in words and its function number.

#include "picture/MetafileBytes.h"
#include "picture/MetafileCanvas.h"
#include "picture/MetafileDib.h"
#include "picture/MetafileReader.h"
#include "picture/MetafileRecords.h"
#include "picture/PictureLimits.h"

#include <cmath>
#include <optional>

using namespace MetafileRecords;

namespace {
constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr qsizetype PlaceableBytes = 22;
constexpr qsizetype HeaderBytes = 18;
constexpr qsizetype RecordHeaderBytes = 6;
constexpr double DisplayDpi = 96;

enum Function : quint16 {
    EOF_ = 0x0000,
    SETBKCOLOR = 0x0201,
    SETBKMODE = 0x0102,
    SETMAPMODE = 0x0103,
    SETPOLYFILLMODE = 0x0106,
    SETTEXTCOLOR = 0x0209,
    SETWINDOWORG = 0x020B,
    SETWINDOWEXT = 0x020C,
    SETVIEWPORTORG = 0x020D,
    SETVIEWPORTEXT = 0x020E,
    OFFSETWINDOWORG = 0x020F,
    SCALEWINDOWEXT = 0x0410,
    OFFSETVIEWPORTORG = 0x0211,
    SCALEVIEWPORTEXT = 0x0412,
    LINETO = 0x0213,
    MOVETO = 0x0214,
    ELLIPSE = 0x0418,
    RECTANGLE = 0x041B,
    ROUNDRECT = 0x061C,
    PATBLT = 0x061D,
    SAVEDC = 0x001E,
    SETPIXEL = 0x041F,
    TEXTOUT = 0x0521,
    POLYGON = 0x0324,
    POLYLINE = 0x0325,
    RESTOREDC = 0x0127,
    SELECTOBJECT = 0x012D,
    SETTEXTALIGN = 0x012E,
    EXTTEXTOUT = 0x0A32,
    SETDIBTODEV = 0x0D33,
    POLYPOLYGON = 0x0538,
    DIBBITBLT = 0x0940,
    DIBSTRETCHBLT = 0x0B41,
    DIBCREATEPATTERNBRUSH = 0x0142,
    STRETCHDIB = 0x0F43,
    DELETEOBJECT = 0x01F0,
    CREATEPALETTE = 0x00F7,
    CREATEPATTERNBRUSH = 0x01F9,
    CREATEPENINDIRECT = 0x02FA,
    CREATEFONTINDIRECT = 0x02FB,
    CREATEBRUSHINDIRECT = 0x02FC,
    CREATEREGION = 0x06FF,
};

struct Header {
    qsizetype recordsStart = 0;
    int objects = 0;
    std::optional<QRect> boundingBox; // placeable only
    int unitsPerInch = 0;
};

// The META_HEADER at offset: memory or disk metafile, nine words, version 1 or 3.
bool readMetaHeader(MetafileBytes in, qsizetype offset, Header& header) {
    in.seek(offset);
    const quint16 type = in.u16();
    const quint16 headerWords = in.u16();
    const quint16 version = in.u16();
    in.u32(); // size in words: the records' own sizes are what count
    header.objects = in.u16();
    return in.ok() && (type == 1 || type == 2) && headerWords == HeaderBytes / 2 &&
           (version == 0x0100 || version == 0x0300);
}

Header readHeader(const MetafileBytes& data) {
    MetafileBytes in = data;
    Header header;
    if (in.u32() == PlaceableKey) {
        in.u16(); // handle
        const qint16 left = in.i16();
        const qint16 top = in.i16();
        const qint16 right = in.i16();
        const qint16 bottom = in.i16();
        header.unitsPerInch = in.u16();
        header.boundingBox = QRect(QPoint(left, top), QPoint(right, bottom));
        header.recordsStart = PlaceableBytes + HeaderBytes;
        if (!in.ok() || !readMetaHeader(data, PlaceableBytes, header))
            NotValid();
        return header;
    }
    header.recordsStart = HeaderBytes;
    if (!readMetaHeader(data, 0, header))
        NotValid();
    return header;
}

// Calls play(function, parameters, record bytes) for each record from start up to
// META_EOF, a record shorter than its own header, one that runs past the end, or until
// play returns false.
template <class Play>
void forEachRecord(const MetafileBytes& data, qsizetype start, const Play& play) {
    qsizetype offset = start;
    while (offset <= data.size() - RecordHeaderBytes) {
        MetafileBytes in = data.sub(offset, RecordHeaderBytes);
        const qint64 bytes = qint64(in.u32()) * 2;
        const quint16 function = in.u16();
        if (bytes < RecordHeaderBytes || bytes > data.size() - offset || function == EOF_)
            return;
        if (!play(function, data.sub(offset + RecordHeaderBytes, bytes - RecordHeaderBytes), bytes))
            return;
        offset += bytes;
    }
}

// A plain WMF has no size of its own: the first window extent that it sets gives it,
// with the window origin set before it.
QRect windowOfRecords(const MetafileBytes& data, qsizetype start) {
    QPoint origin;
    std::optional<QSize> extent;
    int scanned = 0;
    forEachRecord(data, start, [&](quint16 function, MetafileBytes p, qint64) {
        if (function == SETWINDOWORG || function == SETWINDOWEXT) {
            const int y = p.i16();
            const int x = p.i16();
            if (p.ok() && function == SETWINDOWORG)
                origin = QPoint(x, y);
            if (p.ok() && function == SETWINDOWEXT && x != 0 && y != 0)
                extent = QSize(x, y);
        }
        return !extent && ++scanned < PictureLimits::MaxMetafileRecords;
    });
    if (!extent)
        NotValid();
    return QRect(origin, *extent);
}

QRectF corners(double left, double top, double right, double bottom) {
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

QPolygonF readPoints(MetafileBytes& p, qint64 count) {
    QPolygonF points;
    if (count < 0 || count * 4 > p.remaining())
        return points;
    points.reserve(qsizetype(count));
    for (qint64 i = 0; i < count; ++i) {
        const int x = p.i16();
        const int y = p.i16();
        points.append(QPointF(x, y));
    }
    return points;
}

class WmfPlayer {
public:
    WmfPlayer(MetafileCanvas& canvas)
        : m_canvas(canvas) {}

    void play(quint16 function, MetafileBytes p, qint64 recordBytes);

private:
    void createFont(MetafileBytes p);
    void textOut(MetafileBytes p);
    void extTextOut(MetafileBytes p);
    void polyPolygon(MetafileBytes p);
    void stretchDib(MetafileBytes p, bool withBitmap, quint16 function);
    MetafileDib dib(MetafileBytes& p);

    MetafileCanvas& m_canvas;
};

MetafileDib WmfPlayer::dib(MetafileBytes& p) {
    return ReadPackedDib(p.bytes(p.remaining()),
                         [this](qint64 pixels) { m_canvas.charge(pixels); });
}

void WmfPlayer::play(quint16 function, MetafileBytes p, qint64 recordBytes) {
    MetafileCanvas& c = m_canvas;
    // Records are read in full before anything is drawn: one that is too short for its
    // fields is skipped, as a record Windows cannot play.
    switch (function) {
    case SETBKCOLOR: {
        const QColor color = ColorRef(p.u32());
        if (p.ok())
            c.setBkColor(color);
        return;
    }
    case SETTEXTCOLOR: {
        const QColor color = ColorRef(p.u32());
        if (p.ok())
            c.setTextColor(color);
        return;
    }
    case SETBKMODE:
    case SETMAPMODE:
    case SETPOLYFILLMODE:
    case SETTEXTALIGN:
    case RESTOREDC:
    case SELECTOBJECT:
    case DELETEOBJECT: {
        const quint16 value = p.u16();
        if (!p.ok())
            return;
        if (function == SETBKMODE)
            c.setBkMode(value);
        else if (function == SETMAPMODE)
            c.setMapMode(value);
        else if (function == SETPOLYFILLMODE)
            c.setPolyFillMode(value);
        else if (function == SETTEXTALIGN)
            c.setTextAlign(value);
        else if (function == RESTOREDC)
            c.restoreState(qint16(value));
        else if (function == SELECTOBJECT)
            c.selectObject(value);
        else
            c.deleteObject(value);
        return;
    }
    case SAVEDC:
        c.saveState();
        return;
    case SETWINDOWORG:
    case SETWINDOWEXT:
    case SETVIEWPORTORG:
    case SETVIEWPORTEXT:
    case OFFSETWINDOWORG:
    case OFFSETVIEWPORTORG:
    case LINETO:
    case MOVETO: {
        const double y = p.i16();
        const double x = p.i16();
        if (!p.ok())
            return;
        if (function == SETWINDOWORG)
            c.setWindowOrg({x, y});
        else if (function == SETWINDOWEXT)
            c.setWindowExt({x, y});
        else if (function == SETVIEWPORTORG)
            c.setViewportOrg({x, y});
        else if (function == SETVIEWPORTEXT)
            c.setViewportExt({x, y});
        else if (function == OFFSETWINDOWORG)
            c.offsetWindowOrg({x, y});
        else if (function == OFFSETVIEWPORTORG)
            c.offsetViewportOrg({x, y});
        else if (function == LINETO)
            c.lineTo({x, y});
        else
            c.moveTo({x, y});
        return;
    }
    case SCALEWINDOWEXT:
    case SCALEVIEWPORTEXT: {
        const double yDenom = p.i16();
        const double yNum = p.i16();
        const double xDenom = p.i16();
        const double xNum = p.i16();
        if (!p.ok())
            return;
        if (function == SCALEWINDOWEXT)
            c.scaleWindowExt(xNum, xDenom, yNum, yDenom);
        else
            c.scaleViewportExt(xNum, xDenom, yNum, yDenom);
        return;
    }
    case RECTANGLE:
    case ELLIPSE: {
        const double bottom = p.i16();
        const double right = p.i16();
        const double top = p.i16();
        const double left = p.i16();
        if (!p.ok())
            return;
        if (function == RECTANGLE)
            c.rectangle(corners(left, top, right, bottom));
        else
            c.ellipse(corners(left, top, right, bottom));
        return;
    }
    case ROUNDRECT: {
        const double height = p.i16();
        const double width = p.i16();
        const double bottom = p.i16();
        const double right = p.i16();
        const double top = p.i16();
        const double left = p.i16();
        if (p.ok())
            c.roundRect(corners(left, top, right, bottom), QSizeF(width, height));
        return;
    }
    case POLYGON:
    case POLYLINE: {
        const qint16 count = p.i16();
        const QPolygonF points = readPoints(p, count);
        if (!p.ok() || points.size() != count)
            return;
        if (function == POLYGON)
            c.polygon(points);
        else
            c.polyline(points);
        return;
    }
    case POLYPOLYGON:
        return polyPolygon(p);
    case SETPIXEL: {
        const QColor color = ColorRef(p.u32());
        const double y = p.i16();
        const double x = p.i16();
        if (p.ok())
            c.setPixel({x, y}, color);
        return;
    }
    case TEXTOUT:
        return textOut(p);
    case EXTTEXTOUT:
        return extTextOut(p);
    case PATBLT: {
        const quint32 rop = p.u32();
        const double height = p.i16();
        const double width = p.i16();
        const double y = p.i16();
        const double x = p.i16();
        if (p.ok())
            c.bitBlt(QRectF(x, y, width, height), QImage(), QRectF(), rop);
        return;
    }
    case STRETCHDIB:
    case SETDIBTODEV:
        return stretchDib(p, true, function);
    case DIBBITBLT:
    case DIBSTRETCHBLT:
        // The form without a bitmap is exactly (function >> 8) + 3 words long.
        return stretchDib(p, recordBytes != 2 * ((function >> 8) + 3), function);
    case CREATEPENINDIRECT: {
        GdiPen pen;
        pen.style = p.u16();
        pen.width = p.i16();
        p.i16(); // the width's y is not used
        pen.color = ColorRef(p.u32());
        return c.createObject(p.ok() ? GdiObject(pen) : GdiObject(GdiOther()));
    }
    case CREATEBRUSHINDIRECT: {
        GdiBrush brush;
        brush.style = p.u16();
        brush.color = ColorRef(p.u32());
        brush.hatch = p.u16();
        return c.createObject(p.ok() ? GdiObject(brush) : GdiObject(GdiOther()));
    }
    case DIBCREATEPATTERNBRUSH: {
        p.u16(); // style: a pattern either way
        p.u16(); // colour usage
        GdiBrush brush;
        brush.style = 5; // BS_DIBPATTERN
        brush.pattern = p.ok() ? dib(p).image : QImage();
        return c.createObject(brush.pattern.isNull() ? GdiObject(GdiOther()) : GdiObject(brush));
    }
    case CREATEFONTINDIRECT:
        return createFont(p);
    case CREATEPALETTE:
    case CREATEPATTERNBRUSH:
    case CREATEREGION:
        return c.createObject(GdiOther());
    default:
        return; // not drawn here
    }
}

void WmfPlayer::createFont(MetafileBytes p) {
    GdiFont font;
    font.height = p.i16();
    p.i16(); // width: the face's own
    font.escapement = p.i16();
    p.i16(); // orientation
    font.weight = p.i16();
    font.italic = p.u8() != 0;
    font.underline = p.u8() != 0;
    font.strikeOut = p.u8() != 0;
    font.charset = p.u8();
    p.skip(4); // precision, quality, pitch and family
    if (!p.ok())
        return m_canvas.createObject(GdiOther());
    QByteArray face = p.bytes(qMin<qsizetype>(32, p.remaining()));
    const qsizetype end = face.indexOf('\0');
    if (end >= 0)
        face.truncate(end);
    font.face = DecodeAnsi(face, font.charset);
    m_canvas.createObject(font);
}

void WmfPlayer::textOut(MetafileBytes p) {
    const qint16 length = p.i16();
    const QByteArray bytes = p.bytes(length);
    p.skip(length & 1); // the string is padded to a whole word
    const double y = p.i16();
    const double x = p.i16();
    if (!p.ok() || length <= 0)
        return;
    m_canvas.textOut({x, y}, DecodeAnsi(bytes, m_canvas.fontCharset()), {});
}

void WmfPlayer::extTextOut(MetafileBytes p) {
    const double y = p.i16();
    const double x = p.i16();
    const qint16 length = p.i16();
    const quint16 options = p.u16();
    std::optional<QRectF> rect;
    if (options & (Gdi::ETO_OPAQUE | Gdi::ETO_CLIPPED)) {
        const double left = p.i16();
        const double top = p.i16();
        const double right = p.i16();
        const double bottom = p.i16();
        rect = corners(left, top, right, bottom);
    }
    if (!p.ok() || length < 0)
        return;
    const QByteArray bytes = p.bytes(length);
    p.skip(length & 1);
    if (!p.ok())
        return;
    // The advances, one per byte, are there when the record has room for them.
    std::vector<double> byteAdvances;
    if (p.remaining() >= 2 * qsizetype(length)) {
        byteAdvances.reserve(size_t(length));
        for (int i = 0; i < length; ++i)
            byteAdvances.push_back(p.i16());
    }
    std::vector<double> advances;
    const QString text = DecodeAnsi(bytes, m_canvas.fontCharset(),
                                    byteAdvances.empty() ? nullptr : &byteAdvances, &advances);
    m_canvas.textOut({x, y}, text, advances, options, rect ? &*rect : nullptr);
}

void WmfPlayer::polyPolygon(MetafileBytes p) {
    const quint16 count = p.u16();
    if (!p.ok() || qint64(count) * 2 > p.remaining())
        return;
    std::vector<int> sizes;
    sizes.reserve(count);
    qint64 total = 0;
    for (int i = 0; i < count; ++i) {
        sizes.push_back(p.u16());
        total += sizes.back();
    }
    if (total * 4 > p.remaining())
        return;
    std::vector<QPolygonF> polygons;
    polygons.reserve(count);
    for (int size : sizes)
        polygons.push_back(readPoints(p, size));
    if (p.ok())
        m_canvas.polyPolygon(polygons);
}

// STRETCHDIB and SETDIBTODEV give the source as StretchDIBits does, from the bitmap's
// first stored row; DIBBITBLT and DIBSTRETCHBLT as a bitmap in a device context does,
// from its top row.
void WmfPlayer::stretchDib(MetafileBytes p, bool withBitmap, quint16 function) {
    quint32 rop = 0x00CC0020; // SRCCOPY
    double srcHeight = 0, srcWidth = 0, ySrc = 0, xSrc = 0;
    double height = 0, width = 0, y = 0, x = 0;
    if (function == SETDIBTODEV) {
        p.u16(); // colour usage
        p.u16(); // scan count
        p.u16(); // start scan
        ySrc = p.i16();
        xSrc = p.i16();
        height = srcHeight = p.i16();
        width = srcWidth = p.i16();
    } else {
        rop = p.u32();
        if (function == STRETCHDIB)
            p.u16(); // colour usage
        if (function != DIBBITBLT) {
            srcHeight = p.i16();
            srcWidth = p.i16();
        }
        ySrc = p.i16();
        xSrc = p.i16();
        if (!withBitmap)
            p.u16(); // reserved
        height = p.i16();
        width = p.i16();
        if (function == DIBBITBLT) {
            srcHeight = height;
            srcWidth = width;
        }
    }
    y = p.i16();
    x = p.i16();
    if (!p.ok())
        return;
    const QRectF dest(x, y, width, height);
    if (!withBitmap)
        return m_canvas.bitBlt(dest, QImage(), QRectF(), rop);
    const MetafileDib bitmap = dib(p);
    if (bitmap.image.isNull())
        return;
    const bool fromStoredRow = function == STRETCHDIB || function == SETDIBTODEV;
    if (fromStoredRow && bitmap.bottomUp)
        ySrc = bitmap.image.height() - ySrc - srcHeight;
    m_canvas.bitBlt(dest, bitmap.image, QRectF(xSrc, ySrc, srcWidth, srcHeight), rop);
}
} // namespace

QImage ReadWmf(const QByteArray& data) {
    const MetafileBytes bytes(data.constData(), data.size());
    const Header header = readHeader(bytes);

    // The window that the picture shows, and the picture's size in pixels.
    QRect window;
    QSize size;
    if (header.boundingBox) {
        if (header.unitsPerInch == 0)
            NotValid();
        window = QRect(header.boundingBox->topLeft(),
                       QSize(header.boundingBox->right() - header.boundingBox->left(),
                             header.boundingBox->bottom() - header.boundingBox->top()));
        const double scale = DisplayDpi / header.unitsPerInch;
        size = QSize(qRound(std::abs(window.width()) * scale),
                     qRound(std::abs(window.height()) * scale));
    } else {
        window = windowOfRecords(bytes, header.recordsStart);
        size = QSize(std::abs(window.width()), std::abs(window.height()));
    }
    QImage picture = NewPicture(size);
    if (window.width() == 0 || window.height() == 0)
        NotValid();

    {
        MetafileCanvas canvas(picture, QTransform(), QSizeF(DisplayDpi, DisplayDpi));
        // The player's own mapping, as when a picture is drawn into a rectangle: the
        // window onto the whole picture, until the records set their own.
        canvas.setMapMode(Gdi::MM_ANISOTROPIC);
        canvas.setWindowOrg(window.topLeft());
        canvas.setWindowExt(window.size());
        canvas.setViewportExt(size);
        canvas.resizeObjectTable(header.objects);

        WmfPlayer player(canvas);
        int played = 0;
        forEachRecord(bytes, header.recordsStart,
                      [&](quint16 function, MetafileBytes p, qint64 recordBytes) {
                          CountRecord(played);
                          player.play(function, p, recordBytes);
                          return true;
                      });
    }
    return picture;
}
