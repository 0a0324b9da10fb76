#pragma once

#include "FramePlayer.h"
#include "LinkBanner.h"

#include <QString>
#include <QWidget>

// A banner: an image control that carries a link address (URL) and shows the hand cursor.
// Its picture is drawn at its natural size from the top-left corner, never scaled, and cut
// at the control's edges; an animated GIF plays. A left press and release on it emits
// clicked() and then opens URL through the desktop when it is a web address.
class TLinkImage : public QWidget, public LinkBannerTarget {
    Q_OBJECT
    Q_PROPERTY(QString URL READ url WRITE setUrl)
public:
    explicit TLinkImage(QWidget* parent = nullptr);

    QString url() const { return m_url; }
    void setUrl(const QString& url) { m_url = url; }

    const TPicture& picture() const { return m_picture; }
    // The image on screen now: the picture, or the GIF frame being shown.
    const QImage& shownImage() const;
    const TFramePlayer& framePlayer() const { return m_player; }

    QSize bannerSize() const override { return size(); }
    TPicture& bannerPicture() override { return m_picture; }
    void bannerPictureChanged() override;
    void setBannerUrl(const QString& url) override { setUrl(url); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TPicture m_picture;
    TFramePlayer m_player;
    QString m_url;
    bool m_pressed = false;
};
