#pragma once

#include <QString>

// Bounds of one transfer. The window waits for three downloads before it shows, so the
// defaults keep a failing fetch short.
struct DownloadLimits {
    static constexpr long DefaultConnectTimeoutMs = 5'000;
    static constexpr long DefaultTotalTimeoutMs = 15'000;
    // A transfer slower than this many bytes per second for StallSeconds is abandoned.
    static constexpr long DefaultStallBytesPerSecond = 16;
    static constexpr long DefaultStallSeconds = 5;
    static constexpr long DefaultMaxRedirects = 5;
    static constexpr qint64 DefaultMaxBytes = 4 * 1024 * 1024;

    long connectTimeoutMs = DefaultConnectTimeoutMs;
    long totalTimeoutMs = DefaultTotalTimeoutMs;
    long stallBytesPerSecond = DefaultStallBytesPerSecond;
    long stallSeconds = DefaultStallSeconds;
    long maxRedirects = DefaultMaxRedirects;
    qint64 maxBytes = DefaultMaxBytes;
};

// Fetches an http or https URL into the file. True exactly when the whole content (status
// 2xx, complete, within the limits) reached the file, which then holds it in place of its
// earlier content. Otherwise false, with the file untouched and no file created where none
// was: the content goes into a temporary file beside the target, renamed over it only after
// success. Never throws, never shows anything.
bool DownloadUrlToFile(const QString& url, const QString& filePath);
bool DownloadUrlToFile(const QString& url, const QString& filePath, const DownloadLimits& limits);

// The settings file's address: the server folder, the product code and ".rar", with nothing
// put between them (the folder ends with its own slash).
QString SettingsFileUrl(const QString& serverBase, const QString& productCode);

// Fetches the settings file of the product from BuildSettings::SettingsServerBase into
// GetAppDir() + "SetConfig.ini"; the result of DownloadUrlToFile.
bool FetchSettingsFile(const QString& productCode);
// The same from another server folder into another program folder (ending with "/").
bool FetchSettingsFile(const QString& productCode, const QString& serverBase,
                       const QString& programFolder, const DownloadLimits& limits = {});
