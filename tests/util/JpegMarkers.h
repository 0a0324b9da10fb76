#pragma once

#include <QByteArray>
#include <QList>

// A JPEG file cut into its markers, read independently of libjpeg so that tests check
// what the file really holds. Entropy-coded data after SOS is skipped up to EOI.
struct JpegSegment {
    int marker = 0;     // second byte of the marker, e.g. 0xDB for DQT
    QByteArray payload; // the segment's bytes after the length field
};

inline QList<JpegSegment> ReadJpegSegments(const QByteArray& file, bool* wellFormed) {
    QList<JpegSegment> segments;
    *wellFormed = false;
    auto byte = [&](qsizetype i) { return static_cast<unsigned char>(file.at(i)); };
    if (file.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8)
        return segments;
    segments.append(JpegSegment{0xD8, {}});
    qsizetype pos = 2;
    while (pos + 1 < file.size()) {
        if (byte(pos) != 0xFF)
            return segments;
        const int marker = byte(pos + 1);
        if (marker == 0xD9) {
            segments.append(JpegSegment{marker, {}});
            *wellFormed = pos + 2 == file.size();
            return segments;
        }
        if (pos + 3 >= file.size())
            return segments;
        const int length = byte(pos + 2) << 8 | byte(pos + 3);
        if (length < 2 || pos + 2 + length > file.size())
            return segments;
        segments.append(JpegSegment{marker, file.mid(pos + 4, length - 2)});
        pos += 2 + length;
        if (marker == 0xDA) { // scan data: to the next marker that is not a stuffed 0 or RST
            while (pos + 1 < file.size() && !(byte(pos) == 0xFF && byte(pos + 1) != 0 &&
                                              !(byte(pos + 1) >= 0xD0 && byte(pos + 1) <= 0xD7)))
                ++pos;
        }
    }
    return segments;
}
