#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QString>

#include <vector>

// What the WMF and the EMF reader share: the refusal, the picture to draw on, the
// record budget and the decoding of GDI values.
namespace MetafileRecords {
// Throws TovexError "Metafile is not valid".
[[noreturn]] void NotValid();

// The transparent picture of a natural size: an empty size is not valid, one beyond
// PictureLimits is too large.
QImage NewPicture(const QSize& size);

// Counts one more record played; throws "Picture is too large ..." beyond
// PictureLimits::MaxMetafileRecords.
void CountRecord(int& played);

// A COLORREF: red, green and blue in the low three bytes. Palette-relative forms are
// taken as the colour they name.
QColor ColorRef(quint32 value);

// Characters of a font's character set (DEFAULT_CHARSET and the Chinese sets: the
// system's ANSI code page). With byteAdvances (one per byte, as the records give them),
// charAdvances receives one advance per UTF-16 unit: a character of several bytes
// advances by their sum, the second unit of a surrogate pair by zero.
QString DecodeAnsi(const QByteArray& bytes, int charset,
                   const std::vector<double>* byteAdvances = nullptr,
                   std::vector<double>* charAdvances = nullptr);
} // namespace MetafileRecords
