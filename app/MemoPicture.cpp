#include "MemoPicture.h"

#include "Memo.h"

#include <QTextDocument>

TextPictureSource MemoPicture(const TMemo& memo) {
    // toPlainText() would turn non-breaking spaces into ordinary ones, which break lines
    // differently; the raw text keeps them.
    QString text = memo.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));

    TextPictureSource source;
    source.text = text;
    source.font = memo.font();
    source.textColor = memo.fontColor();
    source.backgroundColor = memo.backgroundColor();
    source.width = memo.viewport()->width();
    source.lineHeight = memo.lineHeight();
    return source;
}
