#include "Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace {
const char* const tahomaFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};

bool hasTahoma() {
    return QFontDatabase::families().contains(QStringLiteral("Tahoma"), Qt::CaseInsensitive);
}
} // namespace

bool EnsureTahoma() {
    if (hasTahoma())
        return true;
    for (const char* file : tahomaFiles)
        QFontDatabase::addApplicationFont(QString::fromLatin1(file));
    return hasTahoma();
}
