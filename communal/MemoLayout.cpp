#include "MemoLayout.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetrics>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>

namespace {
// Height of one laid-out line of the sample, fallback fonts included.
int laidOutLineHeight(const QFont& font, const QString& sample) {
    QTextLayout layout(sample, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return static_cast<int>(std::ceil(line.height()));
}
} // namespace

int MemoLineHeight(const QFont& font) {
    const int own = QFontMetrics(font).boundingRect(QStringLiteral("|")).height();
    const int cell = QFontMetrics(font).height();
    const int chinese = laidOutLineHeight(font, QStringLiteral("|中文，"));
    return std::max({own, cell, chinese});
}

void ApplyMemoLineHeight(QTextDocument& document, int lineHeight) {
    QTextBlockFormat format;
    format.setLineHeight(lineHeight, QTextBlockFormat::FixedHeight);
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    cursor.mergeBlockFormat(format);
}

void ConfigureMemoDocument(QTextDocument& document, const QFont& font, int textWidth,
                           int lineHeight) {
    document.setDefaultFont(font);
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(MemoWrapMode);
    document.setDefaultTextOption(option);
    document.setTextWidth(textWidth);
    ApplyMemoLineHeight(document, lineHeight);
}

int MemoDisplayLineCount(const QTextDocument& document) {
    // Forces the layout of every block before the lines are counted.
    document.documentLayout()->documentSize();
    int lines = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        lines += block.layout()->lineCount();
    const QTextBlock last = document.lastBlock();
    if (last.length() <= 1) // an empty last block: after a final break, or no text at all
        lines -= last.layout()->lineCount();
    return lines;
}
