#include "Download.h"
#include "LocalHttpServer.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <chrono>

// The download against a real HTTP server on 127.0.0.1: a success replaces the target
// whole, and every kind of failure leaves the target as it was (or absent).
class TestDownload : public QObject {
    Q_OBJECT

private:
    LocalHttpServer m_http;
    std::atomic<bool> m_stopStalling{false};
    QTemporaryDir m_dir;

    // Small bounds so that the failure cases finish quickly.
    static DownloadLimits testLimits() {
        DownloadLimits limits;
        limits.connectTimeoutMs = 2'000;
        limits.totalTimeoutMs = 4'000;
        limits.stallBytesPerSecond = 16;
        limits.stallSeconds = 1;
        limits.maxBytes = 1024;
        return limits;
    }

    QString target(const QString& name) const { return m_dir.filePath(name); }

    static void writeFile(const QString& path, const QByteArray& content) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    static QStringList filesIn(const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        auto& s = m_http.server();
        s.Get("/short", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("short\r\n\x01\xFF", "application/octet-stream");
        });
        s.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
            res.status = 404;
            res.set_content("not found", "text/plain");
        });
        s.Get("/error", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("server error", "text/plain");
        });
        s.Get("/cut", [](const httplib::Request&, httplib::Response& res) {
            // Declares 1000 bytes, sends 10, then drops the connection.
            res.set_content_provider(1000, "text/plain",
                                     [](size_t offset, size_t, httplib::DataSink& sink) {
                                         if (offset > 0)
                                             return false;
                                         sink.write("0123456789", 10);
                                         return false;
                                     });
        });
        s.Get("/oversized", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(4096, 'x'), "text/plain");
        });
        s.Get("/oversized-chunked", [](const httplib::Request&, httplib::Response& res) {
            // No declared length: the cap must hold while the body arrives.
            res.set_chunked_content_provider("text/plain",
                                             [](size_t offset, httplib::DataSink& sink) {
                                                 if (offset >= 8192) {
                                                     sink.done();
                                                     return true;
                                                 }
                                                 const std::string piece(512, 'y');
                                                 sink.write(piece.data(), piece.size());
                                                 return true;
                                             });
        });
        s.Get("/stall", [this](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider(
                "text/plain", [this](size_t offset, httplib::DataSink& sink) {
                    if (offset == 0)
                        sink.write("x", 1);
                    for (int i = 0; i < 100 && !m_stopStalling; ++i)
                        std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    return false;
                });
        });
        s.Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("file:///etc/hostname");
        });
        s.Get("/to-short",
              [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/short"); });
        s.Get("/cfg/tovex.rar", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("[tovexpath]\r\nfname1=0A\r\n", "application/octet-stream");
        });
        QVERIFY(m_http.start());
    }

    void cleanupTestCase() {
        m_stopStalling = true;
        m_http.stop();
    }

    void successReplacesALongerFileWithAShorterOne() {
        const QString path = target("replaced.bin");
        writeFile(path, QByteArray(5000, 'o'));
        QVERIFY(DownloadUrlToFile(m_http.url("/short"), path, testLimits()));
        QCOMPARE(readFile(path), QByteArray("short\r\n\x01\xFF"));
        QVERIFY(DownloadUrlToFile(m_http.url("/to-short"), target("redirected.bin"), testLimits()));
        QCOMPARE(readFile(target("redirected.bin")), QByteArray("short\r\n\x01\xFF"));
    }

    void failureKeepsTheEarlierFile_data() {
        QTest::addColumn<QString>("url");
        QTest::newRow("404") << m_http.url("/missing");
        QTest::newRow("500") << m_http.url("/error");
        QTest::newRow("cut short") << m_http.url("/cut");
        QTest::newRow("declared size over the cap") << m_http.url("/oversized");
        QTest::newRow("undeclared size over the cap") << m_http.url("/oversized-chunked");
        QTest::newRow("redirect to file:") << m_http.url("/to-file");
        QTest::newRow("refused connection") << QStringLiteral("http://127.0.0.1:1/x");
        QTest::newRow("file: address") << QStringLiteral("file:///etc/hostname");
        QTest::newRow("ftp: address") << QStringLiteral("ftp://127.0.0.1/x");
        QTest::newRow("empty address") << QString();
        QTest::newRow("not an address") << QStringLiteral("tovex.rar");
    }
    void failureKeepsTheEarlierFile() {
        QFETCH(QString, url);
        const QByteArray earlier("earlier content\r\n");
        const QString kept = target("kept.ini");
        writeFile(kept, earlier);
        QVERIFY(!DownloadUrlToFile(url, kept, testLimits()));
        QCOMPARE(readFile(kept), earlier);

        const QString absent = target("absent.ini");
        QVERIFY(!DownloadUrlToFile(url, absent, testLimits()));
        QVERIFY(!QFileInfo::exists(absent));
        // No temporary file is left behind either.
        QCOMPARE(filesIn(m_dir.path()).filter(QStringLiteral("absent")), QStringList());
        QCOMPARE(filesIn(m_dir.path()).filter(QStringLiteral("kept")),
                 QStringList{QStringLiteral("kept.ini")});
    }

    void stallingServerEndsWithinTheLimit() {
        const QString path = target("stalled.ini");
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!DownloadUrlToFile(m_http.url("/stall"), path, testLimits()));
        QVERIFY2(clock.elapsed() < testLimits().totalTimeoutMs + 1'000,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!QFileInfo::exists(path));
    }

    void targetInAMissingFolderFails() {
        QVERIFY(!DownloadUrlToFile(m_http.url("/short"), target("no/such/folder/x"), testLimits()));
    }

    void settingsFileUrlHasNoSeparatorOfOurOwn() {
        QCOMPARE(SettingsFileUrl(QStringLiteral("http://h.example/cfg/"), QStringLiteral("tovex")),
                 QStringLiteral("http://h.example/cfg/tovex.rar"));
        QCOMPARE(SettingsFileUrl(QStringLiteral("http://h.example/cfg"), QStringLiteral("tovex")),
                 QStringLiteral("http://h.example/cfgtovex.rar"));
    }

    void fetchSettingsFileStoresItByteForByte() {
        const QString folder = m_dir.path() + QStringLiteral("/program/");
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(
            FetchSettingsFile(QStringLiteral("tovex"), m_http.url("/cfg/"), folder, testLimits()));
        QCOMPARE(readFile(folder + QStringLiteral("SetConfig.ini")),
                 QByteArray("[tovexpath]\r\nfname1=0A\r\n"));
        // Another product code names a file the server does not have: the copy stays.
        QVERIFY(
            !FetchSettingsFile(QStringLiteral("other"), m_http.url("/cfg/"), folder, testLimits()));
        QCOMPARE(readFile(folder + QStringLiteral("SetConfig.ini")),
                 QByteArray("[tovexpath]\r\nfname1=0A\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestDownload)
#include "TestDownload.moc"
