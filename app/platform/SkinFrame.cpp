#include "SkinFrame.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOption>
#include <QWindow>

TSysMenuButton::TSysMenuButton(QWidget* parent)
    : QToolButton(parent) {
    m_menuDelay.setSingleShot(true);
    m_menuDelay.setInterval(QApplication::doubleClickInterval());
    connect(&m_menuDelay, &QTimer::timeout, this, &TSysMenuButton::menuRequested);
}

void TSysMenuButton::mouseReleaseEvent(QMouseEvent* event) {
    QToolButton::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        m_menuDelay.start();
}

void TSysMenuButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QToolButton::mouseDoubleClickEvent(event);
    m_menuDelay.stop();
    event->accept();
    emit doubleClicked();
}

TSkinFrame::TSkinFrame(QWidget* window, const QSize& clientSize)
    : QWidget(window)
    , m_window(window)
    , m_caption(new QWidget(this))
    , m_sysButton(new TSysMenuButton(m_caption))
    , m_title(new QLabel(m_caption))
    , m_minimize(new QToolButton(m_caption))
    , m_close(new QToolButton(m_caption))
    , m_client(new QWidget(this))
    , m_menu(new QMenu(this)) {
    setObjectName(QStringLiteral("bsfrm"));
    m_caption->setObjectName(QStringLiteral("caption"));
    m_sysButton->setObjectName(QStringLiteral("sysMenuButton"));
    m_title->setObjectName(QStringLiteral("captionTitle"));
    m_minimize->setObjectName(QStringLiteral("minimizeButton"));
    m_close->setObjectName(QStringLiteral("closeButton"));
    m_client->setObjectName(QStringLiteral("clientArea"));
    m_menu->setObjectName(QStringLiteral("systemMenu"));

    window->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    const QSize outer = OuterSize(clientSize);
    window->setFixedSize(outer);
    setGeometry(0, 0, outer.width(), outer.height());

    m_caption->setAttribute(Qt::WA_StyledBackground);
    m_caption->setGeometry(BorderWidth, BorderWidth, outer.width() - 2 * BorderWidth,
                           CaptionHeight);
    m_client->setGeometry(BorderWidth, BorderWidth + CaptionHeight, clientSize.width(),
                          clientSize.height());
    m_client->setAutoFillBackground(true);

    for (QToolButton* button : {static_cast<QToolButton*>(m_sysButton), m_minimize, m_close}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(true);
        button->setFixedSize(20, 18);
    }
    m_sysButton->setIconSize(QSize(16, 16));
    m_sysButton->setIcon(QApplication::windowIcon());
    m_minimize->setToolTip(QStringLiteral("最小化"));
    m_close->setToolTip(QStringLiteral("关闭"));
    m_title->setText(window->windowTitle());
    m_title->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* row = new QHBoxLayout(m_caption);
    row->setContentsMargins(3, 0, 3, 0);
    row->setSpacing(2);
    row->addWidget(m_sysButton);
    row->addWidget(m_title, 1);
    row->addWidget(m_minimize);
    row->addWidget(m_close);

    m_menu->addAction(QStringLiteral("最小化(&N)"), this, &TSkinFrame::minimizeWindow);
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("关闭(&C)\tAlt+F4"), m_window, &QWidget::close);

    connect(m_sysButton, &TSysMenuButton::menuRequested, this, &TSkinFrame::showSystemMenu);
    connect(m_sysButton, &TSysMenuButton::doubleClicked, m_window, &QWidget::close);
    connect(m_minimize, &QToolButton::clicked, this, &TSkinFrame::minimizeWindow);
    connect(m_close, &QToolButton::clicked, m_window, &QWidget::close);
}

QSize TSkinFrame::OuterSize(const QSize& clientSize) {
    return {clientSize.width() + 2 * BorderWidth,
            clientSize.height() + 2 * BorderWidth + CaptionHeight};
}

QPoint TSkinFrame::CentredPosition(const QRect& workArea, const QSize& outerSize) {
    // Integer division truncates toward zero, as the placement rule asks.
    return {workArea.left() + workArea.width() / 2 - outerSize.width() / 2,
            workArea.top() + workArea.height() / 2 - outerSize.height() / 2};
}

void TSkinFrame::centreWindow() {
    if (m_window->windowState() != Qt::WindowNoState)
        return;
    const QRect frame = m_window->frameGeometry();
    QScreen* screen = QGuiApplication::screenAt(frame.center());
    if (!screen)
        screen = m_window->screen();
    if (!screen)
        return;
    m_window->move(CentredPosition(screen->availableGeometry(), frame.size()));
}

void TSkinFrame::minimizeWindow() {
    m_window->showMinimized();
    emit minimized();
}

void TSkinFrame::showSystemMenu() {
    m_menu->popup(m_sysButton->mapToGlobal(QPoint(0, m_sysButton->height())));
}

bool TSkinFrame::inCaption(const QPoint& pos) const {
    return m_caption->geometry().contains(pos);
}

void TSkinFrame::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !inCaption(pos))
        return QWidget::mousePressEvent(event);
    event->accept();
    // The window system moves the window where it can; without a window manager (a bare
    // X server) the frame moves it itself.
    QWindow* handle = m_window->windowHandle();
    if (handle && handle->startSystemMove())
        return;
    m_dragging = true;
    m_dragOffset = event->globalPosition().toPoint() - m_window->pos();
    grabMouse();
}

void TSkinFrame::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging)
        return QWidget::mouseMoveEvent(event);
    m_window->move(event->globalPosition().toPoint() - m_dragOffset);
}

void TSkinFrame::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_dragging)
        return QWidget::mouseReleaseEvent(event);
    m_dragging = false;
    releaseMouse();
}

void TSkinFrame::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange) {
        // The caption's colours depend on the window being active.
        m_caption->setProperty("active", m_window->isActiveWindow());
        m_title->setProperty("active", m_window->isActiveWindow());
        for (QWidget* w : {m_caption, static_cast<QWidget*>(m_title)}) {
            w->style()->unpolish(w);
            w->style()->polish(w);
        }
    }
}

void TSkinFrame::paintEvent(QPaintEvent*) {
    // The border comes from the skin's rule for TSkinFrame.
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}
