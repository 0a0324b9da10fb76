#pragma once

#include "JpegBandEncoder.h"

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QString>

#include <memory>

class QImage;
class QTextDocument;

// What the picture is made from: the text box's text and look, nothing of the window.
struct TextPictureSource {
    QString text; // "\n" between lines
    QFont font;
    QColor textColor;
    QColor backgroundColor;
    int width = 0;      // the text area's width
    int lineHeight = 0; // the box's fixed line spacing
};

// Below the last line the picture keeps this much background (the top margin included).
inline constexpr int PictureBottomBand = 130;
// Rows painted and encoded at a time; the result does not depend on it.
inline constexpr int DefaultBandRows = 256;

// The text laid out exactly as the text box lays it out, and painted as the box paints
// its text area: background over everything, the text from the first display line on.
// Painting is per band of rows, so that a tall picture never exists whole in memory.
class TextPicture {
public:
    explicit TextPicture(const TextPictureSource& source);
    ~TextPicture();
    TextPicture(const TextPicture&) = delete;
    TextPicture& operator=(const TextPicture&) = delete;

    int displayLines() const { return m_lines; }
    int width() const { return m_source.width; }
    // line height x display lines + PictureBottomBand.
    int height() const { return m_source.lineHeight * m_lines + PictureBottomBand; }

    // Paints the picture's rows top .. top + band.height() - 1 into band (Format_RGB32,
    // as wide as the picture). Does not change the object.
    void paintBand(QImage& band, int top) const;

private:
    TextPictureSource m_source;
    std::unique_ptr<QTextDocument> m_document;
    int m_lines = 0;
};

// The whole bitmap at once (Format_RGB32).
QImage RenderTextPicture(const TextPictureSource& source);

// The picture as a JPEG file's bytes: painted band by band on this thread, compressed by
// default on a second one meanwhile; the bytes are the same either way and for any band
// height. Throws TovexError("JPEG error #41") for a side over 65,500 pixels, before any
// painting.
QByteArray EncodeTextPicture(const TextPictureSource& source, int bandRows = DefaultBandRows,
                             BandEncoding encoding = BandEncoding::SecondThread);
