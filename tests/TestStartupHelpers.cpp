// What start-up relies on without a window: the Pic folder beside the program and the
// Tahoma face.
#include "Fonts.h"
#include "PicFolder.h"

#include <QFile>
#include <QFontInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

class TestStartupHelpers : public QObject {
    Q_OBJECT
private slots:
    void picFolderPath() {
        QCOMPARE(PicFolderOf(QStringLiteral("/opt/tovex/")), QStringLiteral("/opt/tovex/Pic"));
    }

    void ensureFolder_data() {
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<QString>("relative");
        QTest::addColumn<bool>("exists");
        QTest::newRow("missing") << ""
                                 << "Pic" << true;
        QTest::newRow("already there") << "folder"
                                       << "Pic" << true;
        QTest::newRow("missing parents") << ""
                                         << "a/b/Pic" << true;
        QTest::newRow("file named Pic in the way") << "file"
                                                   << "Pic" << false;
        QTest::newRow("read-only program folder") << "read-only"
                                                  << "Pic" << false;
    }
    void ensureFolder() {
        QFETCH(QString, setUp);
        QFETCH(QString, relative);
        QFETCH(bool, exists);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(relative);
        QString marker;
        if (setUp == "folder") {
            QVERIFY(QDir().mkpath(path));
            marker = path + "/old.jpg";
            QFile keep(marker);
            QVERIFY(keep.open(QIODevice::WriteOnly));
        } else if (setUp == "file") {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("x");
        } else if (setUp == "read-only") {
            if (geteuid() == 0)
                QSKIP("root writes into read-only folders");
            QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        }

        QCOMPARE(EnsureFolder(path), exists);
        QCOMPARE(QFileInfo(path).isDir(), exists);
        if (setUp == "file")
            QCOMPARE(QFileInfo(path).size(), 1); // left alone
        if (!marker.isEmpty())
            QVERIFY(QFile::exists(marker)); // an existing folder is not touched
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void tahomaIsAvailable() {
        QVERIFY(EnsureTahoma());
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(14);
        const QFontInfo info(font);
        QCOMPARE(info.family(), QStringLiteral("Tahoma"));
        QFont bold = font;
        bold.setBold(true);
        QVERIFY(QFontInfo(bold).bold());
        QVERIFY(EnsureTahoma()); // a second call is harmless
    }
};

QTEST_MAIN(TestStartupHelpers)
#include "TestStartupHelpers.moc"
