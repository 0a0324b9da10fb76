#include "FileWriting.h"

#include "AnsiText.h"
#include "FileErrors.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace {
[[noreturn]] void cannotCreate(const QString& path, const QString& reason) {
    throw FileError(QStringLiteral("Cannot create file"), path, reason);
}

// The owner's write permission decides, not access(2): the superuser could otherwise
// replace a file that its owner marked read-only.
bool isReadOnlyFile(const QFileInfo& info) {
    return info.exists() && !info.isDir() && !(info.permissions() & QFileDevice::WriteOwner);
}
} // namespace

void WriteFileInOnePiece(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (isReadOnlyFile(info))
        cannotCreate(path, SystemReason(EACCES));
    if (info.isDir())
        cannotCreate(path, SystemReason(EISDIR));
    QSaveFile file(path);
    errno = 0;
    // Written in one call, so a write buffer gains nothing; unbuffered, a failing write
    // reports its errno at once.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        // QSaveFile words some refusals itself; the system's reason is preferred.
        cannotCreate(path, FailureReason(errno, file));
    }
    // The system's reason is taken at once: after a failed write (a full disk, a file size
    // limit) QSaveFile's own description is only "Unknown error".
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.commit())
        cannotCreate(path, FailureReason(errno, file));
}

void WriteTextFile(const QString& path, const QString& text) {
    WriteFileInOnePiece(path, ToAnsiBytes(text));
}
