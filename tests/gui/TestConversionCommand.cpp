// "开始转换" on the real window: the files it writes, the picture against what Memo1
// shows, the length limit and the error paths.
#include "GuiTestMain.h"

#include "AnsiText.h"
#include "AppDir.h"
#include "AppTitle.h"
#include "Conversion.h"
#include "JpegMarkers.h"
#include "Memo.h"
#include "MemoPicture.h"
#include "MessageBoxes.h"
#include "PicFolder.h"
#include "Unit1.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

#include <memory>

namespace {
QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Picture height read from the file's SOF0 segment; -1 for a broken file.
int jpegHeight(const QByteArray& file) {
    bool wellFormed = false;
    for (const JpegSegment& s : ReadJpegSegments(file, &wellFormed))
        if (s.marker == 0xC0 && wellFormed)
            return static_cast<uchar>(s.payload[1]) << 8 | static_cast<uchar>(s.payload[2]);
    return -1;
}

// Stamps of this second and the next few, for files put in the conversion's way.
QStringList comingStamps() {
    QStringList stamps;
    const QDateTime now = QDateTime::currentDateTime();
    for (int s = 0; s < 5; ++s)
        stamps << StampName(now.addSecs(s));
    return stamps;
}
} // namespace

class TestConversionCommand : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TForm1> m_form;
    QString m_pic;

    QStringList picFiles() const { return QDir(m_pic).entryList(QDir::Files, QDir::Name); }

    // Presses "开始转换" with every message box recorded; returns what was shown.
    QList<MessageBoxes::Shown> convert() {
        MessageBoxes::Recorder recorder;
        QTest::mouseClick(m_form->BitBtn1, Qt::LeftButton);
        return recorder.shown();
    }

    void removePicFiles() {
        for (const QString& name : picFiles()) {
            QFile::setPermissions(m_pic + "/" + name,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            QFile::remove(m_pic + "/" + name);
        }
    }

    QImage memoScreen() const { return m_form->Memo1->viewport()->grab().toImage(); }

private slots:
    void initTestCase() {
        // Other tests that build the window run at the same time; their Pic is not ours.
        QVERIFY2(GetAppDir().endsWith(QLatin1String("/test_conversion_command/")),
                 qPrintable(GetAppDir()));
    }
    void init() {
        m_pic = PicFolderOf(GetAppDir());
        QDir().mkpath(m_pic);
        removePicFiles();
        m_form = std::make_unique<TForm1>();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup() {
        m_form.reset();
        QDir().mkpath(m_pic);
        removePicFiles();
    }

    void writesPictureAndTextAndNamesThem() {
        TMemo* memo = m_form->Memo1;
        const int height = memo->height();
        const QString text = QStringLiteral("第一行中文\nsecond line");
        memo->setPlainText(text);
        const QString before = StampName(QDateTime::currentDateTime());
        const QList<MessageBoxes::Shown> shown = convert();
        const QString after = StampName(QDateTime::currentDateTime());

        QCOMPARE(picFiles().size(), 2);
        const QString stamp = picFiles()[0].chopped(4);
        QVERIFY(stamp >= before && stamp <= after);
        QCOMPARE(picFiles(), (QStringList{stamp + ".jpg", stamp + ".txt"}));
        QCOMPARE(shown.size(), 1);
        QVERIFY(!shown[0].isError);
        QCOMPARE(shown[0].text, QStringLiteral("图片已经保存到Pic 名称:") + stamp + ".jpg");

        // The footer is in the box, the insertion point at its end, nothing selected.
        QCOMPARE(memo->toPlainText(), AppendFooter(text));
        QCOMPARE(memo->textCursor().position(), memo->document()->characterCount() - 1);
        QVERIFY(!memo->textCursor().hasSelection());
        QCOMPARE(m_form->lbl1->text(),
                 QStringLiteral("当前长度:%1").arg(AnsiByteLength(AppendFooter(text))));
        QCOMPARE(memo->height(), height);

        QCOMPARE(readAll(m_pic + "/" + stamp + ".txt"), ToAnsiBytes(AppendFooter(text)));
        const QByteArray jpeg = readAll(m_pic + "/" + stamp + ".jpg");
        QCOMPARE(jpegHeight(jpeg), 5 * 17 + 130);
        QCOMPARE(jpeg, EncodeTextPicture(MemoPicture(*memo)));

        // A second conversion appends a second footer; both are in its files.
        convert();
        QCOMPARE(memo->toPlainText(), AppendFooter(AppendFooter(text)));
        const QString last = picFiles().constLast().chopped(4);
        QCOMPARE(readAll(m_pic + "/" + last + ".txt"),
                 ToAnsiBytes(AppendFooter(AppendFooter(text))));
        QCOMPARE(jpegHeight(readAll(m_pic + "/" + last + ".jpg")), 8 * 17 + 130);
    }

    void pictureIsWhatTheBoxShows_data() {
        QTest::addColumn<QColor>("textColor");
        QTest::addColumn<QColor>("background");
        QTest::newRow("default colours") << QColor() << QColor();
        QTest::newRow("chosen colours") << QColor(200, 0, 0) << QColor(255, 255, 160);
    }
    void pictureIsWhatTheBoxShows() {
        QFETCH(QColor, textColor);
        QFETCH(QColor, background);
        TMemo* memo = m_form->Memo1;
        if (textColor.isValid()) {
            memo->setFontColor(textColor);
            memo->setBackgroundColor(background);
        }
        QString text;
        for (int i = 0; i < 24; ++i)
            text += QStringLiteral("第%1段：中文与English混排，标点符号。Tab\tstop, "
                                   "non\u00a0breaking\u00a0spaces and a long paragraph that "
                                   "wraps at the width of the text area, 一二三四五六七八九十。\n")
                        .arg(i);
        memo->setPlainText(text);
        memo->clearFocus(); // no caret
        QApplication::processEvents();

        const QImage picture = RenderTextPicture(MemoPicture(*memo));
        const QImage top = memoScreen().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(top.width(), picture.width());
        QVERIFY(picture.height() > 2 * top.height());
        QCOMPARE(top, picture.copy(0, 0, top.width(), top.height()));

        // Scrolled to its end, the box shows the later lines exactly as the picture has
        // them, and the picture still starts at the first line.
        QScrollBar* bar = memo->verticalScrollBar();
        bar->setValue(bar->maximum());
        QApplication::processEvents();
        const QImage bottom = memoScreen().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(bottom, picture.copy(0, bar->value(), top.width(), top.height()));
        QCOMPARE(RenderTextPicture(MemoPicture(*memo)), picture);
        if (textColor.isValid())
            QCOMPARE(picture.pixelColor(picture.width() - 1, picture.height() - 1), background);
    }

    void lengthLimit_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("converted");
        QTest::newRow("100,000 bytes") << QString(100000, QLatin1Char('a')) << true;
        QTest::newRow("100,001 bytes") << QString(100001, QLatin1Char('a')) << false;
        QTest::newRow("50,000 Chinese and a break")
            << QStringLiteral("汉").repeated(50000) + QLatin1Char('\n') << false;
    }
    void lengthLimit() {
        QFETCH(QString, text);
        QFETCH(bool, converted);
        m_form->Memo1->setPlainText(text);
        const QList<MessageBoxes::Shown> shown = convert();
        QCOMPARE(shown.size(), 1);
        QVERIFY(!shown[0].isError);
        if (converted) {
            QVERIFY(shown[0].text.startsWith(QStringLiteral("图片已经保存到Pic 名称:")));
            QCOMPARE(picFiles().size(), 2);
            QCOMPARE(m_form->Memo1->toPlainText(), AppendFooter(text));
        } else {
            QCOMPARE(shown[0].text, QStringLiteral("文字太长！"));
            QCOMPARE(picFiles(), QStringList());
            QCOMPARE(m_form->Memo1->toPlainText(), text);
        }
    }

    void existingFilesAreReplaced() {
        for (const QString& stamp : comingStamps()) {
            QFile jpg(m_pic + "/" + stamp + ".jpg");
            QVERIFY(jpg.open(QIODevice::WriteOnly));
            jpg.write(QByteArray(100000, 'o'));
        }
        m_form->Memo1->setPlainText(QStringLiteral("替换"));
        const QList<MessageBoxes::Shown> shown = convert();
        QCOMPARE(shown.size(), 1);
        const QString stamp = shown[0].text.mid(shown[0].text.indexOf(':') + 1).chopped(4);
        QCOMPARE(jpegHeight(readAll(m_pic + "/" + stamp + ".jpg")), 4 * 17 + 130);
        QCOMPARE(readAll(m_pic + "/" + stamp + ".txt"), ToAnsiBytes(AppendFooter("替换")));
    }

    void failuresShowTheErrorAndLeaveNoPartialFile_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("message"); // %1: the picture's path without extension
        QTest::newRow("missing Pic") << "remove Pic"
                                     << "Cannot create file \"%1.jpg\". No such file or directory.";
        QTest::newRow("read-only picture in the way")
            << "read-only jpg"
            << "Cannot create file \"%1.jpg\". Permission denied.";
        QTest::newRow("read-only text file in the way")
            << "read-only txt"
            << "Cannot create file \"%1.txt\". Permission denied.";
        QTest::newRow("over 65,500 pixels") << "too tall"
                                            << "JPEG error #41.";
    }
    void failuresShowTheErrorAndLeaveNoPartialFile() {
        QFETCH(QString, setup);
        QFETCH(QString, message);
        TMemo* memo = m_form->Memo1;
        const int height = memo->height();
        // 3,843 lines and the footer's 3: 3,846 x 17 + 130 = 65,512 pixels.
        const QString text =
            setup == "too tall" ? QStringLiteral("a\n").repeated(3843) : QStringLiteral("文字");
        memo->setPlainText(text);
        const QStringList stamps = comingStamps();
        if (setup == "remove Pic")
            QVERIFY(QDir(m_pic).removeRecursively());
        for (const QString& ext : {QStringLiteral("jpg"), QStringLiteral("txt")}) {
            if (setup != "read-only " + ext)
                continue;
            for (const QString& stamp : stamps) {
                const QString path = m_pic + "/" + stamp + "." + ext;
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write("old");
                file.close();
                QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
            }
        }
        const QStringList before = picFiles();

        const QList<MessageBoxes::Shown> shown = convert();
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown[0].isError);
        QCOMPARE(memo->height(), height);
        QCOMPARE(memo->toPlainText(), AppendFooter(text)); // what was done stays done
        const bool oneOfTheStamps =
            std::any_of(stamps.begin(), stamps.end(), [&](const QString& s) {
                const QString path = m_pic + "/" + s;
                return shown[0].text == (message.contains("%1") ? message.arg(path) : message);
            });
        QVERIFY2(oneOfTheStamps, qPrintable(shown[0].text));

        const QStringList after = picFiles();
        if (setup == "read-only txt") {
            // The picture was written before the text file failed.
            QCOMPARE(after.size(), before.size() + 1);
            for (const QString& name : before)
                QCOMPARE(readAll(m_pic + "/" + name), QByteArray("old"));
        } else {
            QCOMPARE(after, before);
            for (const QString& name : before)
                QCOMPARE(readAll(m_pic + "/" + name), QByteArray("old"));
        }
    }
};

TOVEX_GUI_TEST_MAIN(TestConversionCommand)
#include "TestConversionCommand.moc"
