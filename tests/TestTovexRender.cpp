// tovex-render as scripts call it: its options, its refusals, the encodings it reads, and
// that its picture is the one EncodeTextPicture makes for the same text and look.
#include "AnsiText.h"
#include "Conversion.h"
#include "Fonts.h"
#include "MemoLayout.h"
#include "TestConfig.h"
#include "TextPicture.h"

#include <QFile>
#include <QGuiApplication>
#include <QPalette>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run render(const QStringList& args) {
    QProcess p;
    p.start(QString::fromUtf8(BinaryDir) + QStringLiteral("/tovex-render"), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(),
            QString::fromUtf8(p.readAllStandardError())};
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QByteArray expectedJpeg(const QString& text, const QColor& color, const QColor& background) {
    EnsureTahoma();
    TextPictureSource source;
    source.text = text;
    source.font = QFont(QStringLiteral("Tahoma"));
    source.font.setPixelSize(14);
    source.textColor = color;
    source.backgroundColor = background;
    source.width = MemoTextAreaWidth();
    source.lineHeight = MemoLineHeight(source.font);
    return EncodeTextPicture(source);
}
} // namespace

class TestTovexRender : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QString::fromUtf8(name)); }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        writeFile(path("utf8.txt"), QStringLiteral("第一行\n第二行 Latin").toUtf8());
        writeFile(path("gbk.txt"), ToAnsiBytes(QStringLiteral("第一行\n第二行 Latin")));
        writeFile(path("long.txt"), QByteArray(100001, 'a'));
        writeFile(path("limit.txt"), QByteArray(100000, 'a'));
    }

    void refusals_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString in = path("utf8.txt");
        QTest::newRow("no input") << QStringList{} << "no input";
        QTest::newRow("unknown option") << QStringList{"--bold", in} << "unknown option --bold";
        QTest::newRow("value missing") << QStringList{in, "-o"} << "-o needs a value";
        QTest::newRow("bad colour") << QStringList{"--color", "red", in} << "#RRGGBB";
        QTest::newRow("bad size") << QStringList{"--size", "0", in} << "--size";
        QTest::newRow("bad encoding") << QStringList{"--encoding", "big5", in} << "gbk or utf-8";
        QTest::newRow("missing file") << QStringList{path("none.txt")} << "Cannot open file";
        QTest::newRow("too long") << QStringList{path("long.txt")} << "文字太长！";
    }
    void refusals() {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const Run r = render(args);
        QVERIFY(r.exitCode != 0);
        QVERIFY2(r.err.contains(message), qPrintable(r.err));
        QVERIFY(r.out.isEmpty());
        QVERIFY(!QFile::exists(path("long.jpg")));
    }

    void limitIsConvertedBesideInput() {
        const Run r = render({path("limit.txt")});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(readFile(path("limit.jpg")).startsWith("\xFF\xD8"));
    }

    // The default: footer appended, window's font and colours; -o - gives the same bytes.
    void sameBytesAsTheRenderer() {
        const QByteArray expected =
            expectedJpeg(AppendFooter(QStringLiteral("第一行\n第二行 Latin")),
                         QGuiApplication::palette().color(QPalette::Text),
                         QGuiApplication::palette().color(QPalette::Base));
        QCOMPARE(render({path("utf8.txt")}).exitCode, 0);
        QCOMPARE(readFile(path("utf8.jpg")), expected);
        const Run piped = render({path("gbk.txt"), "-o", "-"});
        QCOMPARE(piped.exitCode, 0);
        QCOMPARE(piped.out, expected);
    }

    void optionsReachThePicture() {
        const QByteArray expected =
            expectedJpeg(QStringLiteral("第一行\n第二行 Latin"), QColor(0x12, 0x34, 0x56),
                         QColor(0xFE, 0xDC, 0xBA));
        const Run r = render({"--no-footer", "--color", "#123456", "--background", "#fedcba",
                              "--encoding", "gbk", path("gbk.txt"), "-o", path("o.jpg")});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(readFile(path("o.jpg")), expected);
    }
};

QTEST_MAIN(TestTovexRender)
#include "TestTovexRender.moc"
