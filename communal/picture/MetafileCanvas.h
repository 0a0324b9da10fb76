#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSet>
#include <QString>
#include <QTransform>

#include <functional>
#include <set>
#include <variant>
#include <vector>

// The drawing state of a metafile being played (the part of a Windows device context
// that metafile records change) and the drawing operations on it. The WMF and EMF record
// readers decode their records into these calls; coordinates are logical units, mapped
// through the world transform (EMF), then the window and viewport, then onto the picture.
//
// Every operation charges the work it causes to a budget and throws TovexError
// "Picture is too large (...)" when PictureLimits::MaxMetafileDrawnPixels is used up.
// Mapped coordinates are clamped to a range around the picture, so that hostile
// coordinates cannot upset the rasteriser. Values that Windows would refuse (a zero
// extent, a world transform that cannot be inverted, an object index outside the table)
// leave the state as it was.

struct GdiPen {
    int style = 0;    // PS_SOLID; dash in the low four bits, end cap and join above
    double width = 0; // logical units; 0 (and any cosmetic pen) is one pixel
    QColor color = Qt::black;
};

struct GdiBrush {
    int style = 0; // BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN or BS_DIBPATTERN(PT)
    QColor color = Qt::white;
    int hatch = 0;
    QImage pattern;
};

struct GdiFont {
    double height = 0;  // logical units; negative: the character height, positive: the cell
    int escapement = 0; // tenths of a degree, counter-clockwise
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 1; // DEFAULT_CHARSET: the system's ANSI code page
    QString face;
};

// A palette, a region or another object that takes a place in the object table but is
// not drawn with.
struct GdiOther {};

using GdiObject = std::variant<std::monostate, GdiPen, GdiBrush, GdiFont, GdiOther>;

namespace Gdi {
enum MapMode {
    MM_TEXT = 1,
    MM_LOMETRIC,
    MM_HIMETRIC,
    MM_LOENGLISH,
    MM_HIENGLISH,
    MM_TWIPS,
    MM_ISOTROPIC,
    MM_ANISOTROPIC
};
enum BkMode { TRANSPARENT = 1, OPAQUE = 2 };
enum TextAlign { TA_UPDATECP = 1, TA_RIGHT = 2, TA_CENTER = 6, TA_BOTTOM = 8, TA_BASELINE = 24 };
enum ExtTextOptions { ETO_OPAQUE = 2, ETO_CLIPPED = 4 };
} // namespace Gdi

class MetafileCanvas {
public:
    // Places in an object table: WMF counts them in 16 bits, and an EMF that asks for
    // more gets this many.
    static constexpr int MaxObjects = 65535;

    // Draws onto target, which must stay alive and unpainted by others while this lives.
    // deviceToImage maps the metafile's device units onto the picture; pixelsPerInch is
    // the device's resolution, for the fixed mapping modes.
    MetafileCanvas(QImage& target, const QTransform& deviceToImage, QSizeF pixelsPerInch);
    MetafileCanvas(const MetafileCanvas&) = delete;
    MetafileCanvas& operator=(const MetafileCanvas&) = delete;

    // Mapping.
    void setMapMode(int mode);
    void setWindowOrg(QPointF org);
    void setWindowExt(QSizeF ext);
    void setViewportOrg(QPointF org);
    void setViewportExt(QSizeF ext);
    void offsetWindowOrg(QPointF by);
    void offsetViewportOrg(QPointF by);
    void scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    void setWorldTransform(const QTransform& world);
    void modifyWorldTransform(const QTransform& by, int mode);

    // Attributes.
    void setTextColor(const QColor& color) { m_state.textColor = color; }
    void setBkColor(const QColor& color) { m_state.bkColor = color; }
    void setBkMode(int mode) { m_state.bkMode = mode; }
    void setTextAlign(int align) { m_state.textAlign = align; }
    void setPolyFillMode(int mode) { m_state.polyFillMode = mode; }
    int fontCharset() const { return m_state.font.charset; }
    // Saves beyond PictureLimits::MaxMetafileSavedStates are not kept.
    void saveState();
    void restoreState(int which); // negative: relative to the top; positive: absolute

    // Objects: WMF puts a new object into the lowest free place, EMF names the place.
    void resizeObjectTable(qint64 count);
    void createObject(GdiObject object);
    void createObjectAt(qint64 index, GdiObject object);
    void selectObject(qint64 index);
    void selectStockObject(quint32 stockIndex);
    void deleteObject(qint64 index);

    // Drawing, in logical units.
    void moveTo(QPointF to);
    void lineTo(QPointF to);
    void rectangle(const QRectF& corners); // left, top, right, bottom as given
    void roundRect(const QRectF& corners, QSizeF cornerSize);
    void ellipse(const QRectF& corners);
    void polygon(const QPolygonF& points);
    void polyPolygon(const std::vector<QPolygonF>& polygons);
    void polyline(const QPolygonF& points, bool fromCurrentPosition = false);
    void polyBezier(const QPolygonF& points, bool fromCurrentPosition = false);
    void setPixel(QPointF at, const QColor& color);
    // Characters with their advances in logical units (missing ones: the font's own).
    void textOut(QPointF at, const QString& text, const std::vector<double>& advances,
                 int options = 0, const QRectF* rect = nullptr);
    // A block transfer into the logical rectangle dest (origin and signed size). The
    // source is the rectangle of image's pixels, top row first, origin and signed size;
    // opposite signs mirror, as they do on Windows. image may be null for the raster
    // operations that take no source.
    void bitBlt(const QRectF& dest, const QImage& image, const QRectF& source, quint32 rasterOp);

    // Charges work done outside the canvas (decoding an embedded bitmap) to the budget.
    void charge(qint64 pixels);

private:
    struct State {
        int mapMode = Gdi::MM_TEXT;
        QPointF windowOrg;
        QSizeF windowExt{1, 1};
        QPointF viewportOrg;
        QSizeF viewportExt{1, 1};
        QTransform world;
        GdiPen pen;
        GdiBrush brush;
        GdiFont font;
        QColor textColor = Qt::black;
        QColor bkColor = Qt::white;
        int bkMode = Gdi::OPAQUE;
        int textAlign = 0;
        int polyFillMode = 1; // ALTERNATE
        QPointF position;     // logical
    };

    void updateTransform();
    void setExtent(QSizeF& extent, QSizeF to);
    // Rectangle, rounded rectangle and ellipse: the box in device pixels, charged, with
    // the pen and brush applied; draw gets the box as Qt must be given it.
    void drawBox(const QRectF& corners, const std::function<void(const QRect& shape)>& draw);
    void scaleExtent(QSizeF& extent, double xNum, double xDenom, double yNum, double yDenom);
    QPointF map(QPointF logical) const;
    QPolygonF map(const QPolygonF& logical) const;
    QRect mapRect(const QRectF& corners) const;
    double penPixels() const;
    qint64 visibleArea(const QRectF& deviceArea) const;
    double scanWork(const std::vector<QPolygonF>& outlines, bool closed, double inflate,
                    int perEdge) const;
    void chargeFill(const std::vector<QPolygonF>& outlines, const QRectF& bounds);
    void chargeStroke(const QPolygonF& mapped, bool closed);
    void applyPen();
    void applyBrush();
    bool opaqueHatch() const;
    bool knownFace(const QString& face);
    QFont currentFont();
    void keepPattern(const GdiObject& object);
    void select(const GdiObject& object);

    QImage& m_target;
    QPainter m_painter;
    QTransform m_deviceToImage;
    QSizeF m_pixelsPerInch;
    QTransform m_toImage;
    State m_state;
    std::vector<State> m_saved;
    std::vector<GdiObject> m_objects;
    std::set<qint64> m_freeObjects; // WMF: the free places, lowest first
    qint64 m_drawnPixels = 0;
    qint64 m_patternPixels = 0;
    QHash<QString, bool> m_knownFaces;
    QSet<QString> m_usedFonts;
};
