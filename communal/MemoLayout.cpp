#include "MemoLayout.h"

#include <QFontMetrics>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>

namespace {
// Height of one laid-out line of the sample, fallback fonts included.
int laidOutLineHeight(const QFont& font, const QString& sample)
{
    QTextLayout layout(sample, font);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    layout.endLayout();
    return static_cast<int>(std::ceil(line.height()));
}
} // namespace

int MemoLineHeight(const QFont& font)
{
    const int own = QFontMetrics(font).boundingRect(QStringLiteral("|")).height();
    const int cell = QFontMetrics(font).height();
    const int chinese = laidOutLineHeight(font, QStringLiteral("|中文，"));
    return std::max({own, cell, chinese});
}

void ApplyMemoLineHeight(QTextDocument& document, int lineHeight)
{
    QTextBlockFormat format;
    format.setLineHeight(lineHeight, QTextBlockFormat::FixedHeight);
    QTextCursor cursor(&document);
    cursor.select(QTextCursor::Document);
    cursor.mergeBlockFormat(format);
}
