#include "AppDir.h"

#include <QCoreApplication>
#include <QFileInfo>

QString AppDirOf(const QString& programFilePath) {
    const qsizetype cut = programFilePath.lastIndexOf(QLatin1Char('/'));
    return cut < 0 ? QString() : programFilePath.left(cut + 1);
}

static QString runningProgramFile() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

QString GetAppDir() {
    return AppDirOf(runningProgramFile());
}
