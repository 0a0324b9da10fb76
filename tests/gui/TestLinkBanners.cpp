// The banners: FormShow against a real HTTP server on 127.0.0.1 and a temporary program
// folder, the fallback notice, drawing and clicks.
#include "GuiTestMain.h"

#include "GifWriter.h"
#include "ImageFixtures.h"
#include "LinkImage.h"
#include "LocalHttpServer.h"
#include "MessageBoxes.h"
#include "Unit1.h"

#include "IniScrambledValue.h"
#include "TovexError.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <memory>
#include <mutex>

namespace {
QByteArray pictureBytes(const QColor& color, const char* format, QSize size = {300, 47}) {
    return EncodedImage(SolidImage(size, color), format);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// Records the addresses that a click hands to the desktop.
class OpenedLinks : public QObject {
    Q_OBJECT
public:
    OpenedLinks() {
        for (const char* scheme : {"http", "https", "file", "smb", "javascript"})
            QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
    }
    ~OpenedLinks() override {
        for (const char* scheme : {"http", "https", "file", "smb", "javascript"})
            QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    }
    QStringList urls;
public slots:
    void open(const QUrl& url) { urls << url.toString(); }
};

void click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton, QPoint releaseAt = {5, 5}) {
    QTest::mousePress(widget, button, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(widget, button, Qt::NoModifier, releaseAt);
}

// What a banner shows: "none", "notice", or the colour name of a solid picture.
QString shown(const TLinkImage& banner) {
    const TPicture& picture = banner.picture();
    if (picture.isEmpty())
        return QStringLiteral("none");
    const QImage& image = banner.shownImage();
    if (picture.kind() == TPicture::Kind::Bitmap && image.size() == banner.size() &&
        image.pixelColor(image.width() - 1, image.height() - 1) == QColor(Qt::white)) {
        int dark = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 120; ++x)
                dark += image.pixelColor(x, y).lightness() < 100;
        return dark > 50 ? QStringLiteral("notice") : QStringLiteral("white");
    }
    const QColor c = image.pixelColor(5, 5);
    if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
        return QStringLiteral("red");
    if (c.blue() > 200 && c.red() < 60 && c.green() < 60)
        return QStringLiteral("blue");
    return c.name();
}

struct BannerEntry {
    QString address; // "{base}" stands for the server's root
    QString link;
};

struct Scenario {
    const char* name = "";
    bool served = true;         // the server has tovex.rar
    bool placedEarlier = false; // a SetConfig.ini from an earlier run is in the folder
    BannerEntry img1, img2;
    QMap<QString, QByteArray> filesBefore; // in the program folder
    int shows = 1;
    QString shown1, url1, shown2, url2; // "{home}" is the server's root
    QStringList errors;
    int showCount = 1;
    QMap<QString, int> requests; // path on the server -> times asked
    QStringList filesAfter;      // relative to the program folder; "../x" is beside it
    QStringList filesNotAfter;
    QStringList opened; // what clicks on img1, then img2, hand to the desktop
};

const QString Left = QStringLiteral("http://www.maker.example/left");
const QString Right = QStringLiteral("https://shop.example/right?item=1");

QList<Scenario> scenarios() {
    const QByteArray blueBmp = pictureBytes(Qt::blue, "BMP");
    QList<Scenario> list;
    {
        Scenario s;
        s.name = "both served; a second show fetches again and leaves both";
        s.img1 = {"{base}pics/red.bmp", Left};
        s.img2 = {"{base}pics/blue.JPG", Right};
        s.shows = 2;
        s.shown1 = "red", s.url1 = Left, s.shown2 = "blue", s.url2 = Right;
        s.requests = {{"/tovex.rar", 2}, {"/pics/red.bmp", 1}, {"/pics/blue.JPG", 1}};
        s.filesAfter = {"SetConfig.ini", "fname1.bmp", "fname2.JPG"};
        s.filesNotAfter = {"fname2.jpg"};
        s.opened = {Left, Right};
        list << s;
    }
    {
        Scenario s;
        s.name = "a png is refused, img2 stays empty, the next show tries both";
        s.img1 = {"{base}pics/red.png", Left};
        s.img2 = {"{base}pics/blue.JPG", Right};
        s.shows = 2;
        s.shown1 = "none", s.shown2 = "none";
        s.errors = {"Unknown picture file extension (.png)",
                    "Unknown picture file extension (.png)"};
        s.showCount = 0;
        s.requests = {{"/tovex.rar", 2}, {"/pics/red.png", 2}, {"/pics/blue.JPG", 0}};
        s.filesAfter = {"fname1.png"};
        list << s;
    }
    {
        Scenario s;
        s.name = "a failed download shows the cache with the current link, else the notice";
        s.img1 = {"{base}pics/gone.bmp", Left};
        s.img2 = {"{base}pics/gone.jpg", Right};
        s.filesBefore = {{"fname1.bmp", blueBmp}};
        s.shown1 = "blue", s.url1 = Left, s.shown2 = "notice", s.url2 = "{home}";
        s.requests = {{"/pics/gone.bmp", 1}, {"/pics/gone.jpg", 1}};
        s.opened = {Left, "{home}"};
        list << s;
    }
    {
        Scenario s;
        s.name = "no settings file at all gives two notices";
        s.served = false;
        s.shown1 = "notice", s.url1 = "{home}", s.shown2 = "notice", s.url2 = "{home}";
        s.requests = {{"/tovex.rar", 1}};
        s.filesNotAfter = {"SetConfig.ini", "fname1", "fname2"};
        s.opened = {"{home}", "{home}"};
        list << s;
    }
    {
        Scenario s;
        s.name = "no settings file and a file named like the key";
        s.served = false;
        s.filesBefore = {{"fname1", blueBmp}};
        s.shown1 = "none", s.shown2 = "none";
        s.errors = {"Unknown picture file extension (.)"};
        s.showCount = 0;
        list << s;
    }
    {
        Scenario s;
        s.name = "the fetch fails and the earlier settings file is read";
        s.served = false;
        s.placedEarlier = true;
        s.img1 = {"{base}pics/red.bmp", Left};
        s.shown1 = "red", s.url1 = Left, s.shown2 = "notice", s.url2 = "{home}";
        s.requests = {{"/tovex.rar", 1}, {"/pics/red.bmp", 1}};
        s.opened = {Left, "{home}"};
        list << s;
    }
    {
        Scenario s;
        s.name = "a picture with an empty link opens nothing";
        s.img1 = {"{base}pics/red.bmp", ""};
        s.shown1 = "red", s.url1 = "", s.shown2 = "notice", s.url2 = "{home}";
        s.opened = {"{home}"};
        list << s;
    }
    {
        Scenario s;
        s.name = "a dot in a folder name never leads outside the program folder";
        s.img1 = {"{base}pics/d.x/banner", Left};
        s.img2 = {"{base}a.b/../../escape", Right};
        // Even with a file and a folder in the way, nothing is read or written through them.
        s.filesBefore = {{"fname1.x/banner", blueBmp}, {"fname2.b/placeholder", blueBmp}};
        s.shown1 = "notice", s.url1 = "{home}", s.shown2 = "notice", s.url2 = "{home}";
        s.requests = {{"/pics/d.x/banner", 0}, {"/escape", 0}};
        s.filesNotAfter = {"../escape"};
        s.opened = {"{home}", "{home}"};
        list << s;
    }
    return list;
}
} // namespace

class TestLinkBanners : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_folder; // the program folder, with its final "/"
    LocalHttpServer m_server;
    std::mutex m_mutex;
    QMap<QString, int> m_requests;
    QByteArray m_settings; // served as /tovex.rar while not empty
    QMap<QString, QByteArray> m_pictures;

    QString base() const { return m_server.url(QStringLiteral("/")); }
    QString expand(QString text) const {
        return text.replace(QLatin1String("{base}"), base())
            .replace(QLatin1String("{home}"), base());
    }

    std::unique_ptr<TForm1> makeForm() {
        auto form = std::make_unique<TForm1>();
        DownloadLimits limits;
        limits.connectTimeoutMs = 2000;
        limits.totalTimeoutMs = 4000;
        form->setSettingsSite({m_folder, base(), limits});
        return form;
    }

    // A settings file with the two banners' entries, as the maker's tool writes it.
    QByteArray settingsFile(const BannerEntry& img1, const BannerEntry& img2) const {
        const QString path = m_root->filePath(QStringLiteral("made.ini"));
        QFile::remove(path);
        QByteArray none;
        const auto put = [&](const char* section, const char* key, const QString& value) {
            if (!value.isNull())
                IniScrambledValue(path, 1, QString::fromLatin1(section), QString::fromLatin1(key),
                                  expand(value).toUtf8(), none);
        };
        put("tovexpath", "fname1", img1.address);
        put("tovexlink", "fname1", img1.link);
        put("tovexpath", "fname2", img2.address);
        put("tovexlink", "fname2", img2.link);
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase() {
        m_pictures = {{"/pics/red.bmp", pictureBytes(Qt::red, "BMP")},
                      {"/pics/blue.JPG", pictureBytes(Qt::blue, "JPG")},
                      {"/pics/red.png", pictureBytes(Qt::red, "PNG")},
                      {"/pics/d.x/banner", pictureBytes(Qt::red, "BMP")},
                      {"/escape", pictureBytes(Qt::red, "BMP")}};
        m_server.server().Get(
            ".*", [this](const httplib::Request& request, httplib::Response& response) {
                const QString path = QString::fromStdString(request.path);
                std::lock_guard lock(m_mutex);
                ++m_requests[path];
                const QByteArray body =
                    path == QLatin1String("/tovex.rar") ? m_settings : m_pictures.value(path);
                if (body.isEmpty()) {
                    response.status = 404;
                    return;
                }
                response.set_content(body.toStdString(), "application/octet-stream");
            });
        QVERIFY(m_server.start());
    }

    void init() {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir(m_root->path()).mkdir(QStringLiteral("program")));
        m_folder = m_root->filePath(QStringLiteral("program")) + QLatin1Char('/');
        std::lock_guard lock(m_mutex);
        m_requests.clear();
        m_settings.clear();
    }

    void showingFillsTheBanners_data() {
        QTest::addColumn<int>("index");
        const QList<Scenario> list = scenarios();
        for (int i = 0; i < list.size(); ++i)
            QTest::newRow(list[i].name) << i;
    }
    void showingFillsTheBanners() {
        QFETCH(int, index);
        const Scenario s = scenarios().at(index);
        const QByteArray settings = settingsFile(s.img1, s.img2);
        if (s.served) {
            std::lock_guard lock(m_mutex);
            m_settings = settings;
        }
        if (s.placedEarlier)
            writeFile(m_folder + QStringLiteral("SetConfig.ini"), settings);
        for (auto it = s.filesBefore.begin(); it != s.filesBefore.end(); ++it) {
            QDir().mkpath(QFileInfo(m_folder + it.key()).path());
            writeFile(m_folder + it.key(), it.value());
        }

        MessageBoxes::Recorder boxes;
        auto form = makeForm();
        for (int i = 0; i < s.shows; ++i) {
            form->show();
            form->hide();
        }

        QStringList errors;
        for (const auto& box : boxes.shown()) {
            QVERIFY(box.isError);
            errors << box.text;
        }
        QCOMPARE(errors, s.errors);
        QCOMPARE(form->ShowCount, s.showCount);
        QCOMPARE(shown(*form->img1), s.shown1);
        QCOMPARE(form->img1->url(), expand(s.url1));
        QCOMPARE(shown(*form->img2), s.shown2);
        QCOMPARE(form->img2->url(), expand(s.url2));
        // The banners keep their docked size whatever they show.
        QCOMPARE(form->img1->geometry(), QRect(1, 1, 256, 47));
        QCOMPARE(form->img2->geometry(), QRect(257, 1, 300, 47));
        {
            std::lock_guard lock(m_mutex);
            for (auto it = s.requests.begin(); it != s.requests.end(); ++it)
                QCOMPARE(m_requests.value(it.key()), it.value());
        }
        for (const QString& name : s.filesAfter)
            QVERIFY2(QFileInfo::exists(m_folder + name), qPrintable(name));
        for (const QString& name : s.filesNotAfter)
            QVERIFY2(!QFileInfo::exists(m_folder + name), qPrintable(name));

        OpenedLinks opened;
        form->show();
        click(form->img1);
        click(form->img2);
        QStringList expected;
        for (const QString& url : s.opened)
            expected << expand(url);
        QCOMPARE(opened.urls, expected);
    }

    void aCachedFileThatDoesNotLoadKeepsTheEarlierPicture() {
        // img1 loads at the first show; at the next run's show its download fails and the
        // cache now holds a broken file: the error comes up and the banner stays as it was.
        writeFile(m_folder + QStringLiteral("SetConfig.ini"),
                  settingsFile({"{base}pics/missing.bmp", Left}, {}));
        writeFile(m_folder + QStringLiteral("fname1.bmp"), "broken");
        MessageBoxes::Recorder boxes;
        auto form = makeForm();
        form->show();
        QCOMPARE(boxes.shown().size(), 1);
        QCOMPARE(boxes.shown().front().text, QStringLiteral("Bitmap image is not valid."));
        QCOMPARE(shown(*form->img1), QStringLiteral("none"));
        QCOMPARE(form->img1->url(), QString());
        QCOMPARE(form->ShowCount, 0);
    }

    void theNoticeDrawsOnABitmapAndRefusesOtherKinds() {
        TLinkImage banner;
        banner.resize(256, 47);
        banner.bannerPicture().loadFromData(pictureBytes(Qt::blue, "BMP", {300, 60}),
                                            QStringLiteral("bmp"));
        DrawFallbackNotice(banner, QStringLiteral("http://home.example/"));
        const QImage& drawn = banner.shownImage();
        QCOMPARE(drawn.size(), QSize(300, 60));              // drawn on without change of size
        QCOMPARE(drawn.pixelColor(0, 0), QColor(Qt::white)); // the text's white background
        QCOMPARE(drawn.pixelColor(290, 50), QColor(Qt::blue));
        QCOMPARE(banner.url(), QStringLiteral("http://home.example/"));

        TLinkImage jpeg;
        jpeg.resize(256, 47);
        jpeg.bannerPicture().loadFromData(pictureBytes(Qt::red, "JPG"), QStringLiteral("jpg"));
        jpeg.setUrl(QStringLiteral("http://kept.example/"));
        try {
            DrawFallbackNotice(jpeg, QStringLiteral("http://home.example/"));
            QFAIL("a JPEG banner was drawn on");
        } catch (const TovexError& error) {
            QCOMPARE(error.message(),
                     QStringLiteral("Can only modify an image if it contains a bitmap"));
        }
        QCOMPARE(jpeg.url(), QStringLiteral("http://kept.example/"));
    }

    void aPictureShowsAtNaturalSizeFromTheCornerAndIsCut() {
        TLinkImage banner;
        banner.resize(256, 47);
        banner.bannerPicture().loadFromData(pictureBytes(Qt::red, "BMP", {10, 8}),
                                            QStringLiteral("bmp"));
        banner.bannerPictureChanged();
        QImage screen = banner.grab().toImage();
        QCOMPARE(screen.size(), QSize(256, 47));
        QCOMPARE(screen.pixelColor(9, 7), QColor(Qt::red));
        QVERIFY(screen.pixelColor(10, 7) != QColor(Qt::red)); // not stretched
        QVERIFY(screen.pixelColor(9, 8) != QColor(Qt::red));

        banner.bannerPicture().loadFromData(pictureBytes(Qt::blue, "BMP", {400, 60}),
                                            QStringLiteral("bmp"));
        banner.bannerPictureChanged();
        screen = banner.grab().toImage();
        QCOMPARE(banner.size(), QSize(256, 47)); // the banner does not size itself
        QCOMPARE(screen.pixelColor(255, 46), QColor(Qt::blue));
    }

    void anAnimatedGifPlaysItsFramesAndStops() {
        // Two frames of 30 ms, played once more (loop setting 1): red, blue, red, blue, stop.
        const QList<QColor> palette = {Qt::red, Qt::blue};
        const QByteArray gif = MakeGif(
            8, 8, palette, {{QList<quint8>(64, 0), 3, -1}, {QList<quint8>(64, 1), 3, -1}}, 1);
        TLinkImage banner;
        banner.resize(256, 47);
        QList<int> seen;
        connect(&banner.framePlayer(), &TFramePlayer::frameChanged, this,
                [&seen](int frame) { seen << frame; });
        banner.bannerPicture().loadFromData(gif, QStringLiteral("gif"));
        banner.bannerPictureChanged();
        QVERIFY(banner.framePlayer().isPlaying());
        QCOMPARE(shown(banner), QStringLiteral("red"));
        QTRY_VERIFY_WITH_TIMEOUT(!banner.framePlayer().isPlaying(), 3000);
        QCOMPARE(seen, (QList<int>{1, 0, 1}));
        QCOMPARE(shown(banner), QStringLiteral("blue"));
        QCOMPARE(banner.grab().toImage().pixelColor(2, 2), QColor(Qt::blue));
    }

    void onlyAWebLinkIsHandedToTheDesktop_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("opens");
        QTest::newRow("http") << "http://www.maker.example/a" << true;
        QTest::newRow("https") << "https://maker.example/?q=1" << true;
        QTest::newRow("HTTP in capitals") << "HTTP://MAKER.EXAMPLE/" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("file") << "file:///usr/bin/xterm" << false;
        QTest::newRow("local path") << "/usr/bin/xterm" << false;
        QTest::newRow("smb") << "smb://host/share" << false;
        QTest::newRow("javascript") << "javascript:alert(1)" << false;
        QTest::newRow("http without a host") << "http:/etc/passwd" << false;
    }
    void onlyAWebLinkIsHandedToTheDesktop() {
        QFETCH(QString, url);
        QFETCH(bool, opens);
        TLinkImage banner;
        banner.resize(256, 47);
        banner.setUrl(url);
        banner.show();
        int clicks = 0;
        connect(&banner, &TLinkImage::clicked, this, [&clicks] { ++clicks; });
        OpenedLinks opened;
        click(&banner);
        QCOMPARE(clicks, 1); // the ordinary click comes first, whatever the link
        QCOMPARE(opened.urls.size(), opens ? 1 : 0);
        if (opens)
            QCOMPARE(QUrl(opened.urls.front()), QUrl(url));
    }

    void onlyALeftPressAndReleaseOnTheBannerIsAClick() {
        TLinkImage banner;
        banner.resize(256, 47);
        banner.setUrl(QStringLiteral("http://maker.example/"));
        banner.show();
        OpenedLinks opened;
        click(&banner, Qt::RightButton);
        click(&banner, Qt::LeftButton, QPoint(300, 5)); // released outside
        QCOMPARE(opened.urls, QStringList());
        click(&banner);
        QCOMPARE(opened.urls, QStringList{QStringLiteral("http://maker.example/")});
    }
};

TOVEX_GUI_TEST_MAIN(TestLinkBanners)
#include "TestLinkBanners.moc"
