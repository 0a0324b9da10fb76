#include "JpegBandEncoder.h"
#include "JpegWriter.h"
#include "TovexError.h"

#include <QImage>
#include <QRandomGenerator>
#include <QtTest>

#include <cstring>

// The two-buffer hand-over between the painting caller and the encoder thread: the same
// bytes as one plain write, whatever the band height, and errors that reach the caller.
Q_DECLARE_METATYPE(BandEncoding)

namespace {
QImage noise(int width, int height) {
    QImage image(width, height, QImage::Format_RGB888);
    QRandomGenerator random(11);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width * 3; ++x)
            row[x] = static_cast<uchar>(random.bounded(256));
    }
    return image;
}

QByteArray encodeInOneWrite(const QImage& image) {
    JpegWriter writer(image.width(), image.height());
    writer.writeRows(image);
    return writer.finish();
}

// "Paints" each band by copying the picture's rows into it, as the renderer paints its
// text: a buffer handed out while still being compressed would change the bytes.
QByteArray encodeInBands(const QImage& rgb, int bandRows, BandEncoding encoding) {
    const QImage image = rgb.convertToFormat(JpegBandEncoder::BandFormat);
    JpegBandEncoder encoder(image.width(), image.height(), bandRows, encoding);
    for (int top = 0; top < image.height(); top += bandRows) {
        const int rows = std::min(bandRows, image.height() - top);
        QImage& band = encoder.nextBand();
        for (int y = 0; y < rows; ++y)
            std::memcpy(band.scanLine(y), image.constScanLine(top + y),
                        static_cast<size_t>(band.bytesPerLine()));
        encoder.submit(rows);
    }
    return encoder.finish();
}
} // namespace

class TestJpegBandEncoder : public QObject {
    Q_OBJECT

private slots:
    void bandsGiveTheBytesOfOneWrite_data() {
        QTest::addColumn<int>("bandRows");
        QTest::addColumn<BandEncoding>("encoding");
        for (int rows : {1, 7, 64, 300, 301}) {
            QTest::addRow("%d rows, second thread", rows) << rows << BandEncoding::SecondThread;
            QTest::addRow("%d rows, caller thread", rows) << rows << BandEncoding::CallerThread;
        }
    }
    void bandsGiveTheBytesOfOneWrite() {
        QFETCH(int, bandRows);
        QFETCH(BandEncoding, encoding);
        const QImage image = noise(61, 300);
        QCOMPARE(encodeInBands(image, bandRows, encoding), encodeInOneWrite(image));
    }

    void encoderErrorReachesTheCaller_data() {
        QTest::addColumn<BandEncoding>("encoding");
        QTest::newRow("second thread") << BandEncoding::SecondThread;
        QTest::newRow("caller thread") << BandEncoding::CallerThread;
    }
    void encoderErrorReachesTheCaller() {
        // More rows than the band holds: the writer refuses the band wherever it runs,
        // and the caller hears of it at the latest from finish().
        QFETCH(BandEncoding, encoding);
        QString message;
        try {
            JpegBandEncoder encoder(20, 40, 10, encoding);
            encoder.nextBand();
            encoder.submit(11);
            encoder.nextBand();
            encoder.submit(10);
            encoder.finish();
        } catch (const TovexError& e) {
            message = e.message();
        }
        QCOMPARE(message, QStringLiteral("JPEG band of the wrong shape"));
    }

    void painterErrorStopsTheEncoderThread() {
        // The caller throws with bands still queued: the destructor must stop and join the
        // thread (a hang here runs into the test's time-out, a leak into the sanitizer).
        auto paintThenFail = [] {
            JpegBandEncoder encoder(500, 4000, 100, BandEncoding::SecondThread);
            for (int i = 0; i < 2; ++i) {
                encoder.nextBand().fill(Qt::gray);
                encoder.submit(100);
            }
            throw TovexError(QStringLiteral("painting failed"));
        };
        QVERIFY_THROWS_EXCEPTION(TovexError, paintThenFail());
    }

    void sizeErrorComesBeforeAnyThread() {
        // A thread started before the writer refused the size would end the program
        // (a joinable std::thread destroyed) instead of throwing.
        QVERIFY_THROWS_EXCEPTION(TovexError,
                                 JpegBandEncoder(537, 65501, 256, BandEncoding::SecondThread));
    }
};

QTEST_GUILESS_MAIN(TestJpegBandEncoder)
#include "TestJpegBandEncoder.moc"
