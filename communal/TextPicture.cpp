#include "TextPicture.h"

#include "JpegBandEncoder.h"
#include "MemoLayout.h"
#include "TovexError.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QTextDocument>

#include <algorithm>

TextPicture::TextPicture(const TextPictureSource& source)
    : m_source(source)
    , m_document(std::make_unique<QTextDocument>()) {
    m_document->setPlainText(source.text);
    ConfigureMemoDocument(*m_document, source.font, source.width, source.lineHeight);
    m_lines = MemoDisplayLineCount(*m_document);
}

TextPicture::~TextPicture() = default;

void TextPicture::paintBand(QImage& band, int top) const {
    band.fill(m_source.backgroundColor);
    QPainter painter(&band);
    painter.translate(0, -top);
    // The text box hands its palette to the layout in the same way when it paints its
    // viewport: text in the Text role over the Base role, no cursor, no selection.
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette.setColor(QPalette::Text, m_source.textColor);
    context.palette.setColor(QPalette::Base, m_source.backgroundColor);
    context.cursorPosition = -1;
    context.clip = QRectF(0, top, band.width(), band.height());
    painter.setClipRect(context.clip);
    m_document->documentLayout()->draw(&painter, context);
}

QImage RenderTextPicture(const TextPictureSource& source) {
    const TextPicture picture(source);
    QImage image(picture.width(), picture.height(), QImage::Format_RGB32);
    if (image.isNull())
        throw TovexError(QStringLiteral("Out of memory for a %1 x %2 picture")
                             .arg(picture.width())
                             .arg(picture.height()));
    picture.paintBand(image, 0);
    return image;
}

QByteArray EncodeTextPicture(const TextPictureSource& source, int bandRows, BandEncoding encoding) {
    const TextPicture picture(source);
    bandRows = std::clamp(bandRows, 1, picture.height());
    JpegBandEncoder encoder(picture.width(), picture.height(), bandRows, encoding);
    for (int top = 0; top < picture.height(); top += bandRows) {
        QImage& band = encoder.nextBand();
        picture.paintBand(band, top);
        encoder.submit(std::min(bandRows, picture.height() - top));
    }
    return encoder.finish();
}
