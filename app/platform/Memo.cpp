#include "Memo.h"

#include "MemoLayout.h"

#include <QEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

TMemo::TMemo(QWidget* parent)
    : QTextEdit(parent) {
    setAcceptRichText(false);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setTabChangesFocus(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(MemoBorderWidth);
    // Blocks that arrive later inherit the format of the cursor's block; a document
    // that was reset (undo of everything, a replaced document) is mended here.
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) { keepLineHeight(position, added); });
    updateLineHeight();
}

void TMemo::setPlainText(const QString& text) {
    QTextEdit::setPlainText(text);
    ApplyMemoLineHeight(*document(), m_lineHeight);
}

void TMemo::clear() {
    setPlainText(QString());
}

QColor TMemo::fontColor() const {
    return palette().color(QPalette::Text);
}

void TMemo::setFontColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

QColor TMemo::backgroundColor() const {
    return palette().color(QPalette::Base);
}

void TMemo::setBackgroundColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
    // Under the window's style sheet the viewport, which fills the text area, does not
    // take the palette from the box: give it the colour itself.
    QPalette v = viewport()->palette();
    v.setColor(QPalette::Base, color);
    viewport()->setPalette(v);
}

void TMemo::changeEvent(QEvent* event) {
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        updateLineHeight();
}

void TMemo::mouseDoubleClickEvent(QMouseEvent* event) {
    // Only the viewport's events arrive here; the scroll bar keeps its own.
    event->accept();
    emit doubleClicked();
}

void TMemo::updateLineHeight() {
    m_lineHeight = MemoLineHeight(font());
    ApplyMemoLineHeight(*document(), m_lineHeight);
}

void TMemo::keepLineHeight(int position, int added) {
    if (m_lineHeight <= 0)
        return;
    QTextDocument* doc = document();
    for (QTextBlock block = doc->findBlock(position); block.isValid(); block = block.next()) {
        const QTextBlockFormat format = block.blockFormat();
        if (format.lineHeightType() != QTextBlockFormat::FixedHeight ||
            qRound(format.lineHeight()) != m_lineHeight) {
            QTextBlockFormat fixed;
            fixed.setLineHeight(m_lineHeight, QTextBlockFormat::FixedHeight);
            QTextCursor cursor(block);
            cursor.mergeBlockFormat(fixed);
        }
        if (block.position() > position + added)
            break;
    }
}
