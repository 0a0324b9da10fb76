#include "FuzzEntries.h"

#include "picture/MetafileReader.h"
#include "picture/PictureLimits.h"

#include <QGuiApplication>
#include <QImage>

namespace {

// Text records need fonts, and fonts a QGuiApplication: the test suite's replay has one,
// a fuzz target makes its own on the first input, without a display.
void ensureGuiApplication() {
    if (QCoreApplication::instance()) {
        FuzzCheck(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr,
                  "the metafile entries run under a QGuiApplication");
        return;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz-metafile";
    static char* argv[] = {name, nullptr};
    static QGuiApplication application(argc, argv);
}

void checkPicture(const QImage& picture) {
    FuzzCheck(!picture.isNull() && !picture.size().isEmpty(), "a metafile read has a size");
    FuzzCheck(PictureLimits::SizeAllowed(picture.size()), "a metafile read is within the limits");
    FuzzCheck(picture.format() == QImage::Format_ARGB32_Premultiplied,
              "a metafile read is premultiplied ARGB");
}

} // namespace

void FuzzWmf(QByteArrayView input) {
    ensureGuiApplication();
    checkPicture(ReadWmf(input.toByteArray()));
}

void FuzzEmf(QByteArrayView input) {
    ensureGuiApplication();
    checkPicture(ReadEmf(input.toByteArray()));
}
