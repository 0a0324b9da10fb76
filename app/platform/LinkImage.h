#pragma once

#include <QString>
#include <QWidget>

// A banner: an image control that carries a link address (URL) and shows the hand
// cursor. Its picture and its click are filled in by the banner code.
class TLinkImage : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString URL READ url WRITE setUrl)
public:
    explicit TLinkImage(QWidget* parent = nullptr);

    QString url() const { return m_url; }
    void setUrl(const QString& url) { m_url = url; }

private:
    QString m_url;
};
