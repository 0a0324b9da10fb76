#include "AppTitle.h"

#include <QCoreApplication>
#include <QFileInfo>

QString ApplicationTitleOf(const QString& programFilePath) {
    const QString name = QFileInfo(programFilePath).fileName();
    const QString stem = name.left(name.indexOf(QLatin1Char('.')));
    if (stem.isEmpty())
        return stem;
    return stem.left(1) + stem.mid(1).toLower();
}

QString ApplicationTitle() {
    return ApplicationTitleOf(QCoreApplication::applicationFilePath());
}

QString ErrorBoxText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}
