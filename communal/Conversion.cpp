#include "Conversion.h"

#include "AnsiText.h"
#include "BuildSettings.h"

bool FitsLengthLimit(const QString& text) {
    return AnsiByteLength(text) <= MaxConvertedBytes;
}

QString StampName(const QDateTime& time) {
    const QDate d = time.date();
    const QTime t = time.time();
    return QStringLiteral("%1年%2月%3日%4时%5分%6秒")
        .arg(d.year(), 4, 10, QLatin1Char('0'))
        .arg(d.month(), 2, 10, QLatin1Char('0'))
        .arg(d.day(), 2, 10, QLatin1Char('0'))
        .arg(t.hour(), 2, 10, QLatin1Char('0'))
        .arg(t.minute(), 2, 10, QLatin1Char('0'))
        .arg(t.second(), 2, 10, QLatin1Char('0'));
}

QStringList FooterLines() {
    return {QString(87, QLatin1Char('-')),
            QStringLiteral("本图片由青禾长微博单机版生成！") +
                QString::fromUtf8(BuildSettings::ShopAddress),
            QStringLiteral("作者 QQ ") + QString::fromUtf8(BuildSettings::AuthorQQ)};
}

QString AppendedPiece(const QString& text, const QString& line) {
    if (text.isEmpty() || text.endsWith(QLatin1Char('\n')))
        return line + QLatin1Char('\n');
    return QLatin1Char('\n') + line;
}

QString AppendLine(const QString& text, const QString& line) {
    return text + AppendedPiece(text, line);
}

QString AppendFooter(QString text) {
    for (const QString& line : FooterLines())
        text = AppendLine(text, line);
    return text;
}

QString SavedMessage(const QString& stamp) {
    return QStringLiteral("图片已经保存到Pic 名称:") + stamp + QStringLiteral(".jpg");
}
