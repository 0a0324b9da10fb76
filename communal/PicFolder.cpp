#include "PicFolder.h"

#include <QDir>
#include <QFileInfo>

QString PicFolderOf(const QString& appDir) {
    return appDir + QStringLiteral("Pic");
}

bool EnsureFolder(const QString& path) {
    if (QFileInfo(path).isDir())
        return true;
    return QDir().mkpath(path);
}
