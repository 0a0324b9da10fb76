#include "Cipher.h"

namespace {

constexpr quint16 Multiplier = 52845; // 0xCE6D
constexpr quint16 Increment = 22719;  // 0x58BF

quint16 nextState(quint16 state, quint8 added) {
    // All three operations wrap at 16 bits. The product is taken in unsigned 32-bit
    // arithmetic: two quint16 operands are promoted to int, whose overflow is undefined.
    const quint32 sum = static_cast<quint16>(state + added);
    return static_cast<quint16>(sum * quint32{Multiplier} + quint32{Increment});
}

quint8 highByte(quint16 state) {
    return static_cast<quint8>(state >> 8);
}

} // namespace

QString ScrambleText(const QByteArray& plain, quint16 startKey) {
    QByteArray emitted;
    emitted.reserve(plain.size());
    quint16 state = startKey;
    for (const char byte : plain) {
        const auto p = static_cast<quint8>(byte);
        const auto c = static_cast<quint8>(p ^ highByte(state));
        state = nextState(state, c);
        emitted.append(static_cast<char>(c == 0 ? p : c));
    }
    return BytesToHex(emitted);
}

QByteArray UnscrambleText(const QString& stored, quint16 startKey) {
    QByteArray plain = HexToBytes(stored);
    quint16 state = startKey;
    for (char& byte : plain) {
        const auto b = static_cast<quint8>(byte);
        const quint8 h = highByte(state);
        if (b == h) {
            state = nextState(state, 0);
        } else {
            byte = static_cast<char>(b ^ h);
            state = nextState(state, b);
        }
    }
    return plain;
}

QString BytesToHex(const QByteArray& bytes) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    QString hex;
    hex.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto b = static_cast<quint8>(byte);
        hex.append(QLatin1Char(Digits[b >> 4]));
        hex.append(QLatin1Char(Digits[b & 0x0F]));
    }
    return hex;
}

QByteArray HexToBytes(const QString& hex) {
    const qsizetype count = hex.size() / 2;
    QByteArray bytes(count, '\0');
    for (qsizetype i = 0; i < count; ++i) {
        const int value = 16 * HexDigitValue(hex.at(2 * i)) + HexDigitValue(hex.at(2 * i + 1));
        // Low eight bits in two's complement, so negative and oversized values wrap.
        bytes[i] = static_cast<char>(static_cast<unsigned>(value) & 0xFFu);
    }
    return bytes;
}

int HexDigitValue(QChar c) {
    const int k = c.unicode();
    if (k >= '0' && k <= '9')
        return k - '0';
    return k - 55;
}
