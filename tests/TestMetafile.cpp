// The metafile reader: WMF (placeable and plain) and EMF files written here record by
// record, drawn at their natural size; shapes, text and bitmaps where the records put
// them; refusals with their messages; the picture holder's wmf and emf files.
#include "TovexError.h"
#include "picture/MetafileReader.h"
#include "picture/MetafileRecords.h"
#include "picture/Picture.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <cstring>

namespace {
// ---- Writing metafiles

class Bytes {
public:
    Bytes& u8(int v) {
        m_data.append(char(v));
        return *this;
    }
    Bytes& u16(int v) {
        char b[2];
        qToLittleEndian<quint16>(quint16(v), b);
        m_data.append(b, 2);
        return *this;
    }
    Bytes& u32(qint64 v) {
        char b[4];
        qToLittleEndian<quint32>(quint32(v), b);
        m_data.append(b, 4);
        return *this;
    }
    Bytes& f32(float v) {
        quint32 bits;
        std::memcpy(&bits, &v, 4);
        return u32(bits);
    }
    Bytes& raw(const QByteArray& bytes) {
        m_data.append(bytes);
        return *this;
    }
    Bytes& words(std::initializer_list<int> values) {
        for (int v : values)
            u16(v);
        return *this;
    }
    Bytes& ints(std::initializer_list<qint64> values) {
        for (qint64 v : values)
            u32(v);
        return *this;
    }
    const QByteArray& data() const { return m_data; }

private:
    QByteArray m_data;
};

quint32 colorRef(QRgb rgb) {
    return quint32(qRed(rgb)) | quint32(qGreen(rgb)) << 8 | quint32(qBlue(rgb)) << 16;
}

// A 2 x 2 bitmap, 24 bits: red and white on the top row, blue and green below.
QByteArray dib2x2(bool bottomUp) {
    Bytes dib;
    dib.ints({40, 2, bottomUp ? 2 : -2}).words({1, 24}).ints({0, 16, 0, 0, 0, 0});
    const auto row = [&dib](QRgb left, QRgb right) {
        dib.u8(qBlue(left)).u8(qGreen(left)).u8(qRed(left));
        dib.u8(qBlue(right)).u8(qGreen(right)).u8(qRed(right));
        dib.u16(0); // rows are padded to four bytes
    };
    if (bottomUp) {
        row(qRgb(0, 0, 255), qRgb(0, 255, 0));
        row(qRgb(255, 0, 0), qRgb(255, 255, 255));
    } else {
        row(qRgb(255, 0, 0), qRgb(255, 255, 255));
        row(qRgb(0, 0, 255), qRgb(0, 255, 0));
    }
    return dib.data();
}

class Wmf {
public:
    // A record of 16-bit parameters, in the order the record stores them.
    Wmf& record(int function, std::initializer_list<int> words) {
        Bytes params;
        params.words(words);
        return record(function, params.data());
    }
    Wmf& record(int function, const QByteArray& params) {
        Bytes r;
        r.u32(3 + params.size() / 2).u16(function).raw(params);
        m_records += r.data();
        return *this;
    }
    // A record whose size field says words, whatever follows.
    Wmf& brokenRecord(qint64 words) {
        m_records += Bytes().u32(words).u16(0x041B).words({1, 2, 3, 4}).data();
        return *this;
    }

    Wmf& pen(QRgb color, int width = 0) {
        const quint32 c = colorRef(color);
        return record(0x02FA, {0, width, 0, int(c & 0xFFFF), int(c >> 16)});
    }
    Wmf& brush(QRgb color) {
        const quint32 c = colorRef(color);
        return record(0x02FC, {0, int(c & 0xFFFF), int(c >> 16), 0});
    }
    Wmf& select(int index) { return record(0x012D, {index}); }
    Wmf& rectangle(int l, int t, int r, int b) { return record(0x041B, {b, r, t, l}); }
    Wmf& ellipse(int l, int t, int r, int b) { return record(0x0418, {b, r, t, l}); }
    Wmf& windowOrg(int x, int y) { return record(0x020B, {y, x}); }
    Wmf& windowExt(int x, int y) { return record(0x020C, {y, x}); }

    QByteArray plain(int objects = 8) const {
        Bytes file;
        file.words({1, 9, 0x0300}).u32(0).u16(objects).u32(0).u16(0);
        return file.data() + m_records + eof();
    }
    QByteArray placeable(int left, int top, int right, int bottom, int inch,
                         int objects = 8) const {
        Bytes file;
        file.u32(0x9AC6CDD7).words({0, left, top, right, bottom, inch}).u32(0).u16(0);
        return file.data() + plain(objects);
    }

private:
    static QByteArray eof() { return Bytes().u32(3).u16(0).data(); }
    QByteArray m_records;
};

class Emf {
public:
    Emf& record(quint32 type, const QByteArray& params) {
        m_records += Bytes().u32(type).u32(8 + params.size()).raw(params).data();
        return *this;
    }
    Emf& record(quint32 type, std::initializer_list<qint64> values) {
        return record(type, Bytes().ints(values).data());
    }
    Emf& raw(const QByteArray& records) {
        m_records += records;
        return *this;
    }
    const QByteArray& records() const { return m_records; }
    Emf& pen(int index, QRgb color) { return record(38, {index, 0, 0, 0, colorRef(color)}); }
    Emf& brush(int index, QRgb color) { return record(39, {index, 0, colorRef(color), 0}); }
    Emf& select(qint64 index) { return record(37, {index}); }
    Emf& rectangle(int l, int t, int r, int b) { return record(43, {l, t, r, b}); }
    Emf& transform(quint32 type, QTransform t, qint64 mode = -1) {
        Bytes x;
        x.f32(t.m11()).f32(t.m12()).f32(t.m21()).f32(t.m22()).f32(t.dx()).f32(t.dy());
        if (mode >= 0)
            x.u32(mode);
        return record(type, x.data());
    }

    // A reference device of exactly 96 pixels per inch (960 pixels on 254 mm), so that
    // device pixels are picture pixels.
    QByteArray file(QRect frame, QRect bounds = QRect(0, 0, 1, 1)) const {
        Bytes header;
        header.ints({1, 88, bounds.left(), bounds.top(), bounds.right(), bounds.bottom(),
                     frame.left(), frame.top(), frame.right(), frame.bottom(), 0x464D4520, 0x10000,
                     0, 0});
        header.words({16, 0}).ints({0, 0, 0, 960, 960, 254, 254});
        return header.data() + m_records + Bytes().ints({14, 20, 0, 0, 20}).data();
    }
    // Frame of a 96 x 48 picture, in hundredths of a millimetre.
    QByteArray file96x48() const { return file(QRect(QPoint(0, 0), QPoint(2540, 1270))); }

private:
    QByteArray m_records;
};

// An EMF record for StretchDIBits of a bitmap into x, y, w, h from its source rectangle.
QByteArray stretchDibits(int x, int y, int w, int h, QRect source, const QByteArray& dib) {
    Bytes r;
    const int infoBytes = 40;
    const int offInfo = 8 + 72;
    r.ints({0, 0, 0, 0, x, y, source.x(), source.y(), source.width(), source.height(), offInfo,
            infoBytes, offInfo + infoBytes, dib.size() - infoBytes, 0, 0x00CC0020, w, h});
    return r.raw(dib).data();
}

// ---- Looking at pictures

const QRgb Red = qRgb(255, 0, 0);
const QRgb Green = qRgb(0, 255, 0);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb White = qRgb(255, 255, 255);
const QRgb Clear = 0;

QRgb at(const QImage& image, int x, int y) {
    return image.pixel(x, y);
}

// The bounds of every pixel that is not transparent.
QRect inkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 0)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

QString messageOf(const QByteArray& data) {
    try {
        ReadMetafile(data);
    } catch (const TovexError& e) {
        return e.message();
    }
    return QString();
}
} // namespace

class TestMetafile : public QObject {
    Q_OBJECT

private slots:
    void placeableWmfDrawsShapesWithItsPenAndBrush() {
        Wmf wmf;
        wmf.pen(Red).select(0).brush(Blue).select(1);
        wmf.rectangle(10, 10, 30, 20).ellipse(40, 10, 60, 30);
        wmf.record(0x061C, {12, 12, 44, 40, 30, 10}); // rounded rectangle (10,30)-(40,44)
        // A triangle and a line.
        wmf.record(0x0324, {3, 70, 10, 90, 10, 70, 30});
        wmf.record(0x0214, {45, 0}).record(0x0213, {45, 99});
        const QImage image = ReadWmf(wmf.placeable(0, 0, 100, 50, 96));

        QCOMPARE(image.size(), QSize(100, 50));
        QCOMPARE(image.format(), QImage::Format_ARGB32_Premultiplied);
        // Rectangle: the outline covers left .. right - 1, the inside has the brush.
        QCOMPARE(at(image, 10, 10), Red);
        QCOMPARE(at(image, 29, 19), Red);
        QCOMPARE(at(image, 30, 20), Clear);
        QCOMPARE(at(image, 9, 10), Clear);
        QCOMPARE(at(image, 20, 15), Blue);
        // Ellipse: filled centre, empty corners.
        QCOMPARE(at(image, 50, 20), Blue);
        QCOMPARE(at(image, 41, 11), Clear);
        QCOMPARE(at(image, 40, 20), Red);
        // Rounded rectangle: straight edges between cut corners.
        QCOMPARE(at(image, 10, 37), Red);
        QCOMPARE(at(image, 25, 30), Red);
        QCOMPARE(at(image, 25, 37), Blue);
        QCOMPARE(at(image, 10, 30), Clear);
        QCOMPARE(at(image, 39, 43), Clear);
        // Triangle: inside near its right angle, outside beyond the hypotenuse.
        QCOMPARE(at(image, 73, 13), Blue);
        QCOMPARE(at(image, 88, 28), Clear);
        // Line across the whole width.
        QCOMPARE(at(image, 0, 45), Red);
        QCOMPARE(at(image, 98, 45), Red);
        QCOMPARE(at(image, 50, 44), Clear);
    }

    // The bounding box in its units per inch gives the size at 96 dpi and maps the
    // logical units onto it.
    void placeableUnitsScaleTheDrawing_data() {
        QTest::addColumn<QRect>("box");
        QTest::addColumn<int>("inch");
        QTest::addColumn<QRect>("drawn"); // logical corners: left, top, right, bottom
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("1000 per inch")
            << QRect(0, 0, 2000, 1000) << 1000 << QRect(500, 250, 500, 250) << QSize(192, 96)
            << QRect(48, 24, 48, 24);
        QTest::newRow("origin not at 0")
            << QRect(-100, 200, 100, 50) << 96 << QRect(-90, 210, 20, 10) << QSize(100, 50)
            << QRect(10, 10, 20, 10);
        QTest::newRow("twips") << QRect(0, 0, 1440, 720) << 1440 << QRect(720, 360, 720, 360)
                               << QSize(96, 48) << QRect(48, 24, 48, 24);
    }
    void placeableUnitsScaleTheDrawing() {
        QFETCH(QRect, box);
        QFETCH(int, inch);
        QFETCH(QRect, drawn);
        QFETCH(QSize, size);
        QFETCH(QRect, pixels);
        Wmf wmf;
        wmf.record(0x02FA, {5, 0, 0, 0, 0}).select(0).brush(Green).select(1); // no pen
        wmf.rectangle(drawn.left(), drawn.top(), drawn.left() + drawn.width(),
                      drawn.top() + drawn.height());
        const QImage image = ReadWmf(wmf.placeable(box.left(), box.top(), box.left() + box.width(),
                                                   box.top() + box.height(), inch));
        QCOMPARE(image.size(), size);
        // Without a pen Windows fills one pixel less to the right and bottom.
        QCOMPARE(inkBounds(image), pixels.adjusted(0, 0, -1, -1));
    }

    // A plain WMF takes its size from the window that its records set.
    void plainWmfUsesItsWindow() {
        Wmf wmf;
        wmf.windowOrg(100, 100).windowExt(200, 100);
        wmf.pen(Red).select(0).brush(Red).select(1).rectangle(150, 120, 250, 170);
        const QImage image = ReadWmf(wmf.plain());
        QCOMPARE(image.size(), QSize(200, 100));
        QCOMPARE(inkBounds(image), QRect(QPoint(50, 20), QPoint(149, 69)));
    }

    // Windows' own mapping: an anisotropic window of y up onto the picture.
    void wmfMappingModeFlipsTheYAxis() {
        Wmf wmf;
        wmf.record(0x0103, {8}).windowOrg(0, 100).windowExt(200, -100);
        wmf.brush(Blue).select(0).record(0x02FA, {5, 0, 0, 0, 0}).select(1);
        wmf.rectangle(0, 100, 100, 50); // the upper left quarter, y counted upwards
        const QImage image = ReadWmf(wmf.placeable(0, 0, 200, 100, 96));
        QCOMPARE(inkBounds(image), QRect(QPoint(0, 0), QPoint(98, 48)));
    }

    void emfDrawsShapesWithStockAndCreatedObjects() {
        Emf emf;
        emf.pen(1, Red).select(1).brush(2, Blue).select(2).rectangle(10, 10, 30, 20);
        emf.select(0x80000004).record(42, {40, 10, 60, 30}); // black brush, ellipse
        emf.select(0x80000008);                              // no pen
        // Polygon16: bounds, count, points.
        emf.record(86, Bytes().ints({0, 0, 0, 0, 3}).words({70, 10, 90, 10, 70, 30}).data());
        emf.select(0x80000007); // black pen
        // Polyline16 across the picture.
        emf.record(87, Bytes().ints({0, 0, 0, 0, 2}).words({0, 40, 95, 40}).data());
        const QImage image = ReadEmf(emf.file96x48());

        QCOMPARE(image.size(), QSize(96, 48));
        QCOMPARE(at(image, 10, 10), Red);
        QCOMPARE(at(image, 20, 15), Blue);
        QCOMPARE(at(image, 30, 20), Clear);
        QCOMPARE(at(image, 50, 20), qRgb(0, 0, 0));
        QCOMPARE(at(image, 41, 11), Clear);
        QCOMPARE(at(image, 73, 13), qRgb(0, 0, 0));
        QCOMPARE(at(image, 88, 28), Clear);
        QCOMPARE(at(image, 0, 40), qRgb(0, 0, 0));
        QCOMPARE(at(image, 94, 40), qRgb(0, 0, 0));
        QCOMPARE(at(image, 50, 41), Clear);
    }

    void emfMapping_data() {
        QTest::addColumn<QByteArray>("mapping");
        QTest::addColumn<QRect>("drawn");  // logical corners
        QTest::addColumn<QRect>("pixels"); // outline's pixels
        QTest::newRow("none") << QByteArray() << QRect(QPoint(20, 10), QPoint(40, 30))
                              << QRect(QPoint(20, 10), QPoint(39, 29));
        const QByteArray anisotropic =
            Emf().record(17, {8}).record(9, {960, 480}).record(11, {96, 48}).records();
        QTest::newRow("anisotropic window and viewport")
            << anisotropic << QRect(QPoint(200, 100), QPoint(400, 300))
            << QRect(QPoint(20, 10), QPoint(39, 29));
        const QByteArray offset = Emf()
                                      .record(17, {8})
                                      .record(9, {960, 480})
                                      .record(11, {96, 48})
                                      .record(12, {10, 5})  // viewport origin
                                      .record(10, {100, 0}) // window origin
                                      .records();
        QTest::newRow("origins") << offset << QRect(QPoint(200, 100), QPoint(400, 300))
                                 << QRect(QPoint(20, 15), QPoint(39, 34));
        QTest::newRow("lometric, y up")
            << Emf().record(17, {2}).records() << QRect(QPoint(0, 0), QPoint(254, -127))
            << QRect(QPoint(0, 0), QPoint(95, 47));
        QTest::newRow("world transform: scale and move")
            << Emf().transform(35, QTransform(2, 0, 0, 2, 20, 10)).records()
            << QRect(QPoint(0, 0), QPoint(10, 5)) << QRect(QPoint(20, 10), QPoint(39, 19));
        QTest::newRow("world transform: modified, left multiply")
            << Emf()
                   .transform(35, QTransform(1, 0, 0, 1, 20, 10))
                   .transform(36, QTransform(2, 0, 0, 2, 0, 0), 2)
                   .records()
            << QRect(QPoint(0, 0), QPoint(10, 5)) << QRect(QPoint(20, 10), QPoint(39, 19));
        QTest::newRow("world transform: saved and restored")
            << Emf()
                   .record(33, QByteArray())
                   .transform(35, QTransform(2, 0, 0, 2, 20, 10))
                   .record(34, {-1})
                   .records()
            << QRect(QPoint(20, 10), QPoint(40, 30)) << QRect(QPoint(20, 10), QPoint(39, 29));
    }
    void emfMapping() {
        QFETCH(QByteArray, mapping);
        QFETCH(QRect, drawn);
        QFETCH(QRect, pixels);
        Emf emf;
        emf.raw(mapping).pen(1, Red).select(1).select(0x80000005); // red pen, no brush
        emf.rectangle(drawn.left(), drawn.top(), drawn.right(), drawn.bottom());
        const QImage image = ReadEmf(emf.file96x48());
        QCOMPARE(inkBounds(image), pixels);
    }

    // Rotated by a quarter turn, a rectangle is drawn as the polygon of its corners.
    void emfWorldTransformRotates() {
        Emf emf;
        emf.transform(35, QTransform(0, 1, -1, 0, 50, 0));
        emf.select(0x80000008).select(0x80000004).rectangle(0, 0, 20, 10);
        const QImage image = ReadEmf(emf.file96x48());
        const QRect ink = inkBounds(image);
        QVERIFY2(qAbs(ink.left() - 40) <= 1 && qAbs(ink.right() - 49) <= 1,
                 qPrintable(QStringLiteral("%1..%2").arg(ink.left()).arg(ink.right())));
        QVERIFY(qAbs(ink.top() - 0) <= 1 && qAbs(ink.bottom() - 19) <= 1);
    }

    void textIsDrawnInsideItsBox_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QRect>("box");
        const quint32 red = colorRef(Red);
        Wmf wmf;
        wmf.record(0x0209, {int(red & 0xFFFF), int(red >> 16)}).record(0x0102, {1});
        Bytes font;
        font.words({quint16(-20), 0, 0, 0, 400}).raw(QByteArray(8, '\0')).raw("Tahoma");
        font.raw(QByteArray(26, '\0'));
        wmf.record(0x02FB, font.data()).select(0);
        wmf.record(0x0521, Bytes().u16(5).raw("Hello").u8(0).words({10, 10}).data());
        QTest::newRow("wmf TextOut") << wmf.placeable(0, 0, 200, 60, 96) << QRect(10, 10, 100, 30);

        Emf emf;
        emf.record(24, {red}).record(18, {1});
        Bytes face;
        face.ints({1, -20, 0, 0, 0, 400}).raw(QByteArray(8, '\0'));
        face.raw(QByteArray(reinterpret_cast<const char*>(u"Tahoma"), 12));
        face.raw(QByteArray(64 - 12, '\0'));
        emf.record(82, face.data()).select(1);
        // ExtTextOutW: bounds, mode, scales, then the text's reference, length, offset of
        // the string, options, rectangle and offset of the advances.
        Bytes text;
        text.ints({0, 0, 0, 0, 1}).f32(1).f32(1);
        text.ints({20, 5, 3, 8 + 68, 0, 0, 0, 0, 0, 0});
        text.raw(QByteArray(reinterpret_cast<const char*>(u"Hi!"), 6)).u16(0);
        emf.record(84, text.data());
        QTest::newRow("emf ExtTextOutW") << emf.file96x48() << QRect(20, 5, 40, 30);
    }
    void textIsDrawnInsideItsBox() {
        QFETCH(QByteArray, file);
        QFETCH(QRect, box);
        const QImage image = ReadMetafile(file);
        const QRect ink = inkBounds(image);
        QVERIFY2(!ink.isEmpty(), "no text drawn");
        QVERIFY2(box.contains(ink), qPrintable(QStringLiteral("ink at %1,%2 %3x%4")
                                                   .arg(ink.x())
                                                   .arg(ink.y())
                                                   .arg(ink.width())
                                                   .arg(ink.height())));
        QVERIFY(ink.width() >= 10 && ink.height() >= 8);
        // The text colour, at least on the glyphs' solid pixels.
        bool red = false;
        for (int y = ink.top(); y <= ink.bottom(); ++y)
            for (int x = ink.left(); x <= ink.right(); ++x)
                red = red || at(image, x, y) == Red;
        QVERIFY(red);
    }

    // GBK text from a WMF: a character of two bytes advances by both bytes' advances.
    void ansiTextTakesTheAdvancesOfItsBytes() {
        const std::vector<double> byteAdvances = {10, 10, 5};
        std::vector<double> advances;
        const QString text = MetafileRecords::DecodeAnsi(QByteArray("\xD6\xD0"
                                                                    "a"),
                                                         134, &byteAdvances, &advances);
        QCOMPARE(text, QStringLiteral("中a"));
        QCOMPARE(advances, (std::vector<double>{20, 5}));
        QCOMPARE(MetafileRecords::DecodeAnsi("caf\xE9", 0), QStringLiteral("café"));
    }

    void embeddedBitmapShowsItsPixels_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QRect>("target"); // 20 x 20, one 10 x 10 quarter per pixel
        for (bool bottomUp : {true, false}) {
            const QByteArray dib = dib2x2(bottomUp);
            const char* order = bottomUp ? "bottom-up" : "top-down";
            // StretchDIB: rop, usage, source h, w, y, x, destination h, w, y, x, bitmap.
            Wmf wmf;
            wmf.record(
                0x0F43,
                Bytes().u32(0x00CC0020).words({0, 2, 2, 0, 0, 20, 20, 10, 30}).raw(dib).data());
            QTest::newRow(qPrintable(QStringLiteral("wmf StretchDIB, %1").arg(order)))
                << wmf.placeable(0, 0, 100, 50, 96) << QRect(30, 10, 20, 20);
            Emf emf;
            emf.record(81, stretchDibits(30, 10, 20, 20, QRect(0, 0, 2, 2), dib));
            QTest::newRow(qPrintable(QStringLiteral("emf StretchDIBits, %1").arg(order)))
                << emf.file96x48() << QRect(30, 10, 20, 20);
        }
        // StretchBlt: a bitmap in a device context, its source rectangle from the top row.
        Bytes stretch;
        const int offInfo = 8 + 100;
        stretch.ints({0, 0, 0, 0, 30, 10, 20, 20, 0x00CC0020, 0, 0});
        stretch.f32(1).f32(0).f32(0).f32(1).f32(0).f32(0);
        stretch.ints({0, 0, offInfo, 40, offInfo + 40, 16, 2, 2}).raw(dib2x2(true));
        QTest::newRow("emf StretchBlt")
            << Emf().record(77, stretch.data()).file96x48() << QRect(30, 10, 20, 20);
        // DIBBitBlt: rop, source y, x, height, width, destination y, x, bitmap (1:1, so
        // the bitmap is 2 x 2 pixels at 40, 5 scaled by the window: 10 logical per pixel).
        Wmf blt;
        blt.record(0x020C, {50, 100}); // window 100 x 50 over the 100 x 50 picture
        blt.record(0x0940,
                   Bytes().u32(0x00CC0020).words({0, 0, 2, 2, 5, 40}).raw(dib2x2(true)).data());
        QTest::newRow("wmf DIBBitBlt, no scaling")
            << blt.placeable(0, 0, 100, 50, 96) << QRect(40, 5, 2, 2);
    }
    void embeddedBitmapShowsItsPixels() {
        QFETCH(QByteArray, file);
        QFETCH(QRect, target);
        const QImage image = ReadMetafile(file);
        QCOMPARE(inkBounds(image), target);
        const int half = target.width() / 2;
        const auto quarter = [&](int qx, int qy) {
            return at(image, target.x() + qx * half + half / 2, target.y() + qy * half + half / 2);
        };
        QCOMPARE(quarter(0, 0), Red);
        QCOMPARE(quarter(1, 0), White);
        QCOMPARE(quarter(0, 1), Blue);
        QCOMPARE(quarter(1, 1), Green);
    }

    // StretchDIBits counts source rows from the bitmap's first stored row, the bottom one.
    void bitmapSourceRectangleCountsFromTheStoredRows() {
        Emf emf;
        emf.record(81, stretchDibits(10, 10, 8, 8, QRect(1, 0, 1, 1), dib2x2(true)));
        const QImage image = ReadEmf(emf.file96x48());
        QCOMPARE(inkBounds(image), QRect(10, 10, 8, 8));
        QCOMPARE(at(image, 13, 13), Green);
    }

    void unknownRecordsAreSkipped() {
        Wmf wmf;
        wmf.brush(Blue).select(0);
        wmf.record(0x0FFF, {1, 2, 3, 4, 5, 6}); // no such function
        wmf.record(0x0626, {15, 4, 0, 0});      // an escape, not drawn
        wmf.rectangle(10, 10, 20, 20);
        QCOMPARE(at(ReadWmf(wmf.placeable(0, 0, 40, 40, 96)), 15, 15), Blue);

        Emf emf;
        emf.brush(1, Blue).select(1);
        emf.record(7777, {1, 2, 3});
        emf.record(70, {4, 0x12345678}); // a comment
        emf.rectangle(10, 10, 20, 20);
        QCOMPARE(at(ReadEmf(emf.file96x48()), 15, 15), Blue);
    }

    // A record that cannot be played ends the playing; what came before stays drawn.
    void brokenRecordEndsThePlaying_data() {
        QTest::addColumn<QByteArray>("file");
        Wmf zero;
        zero.brush(Blue).select(0).rectangle(0, 0, 10, 10).brokenRecord(0).rectangle(20, 0, 30, 10);
        QTest::newRow("wmf record of length 0") << zero.placeable(0, 0, 40, 40, 96);
        Wmf past;
        past.brush(Blue).select(0).rectangle(0, 0, 10, 10).brokenRecord(1000);
        QTest::newRow("wmf record past the end") << past.placeable(0, 0, 40, 40, 96);

        Emf emf;
        emf.brush(1, Blue).select(1).rectangle(0, 0, 10, 10);
        QByteArray zeroEmf = emf.file96x48();
        zeroEmf.insert(zeroEmf.size() - 20, Bytes().ints({43, 0, 20, 0, 30, 10}).data());
        QTest::newRow("emf record of length 0") << zeroEmf;
        QByteArray pastEmf = emf.file96x48();
        pastEmf.chop(20);
        pastEmf += Bytes().ints({43, 4000, 20, 0, 30, 10}).data();
        QTest::newRow("emf record past the end") << pastEmf;
    }
    void brokenRecordEndsThePlaying() {
        QFETCH(QByteArray, file);
        const QImage image = ReadMetafile(file);
        QCOMPARE(at(image, 5, 5), Blue);
        QCOMPARE(at(image, 25, 5), Clear);
    }

    void invalidMetafiles_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        const QString notValid = QStringLiteral("Metafile is not valid");
        QTest::newRow("empty") << QByteArray() << notValid;
        QByteArray random(512, '\0');
        for (int i = 0; i < random.size(); ++i)
            random[i] = char((i * 7919 + 13) % 251);
        QTest::newRow("random bytes") << random << notValid;
        QTest::newRow("placeable key alone") << QByteArray("\xD7\xCD\xC6\x9A", 4) << notValid;
        const QByteArray placeable = Wmf().placeable(0, 0, 100, 50, 96);
        QTest::newRow("truncated WMF header") << placeable.left(30) << notValid;
        QTest::newRow("truncated EMF header") << Emf().file96x48().left(60) << notValid;
        QTest::newRow("placeable of zero size") << Wmf().placeable(10, 10, 10, 60, 96) << notValid;
        QTest::newRow("placeable of zero units") << Wmf().placeable(0, 0, 100, 50, 0) << notValid;
        QTest::newRow("plain without a window") << Wmf().rectangle(0, 0, 5, 5).plain() << notValid;
        QTest::newRow("EMF without frame or bounds")
            << Emf().file(QRect(), QRect(QPoint(5, 5), QPoint(4, 4))) << notValid;
        QTest::newRow("huge placeable")
            << Wmf().placeable(0, 0, 30000, 100, 96)
            << QStringLiteral("Picture is too large (30000 x 100 pixels)");
        QTest::newRow("huge EMF frame")
            << Emf().file(QRect(QPoint(0, 0), QPoint(2540000, 2540)))
            << QStringLiteral("Picture is too large (96000 x 96 pixels)");
        QTest::newRow("huge plain window")
            << Wmf().windowExt(9000, 9000).plain()
            << QStringLiteral("Picture is too large (9000 x 9000 pixels)");
    }
    void invalidMetafiles() {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QCOMPARE(messageOf(file), message);
    }

    void playingIsBounded_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("message");
        Wmf saves;
        for (int i = 0; i < 100'001; ++i)
            saves.record(0x001E, QByteArray());
        QTest::newRow("records") << saves.placeable(0, 0, 10, 10, 96)
                                 << QStringLiteral(
                                        "Picture is too large (more than 100000 metafile records)");
        // Each rectangle covers the whole 4096 x 4096 picture: 16 of them are the budget.
        Emf fills;
        for (int i = 0; i < 17; ++i)
            fills.rectangle(-10, -10, 5000, 5000);
        QTest::newRow("drawn pixels")
            << fills.file(QRect(QPoint(0, 0), QPoint(108373, 108373)))
            << QStringLiteral("Picture is too large (the metafile draws more than 268435456 "
                              "pixels)");
        // A zigzag polygon whose thousand edges all cross every row: the rasteriser's
        // sorting would take seconds, though it covers few pixels.
        Bytes zigzag;
        zigzag.u16(1000);
        for (int i = 0; i < 1000; ++i)
            zigzag.words({i * 8, i % 2 == 0 ? 0 : 2047});
        QTest::newRow("edges crossing every row")
            << Wmf().record(0x0324, zigzag.data()).placeable(0, 0, 8192, 2048, 96)
            << QStringLiteral("Picture is too large (the metafile draws more than 268435456 "
                              "pixels)");
        // Every size of a face is loaded on its first use.
        Wmf fonts;
        for (int size = 1; size <= 200; ++size) {
            fonts.record(0x02FB,
                         Bytes().words({-size, 0, 0, 0, 400}).raw(QByteArray(40, '\0')).data());
            fonts.select(0).record(0x0521, {1, 'x', 0, 0}).record(0x01F0, {0});
        }
        QTest::newRow("fonts") << fonts.placeable(0, 0, 100, 100, 96)
                               << QStringLiteral("Picture is too large (the metafile draws more "
                                                 "than 268435456 pixels)");
    }
    void playingIsBounded() {
        QFETCH(QByteArray, file);
        QFETCH(QString, message);
        QCOMPARE(messageOf(file), message);
    }

    void pictureHolderLoadsMetafiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QSize>("size");
        Wmf wmf;
        wmf.brush(Blue).select(0).rectangle(0, 0, 10, 10);
        Emf emf;
        emf.brush(1, Blue).select(1).rectangle(0, 0, 10, 10);
        QTest::newRow("upper-case WMF")
            << "fname1.WMF" << wmf.placeable(0, 0, 100, 50, 96) << QSize(100, 50);
        QTest::newRow("emf") << "fname2.emf" << emf.file96x48() << QSize(96, 48);
        QTest::newRow("EMF content named wmf") << "fname1.wmf" << emf.file96x48() << QSize(96, 48);
    }
    void pictureHolderLoadsMetafiles() {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QSize, size);
        QTemporaryDir dir;
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
        file.close();
        TPicture picture;
        picture.loadFromFile(file.fileName());
        QCOMPARE(picture.kind(), TPicture::Kind::Metafile);
        QCOMPARE(picture.size(), size);
        QCOMPARE(picture.image().pixel(5, 5), Blue);
        QVERIFY(!picture.isAnimated());
    }

    void pictureHolderKeepsItsPictureOnAnInvalidMetafile() {
        TPicture picture;
        picture.loadFromData(Emf().file96x48(), QStringLiteral("emf"));
        try {
            picture.loadFromData(QByteArray("not a metafile"), QStringLiteral("Wmf"));
            QFAIL("no error");
        } catch (const TovexError& e) {
            QCOMPARE(e.message(), QStringLiteral("Metafile is not valid"));
        }
        QCOMPARE(picture.kind(), TPicture::Kind::Metafile);
        QCOMPARE(picture.size(), QSize(96, 48));
        QVERIFY_THROWS_EXCEPTION(TovexError, picture.bitmapForDrawing(QSize(1, 1)));
    }
};

QTEST_MAIN(TestMetafile)
#include "TestMetafile.moc"
