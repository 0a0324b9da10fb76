#include "LinkImage.h"

TLinkImage::TLinkImage(QWidget* parent)
    : QWidget(parent) {
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
}
