#include "JpegMarkers.h"
#include "JpegWriter.h"
#include "TovexError.h"

#include <QImage>
#include <QRandomGenerator>
#include <QtTest>

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
// jpeglib.h must come first
#include <jerror.h>

namespace {
// ITU-T T.81 Annex K, tables K.1 and K.2, in natural (row by row) order.
constexpr int LuminanceK1[64] = {16,  11,  10,  16,  24, 40, 51,  61,  12,  12,  14,  19,  26,
                                 58,  60,  55,  14,  13, 16, 24,  40,  57,  69,  56,  14,  17,
                                 22,  29,  51,  87,  80, 62, 18,  22,  37,  56,  68,  109, 103,
                                 77,  24,  35,  55,  64, 81, 104, 113, 92,  49,  64,  78,  87,
                                 103, 121, 120, 101, 72, 92, 95,  98,  112, 100, 103, 99};
constexpr int ChrominanceK2[64] = {17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
                                   24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
                                   99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
                                   99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};
// Zig-zag position k holds natural index ZigZag[k].
constexpr int ZigZag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                            12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                            35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                            58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};
// Annex K.3 standard Huffman tables: class/id byte, 16 counts, then the values;
// sorted by that first byte (DC 0, DC 1, AC 0, AC 1).
const QByteArray StandardDht[4] = {
    QByteArray::fromHex("00"
                        "00010501010101010100000000000000"
                        "000102030405060708090a0b"),
    QByteArray::fromHex("01"
                        "00030101010101010101010000000000"
                        "000102030405060708090a0b"),
    QByteArray::fromHex(
        "10000201030302040305050404000001"
        "7d01020300041105122131410613516107227114328191a1082342b1c11552d1f02433627282"
        "090a161718191a25262728292a3435363738393a434445464748494a535455565758595a6364"
        "65666768696a737475767778797a838485868788898a92939495969798999aa2a3a4a5a6a7a8"
        "a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae1e2e3e4e5e6e7e8e9"
        "eaf1f2f3f4f5f6f7f8f9fa"),
    QByteArray::fromHex(
        "11000201020404030407050404000102"
        "77000102031104052131061241510761711322328108144291a1b1c109233352f0156272d10a"
        "162434e125f11718191a262728292a35363738393a434445464748494a535455565758595a63"
        "6465666768696a737475767778797a82838485868788898a92939495969798999aa2a3a4a5a6"
        "a7a8a9aab2b3b4b5b6b7b8b9bac2c3c4c5c6c7c8c9cad2d3d4d5d6d7d8d9dae2e3e4e5e6e7e8"
        "e9eaf2f3f4f5f6f7f8f9fa"),
};

// libjpeg's quality scaling at quality 75: 200 - 2 * 75 = 50 percent, rounded,
// limited to 1..255 for baseline.
QByteArray scaledTable(int id, const int (&basic)[64]) {
    QByteArray table(1, static_cast<char>(id));
    for (int k = 0; k < 64; ++k) {
        const int value = std::clamp((basic[ZigZag[k]] * 50 + 50) / 100, 1, 255);
        table.append(static_cast<char>(value));
    }
    return table;
}

QImage noise(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width * 3; ++x)
            row[x] = static_cast<uchar>(random.bounded(256));
    }
    return image;
}

QByteArray encode(const QImage& image) {
    JpegWriter writer(image.width(), image.height());
    writer.writeRows(image);
    return writer.finish();
}

// libjpeg's own memory destination with the settings the writer promises.
QByteArray encodeWithLibjpegsMemoryDestination(const QImage& rgb) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(rgb.width());
    cinfo.image_height = static_cast<JDIMENSION>(rgb.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 75, TRUE);
    cinfo.dct_method = JDCT_FLOAT;
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < rgb.height(); ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb.constScanLine(y));
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    const QByteArray file(reinterpret_cast<const char*>(buffer), static_cast<qsizetype>(size));
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return file;
}

QString errorOf(int width, int height) {
    try {
        JpegWriter writer(width, height);
    } catch (const TovexError& e) {
        return e.message();
    }
    return QString();
}
} // namespace

class TestJpegWriter : public QObject {
    Q_OBJECT

private slots:
    void fileHoldsExactlyTheBaselineJfifMarkers() {
        const QByteArray file = encode(noise(37, 21));
        bool wellFormed = false;
        const QList<JpegSegment> segments = ReadJpegSegments(file, &wellFormed);
        QVERIFY(wellFormed);

        QList<int> markers;
        QList<QByteArray> dqt, dht;
        for (const JpegSegment& s : segments) {
            markers.append(s.marker);
            if (s.marker == 0xDB)
                dqt.append(s.payload);
            if (s.marker == 0xC4)
                dht.append(s.payload);
        }
        // SOI, APP0, 2 DQT, SOF0, 4 DHT, SOS, EOI: no DRI, COM, APP14 or anything else.
        QCOMPARE(markers,
                 (QList<int>{0xD8, 0xE0, 0xDB, 0xDB, 0xC0, 0xC4, 0xC4, 0xC4, 0xC4, 0xDA, 0xD9}));

        // JFIF 1.01, density unit 0, densities 1 x 1, no thumbnail.
        QCOMPARE(segments[1].payload, QByteArray("JFIF\0\x01\x01\x00\x00\x01\x00\x01\x00\x00", 14));

        QCOMPARE(dqt[0], scaledTable(0, LuminanceK1));
        QCOMPARE(dqt[1], scaledTable(1, ChrominanceK2));
        QCOMPARE(static_cast<unsigned char>(dqt[0].at(1)), 8); // first entry: 16 at 50 %

        // SOF0: 8 bits, 21 rows, 37 columns, components 1,2,3 sampled 2x2, 1x1, 1x1,
        // quantised with tables 0, 1, 1.
        QCOMPARE(segments[4].payload, QByteArray::fromHex("0800150025"
                                                          "03"
                                                          "012200"
                                                          "021101"
                                                          "031101"));

        // Tables 0 and 1 of each class, whatever order they come in.
        std::sort(dht.begin(), dht.end());
        for (int i = 0; i < 4; ++i)
            QCOMPARE(dht[i], StandardDht[i]);

        // One sequential scan over all three components: spectral 0..63, no approximation.
        QCOMPARE(segments[9].payload, QByteArray::fromHex("03"
                                                          "0100"
                                                          "0211"
                                                          "0311"
                                                          "003f00"));
    }

    void decodesBackToThePicture() {
        QImage flat(64, 48, QImage::Format_RGB888);
        flat.fill(QColor(200, 40, 90));
        const QImage decoded = QImage::fromData(encode(flat), "JPEG");
        QCOMPARE(decoded.size(), flat.size());
        const QColor c = decoded.pixelColor(30, 20);
        QVERIFY(qAbs(c.red() - 200) <= 3 && qAbs(c.green() - 40) <= 3 && qAbs(c.blue() - 90) <= 3);
    }

    void bytesAreThoseOfLibjpegsMemoryDestination_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("atLeast"); // bytes: the destination starts with 64 KiB
        QTest::newRow("within the first output size") << 40 << 30 << 0;
        QTest::newRow("grown three times") << 600 << 900 << 4 * 64 * 1024;
    }
    void bytesAreThoseOfLibjpegsMemoryDestination() {
        // The writer's own destination grows its QByteArray; every byte must land where
        // libjpeg's destination puts it, across each growth and at the end.
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, atLeast);
        const QImage image = noise(width, height);
        const QByteArray file = encode(image);
        QVERIFY(file.size() >= atLeast);
        QCOMPARE(file, encodeWithLibjpegsMemoryDestination(image));
        QVERIFY(file.endsWith("\xff\xd9"));
    }

    void bandsGiveTheSameBytesAsOneWrite() {
        const QImage image = noise(50, 100);
        JpegWriter writer(50, 100);
        for (int top = 0; top < 100; top += 33)
            writer.writeRows(image.copy(0, top, 50, std::min(33, 100 - top)));
        QCOMPARE(writer.rowsWritten(), 100);
        QCOMPARE(writer.finish(), encode(image));
    }

    void rgb32BandsGiveTheBytesOfRgb888() {
        // The painter's own format goes to libjpeg-turbo without a conversion; the odd
        // width puts a partial block at the right edge.
        const QImage image = noise(61, 40);
        JpegWriter writer(61, 40, QImage::Format_RGB32);
        writer.writeRows(image.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(writer.finish(), encode(image));
    }

    void sideOver65500IsLibjpegError41_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<QString>("message");
        const QString tooBig = QStringLiteral("JPEG error #%1").arg(JERR_IMAGE_TOO_BIG);
        QTest::newRow("tall") << 537 << 65501 << tooBig;
        QTest::newRow("wide") << 65501 << 10 << tooBig;
        QTest::newRow("tallest allowed") << 537 << 65500 << QString();
        QTest::newRow("widest allowed") << 65500 << 1 << QString();
    }
    void sideOver65500IsLibjpegError41() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(QString, message);
        QCOMPARE(errorOf(width, height), message);
        if (!message.isEmpty())
            QCOMPARE(message, QStringLiteral("JPEG error #41"));
    }

    void missingRowsFailWithLibjpegsCode() {
        // Enough rows for the memory destination to have grown its buffer, so the
        // abort path must free the grown one (checked under the sanitizer build).
        const QImage half = noise(300, 400);
        JpegWriter writer(300, 800);
        writer.writeRows(half);
        try {
            writer.finish();
            QFAIL("finish accepted missing rows");
        } catch (const TovexError& e) {
            QCOMPARE(e.message(), QStringLiteral("JPEG error #%1").arg(JERR_TOO_LITTLE_DATA));
        }
    }

    void wrongBandShapeIsRefused() {
        JpegWriter writer(10, 10);
        QVERIFY_THROWS_EXCEPTION(TovexError, writer.writeRows(noise(11, 2)));
        QVERIFY_THROWS_EXCEPTION(TovexError, writer.writeRows(QImage(10, 2, QImage::Format_RGB32)));
        QVERIFY_THROWS_EXCEPTION(TovexError, writer.writeRows(noise(10, 2), 3));
        QCOMPARE(writer.rowsWritten(), 0);

        JpegWriter rgb32(10, 10, QImage::Format_RGB32);
        QVERIFY_THROWS_EXCEPTION(TovexError, rgb32.writeRows(noise(10, 2)));
        QVERIFY_THROWS_EXCEPTION(TovexError, JpegWriter(10, 10, QImage::Format_ARGB32));
    }
};

QTEST_GUILESS_MAIN(TestJpegWriter)
#include "TestJpegWriter.moc"
