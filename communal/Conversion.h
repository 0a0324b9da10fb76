#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

// The rules of one conversion that need no window: the length limit, the name stem of
// its files, the footer and how lines are appended to the text.

// Longest text, in AnsiByteLength bytes, that is converted.
inline constexpr qsizetype MaxConvertedBytes = 100000;
bool FitsLengthLimit(const QString& text);

// "yyyy年mm月dd日hh时nn分ss秒" of the given local time, seconds' fraction dropped:
// always 20 characters, e.g. 2012年03月05日09时07分02秒.
QString StampName(const QDateTime& time);

// Separator (87 '-'), credit line with the shop address, author line with the QQ number.
QStringList FooterLines();

// The append rule: an empty text or one ending with a line break gets line + "\n";
// any other text gets "\n" + line.
QString AppendedPiece(const QString& text, const QString& line);
QString AppendLine(const QString& text, const QString& line);
QString AppendFooter(QString text);

// The confirmation after a conversion.
QString SavedMessage(const QString& stamp);
