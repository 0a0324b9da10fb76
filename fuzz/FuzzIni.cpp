#include "FuzzEntries.h"

#include "AnsiText.h"
#include "Cipher.h"
#include "IniFile.h"

#include <QString>
#include <QStringList>

namespace {

// What IniScrambledValue does with the file's text, on the buffer instead of the file.
void readEntry(QByteArrayView text, const QString& section, const QString& key) {
    const QByteArray value = IniTextValue(text, section, key);
    FuzzCheck(value.size() <= IniReadLimit, "a value is cut at the read limit");
    const QByteArray plain = UnscrambleText(QString::fromLatin1(value), SettingsStartKey);
    FuzzCheck(plain.size() == value.size() / 2, "a stored value gives half its length");
}

} // namespace

void FuzzIni(QByteArrayView input) {
    static const QStringList sections = {QStringLiteral("tovexpath"), QStringLiteral("tovexlink")};
    static const QStringList keys = {QStringLiteral("fname1"), QStringLiteral("fname2")};
    for (const QString& section : sections) {
        for (const QString& key : keys)
            readEntry(input, section, key);
    }

    // Names taken from the input itself reach the comparison of non-ASCII names.
    const qsizetype newline = input.indexOf('\n');
    const QByteArrayView firstLine =
        input.first(newline < 0 ? qMin<qsizetype>(input.size(), 32) : qMin<qsizetype>(newline, 32));
    const QString name = FromAnsiBytes(firstLine.toByteArray()).trimmed();
    if (!name.isEmpty()) {
        readEntry(input, name, keys.first());
        readEntry(input, sections.first(), name);
    }

    // A value written into the text reads back as written, whatever the text around it.
    const QByteArray stored =
        ScrambleText(QByteArrayLiteral("http://a.example/b.gif"), SettingsStartKey).toLatin1();
    const QByteArray written =
        IniTextWithValue(input.toByteArray(), sections.first(), keys.first(), stored);
    FuzzCheck(IniTextValue(written, sections.first(), keys.first()) == stored,
              "a written value reads back");
}
