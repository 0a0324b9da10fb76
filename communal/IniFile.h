#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// One entry of an INI text, read and written by the rules of the Windows profile functions
// that settings files are made for: "[section]" headers and "key=value" lines, names compared
// without regard to case, spaces around names and values ignored, one pair of matching quotes
// around a value removed, ";" lines are comments, the first matching section and key win.
// CR LF and LF line ends are both read. Values come back as the bytes stored after "=" and
// are never interpreted (QSettings' IniFormat is not used for this: it splits values at
// commas, cuts them at ";", and deserialises "@Variant(...)" values, which a hostile
// settings file can use to abort the process).

// The profile read's buffer holds 2047 bytes plus the terminating zero; longer values are
// cut there.
inline constexpr qsizetype IniReadLimit = 2047;

// The value of the key in the section of an INI text, cut at IniReadLimit bytes; empty when
// the section or key is missing.
QByteArray IniTextValue(QByteArrayView text, const QString& section, const QString& key);

// The INI text with the key in the section set to the value: the first matching entry is
// replaced, or the key is added at the end of the first matching section, or the section is
// appended. Everything else stays byte for byte. New lines use the text's line ends (CR LF
// for an empty text or one without LF-only lines).
QByteArray IniTextWithValue(const QByteArray& text, const QString& section, const QString& key,
                            QByteArrayView value);

// Names that read back as written: not empty, no surrounding spaces, no line break; a section
// holds no "]", a key no "=" and does not start with ";" or "[".
bool IsIniSectionName(const QString& name);
bool IsIniKeyName(const QString& name);

// The value of the key in the section of the file; empty for a missing or unreadable file,
// section or key. Never creates or changes the file.
QByteArray IniReadString(const QString& filePath, const QString& section, const QString& key);

// Sets the key in the section of the file (created when missing), replacing the file
// atomically. Throws TovexError("Unable to write to " + filePath) when the file cannot be
// read or written, or when the names or value (a line break) cannot be stored; the file is
// then unchanged.
void IniWriteString(const QString& filePath, const QString& section, const QString& key,
                    const QByteArray& value);
