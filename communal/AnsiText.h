#pragma once

#include <QByteArray>
#include <QString>

// The program counts and stores text in the Chinese ANSI code page with CR LF line breaks.
// GB18030 is used for it: it equals GBK for every GBK character and also encodes the
// characters GBK lacks (emoji, rare ideographs) instead of turning them into '?'.

// The text's bytes: GB18030, every line break as CR LF, no byte-order mark.
QByteArray ToAnsiBytes(const QString& text);

// Decodes ANSI bytes (CR LF or LF breaks) into the program's text, with "\n" breaks.
QString FromAnsiBytes(const QByteArray& bytes);

// Length of the text in bytes as ToAnsiBytes would write it; the length label and the
// conversion's length limit both use this measure.
qsizetype AnsiByteLength(const QString& text);
