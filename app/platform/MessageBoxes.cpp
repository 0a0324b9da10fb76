#include "MessageBoxes.h"

#include "AppTitle.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

namespace MessageBoxes {
namespace {
Recorder* activeRecorder = nullptr;

void centreOnScreen(QMessageBox& box) {
    box.adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = box.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        box.move(frame.topLeft());
    }
}

void show(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, ApplicationTitle(), text, QMessageBox::Ok);
    centreOnScreen(box);
    box.exec();
}
} // namespace

Recorder::Recorder() {
    activeRecorder = this;
}

Recorder::~Recorder() {
    activeRecorder = nullptr;
}

void information(const QString& text) {
    if (activeRecorder) {
        activeRecorder->record({false, text});
        return;
    }
    show(QMessageBox::NoIcon, text);
}

void error(const QString& message) {
    const QString text = ErrorBoxText(message);
    if (activeRecorder) {
        activeRecorder->record({true, text});
        return;
    }
    show(QMessageBox::Critical, text);
}

} // namespace MessageBoxes
