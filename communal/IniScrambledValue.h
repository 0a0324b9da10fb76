#pragma once

#include <QByteArray>
#include <QString>

// Writes or reads one scrambled value of an INI file, using SettingsStartKey.
// Mode 1 writes: the value is stored scrambled in the key of the section (file, section and
// key created as needed) and the result is set empty; a failed write throws
// TovexError("Unable to write to " + filePath) and leaves the result as it was.
// Every other mode reads: the result is set to the plain value of the key, empty for a missing
// file, section or key; the value argument is not used. Reading never creates the file.
void IniScrambledValue(const QString& filePath, quint8 mode, const QString& section,
                       const QString& key, const QByteArray& value, QByteArray& result);
