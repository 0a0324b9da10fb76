#include "picture/MetafileCanvas.h"

#include "picture/PictureLimits.h"

#include "TovexError.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace {
// Mapped coordinates are kept within this distance of the picture.
constexpr double CoordinateBound = 4.0 * PictureLimits::MaxSide;
// What one character costs beyond the pixels it covers: shaping and placing a glyph is
// work even when the glyph lies outside the picture.
constexpr qint64 CharacterCost = 1024;
// What the first use of a font (face, size, weight, slant) costs: Qt loads and sizes the
// face, about as long as drawing this many pixels.
constexpr qint64 NewFontCost = 2 * 1024 * 1024;
// What looking up a face name costs.
constexpr qint64 FaceLookupCost = 64 * 1024;
// Steps of the rasteriser's edge sorting that cost as much as drawing one pixel.
constexpr double ScanWorkPerPixel = 4;

double bounded(double v) {
    if (std::isnan(v))
        return 0;
    return qBound(-CoordinateBound, v, CoordinateBound);
}

double signOf(double v) {
    return v < 0 ? -1.0 : 1.0;
}

bool isFinite(const QTransform& t) {
    for (double v :
         {t.m11(), t.m12(), t.m13(), t.m21(), t.m22(), t.m23(), t.m31(), t.m32(), t.m33()}) {
        if (!std::isfinite(v))
            return false;
    }
    return true;
}

Qt::PenStyle dashOf(int style) {
    switch (style & 0x0F) {
    case 1:
        return Qt::DashLine;
    case 2:
    case 8: // PS_ALTERNATE
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default: // solid, inside frame, user style
        return Qt::SolidLine;
    }
}

Qt::BrushStyle hatchOf(int hatch) {
    switch (hatch) {
    case 0:
        return Qt::HorPattern;
    case 1:
        return Qt::VerPattern;
    case 2:
        return Qt::BDiagPattern; // HS_FDIAGONAL runs from top left to bottom right
    case 3:
        return Qt::FDiagPattern;
    case 4:
        return Qt::CrossPattern;
    default:
        return Qt::DiagCrossPattern;
    }
}

GdiBrush solidBrush(QColor color) {
    GdiBrush brush;
    brush.color = color;
    return brush;
}

// Draws a closed shape with the pen and the brush; a hatched brush in the opaque
// background mode first fills with the background colour, as Windows does.
template <class Draw>
void drawShape(QPainter& painter, bool opaqueHatch, const QColor& background, const Draw& draw) {
    if (opaqueHatch) {
        const QPen pen = painter.pen();
        const QBrush brush = painter.brush();
        painter.setPen(Qt::NoPen);
        painter.setBrush(background);
        draw();
        painter.setPen(pen);
        painter.setBrush(brush);
    }
    draw();
}
} // namespace

MetafileCanvas::MetafileCanvas(QImage& target, const QTransform& deviceToImage,
                               QSizeF pixelsPerInch)
    : m_target(target)
    , m_painter(&target)
    , m_deviceToImage(deviceToImage)
    , m_pixelsPerInch(pixelsPerInch) {
    // Windows draws without antialiasing; text is smoothed as on a screen.
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
    updateTransform();
}

// ---- Mapping

void MetafileCanvas::updateTransform() {
    const State& s = m_state;
    double sx = 1;
    double sy = 1;
    const double px = m_pixelsPerInch.width();
    const double py = m_pixelsPerInch.height();
    switch (s.mapMode) {
    case Gdi::MM_LOMETRIC:
        sx = px / 254, sy = -py / 254;
        break;
    case Gdi::MM_HIMETRIC:
        sx = px / 2540, sy = -py / 2540;
        break;
    case Gdi::MM_LOENGLISH:
        sx = px / 100, sy = -py / 100;
        break;
    case Gdi::MM_HIENGLISH:
        sx = px / 1000, sy = -py / 1000;
        break;
    case Gdi::MM_TWIPS:
        sx = px / 1440, sy = -py / 1440;
        break;
    case Gdi::MM_ISOTROPIC:
    case Gdi::MM_ANISOTROPIC:
        sx = s.viewportExt.width() / s.windowExt.width();
        sy = s.viewportExt.height() / s.windowExt.height();
        if (s.mapMode == Gdi::MM_ISOTROPIC) {
            const double m = qMin(std::abs(sx), std::abs(sy));
            sx = signOf(sx) * m;
            sy = signOf(sy) * m;
        }
        break;
    default:
        break;
    }
    const QTransform page = QTransform::fromTranslate(-s.windowOrg.x(), -s.windowOrg.y()) *
                            QTransform::fromScale(sx, sy) *
                            QTransform::fromTranslate(s.viewportOrg.x(), s.viewportOrg.y());
    m_toImage = s.world * page * m_deviceToImage;
}

void MetafileCanvas::setMapMode(int mode) {
    if (mode < Gdi::MM_TEXT || mode > Gdi::MM_ANISOTROPIC)
        return;
    // Every mode but the two scalable ones fixes both extents at one.
    if (mode != Gdi::MM_ISOTROPIC && mode != Gdi::MM_ANISOTROPIC)
        m_state.windowExt = m_state.viewportExt = QSizeF(1, 1);
    m_state.mapMode = mode;
    updateTransform();
}

void MetafileCanvas::setWindowOrg(QPointF org) {
    m_state.windowOrg = org;
    updateTransform();
}

void MetafileCanvas::setViewportOrg(QPointF org) {
    m_state.viewportOrg = org;
    updateTransform();
}

void MetafileCanvas::setExtent(QSizeF& extent, QSizeF to) {
    // Extents are only taken in the scalable modes, and never zero.
    if (m_state.mapMode < Gdi::MM_ISOTROPIC || to.width() == 0 || to.height() == 0)
        return;
    extent = to;
    updateTransform();
}

void MetafileCanvas::scaleExtent(QSizeF& extent, double xNum, double xDenom, double yNum,
                                 double yDenom) {
    if (xDenom == 0 || yDenom == 0)
        return;
    setExtent(extent, QSizeF(extent.width() * xNum / xDenom, extent.height() * yNum / yDenom));
}

void MetafileCanvas::setWindowExt(QSizeF ext) {
    setExtent(m_state.windowExt, ext);
}

void MetafileCanvas::setViewportExt(QSizeF ext) {
    setExtent(m_state.viewportExt, ext);
}

void MetafileCanvas::offsetWindowOrg(QPointF by) {
    setWindowOrg(m_state.windowOrg + by);
}

void MetafileCanvas::offsetViewportOrg(QPointF by) {
    setViewportOrg(m_state.viewportOrg + by);
}

void MetafileCanvas::scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom) {
    scaleExtent(m_state.windowExt, xNum, xDenom, yNum, yDenom);
}

void MetafileCanvas::scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom) {
    scaleExtent(m_state.viewportExt, xNum, xDenom, yNum, yDenom);
}

void MetafileCanvas::setWorldTransform(const QTransform& world) {
    if (!isFinite(world) || !world.isInvertible())
        return;
    m_state.world = world;
    updateTransform();
}

void MetafileCanvas::modifyWorldTransform(const QTransform& by, int mode) {
    // QTransform multiplies row vectors: a * b applies a first, as XFORM products do.
    switch (mode) {
    case 1: // MWT_IDENTITY
        setWorldTransform(QTransform());
        break;
    case 2: // MWT_LEFTMULTIPLY
        setWorldTransform(by * m_state.world);
        break;
    case 3: // MWT_RIGHTMULTIPLY
        setWorldTransform(m_state.world * by);
        break;
    case 4: // MWT_SET
        setWorldTransform(by);
        break;
    default:
        break;
    }
}

QPointF MetafileCanvas::map(QPointF logical) const {
    const QPointF p = m_toImage.map(logical);
    return QPointF(bounded(p.x()), bounded(p.y()));
}

QPolygonF MetafileCanvas::map(const QPolygonF& logical) const {
    QPolygonF mapped;
    mapped.reserve(logical.size());
    for (const QPointF& p : logical)
        mapped.append(map(p));
    return mapped;
}

// The pixels between the two mapped corners: the right and bottom edge are excluded, as
// Windows excludes them.
QRect MetafileCanvas::mapRect(const QRectF& corners) const {
    const QPointF a = map(corners.topLeft());
    const QPointF b = map(corners.bottomRight());
    const int x1 = qRound(qMin(a.x(), b.x()));
    const int x2 = qRound(qMax(a.x(), b.x()));
    const int y1 = qRound(qMin(a.y(), b.y()));
    const int y2 = qRound(qMax(a.y(), b.y()));
    return QRect(x1, y1, x2 - x1, y2 - y1);
}

// ---- The budget

void MetafileCanvas::charge(qint64 pixels) {
    m_drawnPixels += qMax<qint64>(pixels, 0);
    if (m_drawnPixels > PictureLimits::MaxMetafileDrawnPixels)
        throw TovexError(QStringLiteral("Picture is too large (the metafile draws more than "
                                        "%1 pixels)")
                             .arg(PictureLimits::MaxMetafileDrawnPixels));
}

qint64 MetafileCanvas::visibleArea(const QRectF& deviceArea) const {
    const QRectF visible = deviceArea.normalized().intersected(QRectF(m_target.rect()));
    return 1 + qint64(std::ceil(visible.width()) * std::ceil(visible.height()));
}

// The rasteriser keeps the edges that cross a row in order, and a row crossed by n edges
// costs it about n * n: the sum of that over the picture's rows, for edges that reach
// inflate beyond their ends, each counted perEdge times.
double MetafileCanvas::scanWork(const std::vector<QPolygonF>& outlines, bool closed, double inflate,
                                int perEdge) const {
    std::vector<std::pair<int, int>> events; // row, change of the edges crossing it
    const double lastRow = m_target.height() - 1;
    for (const QPolygonF& outline : outlines) {
        const qsizetype edges = closed ? outline.size() : outline.size() - 1;
        for (qsizetype i = 0; i < edges; ++i) {
            const QPointF a = outline[i];
            const QPointF b = outline[(i + 1) % outline.size()];
            const double top = qMax(0.0, std::floor(qMin(a.y(), b.y()) - inflate));
            const double bottom = qMin(lastRow, std::ceil(qMax(a.y(), b.y()) + inflate));
            if (top > bottom)
                continue;
            events.emplace_back(int(top), perEdge);
            events.emplace_back(int(bottom) + 1, -perEdge);
        }
    }
    std::sort(events.begin(), events.end());
    double work = 0;
    double crossing = 0;
    int row = 0;
    for (const auto& [at, change] : events) {
        work += crossing * crossing * (at - row);
        row = at;
        crossing += change;
    }
    return work;
}

// A fill touches its visible bounds, and the rasteriser sorts the edges on each row.
void MetafileCanvas::chargeFill(const std::vector<QPolygonF>& outlines, const QRectF& bounds) {
    const double work = scanWork(outlines, true, 0, 1) / ScanWorkPerPixel;
    charge(visibleArea(bounds) +
           qint64(qMin(work, double(PictureLimits::MaxMetafileDrawnPixels) + 1)));
}

// A stroke covers about its length times its width on each segment, and no more than the
// visible part of the segment's bounds. A wide pen's stroke is then filled as an outline
// with two long edges per segment.
void MetafileCanvas::chargeStroke(const QPolygonF& mapped, bool closed) {
    if (dashOf(m_state.pen.style) == Qt::NoPen || mapped.isEmpty())
        return;
    const double width = penPixels() + 1;
    const qsizetype segments = closed ? mapped.size() : mapped.size() - 1;
    for (qsizetype i = 0; i < segments; ++i) {
        const QPointF a = mapped[i];
        const QPointF b = mapped[(i + 1) % mapped.size()];
        const QRectF bounds = QRectF(a, b).normalized().adjusted(-width, -width, width, width);
        const QRectF visible = bounds.intersected(QRectF(m_target.rect()));
        if (visible.isEmpty()) {
            charge(1);
            continue;
        }
        const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
        const double visibleLength = qMin(length, std::hypot(visible.width(), visible.height()));
        charge(qMin(visibleArea(visible), 1 + qint64((visibleLength + width) * width)));
    }
    if (penPixels() > 0) {
        const double work = scanWork({mapped}, closed, width / 2, 2) / ScanWorkPerPixel;
        charge(qint64(qMin(work, double(PictureLimits::MaxMetafileDrawnPixels) + 1)));
    }
}

// ---- State and objects

void MetafileCanvas::saveState() {
    if (int(m_saved.size()) < PictureLimits::MaxMetafileSavedStates)
        m_saved.push_back(m_state);
}

void MetafileCanvas::restoreState(int which) {
    const int depth = int(m_saved.size());
    const int index = which < 0 ? depth + which : which - 1;
    if (index < 0 || index >= depth)
        return;
    m_state = m_saved[size_t(index)];
    m_saved.resize(size_t(index));
    updateTransform();
}

void MetafileCanvas::resizeObjectTable(qint64 count) {
    const qint64 places = qBound(qint64(0), count, qint64(MaxObjects));
    m_objects.assign(size_t(places), GdiObject());
    m_freeObjects.clear();
    for (qint64 i = 0; i < places; ++i)
        m_freeObjects.insert(m_freeObjects.end(), i);
}

// Patterns live as long as their brushes: their pixels together are bounded like one
// picture's, however many brushes a file creates and deletes.
void MetafileCanvas::keepPattern(const GdiObject& object) {
    const auto* brush = std::get_if<GdiBrush>(&object);
    if (!brush || brush->pattern.isNull())
        return;
    m_patternPixels += qint64(brush->pattern.width()) * brush->pattern.height();
    if (m_patternPixels > PictureLimits::MaxPixels)
        throw TovexError(QStringLiteral("Picture is too large (the metafile's brush patterns "
                                        "exceed %1 pixels)")
                             .arg(PictureLimits::MaxPixels));
}

void MetafileCanvas::createObject(GdiObject object) {
    // A table that is full makes the creation fail, as it does on Windows.
    if (m_freeObjects.empty())
        return;
    keepPattern(object);
    const qint64 index = *m_freeObjects.begin();
    m_freeObjects.erase(m_freeObjects.begin());
    m_objects[size_t(index)] = std::move(object);
}

void MetafileCanvas::createObjectAt(qint64 index, GdiObject object) {
    if (index < 0 || index >= qint64(m_objects.size()))
        return;
    keepPattern(object);
    m_objects[size_t(index)] = std::move(object);
    m_freeObjects.erase(index);
}

void MetafileCanvas::select(const GdiObject& object) {
    if (const auto* pen = std::get_if<GdiPen>(&object))
        m_state.pen = *pen;
    else if (const auto* brush = std::get_if<GdiBrush>(&object))
        m_state.brush = *brush;
    else if (const auto* font = std::get_if<GdiFont>(&object))
        m_state.font = *font;
}

void MetafileCanvas::selectObject(qint64 index) {
    if (index >= 0 && index < qint64(m_objects.size()))
        select(m_objects[size_t(index)]);
}

void MetafileCanvas::selectStockObject(quint32 stockIndex) {
    switch (stockIndex) {
    case 0:
        return select(solidBrush(Qt::white));
    case 1:
        return select(solidBrush(QColor(0xC0, 0xC0, 0xC0)));
    case 2:
        return select(solidBrush(QColor(0x80, 0x80, 0x80)));
    case 3:
        return select(solidBrush(QColor(0x40, 0x40, 0x40)));
    case 4:
        return select(solidBrush(Qt::black));
    case 5: {
        GdiBrush none;
        none.style = 1;
        return select(none);
    }
    case 6:
        return select(GdiPen{0, 0, Qt::white});
    case 7:
        return select(GdiPen{0, 0, Qt::black});
    case 8:
        return select(GdiPen{5, 0, Qt::black});
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 16:
    case 17:
        return select(GdiFont());
    default:
        return;
    }
}

void MetafileCanvas::deleteObject(qint64 index) {
    if (index < 0 || index >= qint64(m_objects.size()))
        return;
    m_objects[size_t(index)] = std::monostate();
    m_freeObjects.insert(index);
}

// ---- Drawing

double MetafileCanvas::penPixels() const {
    const double scale = std::hypot(m_toImage.m11(), m_toImage.m12());
    const double width = std::abs(m_state.pen.width) * scale;
    if (!(width > 1.5)) // a pen of one pixel or less is drawn as exactly one pixel
        return 0;
    return qMin(width, double(PictureLimits::MaxSide));
}

void MetafileCanvas::applyPen() {
    const GdiPen& pen = m_state.pen;
    const Qt::PenStyle dash = dashOf(pen.style);
    if (dash == Qt::NoPen) {
        m_painter.setPen(Qt::NoPen);
        return;
    }
    QPen qpen(pen.color, penPixels(), dash);
    const int cap = pen.style & 0x0F00;
    const int join = pen.style & 0xF000;
    qpen.setCapStyle(cap == 0x0100 ? Qt::SquareCap : cap == 0x0200 ? Qt::FlatCap : Qt::RoundCap);
    qpen.setJoinStyle(join == 0x1000   ? Qt::BevelJoin
                      : join == 0x2000 ? Qt::MiterJoin
                                       : Qt::RoundJoin);
    m_painter.setPen(qpen);
}

void MetafileCanvas::applyBrush() {
    const GdiBrush& brush = m_state.brush;
    switch (brush.style) {
    case 1: // BS_NULL
        m_painter.setBrush(Qt::NoBrush);
        break;
    case 2: // BS_HATCHED
        m_painter.setBrush(QBrush(brush.color, hatchOf(brush.hatch)));
        break;
    case 3: // BS_PATTERN
    case 5: // BS_DIBPATTERN
    case 6: // BS_DIBPATTERNPT
        if (!brush.pattern.isNull())
            m_painter.setBrush(QBrush(brush.pattern));
        else
            m_painter.setBrush(brush.color);
        break;
    default:
        m_painter.setBrush(brush.color);
        break;
    }
}

bool MetafileCanvas::opaqueHatch() const {
    return m_state.brush.style == 2 && m_state.bkMode == Gdi::OPAQUE;
}

void MetafileCanvas::moveTo(QPointF to) {
    m_state.position = to;
}

void MetafileCanvas::lineTo(QPointF to) {
    const QPointF a = map(m_state.position);
    const QPointF b = map(to);
    m_state.position = to;
    chargeStroke(QPolygonF({a, b}), false);
    applyPen();
    m_painter.drawLine(a, b);
}

void MetafileCanvas::rectangle(const QRectF& corners) {
    if (m_toImage.isRotating()) {
        polygon(QPolygonF(
            {corners.topLeft(), corners.topRight(), corners.bottomRight(), corners.bottomLeft()}));
        return;
    }
    drawBox(corners, [&](const QRect& shape) { m_painter.drawRect(shape); });
}

void MetafileCanvas::roundRect(const QRectF& corners, QSizeF cornerSize) {
    const double rx = bounded(std::abs(cornerSize.width() * m_toImage.m11()) / 2);
    const double ry = bounded(std::abs(cornerSize.height() * m_toImage.m22()) / 2);
    drawBox(corners, [&](const QRect& shape) {
        m_painter.drawRoundedRect(shape, qMin(rx, shape.width() / 2.0),
                                  qMin(ry, shape.height() / 2.0));
    });
}

void MetafileCanvas::ellipse(const QRectF& corners) {
    drawBox(corners, [&](const QRect& shape) { m_painter.drawEllipse(shape); });
}

void MetafileCanvas::drawBox(const QRectF& corners,
                             const std::function<void(const QRect& shape)>& draw) {
    const QRect r = mapRect(corners);
    if (r.width() < 1 || r.height() < 1)
        return;
    chargeFill({QPolygonF(QRectF(r))}, r);
    chargeStroke(QPolygonF(QRectF(r)), true);
    applyPen();
    applyBrush();
    // Windows covers left .. right - 1 with the outline, and one less without a pen;
    // Qt strokes a QRect one pixel wider than it fills, so a QRect one pixel narrower
    // gives both.
    const QRect shape(r.topLeft(), QSize(r.width() - 1, r.height() - 1));
    drawShape(m_painter, opaqueHatch(), m_state.bkColor, [&] { draw(shape); });
}

void MetafileCanvas::polygon(const QPolygonF& points) {
    polyPolygon({points});
}

void MetafileCanvas::polyPolygon(const std::vector<QPolygonF>& polygons) {
    QPainterPath path;
    path.setFillRule(m_state.polyFillMode == 2 ? Qt::WindingFill : Qt::OddEvenFill);
    std::vector<QPolygonF> outlines;
    for (const QPolygonF& points : polygons) {
        if (points.size() < 2)
            continue;
        QPolygonF mapped = map(points);
        path.addPolygon(mapped);
        path.closeSubpath();
        outlines.push_back(std::move(mapped));
    }
    if (path.isEmpty())
        return;
    chargeFill(outlines, path.boundingRect());
    for (const QPolygonF& outline : outlines)
        chargeStroke(outline, true);
    applyPen();
    applyBrush();
    drawShape(m_painter, opaqueHatch(), m_state.bkColor, [&] { m_painter.drawPath(path); });
}

void MetafileCanvas::polyline(const QPolygonF& points, bool fromCurrentPosition) {
    QPolygonF all = points;
    if (fromCurrentPosition)
        all.prepend(m_state.position);
    if (fromCurrentPosition && !points.isEmpty())
        m_state.position = points.back();
    if (all.size() < 2)
        return;
    const QPolygonF mapped = map(all);
    chargeStroke(mapped, false);
    applyPen();
    m_painter.drawPolyline(mapped);
}

void MetafileCanvas::polyBezier(const QPolygonF& points, bool fromCurrentPosition) {
    QPolygonF all = points;
    if (fromCurrentPosition)
        all.prepend(m_state.position);
    if (all.size() < 4)
        return;
    const QPolygonF mapped = map(all);
    QPainterPath path(mapped.front());
    qsizetype i = 1;
    for (; i + 2 < mapped.size(); i += 3)
        path.cubicTo(mapped[i], mapped[i + 1], mapped[i + 2]);
    // A curve is no longer than its control polygon.
    chargeStroke(mapped, false);
    applyPen();
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPath(path);
    if (fromCurrentPosition)
        m_state.position = all[i - 1];
}

void MetafileCanvas::setPixel(QPointF at, const QColor& color) {
    const QPointF p = map(at);
    charge(1);
    m_painter.fillRect(QRectF(QPointF(std::floor(p.x()), std::floor(p.y())), QSizeF(1, 1)), color);
}

// An unknown face falls back to the default one: asking for it by name would make the
// font matching search for every name a file invents.
bool MetafileCanvas::knownFace(const QString& face) {
    const auto known = m_knownFaces.constFind(face);
    if (known != m_knownFaces.constEnd())
        return *known;
    charge(FaceLookupCost);
    return *m_knownFaces.insert(face, QFontDatabase::hasFamily(face));
}

QFont MetafileCanvas::currentFont() {
    const GdiFont& f = m_state.font;
    QFont font;
    if (!f.face.isEmpty() && knownFace(f.face))
        font.setFamily(f.face);
    const double scale = std::hypot(m_toImage.m21(), m_toImage.m22());
    double pixels = std::abs(f.height) * scale;
    if (f.height == 0 || !(pixels >= 1))
        pixels = 12;
    pixels = qMin(pixels, double(PictureLimits::MaxMetafileFontPixels));
    font.setPixelSize(qMax(1, qRound(pixels)));
    if (f.height > 0) {
        // A positive height is the cell (ascent and descent), not the character.
        const double cell = QFontMetricsF(font).height();
        if (cell > 0)
            font.setPixelSize(
                qBound(1, qRound(pixels * pixels / cell), PictureLimits::MaxMetafileFontPixels));
    }
    // Faces come in weights of whole hundreds; nearer ones add nothing but fonts to load.
    if (f.weight > 0)
        font.setWeight(QFont::Weight(qBound(100, (f.weight + 50) / 100 * 100, 900)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    return font;
}

void MetafileCanvas::textOut(QPointF at, const QString& text, const std::vector<double>& advances,
                             int options, const QRectF* rect) {
    const State& s = m_state;
    if (text.isEmpty() && !(rect && (options & Gdi::ETO_OPAQUE)))
        return;
    const QFont font = currentFont();
    if (!m_usedFonts.contains(font.key())) {
        charge(NewFontCost);
        m_usedFonts.insert(font.key());
    }
    // Each glyph is rasterised on its own, up to its whole em square, wherever the
    // advances put it.
    const qint64 em = font.pixelSize();
    const qint64 glyphPixels = qMin(em * em, qint64(m_target.width()) * m_target.height());
    charge((CharacterCost + glyphPixels) * text.size());
    const QFontMetricsF metrics(font);
    const double scaleX = std::hypot(m_toImage.m11(), m_toImage.m12());

    // Advance of each character in pixels, from the record or from the font.
    std::vector<double> steps;
    steps.reserve(size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const double step = size_t(i) < advances.size() ? std::abs(advances[size_t(i)]) * scaleX
                                                        : metrics.horizontalAdvance(text.at(i));
        steps.push_back(qMin(bounded(step), CoordinateBound));
    }
    double width = 0;
    for (double step : steps)
        width = qMin(width + step, 2 * CoordinateBound);

    const bool updateCp = s.textAlign & Gdi::TA_UPDATECP;
    const QPointF origin = map(updateCp ? s.position : at);
    double x = 0;
    if ((s.textAlign & Gdi::TA_CENTER) == Gdi::TA_CENTER)
        x = -width / 2;
    else if (s.textAlign & Gdi::TA_RIGHT)
        x = -width;
    double baseline = metrics.ascent();
    if ((s.textAlign & Gdi::TA_BASELINE) == Gdi::TA_BASELINE)
        baseline = 0;
    else if (s.textAlign & Gdi::TA_BOTTOM)
        baseline = -metrics.descent();

    const QRectF box(x, baseline - metrics.ascent(), width, metrics.ascent() + metrics.descent());
    QTransform placement = QTransform::fromTranslate(origin.x(), origin.y());
    placement.rotate(-double(s.font.escapement) / 10.0); // counter-clockwise, any int
    charge(visibleArea(placement.mapRect(box)));

    m_painter.save();
    if (rect && (options & (Gdi::ETO_OPAQUE | Gdi::ETO_CLIPPED))) {
        const QRect r = mapRect(*rect);
        if (options & Gdi::ETO_OPAQUE) {
            charge(visibleArea(r));
            m_painter.fillRect(r, s.bkColor);
        }
        if (options & Gdi::ETO_CLIPPED)
            m_painter.setClipRect(r);
    }
    m_painter.setTransform(placement);
    if (s.bkMode == Gdi::OPAQUE && !(rect && (options & Gdi::ETO_OPAQUE)))
        m_painter.fillRect(box, s.bkColor);
    m_painter.setFont(font);
    m_painter.setPen(s.textColor);
    double pen = x;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // A surrogate pair is drawn as one character at the first unit's place.
        if (text.at(i).isHighSurrogate() && i + 1 < text.size()) {
            m_painter.drawText(QPointF(pen, baseline), text.mid(i, 2));
            pen += steps[size_t(i)] + steps[size_t(i + 1)];
            ++i;
            continue;
        }
        m_painter.drawText(QPointF(pen, baseline), QString(text.at(i)));
        pen += steps[size_t(i)];
    }
    m_painter.restore();

    if (updateCp && scaleX > 0)
        m_state.position.rx() += width / scaleX;
}

void MetafileCanvas::bitBlt(const QRectF& dest, const QImage& image, const QRectF& source,
                            quint32 rasterOp) {
    const QPointF a = map(dest.topLeft());
    const QPointF b = map(dest.bottomRight());
    const QRectF target = QRectF(a, b).normalized();
    if (target.width() < 0.5 || target.height() < 0.5)
        return;
    const auto fill = [&](const QBrush& brush, QPainter::CompositionMode mode) {
        charge(visibleArea(target));
        m_painter.save();
        m_painter.setPen(Qt::NoPen);
        m_painter.setCompositionMode(mode);
        m_painter.fillRect(target, brush);
        m_painter.restore();
    };
    switch (rasterOp) {
    case 0x00AA0029: // D: nothing
        return;
    case 0x00000042: // BLACKNESS
        return fill(Qt::black, QPainter::CompositionMode_Source);
    case 0x00FF0062: // WHITENESS
        return fill(Qt::white, QPainter::CompositionMode_Source);
    case 0x00550009: // DSTINVERT
        return fill(Qt::white, QPainter::RasterOp_NotDestination);
    default:
        break;
    }
    if (image.isNull() || rasterOp == 0x00F00021) { // no source, or PATCOPY
        applyBrush();
        return fill(m_painter.brush(), QPainter::CompositionMode_SourceOver);
    }

    const QRectF wanted = source.normalized();
    const QRectF available = wanted.intersected(QRectF(image.rect()));
    if (wanted.width() <= 0 || wanted.height() <= 0 || available.isEmpty())
        return;
    const bool mirrorX = (b.x() < a.x()) != (source.width() < 0);
    const bool mirrorY = (b.y() < a.y()) != (source.height() < 0);
    // The part of the target that the available source covers, mirrored with it.
    double fx0 = (available.left() - wanted.left()) / wanted.width();
    double fx1 = (available.right() - wanted.left()) / wanted.width();
    double fy0 = (available.top() - wanted.top()) / wanted.height();
    double fy1 = (available.bottom() - wanted.top()) / wanted.height();
    if (mirrorX)
        std::tie(fx0, fx1) = std::make_pair(1 - fx1, 1 - fx0);
    if (mirrorY)
        std::tie(fy0, fy1) = std::make_pair(1 - fy1, 1 - fy0);
    const QRectF part(target.left() + fx0 * target.width(), target.top() + fy0 * target.height(),
                      (fx1 - fx0) * target.width(), (fy1 - fy0) * target.height());

    const QRect pixels = available.toAlignedRect().intersected(image.rect());
    charge(visibleArea(part) + qint64(pixels.width()) * pixels.height());
    const QImage piece = image.copy(pixels).mirrored(mirrorX, mirrorY);

    m_painter.save();
    if (rasterOp == 0x008800C6) // SRCAND
        m_painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
    else if (rasterOp == 0x00EE0086) // SRCPAINT
        m_painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
    else if (rasterOp == 0x00660046) // SRCINVERT
        m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    m_painter.drawImage(part, piece);
    m_painter.restore();
}
