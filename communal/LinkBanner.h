#pragma once

#include "Download.h"
#include "picture/Picture.h"

#include <QSize>
#include <QString>

// What filling a banner needs of the banner control (TLinkImage implements it).
class LinkBannerTarget {
public:
    virtual ~LinkBannerTarget() = default;

    // The control's current size; a new notice bitmap gets it.
    virtual QSize bannerSize() const = 0;
    virtual TPicture& bannerPicture() = 0;
    // Called after bannerPicture() was replaced or drawn on.
    virtual void bannerPictureChanged() = 0;
    virtual void setBannerUrl(const QString& url) = 0;
};

// Where the banners' settings come from: the program folder (ending with "/") that holds
// SetConfig.ini and the picture caches, and the maker's server folder, which is also the
// link of the fallback notice.
struct SettingsSite {
    QString programFolder;
    QString serverBase;
    DownloadLimits limits;
};

// GetAppDir() and BuildSettings::SettingsServerBase.
SettingsSite DefaultSettingsSite();

// The extension of a picture address: from its last "." to the end, provided that neither
// "\" nor ":" stands after that "."; otherwise empty. "/" and "?" do not end the search, so
// "http://a.b/c" gives ".b/c".
QString PictureAddressExtension(const QString& address);

// The banner's cache file: programFolder + key + the address's extension. Empty when the
// extension holds "/", "\" or "..": such a name could reach outside the program folder,
// so it is neither downloaded to nor read.
QString BannerCachePath(const QString& programFolder, const QString& key, const QString& address);

// Whether a click may hand the link to the desktop: only http and https addresses with a
// host, so that a link from the settings file cannot open a local file or program.
bool IsOpenableLink(const QString& url);

// The notice of a banner without a picture: drawn on the banner's bitmap (a new white one
// of the banner's size when it has no picture), a red-outlined white square (0,0)-(10,10)
// and "点击领取神秘大奖！" at (0,0) on white; the link becomes homePage. Throws TovexError
// "Can only modify an image if it contains a bitmap" when the banner holds another kind.
void DrawFallbackNotice(LinkBannerTarget& image, const QString& homePage);

// Fills one banner from the settings file: the picture address and the link address under
// the key in the sections code + "path" and code + "link"; the picture is downloaded into
// the cache file, else the cache file from an earlier run is used, else the notice is
// drawn. A picture that does not load throws its TovexError and leaves the banner as it was.
void LoadLinkBanner(LinkBannerTarget& image, const QString& key, const QString& code);
void LoadLinkBanner(LinkBannerTarget& image, const QString& key, const QString& code,
                    const SettingsSite& site);
