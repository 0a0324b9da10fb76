#include "FuzzEntries.h"

#include "Cipher.h"

#include <QString>

namespace {

void checkStored(const QString& stored) {
    const QByteArray bytes = HexToBytes(stored);
    FuzzCheck(bytes.size() == stored.size() / 2, "HexToBytes gives one byte per pair");
    const QByteArray plain = UnscrambleText(stored, SettingsStartKey);
    FuzzCheck(plain.size() == bytes.size(), "UnscrambleText keeps the byte count");
    // Deciphering is undone by enciphering unless a stored byte is 0, which enciphering
    // never emits.
    if (!bytes.contains('\0')) {
        FuzzCheck(ScrambleText(plain, SettingsStartKey) == BytesToHex(bytes),
                  "ScrambleText undoes UnscrambleText");
    }
}

} // namespace

void FuzzScrambled(QByteArrayView input) {
    // The settings read hands over one character per stored byte; UTF-8 reaches the digit
    // rule with characters beyond Latin-1 as well.
    checkStored(QString::fromLatin1(input));
    checkStored(QString::fromUtf8(input));

    // And the other direction: any plain value without zero bytes survives the round trip.
    if (!input.contains('\0')) {
        const QByteArray plain = input.toByteArray();
        const QString stored = ScrambleText(plain, SettingsStartKey);
        FuzzCheck(stored.size() == 2 * plain.size(), "ScrambleText writes two digits a byte");
        FuzzCheck(UnscrambleText(stored, SettingsStartKey) == plain,
                  "UnscrambleText undoes ScrambleText");
    }
}
