#include "Cipher.h"
#include "IniFile.h"
#include "IniScrambledValue.h"
#include "TestConfig.h"
#include "TovexError.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// The settings file: scrambled entries written and read through IniScrambledValue, a file
// written by hand, the read limit, and the maker's command-line tool.
class TestSettingsFile : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    static void writeFile(const QString& file, const QByteArray& content) {
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
    }

    static QByteArray readFile(const QString& file) {
        QFile in(file);
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

    static QByteArray read(const QString& file, const QString& section, const QString& key,
                           quint8 mode = 0) {
        QByteArray result("stale");
        IniScrambledValue(file, mode, section, key, QByteArray("ignored"), result);
        return result;
    }

    static QString tool() {
        return QString::fromUtf8(BinaryDir) + QStringLiteral("/tovex-settings");
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void writeThenReadEveryMode() {
        const QString file = path("modes.ini");
        const QByteArray url("http://www.tovex.example/left.jpg");
        QByteArray result("stale");
        IniScrambledValue(file, 1, QStringLiteral("tovexpath"), QStringLiteral("fname1"), url,
                          result);
        QCOMPARE(result, QByteArray()); // a write leaves the result empty
        QCOMPARE(read(file, QStringLiteral("tovexpath"), QStringLiteral("fname1"), 0), url);
        QCOMPARE(read(file, QStringLiteral("tovexpath"), QStringLiteral("fname1"), 2), url);
        QCOMPARE(read(file, QStringLiteral("tovexpath"), QStringLiteral("fname1"), 255), url);
        // Stored scrambled, as upper-case hex text, never in plain.
        const QByteArray text = readFile(file);
        QVERIFY(!text.contains(url));
        QVERIFY(text.contains("fname1=" + ScrambleText(url, SettingsStartKey).toLatin1()));
    }

    void writeReplacesAndKeepsOtherEntries() {
        const QString file = path("replace.ini");
        QByteArray result;
        IniScrambledValue(file, 1, QStringLiteral("tovexpath"), QStringLiteral("fname1"), "a",
                          result);
        IniScrambledValue(file, 1, QStringLiteral("tovexpath"), QStringLiteral("fname2"), "b",
                          result);
        IniScrambledValue(file, 1, QStringLiteral("tovexlink"), QStringLiteral("fname1"), "c",
                          result);
        IniScrambledValue(file, 1, QStringLiteral("tovexpath"), QStringLiteral("fname1"), "new",
                          result);
        QCOMPARE(read(file, QStringLiteral("tovexpath"), QStringLiteral("fname1")),
                 QByteArray("new"));
        QCOMPARE(read(file, QStringLiteral("tovexpath"), QStringLiteral("fname2")),
                 QByteArray("b"));
        QCOMPARE(read(file, QStringLiteral("tovexlink"), QStringLiteral("fname1")),
                 QByteArray("c"));
        IniScrambledValue(file, 1, QStringLiteral("tovexlink"), QStringLiteral("fname1"), "",
                          result);
        QCOMPARE(read(file, QStringLiteral("tovexlink"), QStringLiteral("fname1")), QByteArray());
        QVERIFY(readFile(file).contains("fname1=\r\n"));
    }

    void missingEntriesReadEmptyWithoutCreatingTheFile() {
        const QString absent = path("absent.ini");
        QCOMPARE(read(absent, QStringLiteral("tovexpath"), QStringLiteral("fname1")), QByteArray());
        QVERIFY(!QFileInfo::exists(absent));
        const QString file = path("partial.ini");
        writeFile(file, "[tovexpath]\r\nfname1=12D3\r\n");
        QCOMPARE(read(file, QStringLiteral("tovexlink"), QStringLiteral("fname1")), QByteArray());
        QCOMPARE(read(file, QStringLiteral("tovexpath"), QStringLiteral("fname2")), QByteArray());
    }

    void handWrittenFile_data() {
        QTest::addColumn<QByteArray>("text");
        // "12D3" is "Hi" scrambled from the start key.
        QTest::newRow("CR LF") << QByteArray(
            "[tovexpath]\r\nfname1=12D3\r\n[tovexlink]\r\nfname1=5A\r\n");
        QTest::newRow("LF") << QByteArray("[tovexpath]\nfname1=12D3\n[tovexlink]\nfname1=5A\n");
        QTest::newRow("no final break")
            << QByteArray("[tovexpath]\nfname1=12D3\n[tovexlink]\nfname1=5A");
        QTest::newRow("spaces, comments, other sections")
            << QByteArray("; maker's file\r\n[other]\r\nfname1=FFFF\r\n\r\n[ tovexpath ]\r\n"
                          "  fname1 = 12D3  \r\n[tovexlink]\r\nfname1=5A\r\n");
        QTest::newRow("names without regard to case")
            << QByteArray("[TOVEXPATH]\r\nFName1=12D3\r\n[TovexLink]\r\nFNAME1=5A\r\n");
        QTest::newRow("commas and semicolons are not special")
            << QByteArray("[tovexpath]\r\nfname1=12D3,99;x\r\n[tovexlink]\r\nfname1=5A\r\n");
    }
    void handWrittenFile() {
        QFETCH(QByteArray, text);
        const QString file = path("hand.ini");
        writeFile(file, text);
        const QByteArray picture =
            read(file, QStringLiteral("tovexpath"), QStringLiteral("fname1"));
        QVERIFY2(picture.startsWith("Hi"), picture.constData());
        QCOMPARE(read(file, QStringLiteral("tovexlink"), QStringLiteral("fname1")),
                 QByteArray("Z"));
    }

    void storedTextIsReadUpTo2047Characters() {
        QByteArray plain;
        for (int i = 0; i < 1500; ++i)
            plain.append(static_cast<char>('a' + i % 26));
        const QString stored = ScrambleText(plain, SettingsStartKey);
        const QString file = path("long.ini");
        writeFile(file, "[tovexpath]\r\nfname1=" + stored.toLatin1() + "\r\n");
        QCOMPARE(IniReadString(file, QStringLiteral("tovexpath"), QStringLiteral("fname1")).size(),
                 IniReadLimit);
        QCOMPARE(read(file, QStringLiteral("tovexpath"), QStringLiteral("fname1")),
                 plain.left(1023));
    }

    void failedWriteRaisesAndLeavesTheResult() {
        const QString file = path("no/such/folder/SetConfig.ini");
        QByteArray result("kept");
        try {
            IniScrambledValue(file, 1, QStringLiteral("tovexpath"), QStringLiteral("fname1"), "x",
                              result);
            QFAIL("no error for an unwritable file");
        } catch (const TovexError& error) {
            QCOMPARE(error.message(), QStringLiteral("Unable to write to ") + file);
        }
        QCOMPARE(result, QByteArray("kept"));
    }

    void makersToolWritesWhatTheProgramReads() {
        const QString file = path("tool.ini");
        const QByteArray url("http://www.tovex.example/banner.gif");
        QProcess write;
        write.start(tool(), {QStringLiteral("write"), file, QStringLiteral("tovexpath"),
                             QStringLiteral("fname2"), QString::fromLatin1(url)});
        QVERIFY(write.waitForFinished());
        QCOMPARE(write.exitCode(), 0);
        QCOMPARE(read(file, QStringLiteral("tovexpath"), QStringLiteral("fname2")), url);

        QProcess readBack;
        readBack.start(tool(), {QStringLiteral("read"), file, QStringLiteral("tovexpath"),
                                QStringLiteral("fname2")});
        QVERIFY(readBack.waitForFinished());
        QCOMPARE(readBack.exitCode(), 0);
        QCOMPARE(readBack.readAllStandardOutput(), url + '\n');
    }

    void makersToolErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        const QString missing = path("missing.ini");
        QTest::newRow("missing key reads empty")
            << QStringList{"read", missing, "tovexpath", "fname1"} << 0 << QByteArray("\n");
        QTest::newRow("no command") << QStringList{} << 2 << QByteArray();
        QTest::newRow("unknown command") << QStringList{"erase", missing} << 2 << QByteArray();
        QTest::newRow("missing value")
            << QStringList{"write", missing, "tovexpath", "fname1"} << 2 << QByteArray();
        QTest::newRow("unwritable file")
            << QStringList{"write", path("no/such/dir/x.ini"), "tovexpath", "fname1", "v"} << 1
            << QByteArray();
    }
    void makersToolErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, output);
        QProcess process;
        process.start(tool(), arguments);
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitCode(), exitCode);
        QCOMPARE(process.readAllStandardOutput(), output);
        if (exitCode != 0)
            QVERIFY(!process.readAllStandardError().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "TestSettingsFile.moc"
