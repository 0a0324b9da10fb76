#include "Skin.h"

#include <QFile>

// The resources live in a static library: they must be registered explicitly.
static void initTovexResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(tovex);
        return true;
    }();
    (void)done;
}

QString SkinStyleSheet() {
    initTovexResources();
    QFile file(QStringLiteral(":/skin/skin.qss"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

QIcon ProgramIcon() {
    initTovexResources();
    QIcon icon;
    icon.addFile(QStringLiteral(":/icons/tovex16.png"), QSize(16, 16));
    icon.addFile(QStringLiteral(":/icons/tovex32.png"), QSize(32, 32));
    return icon;
}
