// The enhanced metafile (EMF): records of 32-bit values, each with its type and its size
// in bytes, the first the EMR_HEADER.

#include "picture/MetafileBytes.h"
#include "picture/MetafileCanvas.h"
#include "picture/MetafileDib.h"
#include "picture/MetafileReader.h"
#include "picture/MetafileRecords.h"

#include <cmath>
#include <optional>

using namespace MetafileRecords;

namespace {
constexpr qsizetype HeaderBytes = 88;
constexpr qsizetype RecordHeaderBytes = 8;
constexpr double DisplayDpi = 96;
constexpr double HundredthsPerInch = 2540;
constexpr quint32 StockObject = 0x80000000;

enum Type : quint32 {
    POLYBEZIER = 2,
    POLYGON = 3,
    POLYLINE = 4,
    POLYBEZIERTO = 5,
    POLYLINETO = 6,
    POLYPOLYLINE = 7,
    POLYPOLYGON = 8,
    SETWINDOWEXTEX = 9,
    SETWINDOWORGEX = 10,
    SETVIEWPORTEXTEX = 11,
    SETVIEWPORTORGEX = 12,
    EOF_ = 14,
    SETPIXELV = 15,
    SETMAPMODE = 17,
    SETBKMODE = 18,
    SETPOLYFILLMODE = 19,
    SETTEXTALIGN = 22,
    SETTEXTCOLOR = 24,
    SETBKCOLOR = 25,
    MOVETOEX = 27,
    SCALEVIEWPORTEXTEX = 31,
    SCALEWINDOWEXTEX = 32,
    SAVEDC = 33,
    RESTOREDC = 34,
    SETWORLDTRANSFORM = 35,
    MODIFYWORLDTRANSFORM = 36,
    SELECTOBJECT = 37,
    CREATEPEN = 38,
    CREATEBRUSHINDIRECT = 39,
    DELETEOBJECT = 40,
    ELLIPSE = 42,
    RECTANGLE = 43,
    ROUNDRECT = 44,
    CREATEPALETTE = 49,
    LINETO = 54,
    BITBLT = 76,
    STRETCHBLT = 77,
    SETDIBITSTODEVICE = 80,
    STRETCHDIBITS = 81,
    EXTCREATEFONTINDIRECTW = 82,
    EXTTEXTOUTA = 83,
    EXTTEXTOUTW = 84,
    POLYBEZIER16 = 85,
    POLYGON16 = 86,
    POLYLINE16 = 87,
    POLYBEZIERTO16 = 88,
    POLYLINETO16 = 89,
    POLYPOLYLINE16 = 90,
    POLYPOLYGON16 = 91,
    CREATEMONOBRUSH = 93,
    CREATEDIBPATTERNBRUSHPT = 94,
    EXTCREATEPEN = 95,
    CREATECOLORSPACE = 99,
    CREATECOLORSPACEW = 122,
};

constexpr quint32 ETO_NO_RECT = 0x100;
constexpr quint32 ETO_PDY = 0x2000;
constexpr quint32 PS_GEOMETRIC = 0x00010000;

struct Header {
    qsizetype size = 0;
    QRect bounds; // reference device pixels, both corners included
    QRect frame;  // hundredths of a millimetre, both corners included
    quint32 handles = 0;
    QSize devicePixels;
    QSize deviceMillimetres;
};

QRect readRect(MetafileBytes& in) {
    const int left = in.i32();
    const int top = in.i32();
    const int right = in.i32();
    const int bottom = in.i32();
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

Header readHeader(const QByteArray& data) {
    if (!IsEmf(data))
        NotValid();
    MetafileBytes in(data.constData(), data.size());
    Header header;
    in.u32(); // type
    const quint32 size = in.u32();
    header.bounds = readRect(in);
    header.frame = readRect(in);
    in.u32(); // signature
    in.u32(); // version
    in.u32(); // bytes: the records' own sizes are what count
    in.u32(); // records
    header.handles = in.u16();
    in.u16();    // reserved
    in.skip(12); // description and palette
    const int deviceX = in.i32();
    const int deviceY = in.i32();
    const int millimetresX = in.i32();
    const int millimetresY = in.i32();
    if (!in.ok() || size < HeaderBytes || size > quint32(data.size()))
        NotValid();
    header.size = size;
    header.devicePixels = QSize(deviceX, deviceY);
    header.deviceMillimetres = QSize(millimetresX, millimetresY);
    return header;
}

// The reference device's pixels per hundredth of a millimetre, screen-like when the
// header gives no device.
QSizeF devicePixelsPerHundredth(const Header& header) {
    const QSize px = header.devicePixels;
    const QSize mm = header.deviceMillimetres;
    if (px.width() <= 0 || px.height() <= 0 || mm.width() <= 0 || mm.height() <= 0)
        return QSizeF(DisplayDpi / HundredthsPerInch, DisplayDpi / HundredthsPerInch);
    return QSizeF(double(px.width()) / (100.0 * mm.width()),
                  double(px.height()) / (100.0 * mm.height()));
}

// Where the picture lies on the reference device, and its size in pixels.
struct Placement {
    QRectF device;
    QSize size;
};

Placement placementOf(const Header& header) {
    const QRect& f = header.frame;
    const double frameWidth = double(f.right()) - f.left();
    const double frameHeight = double(f.bottom()) - f.top();
    const QSize fromFrame(qRound(qMin(frameWidth * DisplayDpi / HundredthsPerInch, 1e9)),
                          qRound(qMin(frameHeight * DisplayDpi / HundredthsPerInch, 1e9)));
    if (frameWidth > 0 && frameHeight > 0 && !fromFrame.isEmpty()) {
        const QSizeF scale = devicePixelsPerHundredth(header);
        return {QRectF(f.left() * scale.width(), f.top() * scale.height(),
                       frameWidth * scale.width(), frameHeight * scale.height()),
                fromFrame};
    }
    const QRect& b = header.bounds;
    const qint64 width = qint64(b.right()) - b.left() + 1;
    const qint64 height = qint64(b.bottom()) - b.top() + 1;
    if (width <= 0 || height <= 0)
        NotValid();
    const QSize size(int(qMin<qint64>(width, 1 << 30)), int(qMin<qint64>(height, 1 << 30)));
    return {QRectF(b.left(), b.top(), size.width(), size.height()), size};
}

QTransform readXform(MetafileBytes& in) {
    const double m11 = in.f32();
    const double m12 = in.f32();
    const double m21 = in.f32();
    const double m22 = in.f32();
    const double dx = in.f32();
    const double dy = in.f32();
    return QTransform(m11, m12, m21, m22, dx, dy);
}

QPolygonF readPoints(MetafileBytes& in, qint64 count, bool small) {
    QPolygonF points;
    const qint64 pointBytes = small ? 4 : 8;
    if (count < 0 || count > in.remaining() / pointBytes)
        return points;
    points.reserve(qsizetype(count));
    for (qint64 i = 0; i < count; ++i) {
        const double x = small ? in.i16() : in.i32();
        const double y = small ? in.i16() : in.i32();
        points.append(QPointF(x, y));
    }
    return points;
}

class EmfPlayer {
public:
    explicit EmfPlayer(MetafileCanvas& canvas)
        : m_canvas(canvas) {}

    // record: the whole record, its header included, since offsets count from its start.
    void play(quint32 type, const MetafileBytes& record);

private:
    void poly(quint32 type, MetafileBytes p);
    void polyPoly(quint32 type, MetafileBytes p);
    void createObject(quint32 index, GdiObject object);
    void createFont(MetafileBytes p);
    void extCreatePen(MetafileBytes p);
    void patternBrush(MetafileBytes p, const MetafileBytes& record);
    void textOut(quint32 type, MetafileBytes p, const MetafileBytes& record);
    void blit(quint32 type, MetafileBytes p, const MetafileBytes& record);
    MetafileDib dib(const MetafileBytes& record, quint32 offInfo, quint32 infoBytes,
                    quint32 offBits, quint32 bitsBytes);

    MetafileCanvas& m_canvas;
};

void EmfPlayer::play(quint32 type, const MetafileBytes& record) {
    MetafileCanvas& c = m_canvas;
    MetafileBytes p = record.sub(RecordHeaderBytes, record.size() - RecordHeaderBytes);
    switch (type) {
    case POLYBEZIER:
    case POLYGON:
    case POLYLINE:
    case POLYBEZIERTO:
    case POLYLINETO:
    case POLYBEZIER16:
    case POLYGON16:
    case POLYLINE16:
    case POLYBEZIERTO16:
    case POLYLINETO16:
        return poly(type, p);
    case POLYPOLYLINE:
    case POLYPOLYGON:
    case POLYPOLYLINE16:
    case POLYPOLYGON16:
        return polyPoly(type, p);
    case SETWINDOWEXTEX:
    case SETWINDOWORGEX:
    case SETVIEWPORTEXTEX:
    case SETVIEWPORTORGEX:
    case MOVETOEX:
    case LINETO: {
        const double x = p.i32();
        const double y = p.i32();
        if (!p.ok())
            return;
        if (type == SETWINDOWEXTEX)
            c.setWindowExt({x, y});
        else if (type == SETWINDOWORGEX)
            c.setWindowOrg({x, y});
        else if (type == SETVIEWPORTEXTEX)
            c.setViewportExt({x, y});
        else if (type == SETVIEWPORTORGEX)
            c.setViewportOrg({x, y});
        else if (type == MOVETOEX)
            c.moveTo({x, y});
        else
            c.lineTo({x, y});
        return;
    }
    case SETPIXELV: {
        const double x = p.i32();
        const double y = p.i32();
        const QColor color = ColorRef(p.u32());
        if (p.ok())
            c.setPixel({x, y}, color);
        return;
    }
    case SETMAPMODE:
    case SETBKMODE:
    case SETPOLYFILLMODE:
    case SETTEXTALIGN:
    case RESTOREDC:
    case SELECTOBJECT:
    case DELETEOBJECT: {
        const quint32 value = p.u32();
        if (!p.ok())
            return;
        if (type == SETMAPMODE)
            c.setMapMode(int(value));
        else if (type == SETBKMODE)
            c.setBkMode(int(value));
        else if (type == SETPOLYFILLMODE)
            c.setPolyFillMode(int(value));
        else if (type == SETTEXTALIGN)
            c.setTextAlign(int(value));
        else if (type == RESTOREDC)
            c.restoreState(qint32(value));
        else if (type == SELECTOBJECT && (value & StockObject))
            c.selectStockObject(value & ~StockObject);
        else if (type == SELECTOBJECT)
            c.selectObject(value);
        else if (!(value & StockObject) && value != 0)
            c.deleteObject(value);
        return;
    }
    case SETTEXTCOLOR:
    case SETBKCOLOR: {
        const QColor color = ColorRef(p.u32());
        if (p.ok() && type == SETTEXTCOLOR)
            c.setTextColor(color);
        else if (p.ok())
            c.setBkColor(color);
        return;
    }
    case SCALEVIEWPORTEXTEX:
    case SCALEWINDOWEXTEX: {
        const double xNum = p.i32();
        const double xDenom = p.i32();
        const double yNum = p.i32();
        const double yDenom = p.i32();
        if (p.ok() && type == SCALEWINDOWEXTEX)
            c.scaleWindowExt(xNum, xDenom, yNum, yDenom);
        else if (p.ok())
            c.scaleViewportExt(xNum, xDenom, yNum, yDenom);
        return;
    }
    case SAVEDC:
        return c.saveState();
    case SETWORLDTRANSFORM: {
        const QTransform world = readXform(p);
        if (p.ok())
            c.setWorldTransform(world);
        return;
    }
    case MODIFYWORLDTRANSFORM: {
        const QTransform by = readXform(p);
        const quint32 mode = p.u32();
        if (p.ok())
            c.modifyWorldTransform(by, int(mode));
        return;
    }
    case CREATEPEN: {
        const quint32 index = p.u32();
        GdiPen pen;
        pen.style = int(p.u32());
        pen.width = p.i32();
        p.i32(); // the width's y is not used
        pen.color = ColorRef(p.u32());
        if (p.ok())
            createObject(index, pen);
        return;
    }
    case EXTCREATEPEN:
        return extCreatePen(p);
    case CREATEBRUSHINDIRECT: {
        const quint32 index = p.u32();
        GdiBrush brush;
        brush.style = int(p.u32());
        brush.color = ColorRef(p.u32());
        brush.hatch = int(p.u32());
        if (p.ok())
            createObject(index, brush);
        return;
    }
    case CREATEMONOBRUSH:
    case CREATEDIBPATTERNBRUSHPT:
        return patternBrush(p, record);
    case EXTCREATEFONTINDIRECTW:
        return createFont(p);
    case CREATEPALETTE:
    case CREATECOLORSPACE:
    case CREATECOLORSPACEW: {
        const quint32 index = p.u32();
        if (p.ok())
            createObject(index, GdiOther());
        return;
    }
    case RECTANGLE:
    case ELLIPSE:
    case ROUNDRECT: {
        const QRect box = readRect(p);
        const double cornerWidth = type == ROUNDRECT ? p.i32() : 0;
        const double cornerHeight = type == ROUNDRECT ? p.i32() : 0;
        if (!p.ok())
            return;
        const QRectF corners(QPointF(box.left(), box.top()), QPointF(box.right(), box.bottom()));
        if (type == RECTANGLE)
            c.rectangle(corners);
        else if (type == ELLIPSE)
            c.ellipse(corners);
        else
            c.roundRect(corners, QSizeF(cornerWidth, cornerHeight));
        return;
    }
    case EXTTEXTOUTA:
    case EXTTEXTOUTW:
        return textOut(type, p, record);
    case BITBLT:
    case STRETCHBLT:
    case SETDIBITSTODEVICE:
    case STRETCHDIBITS:
        return blit(type, p, record);
    default:
        return; // not drawn here
    }
}

void EmfPlayer::poly(quint32 type, MetafileBytes p) {
    p.skip(16); // bounds
    const quint32 count = p.u32();
    const bool small = type >= POLYBEZIER16;
    const QPolygonF points = readPoints(p, count, small);
    if (!p.ok() || points.size() != qint64(count))
        return;
    switch (small ? type - POLYBEZIER16 + POLYBEZIER : type) {
    case POLYBEZIER:
        return m_canvas.polyBezier(points);
    case POLYGON:
        return m_canvas.polygon(points);
    case POLYLINE:
        return m_canvas.polyline(points);
    case POLYBEZIERTO:
        return m_canvas.polyBezier(points, true);
    default:
        return m_canvas.polyline(points, true);
    }
}

void EmfPlayer::polyPoly(quint32 type, MetafileBytes p) {
    p.skip(16); // bounds
    const quint32 polygons = p.u32();
    const quint32 total = p.u32();
    const bool small = type == POLYPOLYLINE16 || type == POLYPOLYGON16;
    const qint64 needed = qint64(polygons) * 4 + qint64(total) * (small ? 4 : 8);
    if (!p.ok() || needed > p.remaining())
        return;
    std::vector<quint32> sizes;
    sizes.reserve(polygons);
    qint64 sum = 0;
    for (quint32 i = 0; i < polygons; ++i) {
        sizes.push_back(p.u32());
        sum += sizes.back();
    }
    if (sum != total)
        return;
    // Shapes of fewer than two points draw nothing and are not kept.
    std::vector<QPolygonF> shapes;
    for (quint32 size : sizes) {
        QPolygonF shape = readPoints(p, size, small);
        if (shape.size() >= 2)
            shapes.push_back(std::move(shape));
    }
    if (!p.ok())
        return;
    if (type == POLYPOLYGON || type == POLYPOLYGON16)
        return m_canvas.polyPolygon(shapes);
    for (const QPolygonF& line : shapes)
        m_canvas.polyline(line);
}

// Place 0 of the table is the metafile's own; an index with the stock bit names no place.
void EmfPlayer::createObject(quint32 index, GdiObject object) {
    if (index != 0 && !(index & StockObject))
        m_canvas.createObjectAt(index, std::move(object));
}

void EmfPlayer::createFont(MetafileBytes p) {
    const quint32 index = p.u32();
    GdiFont font;
    font.height = p.i32();
    p.i32(); // width: the face's own
    font.escapement = p.i32();
    p.i32(); // orientation
    font.weight = p.i32();
    font.italic = p.u8() != 0;
    font.underline = p.u8() != 0;
    font.strikeOut = p.u8() != 0;
    font.charset = p.u8();
    p.skip(4); // precision, quality, pitch and family
    const QByteArray face = p.bytes(64);
    if (!p.ok())
        return;
    QString name = QString::fromUtf16(reinterpret_cast<const char16_t*>(face.constData()), 32);
    const qsizetype end = name.indexOf(QChar(0));
    if (end >= 0)
        name.truncate(end);
    font.face = name;
    createObject(index, font);
}

// A pen with a pattern draws with its colour.
void EmfPlayer::extCreatePen(MetafileBytes p) {
    const quint32 index = p.u32();
    p.skip(16); // the pattern's bitmap
    const quint32 style = p.u32();
    const quint32 width = p.u32();
    const quint32 brushStyle = p.u32();
    const QColor color = ColorRef(p.u32());
    if (!p.ok())
        return;
    GdiPen pen;
    pen.style = brushStyle == 1 ? 5 : int(style & 0xFFFF); // BS_NULL: no pen
    pen.width = (style & PS_GEOMETRIC) ? double(qMin<quint32>(width, 1u << 30)) : 0;
    pen.color = color;
    createObject(index, pen);
}

void EmfPlayer::patternBrush(MetafileBytes p, const MetafileBytes& record) {
    const quint32 index = p.u32();
    p.u32(); // colour usage
    const quint32 offInfo = p.u32();
    const quint32 infoBytes = p.u32();
    const quint32 offBits = p.u32();
    const quint32 bitsBytes = p.u32();
    if (!p.ok())
        return;
    GdiBrush brush;
    brush.style = 5; // BS_DIBPATTERN
    brush.pattern = dib(record, offInfo, infoBytes, offBits, bitsBytes).image;
    if (brush.pattern.isNull())
        createObject(index, GdiOther());
    else
        createObject(index, brush);
}

MetafileDib EmfPlayer::dib(const MetafileBytes& record, quint32 offInfo, quint32 infoBytes,
                           quint32 offBits, quint32 bitsBytes) {
    MetafileBytes info = record.sub(offInfo, infoBytes);
    MetafileBytes bits = record.sub(offBits, bitsBytes);
    if (!info.ok() || !bits.ok() || infoBytes == 0)
        return MetafileDib();
    return ReadMetafileDib(info.bytes(infoBytes), bits.bytes(bitsBytes),
                           [this](qint64 pixels) { m_canvas.charge(pixels); });
}

void EmfPlayer::textOut(quint32 type, MetafileBytes p, const MetafileBytes& record) {
    p.skip(16 + 12); // bounds, graphics mode and scales
    const double x = p.i32();
    const double y = p.i32();
    const quint32 chars = p.u32();
    const quint32 offString = p.u32();
    const quint32 options = p.u32();
    std::optional<QRectF> rect;
    if (!(options & ETO_NO_RECT)) {
        const QRect r = readRect(p);
        rect = QRectF(QPointF(r.left(), r.top()), QPointF(r.right(), r.bottom()));
    }
    const quint32 offDx = p.u32();
    if (!p.ok())
        return;
    const bool wide = type == EXTTEXTOUTW;
    MetafileBytes string = record.sub(offString, qint64(chars) * (wide ? 2 : 1));
    if (!string.ok())
        return;
    const QByteArray bytes = string.bytes(string.size());

    // One advance per character unit, two values each when ETO_PDY adds the rise.
    std::vector<double> given;
    const qint64 perUnit = (options & ETO_PDY) ? 2 : 1;
    MetafileBytes dx = record.sub(offDx, qint64(chars) * 4 * perUnit);
    if (offDx != 0 && dx.ok()) {
        given.reserve(chars);
        for (quint32 i = 0; i < chars; ++i) {
            given.push_back(dx.i32());
            if (perUnit == 2)
                dx.i32();
        }
    }
    const int drawn = int(options & (Gdi::ETO_OPAQUE | Gdi::ETO_CLIPPED));
    const QRectF* box = rect ? &*rect : nullptr;
    if (wide) {
        const QString text =
            QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), chars);
        return m_canvas.textOut({x, y}, text, given, drawn, box);
    }
    std::vector<double> advances;
    const QString text =
        DecodeAnsi(bytes, m_canvas.fontCharset(), given.empty() ? nullptr : &given, &advances);
    m_canvas.textOut({x, y}, text, advances, drawn, box);
}

void EmfPlayer::blit(quint32 type, MetafileBytes p, const MetafileBytes& record) {
    p.skip(16); // bounds
    const double xDest = p.i32();
    const double yDest = p.i32();
    double cxDest = 0, cyDest = 0, xSrc = 0, ySrc = 0, cxSrc = 0, cySrc = 0;
    quint32 rop = 0x00CC0020; // SRCCOPY
    quint32 offInfo = 0, infoBytes = 0, offBits = 0, bitsBytes = 0;
    bool fromStoredRow = false; // source rows counted as StretchDIBits counts them
    if (type == BITBLT || type == STRETCHBLT) {
        cxDest = p.i32();
        cyDest = p.i32();
        rop = p.u32();
        xSrc = p.i32();
        ySrc = p.i32();
        p.skip(24 + 4 + 4); // source transform, background colour, colour usage
        offInfo = p.u32();
        infoBytes = p.u32();
        offBits = p.u32();
        bitsBytes = p.u32();
        cxSrc = type == STRETCHBLT ? p.i32() : cxDest;
        cySrc = type == STRETCHBLT ? p.i32() : cyDest;
    } else {
        xSrc = p.i32();
        ySrc = p.i32();
        cxSrc = p.i32();
        cySrc = p.i32();
        offInfo = p.u32();
        infoBytes = p.u32();
        offBits = p.u32();
        bitsBytes = p.u32();
        p.u32(); // colour usage
        if (type == STRETCHDIBITS) {
            rop = p.u32();
            cxDest = p.i32();
            cyDest = p.i32();
        } else {
            p.skip(8); // start scan and scan count
            cxDest = cxSrc;
            cyDest = cySrc;
        }
        fromStoredRow = true;
    }
    if (!p.ok())
        return;
    const QRectF dest(xDest, yDest, cxDest, cyDest);
    if (infoBytes == 0)
        return m_canvas.bitBlt(dest, QImage(), QRectF(), rop);
    const MetafileDib bitmap = dib(record, offInfo, infoBytes, offBits, bitsBytes);
    if (bitmap.image.isNull())
        return;
    if (fromStoredRow && bitmap.bottomUp)
        ySrc = bitmap.image.height() - ySrc - cySrc;
    m_canvas.bitBlt(dest, bitmap.image, QRectF(xSrc, ySrc, cxSrc, cySrc), rop);
}
} // namespace

QImage ReadEmf(const QByteArray& data) {
    const Header header = readHeader(data);
    const Placement placement = placementOf(header);
    QImage picture = NewPicture(placement.size);

    {
        // The frame on the reference device onto the whole picture.
        const QTransform deviceToImage =
            QTransform::fromTranslate(-placement.device.left(), -placement.device.top()) *
            QTransform::fromScale(placement.size.width() / placement.device.width(),
                                  placement.size.height() / placement.device.height());
        const QSizeF perHundredth = devicePixelsPerHundredth(header);
        MetafileCanvas canvas(picture, deviceToImage, perHundredth * HundredthsPerInch);
        canvas.resizeObjectTable(header.handles);

        EmfPlayer player(canvas);
        const MetafileBytes bytes(data.constData(), data.size());
        qsizetype offset = header.size;
        int played = 0;
        while (offset <= bytes.size() - RecordHeaderBytes) {
            MetafileBytes in = bytes.sub(offset, RecordHeaderBytes);
            const quint32 type = in.u32();
            const quint32 size = in.u32();
            if (size < RecordHeaderBytes || size > bytes.size() - offset || type == EOF_)
                break;
            CountRecord(played);
            player.play(type, bytes.sub(offset, size));
            offset += size;
        }
    }
    return picture;
}
