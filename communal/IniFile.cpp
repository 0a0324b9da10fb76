#include "IniFile.h"

#include "AnsiText.h"
#include "TovexError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

QByteArrayView trimmed(QByteArrayView s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && isBlank(s[begin]))
        ++begin;
    while (end > begin && isBlank(s[end - 1]))
        --end;
    return s.sliced(begin, end - begin);
}

bool isAscii(QByteArrayView s) {
    for (const char c : s) {
        if (static_cast<quint8>(c) >= 0x80)
            return false;
    }
    return true;
}

// A name as it stands in the file against a name asked for, without regard to case. ASCII
// names are compared as bytes; others are decoded first, since a double-byte character's
// second byte may look like an ASCII letter.
bool sameName(QByteArrayView raw, const QString& name) {
    if (!isAscii(raw))
        return FromAnsiBytes(raw.toByteArray()).compare(name, Qt::CaseInsensitive) == 0;
    if (raw.size() != name.size())
        return false;
    for (const QChar ch : name) {
        if (ch.unicode() >= 0x80)
            return false;
    }
    return raw.compare(name.toLatin1(), Qt::CaseInsensitive) == 0;
}

// One line of the text: [begin, end) without its line break, next = start of the next line.
struct Line {
    qsizetype begin = 0;
    qsizetype end = 0;
    qsizetype next = 0;
};

Line lineAt(QByteArrayView text, qsizetype begin) {
    const qsizetype newline = text.indexOf('\n', begin);
    Line line;
    line.begin = begin;
    line.next = newline < 0 ? text.size() : newline + 1;
    line.end = newline < 0 ? text.size() : newline;
    if (line.end > begin && text[line.end - 1] == '\r')
        --line.end;
    return line;
}

enum class LineKind { Other, Section, Entry };

struct Parsed {
    LineKind kind = LineKind::Other;
    QByteArrayView name;  // section or key name
    QByteArrayView value; // entry value, trimmed, quotes kept
};

Parsed parse(QByteArrayView line) {
    const QByteArrayView t = trimmed(line);
    Parsed parsed;
    if (t.isEmpty() || t[0] == ';')
        return parsed;
    if (t[0] == '[') {
        const QByteArrayView rest = t.sliced(1);
        const qsizetype close = rest.indexOf(']');
        parsed.kind = LineKind::Section;
        parsed.name = trimmed(close < 0 ? rest : rest.first(close));
        return parsed;
    }
    const qsizetype equals = t.indexOf('=');
    if (equals < 0)
        return parsed;
    parsed.kind = LineKind::Entry;
    parsed.name = trimmed(t.first(equals));
    parsed.value = trimmed(t.sliced(equals + 1));
    return parsed;
}

QByteArrayView unquoted(QByteArrayView value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') &&
        value[value.size() - 1] == value[0])
        return value.sliced(1, value.size() - 2);
    return value;
}

// Where the key lies in the first matching section of the text.
struct Location {
    bool sectionFound = false;
    qsizetype entryBegin = -1; // the key's line, when found
    qsizetype entryEnd = -1;
    QByteArrayView value;
    qsizetype sectionContentEnd = -1; // just after the line break of its last non-blank line
};

Location locate(QByteArrayView text, const QString& section, const QString& key) {
    Location where;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const Line line = lineAt(text, pos);
        pos = line.next;
        const Parsed parsed = parse(text.sliced(line.begin, line.end - line.begin));
        if (parsed.kind == LineKind::Section) {
            if (where.sectionFound)
                break;
            if (sameName(parsed.name, section)) {
                where.sectionFound = true;
                where.sectionContentEnd = line.next;
            }
            continue;
        }
        if (!where.sectionFound)
            continue;
        if (!trimmed(text.sliced(line.begin, line.end - line.begin)).isEmpty())
            where.sectionContentEnd = line.next;
        if (parsed.kind == LineKind::Entry && sameName(parsed.name, key)) {
            where.entryBegin = line.begin;
            where.entryEnd = line.end;
            where.value = parsed.value;
            break;
        }
    }
    return where;
}

QByteArray lineEnd(QByteArrayView text) {
    const qsizetype newline = text.indexOf('\n');
    if (newline > 0 && text[newline - 1] != '\r')
        return QByteArrayLiteral("\n");
    return QByteArrayLiteral("\r\n");
}

bool hasLineBreak(QByteArrayView s) {
    return s.contains('\r') || s.contains('\n');
}

bool isPlainName(const QString& name) {
    return !name.isEmpty() && name.trimmed() == name && !name.contains(QLatin1Char('\r')) &&
           !name.contains(QLatin1Char('\n'));
}

[[noreturn]] void failWrite(const QString& filePath) {
    throw TovexError(QStringLiteral("Unable to write to ") + filePath);
}

} // namespace

QByteArray IniTextValue(QByteArrayView text, const QString& section, const QString& key) {
    const Location where = locate(text, section, key);
    if (where.entryBegin < 0)
        return QByteArray();
    const QByteArrayView value = unquoted(where.value);
    return value.first(qMin(value.size(), IniReadLimit)).toByteArray();
}

QByteArray IniTextWithValue(const QByteArray& text, const QString& section, const QString& key,
                            QByteArrayView value) {
    const QByteArray eol = lineEnd(text);
    const QByteArray entry = ToAnsiBytes(key) + '=' + value.toByteArray();
    const Location where = locate(text, section, key);
    QByteArray result = text;
    if (where.entryBegin >= 0)
        return result.replace(where.entryBegin, where.entryEnd - where.entryBegin, entry);
    if (where.sectionFound) {
        qsizetype at = where.sectionContentEnd;
        QByteArray insert = entry + eol;
        if (at > 0 && text[at - 1] != '\n')
            insert.prepend(eol); // the section's last line ends the file without a break
        return result.insert(at, insert);
    }
    if (!result.isEmpty() && !result.endsWith('\n'))
        result.append(eol);
    result.append('[' + ToAnsiBytes(section) + ']' + eol + entry + eol);
    return result;
}

bool IsIniSectionName(const QString& name) {
    return isPlainName(name) && !name.contains(QLatin1Char(']'));
}

bool IsIniKeyName(const QString& name) {
    return isPlainName(name) && !name.contains(QLatin1Char('=')) &&
           !name.startsWith(QLatin1Char(';')) && !name.startsWith(QLatin1Char('['));
}

QByteArray IniReadString(const QString& filePath, const QString& section, const QString& key) {
    if (!QFileInfo(filePath).isFile())
        return QByteArray();
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return IniTextValue(file.readAll(), section, key);
}

void IniWriteString(const QString& filePath, const QString& section, const QString& key,
                    const QByteArray& value) {
    if (!IsIniSectionName(section) || !IsIniKeyName(key) || hasLineBreak(value))
        failWrite(filePath);
    QByteArray text;
    if (QFileInfo::exists(filePath)) {
        QFile existing(filePath);
        if (!existing.open(QIODevice::ReadOnly))
            failWrite(filePath);
        text = existing.readAll();
    }
    const QByteArray updated = IniTextWithValue(text, section, key, value);
    QSaveFile out(filePath);
    if (!out.open(QIODevice::WriteOnly) || out.write(updated) != updated.size() || !out.commit())
        failWrite(filePath);
}
