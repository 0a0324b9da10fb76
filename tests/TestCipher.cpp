#include "Cipher.h"

#include <QRegularExpression>
#include <QtTest>

// The scrambled form of settings values: cipher round trips, the stored text's shape, and the
// hex digit rule with its odd corners.
class TestCipher : public QObject {
    Q_OBJECT

private:
    static QByteArray bytesFrom1To255() {
        QByteArray bytes;
        for (int b = 1; b <= 255; ++b)
            bytes.append(static_cast<char>(b));
        return bytes;
    }

private slots:
    void roundTrip_data() {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("key");
        QByteArray long1023;
        for (int i = 0; i < 1023; ++i)
            long1023.append(static_cast<char>(1 + (i * 37) % 255));
        const QByteArray url("http://www.tovex.example/banners/left-banner-2026.gif?size=468x60");
        for (const int key : {int(SettingsStartKey), 0, 0xFFFF, 0x00FF}) {
            const QByteArray tag = "key " + QByteArray::number(key, 16) + ": ";
            QTest::newRow(tag + "empty") << QByteArray() << key;
            QTest::newRow(tag + "one byte") << QByteArray("x") << key;
            QTest::newRow(tag + "bytes 1 to 255") << bytesFrom1To255() << key;
            QTest::newRow(tag + "long URL") << url << key;
            QTest::newRow(tag + "1023 bytes") << long1023 << key;
            QTest::newRow(tag + "GBK text") << QByteArray("\xD6\xD0\xCE\xC4") << key;
        }
    }
    void roundTrip() {
        QFETCH(QByteArray, plain);
        QFETCH(int, key);
        const QString stored = ScrambleText(plain, static_cast<quint16>(key));
        QCOMPARE(stored.size(), 2 * plain.size());
        static const QRegularExpression hexOnly(QStringLiteral("^[0-9A-F]*$"));
        QVERIFY2(hexOnly.match(stored).hasMatch(), qPrintable(stored));
        QCOMPARE(UnscrambleText(stored, static_cast<quint16>(key)), plain);
    }

    void equalValuesGiveEqualTextsAndKeysMatter() {
        const QByteArray value("http://www.tovex.example/a.jpg");
        QCOMPARE(ScrambleText(value, SettingsStartKey), ScrambleText(value, SettingsStartKey));
        QVERIFY(ScrambleText(value, SettingsStartKey) != ScrambleText(value, 0x1234));
        QVERIFY(UnscrambleText(ScrambleText(value, SettingsStartKey), 0x1234) != value);
    }

    void knownPairForTheStartKey() {
        // "Hi" from the start key 0x5A17:
        //   'H' = 0x48, h = 0x5A, c = 0x48 ^ 0x5A = 0x12;
        //   state = (0x5A17 + 0x12) * 0xCE6D + 0x58BF = 0x5A29 * 0xCE6D + 0x58BF
        //         = 0x48B36175 + 0x58BF -> 0x6175 + 0x58BF = 0xBA34 (mod 0x10000)
        //   'i' = 0x69, h = 0xBA, c = 0x69 ^ 0xBA = 0xD3.
        QCOMPARE(SettingsStartKey, quint16(0x5A17));
        QCOMPARE(ScrambleText("Hi", SettingsStartKey), QStringLiteral("12D3"));
        QCOMPARE(UnscrambleText(QStringLiteral("12D3"), SettingsStartKey), QByteArray("Hi"));
    }

    void cipherByteOfZeroEmitsThePlainByte() {
        // 'Z' = 0x5A equals the start key's high byte, so c = 0 and 'Z' itself is emitted;
        // deciphering sees a byte equal to h and keeps it. The state still advances with
        // c = 0 on both sides, so the byte after it decodes too.
        QCOMPARE(ScrambleText("Z", SettingsStartKey), QStringLiteral("5A"));
        QCOMPARE(UnscrambleText(ScrambleText("ZZ!", SettingsStartKey), SettingsStartKey),
                 QByteArray("ZZ!"));
    }

    void zeroByteIsNotRestored() {
        // A zero byte enciphers to h, which deciphers as h: values hold no zero byte.
        const QByteArray withZero("\0", 1);
        QCOMPARE(ScrambleText(withZero, SettingsStartKey), QStringLiteral("5A"));
        QCOMPARE(UnscrambleText(QStringLiteral("5A"), SettingsStartKey), QByteArray("Z"));
    }

    void bytesToHex_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("hex");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("10") << QByteArray("\x0A") << "0A";
        QTest::newRow("255") << QByteArray("\xFF") << "FF";
        QTest::newRow("0") << QByteArray("\0", 1) << "00";
        QTest::newRow("several") << QByteArray("\x01\xAB\x7F\x80") << "01AB7F80";
    }
    void bytesToHex() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, hex);
        QCOMPARE(BytesToHex(bytes), hex);
    }

    void hexToBytes_data() {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QString() << QByteArray();
        QTest::newRow("0A") << "0A" << QByteArray("\x0A");
        QTest::newRow("FF") << "FF" << QByteArray("\xFF");
        QTest::newRow("00") << "00" << QByteArray("\0", 1);
        QTest::newRow("length 1 is empty") << "F" << QByteArray();
        QTest::newRow("length 5 drops the fifth") << "41424" << QByteArray("AB");
        QTest::newRow("lower-case first digit") << "fF" << QByteArray("\xFF");
        QTest::newRow("lower-case second digit is 32 higher") << "Ff" << QByteArray("\x1F");
        QTest::newRow("lower-case both") << "ab" << QByteArray("\xCB");         // 16*42+43 = 715
        QTest::newRow("below 0 as second digit") << "0/" << QByteArray("\xF8"); // 0 - 8
        QTest::newRow("space as first digit") << " 0" << QByteArray("\x90");    // 16*-23
        QTest::newRow("beyond F") << "GG" << QByteArray("\x10");                // 16*16+16
        QTest::newRow("non-Latin character")
            << QStringLiteral("中0") << QByteArray("\x60"); // 16*(0x4E2D-55) mod 256
    }
    void hexToBytes() {
        QFETCH(QString, hex);
        QFETCH(QByteArray, bytes);
        QCOMPARE(HexToBytes(hex), bytes);
    }

    void hexDigitValue_data() {
        QTest::addColumn<QChar>("c");
        QTest::addColumn<int>("value");
        QTest::newRow("0") << QChar(u'0') << 0;
        QTest::newRow("9") << QChar(u'9') << 9;
        QTest::newRow("A") << QChar(u'A') << 10;
        QTest::newRow("F") << QChar(u'F') << 15;
        QTest::newRow("a") << QChar(u'a') << 42;
        QTest::newRow("f") << QChar(u'f') << 47;
        QTest::newRow(":") << QChar(u':') << 3;
        QTest::newRow("/") << QChar(u'/') << -8;
        QTest::newRow("NUL") << QChar(u'\0') << -55;
    }
    void hexDigitValue() {
        QFETCH(QChar, c);
        QFETCH(int, value);
        QCOMPARE(HexDigitValue(c), value);
    }

    void lowerCaseStoredTextDecodesDifferentlyWithoutError() {
        const QString upper = ScrambleText("http://x.example/", SettingsStartKey);
        const QString lower = upper.toLower();
        QVERIFY(upper != lower); // the text has letters
        const QByteArray fromLower = UnscrambleText(lower, SettingsStartKey);
        QCOMPARE(fromLower.size(), upper.size() / 2);
        QVERIFY(fromLower != QByteArray("http://x.example/"));
    }
};

QTEST_GUILESS_MAIN(TestCipher)
#include "TestCipher.moc"
