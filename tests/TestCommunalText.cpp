#include "AnsiText.h"
#include "AppDir.h"
#include "AppTitle.h"

#include <QtTest>

// The shared text rules: the byte measure, the program folder, the title and the
// error box's full stop.
class TestCommunalText : public QObject {
    Q_OBJECT

private slots:
    void byteLength_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("bytes");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("ascii") << QStringLiteral("abc") << 3;
        QTest::newRow("two Chinese") << QStringLiteral("中文") << 4;
        QTest::newRow("break counts two") << QStringLiteral("a\nb") << 4;
        QTest::newRow("long line, no break") << QString(500, QLatin1Char('x')) << 500;
        QTest::newRow("emoji outside GBK") << QStringLiteral("😀") << 4;
        QTest::newRow("full-width punctuation") << QStringLiteral("！，") << 4;
        QTest::newRow("mixed") << QStringLiteral("中文a😀€") << 11;
    }
    void byteLength() {
        QFETCH(QString, text);
        QFETCH(int, bytes);
        QCOMPARE(AnsiByteLength(text), bytes);
        QCOMPARE(ToAnsiBytes(text).size(), bytes);
    }

    void ansiBytesAreGbkWithCrLf() {
        QCOMPARE(ToAnsiBytes(QStringLiteral("中\na")), QByteArray("\xD6\xD0\r\na"));
        QCOMPARE(FromAnsiBytes(QByteArray("\xD6\xD0\r\na\nb")), QStringLiteral("中\na\nb"));
        const QString rare = QStringLiteral("😀𠀀");
        QCOMPARE(FromAnsiBytes(ToAnsiBytes(rare)), rare);
    }

    void appDir_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("folder");
        QTest::newRow("nested") << "/opt/tools/tovex"
                                << "/opt/tools/";
        QTest::newRow("root") << "/tovex"
                              << "/";
        QTest::newRow("no separator") << "tovex"
                                      << "";
        QTest::newRow("dots in folder") << "/a.b/c.d/tovex.bin"
                                        << "/a.b/c.d/";
    }
    void appDir() {
        QFETCH(QString, program);
        QFETCH(QString, folder);
        QCOMPARE(AppDirOf(program), folder);
    }

    void runningAppDirEndsWithSeparator() {
        const QString dir = GetAppDir();
        QVERIFY(dir.endsWith(QLatin1Char('/')));
        QVERIFY(QFileInfo(dir + QStringLiteral("test_communal_text")).isFile());
    }

    void title_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("title");
        QTest::newRow("plain") << "/x/tovex"
                               << "tovex";
        QTest::newRow("upper case") << "/x/TOVEX"
                                    << "Tovex";
        QTest::newRow("cut at first dot") << "/x/Tovex.app.bin"
                                          << "Tovex";
        QTest::newRow("first letter kept") << "/x/tOVEX"
                                           << "tovex";
    }
    void title() {
        QFETCH(QString, program);
        QFETCH(QString, title);
        QCOMPARE(ApplicationTitleOf(program), title);
    }

    void errorBoxFullStop_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Invalid GIF signature"
                                << "Invalid GIF signature.";
        QTest::newRow("closing parenthesis") << "Unknown picture file extension (.png)"
                                             << "Unknown picture file extension (.png)";
        QTest::newRow("digit") << "JPEG error #41"
                               << "JPEG error #41.";
        QTest::newRow("full stop") << "Done."
                                   << "Done.";
        QTest::newRow("empty") << ""
                               << "";
    }
    void errorBoxFullStop() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorBoxText(message), shown);
    }
};

QTEST_GUILESS_MAIN(TestCommunalText)
#include "TestCommunalText.moc"
