#include "FileErrors.h"

#include <QDir>
#include <QFileInfo>

#include <cstring>

QString SystemReason(int errorNumber) {
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

QString FailureReason(int errorNumber, const QFileDevice& file) {
    return errorNumber != 0 ? SystemReason(errorNumber) : file.errorString();
}

TovexError FileError(const QString& what, const QString& path, const QString& reason) {
    return TovexError(
        QStringLiteral("%1 \"%2\". %3")
            .arg(what, QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), reason));
}
