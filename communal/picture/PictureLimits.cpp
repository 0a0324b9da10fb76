#include "picture/PictureLimits.h"

#include "TovexError.h"

void PictureLimits::CheckSize(const QSize& size) {
    if (!SizeAllowed(size))
        throw TovexError(QStringLiteral("Picture is too large (%1 x %2 pixels)")
                             .arg(size.width())
                             .arg(size.height()));
}
