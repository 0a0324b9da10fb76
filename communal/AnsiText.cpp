#include "AnsiText.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace {
constexpr char Codec[] = "GB18030";

QString withCrLf(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return text;
}
} // namespace

QByteArray ToAnsiBytes(const QString& text) {
    QStringEncoder encoder(Codec);
    return encoder.encode(withCrLf(text));
}

QString FromAnsiBytes(const QByteArray& bytes) {
    QStringDecoder decoder(Codec);
    QString text = decoder.decode(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

qsizetype AnsiByteLength(const QString& text) {
    return ToAnsiBytes(text).size();
}
