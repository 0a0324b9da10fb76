#include "GifWriter.h"
#include "ImageFixtures.h"
#include "TovexError.h"
#include "picture/Picture.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdio>

#include <jpeglib.h>
// jpeglib.h must come first
#include <jerror.h>

namespace {
QByteArray littleEndian32(quint32 v) {
    QByteArray bytes(4, '\0');
    qToLittleEndian(v, bytes.data());
    return bytes;
}

// A BMP header that declares width x height at 24 bits and holds no pixels.
QByteArray bmpDeclaring(qint32 width, qint32 height) {
    QByteArray bmp("BM");
    bmp += littleEndian32(54) + littleEndian32(0) + littleEndian32(54);
    bmp += littleEndian32(40) + littleEndian32(quint32(width)) + littleEndian32(quint32(height));
    bmp += QByteArray::fromHex("01001800") + QByteArray(24, '\0');
    return bmp;
}

// A JPEG's start: SOI and a baseline SOF0 of one component that declares the size.
QByteArray jpegFrameHeader(int width, int height) {
    QByteArray jpeg = QByteArray::fromHex("ffd8ffc0000b08");
    jpeg.append(char(height >> 8)).append(char(height & 0xFF));
    jpeg.append(char(width >> 8)).append(char(width & 0xFF));
    return jpeg + QByteArray::fromHex("01011100");
}

// The frame header and a scan header: all that libjpeg reads before it knows the size.
QByteArray jpegDeclaring(int width, int height) {
    return jpegFrameHeader(width, height) + QByteArray::fromHex("ffda000801010000003f00");
}

const QList<QColor> Palette = {Qt::red, Qt::blue, Qt::green, Qt::white};

// A GIF with a 2 x 2 screen and one frame that declares width x height.
QByteArray gifWithFrameOf(int width, int height) {
    QByteArray gif = MakeGif(2, 2, Palette, {{QList<quint8>(4, 0), 0, -1}});
    const qsizetype descriptor = gif.indexOf(',', 13 + 12);
    gif[descriptor + 5] = char(width & 0xFF);
    gif[descriptor + 6] = char(width >> 8);
    gif[descriptor + 7] = char(height & 0xFF);
    gif[descriptor + 8] = char(height >> 8);
    return gif;
}

QString jpegError(int code) {
    return QStringLiteral("JPEG error #%1").arg(code);
}

QByteArray twoFrameGif(int loops) {
    return MakeGif(4, 2, Palette, {{QList<quint8>(8, 0), 10, -1}, {QList<quint8>(8, 1), 25, -1}},
                   loops);
}

QString messageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const TovexError& error) {
        return error.message();
    }
    return QString();
}
} // namespace

class TestPicture : public QObject {
    Q_OBJECT

private slots:
    void loadsEachKindByExtension_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QColor>("color");

        const QImage red = SolidImage({6, 3}, Qt::red);
        const auto bitmap = int(TPicture::Kind::Bitmap);
        const auto jpeg = int(TPicture::Kind::Jpeg);
        QTest::newRow("bmp") << "a.bmp" << EncodedImage(red, "BMP") << bitmap << QSize(6, 3)
                             << QColor(Qt::red);
        QTest::newRow("BMP in capitals")
            << "a.BMP" << EncodedImage(red, "BMP") << bitmap << QSize(6, 3) << QColor(Qt::red);
        QTest::newRow("ico") << "a.ico" << EncodedImage(SolidImage({16, 16}, Qt::blue), "ICO")
                             << int(TPicture::Kind::Icon) << QSize(16, 16) << QColor(Qt::blue);
        QTest::newRow("jpg") << "a.jpg" << EncodedImage(SolidImage({16, 8}, Qt::blue), "JPG")
                             << jpeg << QSize(16, 8) << QColor(Qt::blue);
        QTest::newRow("JPG") << "a.JPG" << EncodedImage(SolidImage({16, 8}, Qt::red), "JPG") << jpeg
                             << QSize(16, 8) << QColor(Qt::red);
        QTest::newRow("jpeg") << "a.Jpeg" << EncodedImage(SolidImage({8, 8}, Qt::green), "JPG")
                              << jpeg << QSize(8, 8) << QColor(Qt::green);
        QTest::newRow("grey jpeg")
            << "g.jpg"
            << EncodedImage(SolidImage({8, 8}, Qt::gray).convertToFormat(QImage::Format_Grayscale8),
                            "JPG")
            << jpeg << QSize(8, 8) << QColor(Qt::gray);
        QTest::newRow("gif") << "a.gif" << MakeGif(3, 2, Palette, {{QList<quint8>(6, 2), 0, -1}})
                             << int(TPicture::Kind::Gif) << QSize(3, 2) << QColor(Qt::green);
    }
    void loadsEachKindByExtension() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(QSize, size);
        QFETCH(QColor, color);
        TPicture picture;
        picture.loadFromData(bytes, PictureFileExtension(name));
        QCOMPARE(int(picture.kind()), kind);
        QCOMPARE(picture.size(), size);
        const QColor centre = picture.image().pixelColor(size.width() / 2, size.height() / 2);
        // JPEG is lossy: a solid colour comes back within a few steps.
        QVERIFY2(qAbs(centre.red() - color.red()) <= 8 &&
                     qAbs(centre.green() - color.green()) <= 8 &&
                     qAbs(centre.blue() - color.blue()) <= 8,
                 qPrintable(centre.name()));
        QVERIFY(!picture.isAnimated());
    }

    void refusesWhatItCannotRead_data() {
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");

        const QByteArray png = EncodedImage(SolidImage({2, 2}, Qt::red), "PNG");
        const QByteArray bmp = EncodedImage(SolidImage({2, 2}, Qt::red), "BMP");
        QTest::newRow("png") << "png" << png << "Unknown picture file extension (.png)";
        QTest::newRow("no extension") << "" << bmp << "Unknown picture file extension (.)";
        QTest::newRow("bmp garbage")
            << "bmp" << QByteArray("not a bitmap") << "Bitmap image is not valid";
        QTest::newRow("bmp empty") << "bmp" << QByteArray() << "Bitmap image is not valid";
        QTest::newRow("bmp holding a png") << "bmp" << png << "Bitmap image is not valid";
        QTest::newRow("ico garbage")
            << "ico" << QByteArray("\0\0\1\0garbage", 11) << "Icon image is not valid";
        QTest::newRow("ico holding a bmp") << "ico" << bmp << "Icon image is not valid";
        QTest::newRow("jpg not a jpeg") << "jpg" << png << jpegError(JERR_NO_SOI);
        QTest::newRow("jpg empty") << "jpg" << QByteArray() << jpegError(JERR_INPUT_EMPTY);
        QTest::newRow("jpg cut after its frame header")
            << "jpg" << jpegFrameHeader(8, 8) << jpegError(JERR_SOF_NO_SOS);
        QTest::newRow("jpg cut after its scan header")
            << "jpg" << jpegDeclaring(8, 8) << jpegError(JERR_NO_QUANT_TABLE);
        QTest::newRow("gif holding a png") << "gif" << png << "Invalid GIF signature";
        QTest::newRow("gif empty") << "gif" << QByteArray() << "Invalid GIF signature";
        QTest::newRow("gif header only")
            << "gif" << QByteArray("GIF89a\2\0\2\0", 10) << "GIF image is not valid";
        QTest::newRow("bmp beyond the size limit")
            << "bmp" << bmpDeclaring(8000, 8000) << "Picture is too large (8000 x 8000 pixels)";
        QTest::newRow("bmp beyond the reader's own bound")
            << "bmp" << bmpDeclaring(100000, 100000) << "Bitmap image is not valid";
        QTest::newRow("jpg beyond the size limit") << "jpg" << jpegDeclaring(60000, 60000)
                                                   << "Picture is too large (60000 x 60000 pixels)";
        QTest::newRow("jpg of 30000 x 30000") << "jpg" << jpegDeclaring(30000, 30000)
                                              << "Picture is too large (30000 x 30000 pixels)";
        QTest::newRow("bmp of 30000 x 30000")
            << "bmp" << bmpDeclaring(30000, 30000) << "Bitmap image is not valid";
        QTest::newRow("gif of 100000 frames")
            << "gif" << MakeGif(1, 1, Palette, QList<GifFrameSpec>(100'000, {{0}, 1, -1}))
            << "Picture is too large (more than 1024 GIF frames)";
        QTest::newRow("gif screen beyond the size limit")
            << "gif" << QByteArray("GIF89a\x60\xEA\x60\xEA\0\0\0;", 14)
            << "Picture is too large (60000 x 60000 pixels)";
    }
    void refusesWhatItCannotRead() {
        QFETCH(QString, extension);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        TPicture picture;
        picture.loadFromData(EncodedImage(SolidImage({5, 5}, Qt::blue), "BMP"),
                             QStringLiteral("bmp"));
        QCOMPARE(messageOf([&] { picture.loadFromData(bytes, extension); }), message);
        // A refused file leaves the picture that was there.
        QCOMPARE(picture.kind(), TPicture::Kind::Bitmap);
        QCOMPARE(picture.image().pixelColor(2, 2), QColor(Qt::blue));
    }

    void gifFramesCarryDelaysAndLoopCount_data() {
        QTest::addColumn<int>("loops");
        QTest::addColumn<int>("loopCount");
        QTest::newRow("forever") << 0 << -1;
        QTest::newRow("three more times") << 3 << 3;
        QTest::newRow("no loop setting") << -1 << 0;
    }
    void gifFramesCarryDelaysAndLoopCount() {
        QFETCH(int, loops);
        QFETCH(int, loopCount);
        TPicture picture;
        picture.loadFromData(twoFrameGif(loops), QStringLiteral("gif"));
        QVERIFY(picture.isAnimated());
        QCOMPARE(picture.frames().size(), size_t(2));
        QCOMPARE(picture.frames()[0].delayMs, 100);
        QCOMPARE(picture.frames()[1].delayMs, 250);
        QCOMPARE(picture.frames()[0].image.pixelColor(1, 1), QColor(Qt::red));
        QCOMPARE(picture.frames()[1].image.pixelColor(1, 1), QColor(Qt::blue));
        QCOMPARE(picture.image().pixelColor(1, 1), QColor(Qt::red));
        QCOMPARE(picture.loopCount(), loopCount);
    }

    void gifTransparencyShowsThroughAndKeepsEarlierFrame() {
        // Frame 2 paints blue only on its first row; its transparent second row keeps the
        // red of frame 1 under it.
        const QList<quint8> firstRowBlue = {1, 1, 1, 3, 3, 3};
        TPicture picture;
        picture.loadFromData(
            MakeGif(3, 2, Palette, {{QList<quint8>(6, 0), 5, -1}, {firstRowBlue, 5, 3}}),
            QStringLiteral("gif"));
        const QImage& second = picture.frames().at(1).image;
        QCOMPARE(second.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(second.pixelColor(0, 1), QColor(Qt::red));

        TPicture alone;
        alone.loadFromData(MakeGif(3, 2, Palette, {{firstRowBlue, 0, 3}}), QStringLiteral("gif"));
        QCOMPARE(alone.image().pixelColor(0, 1).alpha(), 0);
        QCOMPARE(alone.image().pixelColor(0, 0), QColor(Qt::blue));
    }

    void aGifFrameBeyondItsScreenIsCutToTheScreen() {
        TPicture picture;
        picture.loadFromData(gifWithFrameOf(30000, 30000), QStringLiteral("gif"));
        QCOMPARE(picture.size(), QSize(2, 2));
    }

    void loadsFromFileAndNamesUnreadableFiles() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("b.bmp"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(EncodedImage(SolidImage({4, 4}, Qt::red), "BMP"));
        file.close();
        TPicture picture;
        picture.loadFromFile(path);
        QCOMPARE(picture.image().pixelColor(1, 1), QColor(Qt::red));

        const QString missing = dir.filePath(QStringLiteral("missing.bmp"));
        QCOMPARE(messageOf([&] { picture.loadFromFile(missing); }),
                 QStringLiteral("Cannot open file \"%1\". No such file or directory").arg(missing));
        const QString folder = dir.filePath(QStringLiteral("folder.jpg"));
        QVERIFY(QDir().mkdir(folder));
        QCOMPARE(messageOf([&] { picture.loadFromFile(folder); }),
                 QStringLiteral("Cannot open file \"%1\". Is a directory").arg(folder));
        // The extension is refused before the file is looked at.
        QCOMPARE(messageOf([&] { picture.loadFromFile(dir.filePath(QStringLiteral("x.png"))); }),
                 QStringLiteral("Unknown picture file extension (.png)"));
        QCOMPARE(picture.image().pixelColor(1, 1), QColor(Qt::red));
    }

    void onlyABitmapCanBeDrawnOn() {
        TPicture empty;
        QImage& fresh = empty.bitmapForDrawing({256, 47});
        QCOMPARE(fresh.size(), QSize(256, 47));
        QCOMPARE(fresh.pixelColor(100, 20), QColor(Qt::white));
        QCOMPARE(empty.kind(), TPicture::Kind::Bitmap);

        TPicture bitmap;
        bitmap.loadFromData(EncodedImage(SolidImage({20, 10}, Qt::blue), "BMP"),
                            QStringLiteral("bmp"));
        QCOMPARE(bitmap.bitmapForDrawing({256, 47}).size(), QSize(20, 10));

        TPicture jpeg;
        jpeg.loadFromData(EncodedImage(SolidImage({8, 8}, Qt::blue), "JPG"), QStringLiteral("jpg"));
        QCOMPARE(messageOf([&] {
                     jpeg.bitmapForDrawing({256, 47});
                 }),
                 QStringLiteral("Can only modify an image if it contains a bitmap"));
    }

    void extensionIsTheLastPartsSuffix_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("extension");
        QTest::newRow("plain") << "/p/fname1.jpg"
                               << "jpg";
        QTest::newRow("case kept") << "/p/fname1.JPG"
                                   << "JPG";
        QTest::newRow("none") << "/p/fname1"
                              << "";
        QTest::newRow("dot in a folder only") << "/p.d/fname1"
                                              << "";
        QTest::newRow("trailing dot") << "/p/fname1."
                                      << "";
    }
    void extensionIsTheLastPartsSuffix() {
        QFETCH(QString, path);
        QFETCH(QString, extension);
        QCOMPARE(PictureFileExtension(path), extension);
    }
};

QTEST_GUILESS_MAIN(TestPicture)
#include "TestPicture.moc"
