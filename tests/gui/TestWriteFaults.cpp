// "开始转换" when writing fails half way: the disk fills while the picture or the text file
// is written, or Pic is no longer a folder. A clear error, no truncated or temporary file,
// and an earlier file of the same name as it was. (The missing Pic folder and read-only
// files in the way are in TestConversionCommand.)
#include "GuiTestMain.h"

#include "AppDir.h"
#include "Conversion.h"
#include "Memo.h"
#include "MessageBoxes.h"
#include "PicFolder.h"
#include "Unit1.h"

#include <QDir>
#include <QFile>
#include <QPushButton>

#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <memory>

namespace {
QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// A file size limit for this process while the object lives, as a full disk would set it:
// a write past it fails with EFBIG instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_ok = getrlimit(RLIMIT_FSIZE, &m_saved) == 0;
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = m_saved;
        small.rlim_cur = bytes;
        m_ok = m_ok && setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool ok() const { return m_ok; }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = SIG_DFL;
    bool m_ok = false;
};
} // namespace

class TestWriteFaults : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<TForm1> m_form;
    QString m_pic;

    QStringList picFiles() const {
        return QDir(m_pic).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    void clearPic() {
        QFile::remove(m_pic); // a file that a test put in the folder's place
        QDir(m_pic).removeRecursively();
        QVERIFY(QDir().mkpath(m_pic));
    }

private slots:
    void initTestCase() {
        QVERIFY2(GetAppDir().endsWith(QLatin1String("/test_write_faults/")),
                 qPrintable(GetAppDir()));
        m_pic = PicFolderOf(GetAppDir());
    }
    void init() {
        clearPic();
        m_form = std::make_unique<TForm1>();
        m_form->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup() {
        m_form.reset();
        clearPic();
    }

    void writingFailsHalfWay_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("sizeLimit"); // 0: none
        QTest::addColumn<bool>("picIsAFile");
        QTest::addColumn<QString>("failing"); // the extension of the file that fails
        QTest::addColumn<int>("reason");      // errno of the system's description
        // A picture of some 200 KB, a text file of 6 KB.
        QTest::newRow("disk full while the picture is written")
            << QStringLiteral("满盘 ").repeated(1200) << qint64(64 * 1024) << false << "jpg"
            << EFBIG;
        // Spaces: a text file of 99 KB, a picture of some 12 KB.
        QTest::newRow("disk full while the text file is written")
            << QString(99'000, QLatin1Char(' ')) << qint64(48 * 1024) << false << "txt" << EFBIG;
        QTest::newRow("Pic replaced by a file")
            << QStringLiteral("文字") << qint64(0) << true << "jpg" << ENOTDIR;
    }
    void writingFailsHalfWay() {
        QFETCH(QString, text);
        QFETCH(qint64, sizeLimit);
        QFETCH(bool, picIsAFile);
        QFETCH(QString, failing);
        QFETCH(int, reason);
        m_form->Memo1->setPlainText(text);

        // Earlier files under every name the conversion may take in the next seconds.
        QStringList stamps;
        const QDateTime now = QDateTime::currentDateTime();
        for (int s = 0; s < 5; ++s)
            stamps << StampName(now.addSecs(s));
        for (const QString& stamp : stamps) {
            for (const char* ext : {".jpg", ".txt"}) {
                QFile earlier(m_pic + QLatin1Char('/') + stamp + QLatin1String(ext));
                QVERIFY(earlier.open(QIODevice::WriteOnly));
                earlier.write("earlier");
            }
        }
        const QStringList before = picFiles();
        if (picIsAFile) {
            QVERIFY(QDir(m_pic).removeRecursively());
            QFile blocker(m_pic);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
        }

        MessageBoxes::Recorder boxes;
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (sizeLimit > 0) {
                limit = std::make_unique<FileSizeLimit>(static_cast<rlim_t>(sizeLimit));
                QVERIFY(limit->ok());
            }
            QTest::mouseClick(m_form->BitBtn1, Qt::LeftButton);
        }

        QCOMPARE(boxes.shown().size(), 1); // the error, no confirmation
        const auto& shown = boxes.shown().first();
        QVERIFY(shown.isError);
        QString stamp;
        for (const QString& s : stamps) {
            const QString path = m_pic + QLatin1Char('/') + s + QLatin1Char('.') + failing;
            if (shown.text == QStringLiteral("Cannot create file \"%1\". %2.")
                                  .arg(path, QString::fromLocal8Bit(std::strerror(reason))))
                stamp = s;
        }
        QVERIFY2(!stamp.isEmpty(), qPrintable(shown.text));
        if (picIsAFile)
            return; // nothing can have been written

        // Nothing truncated, nothing temporary left: the same names as before, and every
        // earlier file as it was, except the picture when only the text file failed.
        QCOMPARE(picFiles(), before);
        for (const QString& name : before) {
            const QByteArray content = readAll(m_pic + QLatin1Char('/') + name);
            if (failing == QLatin1String("txt") && name == stamp + QLatin1String(".jpg")) {
                QVERIFY(content.startsWith("\xFF\xD8\xFF"));
                QVERIFY(content.endsWith("\xFF\xD9"));
            } else {
                QCOMPARE(content, QByteArray("earlier"));
            }
        }
    }
};

TOVEX_GUI_TEST_MAIN(TestWriteFaults)
#include "TestWriteFaults.moc"
