#include "Fonts.h"
#include "JpegMarkers.h"
#include "JpegWriter.h"
#include "MemoLayout.h"
#include "TextPicture.h"
#include "TovexError.h"

#include <QFontMetrics>
#include <QImage>
#include <QtTest>

Q_DECLARE_METATYPE(BandEncoding)

// The renderer: picture size from the display lines, every line inside the picture,
// the chosen colours, and bands that leave no trace in the result.
namespace {
QFont memoFont() {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(14);
    return font;
}

TextPictureSource sourceFor(const QString& text) {
    TextPictureSource source;
    source.text = text;
    source.font = memoFont();
    source.textColor = Qt::black;
    source.backgroundColor = Qt::white;
    source.width = MemoTextAreaWidth();
    source.lineHeight = MemoLineHeight(source.font);
    return source;
}

// A paragraph of one repeated glyph that wraps into exactly `lines` display lines:
// the last line is half full, so rounding in the glyph width cannot move a break.
QString paragraphOfLines(const QString& glyph, int lines) {
    const int usable = MemoTextAreaWidth() - 2 * 4; // the document's margin on both sides
    const int perLine = usable / QFontMetrics(memoFont()).horizontalAdvance(glyph);
    return glyph.repeated(perLine * (lines - 1) + perLine / 2);
}

TextPictureSource bandEdgeSource() {
    return sourceFor(QStringLiteral("跨越条带的文字 Text across band edges.\n").repeated(40));
}

bool rowIsPlain(const QImage& image, int y, QRgb background) {
    for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) != background)
            return false;
    return true;
}

bool rowsHaveInk(const QImage& image, int from, int to, QRgb background) {
    for (int y = from; y < to; ++y)
        if (!rowIsPlain(image, y, background))
            return true;
    return false;
}
} // namespace

class TestTextPicture : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QVERIFY(EnsureTahoma());
        QCOMPARE(MemoLineHeight(memoFont()), 17);
    }

    void heightFollowsDisplayLines_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("height");
        QTest::newRow("three lines ending in a break")
            << QStringLiteral("一行\n二行\nthree\n") << 3 << 181;
        QTest::newRow("no final break") << QStringLiteral("一行\n二行") << 2 << 164;
        QTest::newRow("paragraph wrapped into 20")
            << paragraphOfLines(QStringLiteral("中"), 20) << 20 << 470;
        QTest::newRow("empty") << QString() << 0 << 130;
        QTest::newRow("only breaks") << QStringLiteral("\n\n") << 2 << 164;
    }
    void heightFollowsDisplayLines() {
        QFETCH(QString, text);
        QFETCH(int, lines);
        QFETCH(int, height);
        const TextPicture picture(sourceFor(text));
        QCOMPARE(picture.displayLines(), lines);
        QCOMPARE(picture.height(), height);
        QCOMPARE(picture.width(), 537);
        const QImage image = RenderTextPicture(sourceFor(text));
        QCOMPARE(image.size(), QSize(537, height));
    }

    void everyLineFitsAboveAPlainBand_data() {
        QTest::addColumn<QString>("text");
        const QString chinese = QStringLiteral("中文字体的行高，一样的间距。\n");
        const QString latin = QStringLiteral("Latin only, gjpqy descenders.\n");
        QTest::newRow("Chinese only") << chinese.repeated(30);
        QTest::newRow("Latin only") << latin.repeated(30);
        QTest::newRow("Chinese, no final break") << chinese.repeated(30).chopped(1);
    }
    void everyLineFitsAboveAPlainBand() {
        QFETCH(QString, text);
        const TextPictureSource source = sourceFor(text);
        const QImage image = RenderTextPicture(source);
        const QRgb white = qRgb(255, 255, 255);
        const int lines = 30;
        QCOMPARE(image.height(), lines * 17 + 130);
        // Each line's glyphs lie in its own 17-pixel slot below the 4-pixel margin ...
        for (int line = 0; line < lines; ++line)
            QVERIFY2(rowsHaveInk(image, 4 + 17 * line, 4 + 17 * (line + 1), white),
                     qPrintable(QStringLiteral("line %1 is blank").arg(line)));
        // ... and nothing is drawn below the last slot.
        for (int y = 4 + 17 * lines; y < image.height(); ++y)
            QVERIFY2(rowIsPlain(image, y, white), qPrintable(QStringLiteral("row %1").arg(y)));
        QVERIFY(rowIsPlain(image, 0, white));
    }

    void chosenColoursShow() {
        TextPictureSource source = sourceFor(QStringLiteral("红色的字 on navy\n"));
        source.textColor = QColor(255, 0, 0);
        source.backgroundColor = QColor(0, 0, 128);
        source.font.setPixelSize(24);
        source.font.setBold(true);
        source.lineHeight = MemoLineHeight(source.font);
        const QImage image = RenderTextPicture(source);
        QCOMPARE(image.pixel(0, 0), qRgb(0, 0, 128));
        QCOMPARE(image.pixel(image.width() - 1, image.height() - 1), qRgb(0, 0, 128));
        int fullText = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                fullText += image.pixel(x, y) == qRgb(255, 0, 0);
        QVERIFY2(fullText > 50, qPrintable(QString::number(fullText)));
    }

    void bandSizeAndThreadDoNotChangeTheBytes_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<BandEncoding>("encoding");
        // Glyphs straddle band edges at every one of these sizes.
        for (int rows : {1, 7, 100, DefaultBandRows, 257, 100000}) {
            QTest::addRow("%d rows, second thread", rows) << rows << BandEncoding::SecondThread;
            QTest::addRow("%d rows, one thread", rows) << rows << BandEncoding::CallerThread;
        }
    }
    void bandSizeAndThreadDoNotChangeTheBytes() {
        QFETCH(int, rows);
        QFETCH(BandEncoding, encoding);
        const TextPictureSource source = bandEdgeSource();
        const QByteArray reference =
            EncodeTextPicture(source, DefaultBandRows, BandEncoding::CallerThread);
        QVERIFY(EncodeTextPicture(source, rows, encoding) == reference);
    }

    void aBandIsThoseRowsOfTheWholePicture() {
        const TextPictureSource source = bandEdgeSource();
        const TextPicture picture(source);
        const QImage whole = RenderTextPicture(source);
        QImage band(picture.width(), 13, QImage::Format_RGB32);
        picture.paintBand(band, 300);
        QCOMPARE(band, whole.copy(0, 300, picture.width(), 13));
    }

    void encodedPixelsAreTheScreenBitmap() {
        // The bitmap of RenderTextPicture is the one compared with the text box on screen;
        // the encoder paints its bands in another pixel format, which must not change a
        // single pixel of what gets encoded.
        const TextPictureSource source =
            sourceFor(QStringLiteral("屏幕上的样子 Anti-aliased text, 灰色边缘。\n").repeated(12));
        const QImage screen = RenderTextPicture(source).convertToFormat(QImage::Format_RGB888);
        JpegWriter writer(screen.width(), screen.height());
        writer.writeRows(screen);
        QCOMPARE(EncodeTextPicture(source), writer.finish());
    }

    void tallerThan65500IsJpegError41() {
        // 3,846 lines at 17 pixels: 65,512 rows.
        const TextPictureSource source = sourceFor(QStringLiteral("a\n").repeated(3846));
        QCOMPARE(TextPicture(source).height(), 65512);
        try {
            EncodeTextPicture(source);
            QFAIL("a 65,512-pixel picture was encoded");
        } catch (const TovexError& e) {
            QCOMPARE(e.message(), QStringLiteral("JPEG error #41"));
        }
        // One line fewer is 65,495 rows and is encoded.
        bool wellFormed = false;
        const QList<JpegSegment> segments = ReadJpegSegments(
            EncodeTextPicture(sourceFor(QStringLiteral("a\n").repeated(3845))), &wellFormed);
        QVERIFY(wellFormed);
        const JpegSegment& sof = segments.at(4);
        QCOMPARE(sof.marker, 0xC0);
        QCOMPARE(static_cast<uchar>(sof.payload[1]) << 8 | static_cast<uchar>(sof.payload[2]),
                 65495);
    }
};

QTEST_MAIN(TestTextPicture)
#include "TestTextPicture.moc"
