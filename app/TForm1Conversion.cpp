// The conversion command of the main window: "开始转换" and the picture it writes.
#include "Unit1.h"

#include "AppDir.h"
#include "Conversion.h"
#include "FileWriting.h"
#include "Memo.h"
#include "MemoPicture.h"
#include "MessageBoxes.h"
#include "PicFolder.h"

#include <QDateTime>
#include <QTextCursor>
#include <QTextDocument>

namespace {
// Appends by the append rule and leaves the insertion point at the end, nothing selected.
void appendLine(TMemo& memo, const QString& line) {
    QTextCursor cursor(memo.document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(AppendedPiece(memo.toPlainText(), line));
    memo.setTextCursor(cursor);
}
} // namespace

void TForm1::BitBtn1Click(QObject*) {
    if (!FitsLengthLimit(Memo1->toPlainText())) {
        MessageBoxes::information(QStringLiteral("文字太长！"));
        return;
    }
    const QString stamp = StampName(QDateTime::currentDateTime());
    for (const QString& line : FooterLines())
        appendLine(*Memo1, line);
    const QString path = PicFolderOf(GetAppDir()) + QLatin1Char('/') + stamp;
    txttojpg(path);
    WriteTextFile(path + QStringLiteral(".txt"), Memo1->toPlainText());
    MessageBoxes::information(SavedMessage(stamp));
}

void TForm1::txttojpg(const QString& pathWithoutExtension) {
    // The picture is laid out afresh with the box's own settings instead of stretching
    // Memo1 to the full height: the result is the same, and the window never changes.
    const QByteArray jpeg = EncodeTextPicture(MemoPicture(*Memo1));
    WriteFileInOnePiece(pathWithoutExtension + QStringLiteral(".jpg"), jpeg);
}
