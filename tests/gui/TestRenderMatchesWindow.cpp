// The window's conversion and tovex-render make byte-identical pictures of one text, with
// the window's defaults and with a chosen font and colours.
#include "GuiTestMain.h"

#include "Conversion.h"
#include "Memo.h"
#include "TestConfig.h"
#include "Unit1.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace {
QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestRenderMatchesWindow : public QObject {
    Q_OBJECT
private slots:
    void sameBytes_data() {
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("background");
        QTest::newRow("window defaults") << 0 << QString() << QString();
        QTest::newRow("chosen look") << 18 << "#aa2200"
                                     << "#eeffdd";
    }
    void sameBytes() {
        QFETCH(int, size);
        QFETCH(QString, color);
        QFETCH(QString, background);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString text = QStringLiteral("长微博的一段文字，用来比较。\nLatin words wrap too ") +
                             QString(200, QChar(0x4E2D));
        QFile in(dir.filePath(QStringLiteral("in.txt")));
        QVERIFY(in.open(QIODevice::WriteOnly));
        in.write(text.toUtf8());
        in.close();

        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.Memo1->setPlainText(AppendFooter(text));
        QStringList args{in.fileName(), QStringLiteral("-o"), dir.filePath("cli.jpg")};
        if (size > 0) {
            QFont font(QStringLiteral("Tahoma"));
            font.setPixelSize(size);
            form.Memo1->setFont(font);
            form.Memo1->setFontColor(QColor::fromString(color));
            form.Memo1->setBackgroundColor(QColor::fromString(background));
            args << "--size" << QString::number(size) << "--color" << color << "--background"
                 << background;
        }
        form.txttojpg(dir.filePath(QStringLiteral("window")));

        QProcess p;
        p.start(QString::fromUtf8(BinaryDir) + QStringLiteral("/tovex-render"), args);
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 0);
        const QByteArray window = readFile(dir.filePath(QStringLiteral("window.jpg")));
        QVERIFY(window.size() > 1000);
        QVERIFY(readFile(dir.filePath(QStringLiteral("cli.jpg"))) == window);
    }
};

TOVEX_GUI_TEST_MAIN(TestRenderMatchesWindow)
#include "TestRenderMatchesWindow.moc"
