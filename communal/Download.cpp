#include "Download.h"

#include "AppDir.h"
#include "BuildSettings.h"

#include <QSaveFile>
#include <QUrl>

#include <curl/curl.h>

#include <memory>

namespace {

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;

struct Sink {
    QSaveFile* file = nullptr;
    qint64 written = 0;
    qint64 maxBytes = 0;
};

// Called by libcurl for each piece of the body; any return other than the piece's size
// aborts the transfer. Nothing may be thrown through libcurl's C frames.
size_t writeBody(char* data, size_t size, size_t count, void* user) noexcept {
    try {
        auto* sink = static_cast<Sink*>(user);
        const auto bytes = static_cast<qint64>(size * count);
        // The declared length may be missing, so the cap is also checked here.
        if (bytes > sink->maxBytes - sink->written)
            return 0;
        if (sink->file->write(data, bytes) != bytes)
            return 0;
        sink->written += bytes;
        return size * count;
    } catch (...) {
        return 0;
    }
}

bool isHttpUrl(const QUrl& url) {
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

bool setOptions(CURL* curl, const QByteArray& url, const DownloadLimits& limits, Sink& sink) {
    bool ok = curl_easy_setopt(curl, CURLOPT_URL, url.constData()) == CURLE_OK;
#if LIBCURL_VERSION_NUM >= 0x075500
    ok = ok && curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
#else
    ok = ok &&
         curl_easy_setopt(curl, CURLOPT_PROTOCOLS, CURLPROTO_HTTP | CURLPROTO_HTTPS) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS, CURLPROTO_HTTP | CURLPROTO_HTTPS) ==
                   CURLE_OK;
#endif
    ok = ok && curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_MAXREDIRS, limits.maxRedirects) == CURLE_OK;
    ok = ok &&
         curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs) == CURLE_OK;
    ok = ok &&
         curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, limits.stallBytesPerSecond) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, limits.stallSeconds) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE,
                                static_cast<curl_off_t>(limits.maxBytes)) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &writeBody) == CURLE_OK;
    ok = ok && curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink) == CURLE_OK;
    return ok;
}

bool transfer(const QString& url, const QString& filePath, const DownloadLimits& limits) {
    const QUrl parsed(url);
    if (url.isEmpty() || !isHttpUrl(parsed) || filePath.isEmpty())
        return false;
    static const CURLcode globalInit = curl_global_init(CURL_GLOBAL_DEFAULT);
    if (globalInit != CURLE_OK)
        return false;
    const CurlHandle curl(curl_easy_init());
    if (!curl)
        return false;

    // QSaveFile writes beside the target and renames only on commit(); without commit() its
    // destructor removes the temporary file, so a failure leaves the target as it was.
    QSaveFile file(filePath);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    Sink sink{&file, 0, limits.maxBytes};
    if (!setOptions(curl.get(), parsed.toEncoded(), limits, sink))
        return false;
    if (curl_easy_perform(curl.get()) != CURLE_OK)
        return false;
    long status = 0;
    curl_easy_getinfo(curl.get(), CURLINFO_RESPONSE_CODE, &status);
    if (status < 200 || status > 299)
        return false;
    return file.commit();
}

} // namespace

bool DownloadUrlToFile(const QString& url, const QString& filePath) {
    return DownloadUrlToFile(url, filePath, DownloadLimits{});
}

bool DownloadUrlToFile(const QString& url, const QString& filePath, const DownloadLimits& limits) {
    try {
        return transfer(url, filePath, limits);
    } catch (...) {
        return false;
    }
}

QString SettingsFileUrl(const QString& serverBase, const QString& productCode) {
    return serverBase + productCode + QStringLiteral(".rar");
}

bool FetchSettingsFile(const QString& productCode) {
    return FetchSettingsFile(productCode, QString::fromUtf8(BuildSettings::SettingsServerBase),
                             GetAppDir());
}

bool FetchSettingsFile(const QString& productCode, const QString& serverBase,
                       const QString& programFolder, const DownloadLimits& limits) {
    return DownloadUrlToFile(SettingsFileUrl(serverBase, productCode),
                             programFolder + QStringLiteral("SetConfig.ini"), limits);
}
