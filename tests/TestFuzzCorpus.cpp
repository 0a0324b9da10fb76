#include "FuzzEntries.h"
#include "TovexError.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// Every file of the fuzz corpora (fuzz/corpus/NAME/, and fuzz/regressions/NAME/ for
// inputs that once broke a reader) goes through the same entry as the fuzz target NAME:
// the reader returns or refuses the input with TovexError, its promises hold. Under
// TOVEX_SANITIZE=ON the same replay is checked by AddressSanitizer and UBSan.
class TestFuzzCorpus : public QObject {
    Q_OBJECT

private:
    static FuzzEntry entryNamed(const QString& name) {
        for (const FuzzTarget& target : FuzzTargets()) {
            if (name == QLatin1String(target.name))
                return target.entry;
        }
        return nullptr;
    }

private slots:
    void everyCorpusFolderHasATarget() {
        for (const char* top : {"corpus", "regressions"}) {
            const QDir dir(QStringLiteral(FUZZ_DIR "/") + QLatin1String(top));
            for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                QVERIFY2(entryNamed(name), qPrintable(name + " has no fuzz entry"));
        }
        for (const FuzzTarget& target : FuzzTargets()) {
            const QDir seeds(QStringLiteral(FUZZ_DIR "/corpus/") + QLatin1String(target.name));
            QVERIFY2(!seeds.isEmpty(QDir::Files), target.name);
        }
    }

    void inputIsReadOrRefused_data() {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("path");
        for (const char* top : {"corpus", "regressions"}) {
            const QDir dir(QStringLiteral(FUZZ_DIR "/") + QLatin1String(top));
            for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
                const QDir folder(dir.filePath(name));
                for (const QString& file : folder.entryList(QDir::Files, QDir::Name)) {
                    const QString row = QLatin1String(top) + '/' + name + '/' + file;
                    QTest::newRow(qPrintable(row)) << name << folder.filePath(file);
                }
            }
        }
    }

    void inputIsReadOrRefused() {
        QFETCH(QString, target);
        QFETCH(QString, path);
        const FuzzEntry entry = entryNamed(target);
        QVERIFY(entry);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray input = file.readAll();
        try {
            entry(input);
        } catch (const TovexError&) {
            // Refused with a message: the reader's answer to an invalid picture.
        }
    }
};

// A QGuiApplication, under the offscreen platform: the metafile entries draw text.
QTEST_MAIN(TestFuzzCorpus)
#include "TestFuzzCorpus.moc"
