#pragma once

#include <QFont>
#include <QTextOption>

class QTextDocument;

// How the text box lays out its text. The window's text box and the picture renderer
// both use these, so that the picture shows the lines exactly as the box does.

// Border of the text box on every side, and width of its vertical scroll bar.
inline constexpr int MemoBorderWidth = 2;
inline constexpr int MemoScrollBarWidth = 17;
// Outer width of the window's text box.
inline constexpr int MemoOuterWidth = 558;

// Width of the text area (left of the scroll bar, inside the border) of a box this wide.
constexpr int MemoTextAreaWidth(int outerWidth = MemoOuterWidth) {
    return outerWidth - 2 * MemoBorderWidth - MemoScrollBarWidth;
}

// The one spacing at which the box sets every line: tall enough for the font itself
// and for the fallback font that supplies Chinese glyphs, so that Latin and Chinese
// lines are equally high and line height x lines covers the whole text.
int MemoLineHeight(const QFont& font);

// Gives every block of the document the fixed line height. Call it again after
// setPlainText, which resets block formats.
void ApplyMemoLineHeight(QTextDocument& document, int lineHeight);

// The box wraps at word boundaries, and inside a word only where the word is wider than
// the line.
inline constexpr QTextOption::WrapMode MemoWrapMode = QTextOption::WrapAtWordBoundaryOrAnywhere;

// Sets up a document the way the text box sets up its own: default font, wrap mode, the
// width at which lines wrap (the text area's width) and QTextDocument's own margin, which
// the box keeps too. Call after the text is set; it applies the fixed line height.
void ConfigureMemoDocument(QTextDocument& document, const QFont& font, int textWidth,
                           int lineHeight);

// The box's display lines: every wrapped piece counts, the empty line after a final line
// break does not, and an empty document has none.
int MemoDisplayLineCount(const QTextDocument& document);
