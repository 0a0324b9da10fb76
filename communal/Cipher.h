#pragma once

#include <QByteArray>
#include <QString>

// The scrambled form of a settings value: a 16-bit stream cipher whose bytes are written as
// upper-case hexadecimal text, two digits per byte, nothing else.

// The start key of every settings value. Whoever writes a settings file must use the same
// value (tovex-settings does).
inline constexpr quint16 SettingsStartKey = 0x5A17;

// Enciphers the plain bytes from the start key and returns them as hexadecimal text
// (2 characters per byte). An enciphered byte of 0 is emitted as the plain byte instead.
QString ScrambleText(const QByteArray& plain, quint16 startKey);

// Decodes the hexadecimal text and deciphers it from the start key; one byte per pair of
// characters. Never fails: malformed text gives the bytes its digits happen to make.
QByteArray UnscrambleText(const QString& stored, quint16 startKey);

// Two upper-case hexadecimal digits per byte, high nibble first.
QString BytesToHex(const QByteArray& bytes);

// One byte per pair of characters, the low eight bits of 16 * first + second; an odd last
// character is ignored. No character is rejected (see HexDigitValue).
QByteArray HexToBytes(const QString& hex);

// "0" to "9" give 0 to 9; every other character with code k gives k - 55 ("A" to "F" give
// 10 to 15, "a" to "f" 42 to 47, characters below "7" negative values).
int HexDigitValue(QChar c);
