#include "IniScrambledValue.h"

#include "Cipher.h"
#include "IniFile.h"

namespace {
constexpr quint8 WriteMode = 1;
}

void IniScrambledValue(const QString& filePath, quint8 mode, const QString& section,
                       const QString& key, const QByteArray& value, QByteArray& result) {
    if (mode == WriteMode) {
        IniWriteString(filePath, section, key, ScrambleText(value, SettingsStartKey).toLatin1());
        result.clear();
        return;
    }
    // One character per stored byte, so that the digit rule sees the file's byte values.
    const QString stored = QString::fromLatin1(IniReadString(filePath, section, key));
    result = UnscrambleText(stored, SettingsStartKey);
}
