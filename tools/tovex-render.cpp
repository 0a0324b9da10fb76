// tovex-render: the window's picture of a text, made without a window, for scripts.
//   tovex-render [--font FAMILY] [--size PIXELS] [--color #RRGGBB] [--background #RRGGBB]
//                [--no-footer] [--encoding gbk|utf-8] INPUT [-o OUTPUT.jpg]
// The text goes through the same length limit, footer rule, layout and JPEG encoding as
// "开始转换"; the output is INPUT without its extension + ".jpg", or standard output for -o -.
#include "AnsiText.h"
#include "Conversion.h"
#include "FileWriting.h"
#include "Fonts.h"
#include "MemoLayout.h"
#include "TextPicture.h"
#include "TovexError.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPalette>
#include <QStringDecoder>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unistd.h>

namespace {
constexpr char usage[] =
    "usage: tovex-render [--font FAMILY] [--size PIXELS] [--color #RRGGBB] "
    "[--background #RRGGBB] [--no-footer] [--encoding gbk|utf-8] INPUT [-o OUTPUT.jpg]\n";

struct Options {
    QString family = QStringLiteral("Tahoma");
    int size = 14;
    std::optional<QColor> color;
    std::optional<QColor> background;
    bool footer = true;
    QString encoding; // empty: UTF-8 unless the bytes are not valid UTF-8
    QString input;
    QString output;
};

[[noreturn]] void fail(const QString& message, int code = 1) {
    std::fputs(message.toUtf8().constData(), stderr);
    std::fputs("\n", stderr);
    std::exit(code);
}

QColor parseColor(const QString& text) {
    const QColor color = QColor::fromString(text);
    if (!text.startsWith(QLatin1Char('#')) || text.size() != 7 || !color.isValid())
        fail(QStringLiteral("tovex-render: not a colour #RRGGBB: ") + text, 2);
    return color;
}

Options parseArguments(const QStringList& args) {
    Options o;
    for (int i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                fail(QStringLiteral("tovex-render: %1 needs a value\n").arg(a) + usage, 2);
            return args[++i];
        };
        if (a == QLatin1String("--font")) {
            o.family = value();
        } else if (a == QLatin1String("--size")) {
            bool ok = false;
            o.size = value().toInt(&ok);
            if (!ok || o.size < 1 || o.size > 1000)
                fail(QStringLiteral("tovex-render: --size needs pixels from 1 to 1000"), 2);
        } else if (a == QLatin1String("--color")) {
            o.color = parseColor(value());
        } else if (a == QLatin1String("--background")) {
            o.background = parseColor(value());
        } else if (a == QLatin1String("--no-footer")) {
            o.footer = false;
        } else if (a == QLatin1String("--encoding")) {
            o.encoding = value().toLower();
            if (o.encoding != QLatin1String("gbk") && o.encoding != QLatin1String("utf-8"))
                fail(QStringLiteral("tovex-render: --encoding is gbk or utf-8"), 2);
        } else if (a == QLatin1String("-o")) {
            o.output = value();
        } else if (a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            fail(QStringLiteral("tovex-render: unknown option %1\n").arg(a) + usage, 2);
        } else if (o.input.isEmpty()) {
            o.input = a;
        } else {
            fail(QStringLiteral("tovex-render: more than one input\n") + usage, 2);
        }
    }
    if (o.input.isEmpty())
        fail(QStringLiteral("tovex-render: no input\n") + usage, 2);
    if (o.output.isEmpty()) {
        const QFileInfo info(o.input);
        o.output =
            info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".jpg");
    }
    return o;
}

// The text as the box would hold it: "\n" line breaks.
QString decodeText(const QByteArray& bytes, const QString& encoding) {
    if (encoding != QLatin1String("gbk")) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        QString text = utf8.decode(bytes);
        if (!utf8.hasError() || encoding == QLatin1String("utf-8")) {
            if (text.startsWith(QChar(0xFEFF)))
                text.remove(0, 1);
            text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        }
    }
    return FromAnsiBytes(bytes).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

void writeOutput(const QString& path, const QByteArray& jpeg) {
    if (path == QLatin1String("-")) {
        if (std::fwrite(jpeg.constData(), 1, static_cast<size_t>(jpeg.size()), stdout) !=
                static_cast<size_t>(jpeg.size()) ||
            std::fflush(stdout) != 0)
            throw TovexError(QStringLiteral("Cannot write to standard output"));
        return;
    }
    WriteFileInOnePiece(path, jpeg);
}
} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const Options o = parseArguments(QCoreApplication::arguments());
    const bool progress = isatty(STDERR_FILENO) != 0;
    try {
        QFile file(o.input);
        if (!file.open(QIODevice::ReadOnly))
            throw TovexError(
                QStringLiteral("Cannot open file \"%1\". %2").arg(o.input, file.errorString()));
        QString text = decodeText(file.readAll(), o.encoding);
        if (!FitsLengthLimit(text))
            fail(QStringLiteral("文字太长！"));
        if (o.footer)
            text = AppendFooter(text);

        EnsureTahoma();
        TextPictureSource source;
        source.text = text;
        source.font = QFont(o.family);
        source.font.setPixelSize(o.size);
        const QPalette palette = QGuiApplication::palette();
        source.textColor = o.color.value_or(palette.color(QPalette::Text));
        source.backgroundColor = o.background.value_or(palette.color(QPalette::Base));
        source.width = MemoTextAreaWidth();
        source.lineHeight = MemoLineHeight(source.font);
        if (progress)
            std::fputs("tovex-render: rendering...\n", stderr);
        const QByteArray jpeg = EncodeTextPicture(source);
        writeOutput(o.output, jpeg);
        if (progress && o.output != QLatin1String("-"))
            std::fprintf(stderr, "tovex-render: wrote %s\n", o.output.toUtf8().constData());
    } catch (const TovexError& e) {
        fail(QStringLiteral("tovex-render: ") + e.message());
    }
    return 0;
}
