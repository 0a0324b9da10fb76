#pragma once

#include <QTextEdit>

// The multi-line text box of the window: plain text only, word wrap at its width, Tab
// moves the focus on, a vertical scroll bar that is always there, and a sunken border.
// With an outer width of MemoOuterWidth its text area (viewport) is MemoTextAreaWidth()
// wide, so that the picture renderer lays the text out exactly as the box shows it.
//
// Every line is set at one fixed height, lineHeight(), whatever glyphs it holds.
class TMemo : public QTextEdit {
    Q_OBJECT
public:
    explicit TMemo(QWidget* parent = nullptr);

    // Replaces the text and keeps the fixed line height (QTextEdit's own setPlainText
    // resets every block format).
    void setPlainText(const QString& text);
    void clear();

    QColor fontColor() const;
    void setFontColor(const QColor& color);
    QColor backgroundColor() const;
    void setBackgroundColor(const QColor& color);

    // The spacing of every line, derived from the current font.
    int lineHeight() const { return m_lineHeight; }

signals:
    // A double-click in the text area (not on the scroll bar).
    void doubleClicked();

protected:
    void changeEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void updateLineHeight();
    void keepLineHeight(int position, int added);

    int m_lineHeight = 0;
};
