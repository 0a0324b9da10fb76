#include "Cipher.h"
#include "Download.h"
#include "IniScrambledValue.h"
#include "LocalHttpServer.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/resource.h>

#include <atomic>
#include <chrono>

// Faults around the settings file: a settings server that misbehaves must leave the earlier
// SetConfig.ini and the banner caches as they were, within the transfer's time limits; a
// settings file full of hostile text reads as values or as empty, never worse.
class TestSettingsFaults : public QObject {
    Q_OBJECT

private:
    LocalHttpServer m_http;
    std::atomic<bool> m_stopping{false};
    QTemporaryDir m_dir;

    static constexpr qint64 MiB = 1024 * 1024;

    // The real caps on size and redirects, shorter time limits so that the table runs fast.
    static DownloadLimits limits() {
        DownloadLimits l;
        l.connectTimeoutMs = 1'000;
        l.totalTimeoutMs = 3'000;
        l.stallSeconds = 1;
        return l;
    }

    static void writeFile(const QString& path, const QByteArray& content) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    }

    static QByteArray readFile(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    static long peakRssKiB() {
        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    }

    // Waits in small steps, so that the server thread ends soon after the client gives up.
    void idle(std::chrono::milliseconds total) {
        for (auto waited = std::chrono::milliseconds(0); waited < total && !m_stopping;
             waited += std::chrono::milliseconds(20))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    QByteArray read(const QString& file, const char* section, const char* key) {
        QByteArray result("stale");
        IniScrambledValue(file, 0, QLatin1String(section), QLatin1String(key), QByteArray(),
                          result);
        return result;
    }

private slots:
    void initTestCase() {
        QVERIFY(m_dir.isValid());
        auto& s = m_http.server();
        s.Get("/error/tovex.rar", [](const httplib::Request&, httplib::Response& res) {
            res.status = 500;
            res.set_content("[tovexpath]\r\nfname1=00\r\n", "text/plain");
        });
        s.Get("/cut/tovex.rar", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(4096, "text/plain",
                                     [](size_t offset, size_t, httplib::DataSink& sink) {
                                         if (offset == 0)
                                             sink.write("[tovexpath]\r\nfname1=", 20);
                                         return false;
                                     });
        });
        s.Get("/silent/tovex.rar", [this](const httplib::Request&, httplib::Response& res) {
            // Accepts the request and answers nothing for far longer than the limits.
            idle(std::chrono::seconds(30));
            res.set_content("late", "text/plain");
        });
        s.Get("/trickle/tovex.rar", [this](const httplib::Request&, httplib::Response& res) {
            // 4 bytes a second: under the stall limit, so the transfer is abandoned.
            res.set_chunked_content_provider("text/plain", [this](size_t, httplib::DataSink& sink) {
                idle(std::chrono::milliseconds(250));
                return !m_stopping && sink.write("x", 1);
            });
        });
        s.Get("/steady/tovex.rar", [this](const httplib::Request&, httplib::Response& res) {
            // 2 KiB a second, never stalling, never ending: the total limit ends it.
            res.set_chunked_content_provider("text/plain", [this](size_t, httplib::DataSink& sink) {
                idle(std::chrono::milliseconds(100));
                const std::string piece(200, 'y');
                return !m_stopping && sink.write(piece.data(), piece.size());
            });
        });
        s.Get("/huge/tovex.rar", [](const httplib::Request&, httplib::Response& res) {
            // 100 MiB without a declared length, as fast as the loop back carries it.
            res.set_chunked_content_provider("text/plain",
                                             [](size_t offset, httplib::DataSink& sink) {
                                                 if (offset >= 100 * MiB) {
                                                     sink.done();
                                                     return true;
                                                 }
                                                 const std::string piece(64 * 1024, 'z');
                                                 return sink.write(piece.data(), piece.size());
                                             });
        });
        s.Get("/huge-declared/tovex.rar", [](const httplib::Request&, httplib::Response& res) {
            res.set_content_provider(100 * MiB, "text/plain",
                                     [](size_t, size_t, httplib::DataSink& sink) {
                                         const std::string piece(64 * 1024, 'z');
                                         return sink.write(piece.data(), piece.size());
                                     });
        });
        s.Get("/loop/tovex.rar", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/loop/tovex.rar");
        });
        QVERIFY(m_http.start());
    }

    void cleanupTestCase() {
        m_stopping = true;
        m_http.stop();
    }

    void misbehavingServerKeepsTheEarlierFiles_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("answers 500") << "error";
        QTest::newRow("cuts the transfer") << "cut";
        QTest::newRow("accepts and stays silent") << "silent";
        QTest::newRow("sends 4 bytes a second") << "trickle";
        QTest::newRow("sends steadily, never ends") << "steady";
        QTest::newRow("sends 100 MiB, length undeclared") << "huge";
        QTest::newRow("declares 100 MiB") << "huge-declared";
        QTest::newRow("redirects to itself") << "loop";
        QTest::newRow("not listening") << "closed";
    }
    void misbehavingServerKeepsTheEarlierFiles() {
        QFETCH(QString, folder);
        const QString program = m_dir.filePath(folder) + QLatin1Char('/');
        QVERIFY(QDir().mkpath(program));
        const QByteArray settings =
            "[tovexpath]\r\nfname1=" +
            ScrambleText("http://h.example/a.jpg", SettingsStartKey).toLatin1() + "\r\n";
        const QByteArray cache("\xFF\xD8 the banner of an earlier run");
        writeFile(program + "SetConfig.ini", settings);
        writeFile(program + "fname1.jpg", cache);
        const QString server = folder == QLatin1String("closed")
                                   ? QStringLiteral("http://127.0.0.1:1/")
                                   : m_http.url(QLatin1Char('/') + folder + QLatin1Char('/'));

        const long rssBefore = peakRssKiB();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!FetchSettingsFile(QStringLiteral("tovex"), server, program, limits()));
        QVERIFY(!DownloadUrlToFile(server + "tovex.rar", program + "fname1.jpg", limits()));
        // Two transfers, each within its total limit (and a little for a loaded machine).
        QVERIFY2(clock.elapsed() < 2 * limits().totalTimeoutMs + 2'000,
                 qPrintable(QString::number(clock.elapsed())));
        // The body goes to a file as it arrives, and is abandoned at the size cap.
        QVERIFY2(peakRssKiB() - rssBefore < 64 * 1024,
                 qPrintable(QString::number(peakRssKiB() - rssBefore)));

        QCOMPARE(readFile(program + "SetConfig.ini"), settings);
        QCOMPARE(readFile(program + "fname1.jpg"), cache);
        QCOMPARE(QDir(program).entryList(QDir::Files | QDir::Hidden),
                 QStringList({QStringLiteral("fname1.jpg"), QStringLiteral("SetConfig.ini")}));
        QCOMPARE(read(program + "SetConfig.ini", "tovexpath", "fname1"),
                 QByteArray("http://h.example/a.jpg"));
    }

    void hostileSettingsFileReadsAsValuesOrEmpty_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("picture"); // the plain value of [tovexpath] fname1
        const QByteArray entry =
            "fname1=" + ScrambleText("http://h.example/a.gif", SettingsStartKey).toLatin1();

        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(static_cast<char>((i * 7919) % 256));
        QTest::newRow("binary bytes") << binary << QByteArray();
        QTest::newRow("binary bytes around the entry")
            << binary + "\n[tovexpath]\n" + entry + "\n" + binary
            << QByteArray("http://h.example/a.gif");
        QTest::newRow("zero bytes before the entry")
            << QByteArray("\0\0\0\r\nkey\0=\0\r\n", 13) + "[tovexpath]\r\n" + entry
            << QByteArray("http://h.example/a.gif");
        QTest::newRow("text garbage")
            << QByteArray("[[[]]]=\r\n=[\r\n]\r\n;;;\r\n===\r\n\r\r\r") << QByteArray();
        QTest::newRow("enormous line before the entry")
            << QByteArray(8 * MiB, 'q') + "\r\n[tovexpath]\r\n" + entry + "\r\n"
            << QByteArray("http://h.example/a.gif");
        QTest::newRow("enormous value, cut at the read limit")
            << "[tovexpath]\r\nfname1=" + QByteArray(8 * MiB, 'A') + "\r\n"
            << UnscrambleText(QString(2047, QLatin1Char('A')), SettingsStartKey);
        QTest::newRow("enormous section name")
            << "[" + QByteArray(4 * MiB, 's') + "]\r\n" + entry + "\r\n"
            << QByteArray();
        QByteArray sections;
        for (int i = 0; i < 10'000; ++i)
            sections += "[section" + QByteArray::number(i) + "]\r\nfname1=00\r\n";
        QTest::newRow("10,000 sections, the entry last")
            << sections + "[tovexpath]\r\n" + entry + "\r\n"
            << QByteArray("http://h.example/a.gif");
        QTest::newRow("10,000 sections, no entry") << sections << QByteArray();
        QTest::newRow("10,000 copies of the section, the first one empty")
            << QByteArray("[tovexpath]\r\n").repeated(10'000) + entry + "\r\n"
            << QByteArray();
    }
    void hostileSettingsFileReadsAsValuesOrEmpty() {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, picture);
        const QString file = m_dir.filePath(QStringLiteral("hostile.ini"));
        writeFile(file, text);
        QCOMPARE(read(file, "tovexpath", "fname1"), picture);
        QCOMPARE(read(file, "tovexlink", "fname2"), QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestSettingsFaults)
#include "TestSettingsFaults.moc"
