#pragma once

#include <QByteArray>
#include <QColor>
#include <QList>

// Writes small GIF files for tests: frames of one colour each over a palette of up to
// four colours, with their delays, an optional transparent index and the loop setting.
// The image data uses 8-bit LZW codes with a clear code before the table would grow, so
// every code is one byte.
struct GifFrameSpec {
    QList<quint8> pixels; // palette indices, width x height
    int delayCentiseconds = 0;
    int transparentIndex = -1;
};

inline QByteArray MakeGif(int width, int height, const QList<QColor>& palette,
                          const QList<GifFrameSpec>& frames, int loops = -1) {
    QByteArray gif("GIF89a");
    const auto word = [&gif](int v) {
        gif.append(char(v & 0xFF));
        gif.append(char((v >> 8) & 0xFF));
    };
    word(width);
    word(height);
    gif.append(char(0xF1)); // global colour table of 4 entries
    gif.append('\0');
    gif.append('\0');
    for (int i = 0; i < 4; ++i) {
        const QColor c = i < palette.size() ? palette[i] : QColor(Qt::black);
        gif.append(char(c.red())).append(char(c.green())).append(char(c.blue()));
    }
    if (loops >= 0) {
        gif.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
        word(loops);
        gif.append('\0');
    }
    for (const GifFrameSpec& frame : frames) {
        gif.append("\x21\xF9\x04", 3);
        gif.append(char(frame.transparentIndex >= 0 ? 0x01 : 0x00));
        word(frame.delayCentiseconds);
        gif.append(char(qMax(frame.transparentIndex, 0)));
        gif.append('\0');
        gif.append(',');
        word(0);
        word(0);
        word(width);
        word(height);
        gif.append('\0');
        constexpr char minimumCodeSize = 7; // codes of 8 bits: clear 128, end 129
        gif.append(minimumCodeSize);
        QByteArray codes;
        for (qsizetype i = 0; i < frame.pixels.size(); ++i) {
            if (i % 100 == 0)
                codes.append(char(0x80));
            codes.append(char(frame.pixels[i]));
        }
        codes.append(char(0x81));
        for (qsizetype at = 0; at < codes.size(); at += 255) {
            const QByteArray block = codes.mid(at, 255);
            gif.append(char(block.size())).append(block);
        }
        gif.append('\0');
    }
    gif.append(';');
    return gif;
}
