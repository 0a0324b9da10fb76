#include "LinkImage.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

TLinkImage::TLinkImage(QWidget* parent)
    : QWidget(parent)
    , m_player(this) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    connect(&m_player, &TFramePlayer::frameChanged, this, qOverload<>(&QWidget::update));
}

const QImage& TLinkImage::shownImage() const {
    const auto& frames = m_picture.frames();
    const size_t frame = size_t(m_player.currentFrame());
    return frame < frames.size() ? frames[frame].image : m_picture.image();
}

void TLinkImage::bannerPictureChanged() {
    m_player.play(m_picture.frames(), m_picture.loopCount());
    update();
}

void TLinkImage::paintEvent(QPaintEvent*) {
    if (m_picture.isEmpty())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), shownImage());
}

void TLinkImage::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    QWidget::mousePressEvent(event);
}

void TLinkImage::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    QWidget::mouseReleaseEvent(event);
    if (!click)
        return;
    emit clicked();
    // The desktop's answer is not looked at; a link that is not a web address is not
    // handed on at all.
    if (IsOpenableLink(m_url))
        QDesktopServices::openUrl(QUrl(m_url));
}
