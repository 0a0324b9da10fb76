#include "AnsiText.h"
#include "BuildSettings.h"
#include "Conversion.h"
#include "FileWriting.h"
#include "TovexError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

// The window-free rules of a conversion: length limit, stamp, footer, append rule,
// and writing files in one piece.
namespace {
QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString errorOf(const QString& path, const QByteArray& bytes) {
    try {
        WriteFileInOnePiece(path, bytes);
    } catch (const TovexError& e) {
        return e.message();
    }
    return QString();
}
} // namespace

class TestConversionRules : public QObject {
    Q_OBJECT

private slots:
    void lengthLimit_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("converted");
        QTest::newRow("100,000 ASCII") << QString(100000, QLatin1Char('a')) << true;
        QTest::newRow("100,001 ASCII") << QString(100001, QLatin1Char('a')) << false;
        QTest::newRow("50,000 Chinese") << QStringLiteral("汉").repeated(50000) << true;
        QTest::newRow("50,000 Chinese and a break")
            << QStringLiteral("汉").repeated(50000) + QLatin1Char('\n') << false;
        QTest::newRow("99,998 and a break") << QString(99998, QLatin1Char('a')) + "\n" << true;
        QTest::newRow("empty") << QString() << true;
    }
    void lengthLimit() {
        QFETCH(QString, text);
        QFETCH(bool, converted);
        QCOMPARE(FitsLengthLimit(text), converted);
    }

    void stampName_data() {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QString>("stamp");
        QTest::newRow("leading zeros, fraction dropped")
            << QDateTime(QDate(2012, 3, 5), QTime(9, 7, 2, 999)) << "2012年03月05日09时07分02秒";
        QTest::newRow("afternoon, 24-hour clock")
            << QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)) << "2026年12月31日23时59分59秒";
        QTest::newRow("midnight") << QDateTime(QDate(2000, 1, 1), QTime(0, 0))
                                  << "2000年01月01日00时00分00秒";
    }
    void stampName() {
        QFETCH(QDateTime, time);
        QFETCH(QString, stamp);
        QCOMPARE(StampName(time), stamp);
        QCOMPARE(stamp.size(), 20);
        QCOMPARE(AnsiByteLength(stamp), 26);
    }

    void footerLines() {
        const QStringList lines = FooterLines();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], QString(87, QLatin1Char('-')));
        QCOMPARE(lines[1],
                 QStringLiteral("本图片由青禾长微博单机版生成！") + BuildSettings::ShopAddress);
        QCOMPARE(lines[2], QStringLiteral("作者 QQ ") + BuildSettings::AuthorQQ);
    }

    void appendRule_data() {
        const QStringList f = FooterLines();
        const QString footer = f[0] + "\n" + f[1] + "\n" + f[2];
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("empty box") << QString() << footer + "\n";
        QTest::newRow("ends with a break") << "正文\n"
                                           << "正文\n" + footer + "\n";
        QTest::newRow("no final break") << "正文"
                                        << "正文\n" + footer;
        QTest::newRow("second conversion, no break")
            << "正文\n" + footer << "正文\n" + footer + "\n" + footer;
        QTest::newRow("second conversion, with break") << footer + "\n"
                                                       << footer + "\n" + footer + "\n";
    }
    void appendRule() {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QCOMPARE(AppendFooter(before), after);
    }

    void savedMessage() {
        QCOMPARE(SavedMessage(QStringLiteral("2012年03月05日09时07分02秒")),
                 QStringLiteral("图片已经保存到Pic 名称:2012年03月05日09时07分02秒.jpg"));
    }

    void textFileBytes() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2012年03月05日09时07分02秒.txt"));
        WriteTextFile(path, QStringLiteral("中a\n😀\n"));
        QCOMPARE(readAll(path), QByteArray("\xD6\xD0"
                                           "a\r\n"
                                           "\x94\x39\xFC\x36"
                                           "\r\n"));
    }

    void existingFileIsReplaced() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.jpg"));
        put(path, QByteArray(5000, 'o'));
        WriteFileInOnePiece(path, "new");
        QCOMPARE(readAll(path), QByteArray("new"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.jpg"});
    }

    void cannotCreateFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("readOnlyFileInTheWay");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing folder") << "Pic/a.jpg" << false << "No such file or directory";
        QTest::newRow("read-only file") << "a.jpg" << true << "Permission denied";
    }
    void cannotCreateFile() {
        QFETCH(QString, name);
        QFETCH(bool, readOnlyFileInTheWay);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (readOnlyFileInTheWay) {
            put(path, "old");
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        }
        QCOMPARE(errorOf(path, "new"),
                 QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
        QCOMPARE(readAll(path), readOnlyFileInTheWay ? QByteArray("old") : QByteArray("<missing>"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), readOnlyFileInTheWay ? 1 : 0);
    }

    void failedWriteLeavesNoPartialFile() {
        // A file size limit makes the write fail half way, as a full disk would.
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.jpg"));
        put(path, "old");
        rlimit saved{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = saved;
        small.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const QString message = errorOf(path, QByteArray(100000, 'x'));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY2(message.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)),
                 qPrintable(message));
        QCOMPARE(readAll(path), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.jpg"});
    }
};

QTEST_GUILESS_MAIN(TestConversionRules)
#include "TestConversionRules.moc"
