#pragma once

#include <QByteArray>
#include <QImage>

// A Windows metafile, drawn once at its natural size onto a transparent image
// (Format_ARGB32_Premultiplied). The content decides the format, as it does for the
// toolkit's metafile picture: an enhanced metafile (EMF) by its header record, otherwise
// a Windows metafile (WMF), placeable or not.
//
// Natural size, at 96 pixels per inch:
//   placeable WMF  the header's bounding box in its units per inch;
//   plain WMF      the first window extent that the records set, one logical unit a
//                  pixel (a plain WMF carries no units of its own); none is not valid;
//   EMF            the header's frame (hundredths of a millimetre), or the bounds in
//                  the reference device's pixels when the frame is empty.
//
// Records that are not drawn here are skipped; a record that is shorter than its header
// or runs past the end of the data ends the playing, and the picture keeps what was
// drawn before it. Throws TovexError:
//   "Metafile is not valid"     no metafile header, or no natural size;
//   "Picture is too large ..."  a natural size or an embedded bitmap beyond
//                               PictureLimits, more than MaxMetafileRecords records,
//                               or more drawing than MaxMetafileDrawnPixels.
// Needs a QGuiApplication, for the fonts of text records.
QImage ReadMetafile(const QByteArray& data);

// The two formats on their own, with the same errors.
QImage ReadEmf(const QByteArray& data);
QImage ReadWmf(const QByteArray& data);

// True when the data starts with an EMF header record.
bool IsEmf(const QByteArray& data);
