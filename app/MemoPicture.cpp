#include "MemoPicture.h"

#include "Memo.h"

#include <QTextDocument>

TextPictureSpec MemoPicture(const TMemo& memo) {
    // toPlainText() would turn non-breaking spaces into ordinary ones, which break lines
    // differently; the raw text keeps them.
    QString text = memo.document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));

    TextPictureSpec spec;
    spec.text = text;
    spec.font = memo.font();
    spec.textColor = memo.fontColor();
    spec.backgroundColor = memo.backgroundColor();
    spec.width = memo.viewport()->width();
    spec.lineHeight = memo.lineHeight();
    return spec;
}
