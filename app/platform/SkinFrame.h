#pragma once

#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

class QLabel;
class QMenu;

// The system-menu button of the caption bar: shows the program icon; a click opens the
// system menu (after the double-click time, so that a double-click can close instead).
class TSysMenuButton : public QToolButton {
    Q_OBJECT
public:
    explicit TSysMenuButton(QWidget* parent = nullptr);

signals:
    void menuRequested();
    void doubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QTimer m_menuDelay;
};

// The skinned window frame (bsfrm): fills a frameless top-level window, draws the
// light-blue border and the caption bar from the skin, and offers a client area of a
// fixed size inside them. Caption buttons: system menu (program icon), minimize, close.
// Dragging the caption moves the window.
class TSkinFrame : public QWidget {
    Q_OBJECT
public:
    static constexpr int BorderWidth = 4;
    static constexpr int CaptionHeight = 26;

    // Becomes the only child of window, which it turns into a fixed-size frameless window
    // with a client area of clientSize.
    TSkinFrame(QWidget* window, const QSize& clientSize);

    QWidget* clientArea() const { return m_client; }
    QMenu* systemMenu() const { return m_menu; }
    TSysMenuButton* systemMenuButton() const { return m_sysButton; }
    QToolButton* minimizeButton() const { return m_minimize; }
    QToolButton* closeButton() const { return m_close; }

    // Outer size of a window whose client area is clientSize.
    static QSize OuterSize(const QSize& clientSize);
    // Top-left that centres an outer frame of this size in the work area.
    static QPoint CentredPosition(const QRect& workArea, const QSize& outerSize);

    // Centres the window in the work area of its nearest screen (first show only).
    void centreWindow();
    void minimizeWindow();

signals:
    // The window has been minimized through the frame.
    void minimized();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showSystemMenu();
    bool inCaption(const QPoint& pos) const;

    QWidget* m_window;
    QWidget* m_caption;
    TSysMenuButton* m_sysButton;
    QLabel* m_title;
    QToolButton* m_minimize;
    QToolButton* m_close;
    QWidget* m_client;
    QMenu* m_menu;
    bool m_dragging = false;
    QPoint m_dragOffset;
};
