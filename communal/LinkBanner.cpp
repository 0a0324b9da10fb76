#include "LinkBanner.h"

#include "AnsiText.h"
#include "AppDir.h"
#include "BuildSettings.h"
#include "IniScrambledValue.h"

#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QUrl>

namespace {
const QString NoticeText = QStringLiteral("点击领取神秘大奖！");

QString readSetting(const QString& settingsPath, const QString& section, const QString& key) {
    QByteArray value;
    IniScrambledValue(settingsPath, 0, section, key, QByteArray(), value);
    return FromAnsiBytes(value);
}

bool isExistingFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

// The canvas's default font: the desktop's font at 9 points on a 96 dpi screen.
QFont noticeFont() {
    QFont font = QGuiApplication::font();
    font.setPixelSize(12);
    return font;
}

void loadPicture(LinkBannerTarget& image, const QString& cachePath, const QString& link) {
    TPicture picture;
    picture.loadFromFile(cachePath);
    image.bannerPicture() = std::move(picture);
    image.bannerPictureChanged();
    image.setBannerUrl(link);
}
} // namespace

SettingsSite DefaultSettingsSite() {
    return {GetAppDir(), QString::fromUtf8(BuildSettings::SettingsServerBase), {}};
}

QString PictureAddressExtension(const QString& address) {
    for (qsizetype i = address.size() - 1; i >= 0; --i) {
        const QChar c = address[i];
        if (c == QLatin1Char('.'))
            return address.mid(i);
        if (c == QLatin1Char('\\') || c == QLatin1Char(':'))
            break;
    }
    return QString();
}

QString BannerCachePath(const QString& programFolder, const QString& key, const QString& address) {
    const QString extension = PictureAddressExtension(address);
    if (extension.contains(QLatin1Char('/')) || extension.contains(QLatin1Char('\\')) ||
        extension.contains(QLatin1String("..")))
        return QString();
    return programFolder + key + extension;
}

bool IsOpenableLink(const QString& url) {
    const QUrl parsed(url);
    const QString scheme = parsed.scheme();
    return parsed.isValid() && !parsed.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

void DrawFallbackNotice(LinkBannerTarget& image, const QString& homePage) {
    QImage& bitmap = image.bannerPicture().bitmapForDrawing(image.bannerSize());
    {
        QPainter canvas(&bitmap);
        canvas.setPen(QPen(QColor(255, 0, 0), 0));
        canvas.setBrush(Qt::white);
        // A GDI rectangle (0,0)-(10,10) covers pixels 0 to 9, outline included.
        canvas.drawRect(QRect(0, 0, 9, 9));

        canvas.setFont(noticeFont());
        const QRect textRect = canvas.fontMetrics().boundingRect(
            QRect(0, 0, bitmap.width(), bitmap.height()), Qt::AlignLeft | Qt::AlignTop, NoticeText);
        canvas.fillRect(textRect, Qt::white);
        canvas.setPen(QGuiApplication::palette().color(QPalette::WindowText));
        canvas.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, NoticeText);
    }
    image.bannerPictureChanged();
    image.setBannerUrl(homePage);
}

void LoadLinkBanner(LinkBannerTarget& image, const QString& key, const QString& code) {
    LoadLinkBanner(image, key, code, DefaultSettingsSite());
}

void LoadLinkBanner(LinkBannerTarget& image, const QString& key, const QString& code,
                    const SettingsSite& site) {
    const QString settingsPath = site.programFolder + QStringLiteral("SetConfig.ini");
    const QString address = readSetting(settingsPath, code + QStringLiteral("path"), key);
    const QString link = readSetting(settingsPath, code + QStringLiteral("link"), key);
    const QString cachePath = BannerCachePath(site.programFolder, key, address);

    if (!cachePath.isEmpty() &&
        (DownloadUrlToFile(address, cachePath, site.limits) || isExistingFile(cachePath))) {
        loadPicture(image, cachePath, link);
        return;
    }
    DrawFallbackNotice(image, site.serverBase);
}
