#pragma once

#include <QByteArray>
#include <QString>

// Writes bytes to a file in one piece: into a temporary file beside it, then renamed over
// the target. A failure leaves neither a partial file nor a damaged existing one, and
// throws TovexError("Cannot create file \"<native path>\". <system's reason>").
// An existing file that is read-only is refused, not replaced.
void WriteFileInOnePiece(const QString& path, const QByteArray& bytes);

// The text file of a conversion: ToAnsiBytes(text), GB18030 with CR LF, no byte-order mark.
void WriteTextFile(const QString& path, const QString& text);
