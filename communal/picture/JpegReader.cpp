#include "picture/JpegReader.h"

#include "picture/PictureLimits.h"

#include "TovexError.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
// After jpeglib.h: the message numbers, for the refusals made here.
#include <jerror.h>

// libjpeg reports a fatal error through error_exit, which must not return. It longjmps
// back into the small C-style functions below, which hold no C++ objects, so no destructor
// is skipped and no exception crosses libjpeg's frames; the caller then throws.

namespace {
enum class Stop { None, LibjpegError, TooManyScans };

struct Decoder {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr errors{};
    jpeg_progress_mgr progress{};
    std::jmp_buf jump{};
    Stop stop = Stop::None;
    bool created = false;

    Decoder() = default;
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;
    ~Decoder() {
        if (created)
            jpeg_destroy_decompress(&cinfo);
    }
};

void jumpBack(j_common_ptr cinfo) {
    auto* decoder = static_cast<Decoder*>(cinfo->client_data);
    decoder->stop = Stop::LibjpegError;
    std::longjmp(decoder->jump, 1);
}

// Warnings and trace messages are not printed: the program has no console to print to.
void ignoreMessage(j_common_ptr) {}

// A progressive file may have any number of scans, each a pass over the whole picture.
void checkScans(j_common_ptr cinfo) {
    auto* decoder = static_cast<Decoder*>(cinfo->client_data);
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > PictureLimits::MaxJpegScans) {
        decoder->stop = Stop::TooManyScans;
        std::longjmp(decoder->jump, 1);
    }
}

bool readHeader(Decoder* d, const unsigned char* data, unsigned long size) {
    if (setjmp(d->jump) != 0)
        return false;
    jpeg_create_decompress(&d->cinfo);
    d->created = true;
    d->cinfo.mem->max_memory_to_use = PictureLimits::MaxJpegWorkingBytes;
    d->cinfo.progress = &d->progress;
    jpeg_mem_src(&d->cinfo, data, size);
    jpeg_read_header(&d->cinfo, TRUE);
    return true;
}

bool startDecompress(Decoder* d) {
    if (setjmp(d->jump) != 0)
        return false;
    const J_COLOR_SPACE in = d->cinfo.jpeg_color_space;
    d->cinfo.out_color_space = (in == JCS_CMYK || in == JCS_YCCK) ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&d->cinfo);
    return true;
}

bool readRows(Decoder* d, JSAMPROW row) {
    if (setjmp(d->jump) != 0)
        return false;
    jpeg_read_scanlines(&d->cinfo, &row, 1);
    return true;
}

bool finishDecompress(Decoder* d) {
    if (setjmp(d->jump) != 0)
        return false;
    jpeg_finish_decompress(&d->cinfo);
    return true;
}

[[noreturn]] void throwStop(const Decoder& d) {
    if (d.stop == Stop::TooManyScans)
        throw TovexError(QStringLiteral("Picture is too large (more than %1 JPEG scans)")
                             .arg(PictureLimits::MaxJpegScans));
    // JERR_OUT_OF_MEMORY and JERR_NO_BACKING_STORE are the working-memory limit at work;
    // they keep libjpeg's number like every other refusal.
    throw TovexError(QStringLiteral("JPEG error #%1").arg(d.errors.msg_code));
}

// Adobe writes CMYK inverted (and libjpeg passes it through): ink 0 is full ink.
QRgb cmykPixel(const JSAMPLE* p, bool inverted) {
    int c = p[0], m = p[1], y = p[2], k = p[3];
    if (inverted) {
        c = 255 - c;
        m = 255 - m;
        y = 255 - y;
        k = 255 - k;
    }
    const auto channel = [k](int ink) { return (255 - ink) * (255 - k) / 255; };
    return qRgb(channel(c), channel(m), channel(y));
}
} // namespace

QImage ReadJpeg(const QByteArray& data) {
    Decoder d;
    d.cinfo.err = jpeg_std_error(&d.errors);
    d.errors.error_exit = jumpBack;
    d.errors.output_message = ignoreMessage;
    d.cinfo.client_data = &d;
    d.progress.progress_monitor = checkScans;

    const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    if (!readHeader(&d, bytes, static_cast<unsigned long>(data.size())))
        throwStop(d);
    PictureLimits::CheckSize(QSize(int(qMin<JDIMENSION>(d.cinfo.image_width, 1u << 30)),
                                   int(qMin<JDIMENSION>(d.cinfo.image_height, 1u << 30))));
    if (!startDecompress(&d))
        throwStop(d);

    const int width = int(d.cinfo.output_width);
    const int height = int(d.cinfo.output_height);
    const int components = d.cinfo.output_components;
    const bool cmyk = d.cinfo.out_color_space == JCS_CMYK;
    const bool inverted = cmyk && d.cinfo.saw_Adobe_marker;
    if (width <= 0 || height <= 0 || (cmyk ? components != 4 : components != 3))
        throw TovexError(QStringLiteral("JPEG error #%1").arg(JERR_BAD_J_COLORSPACE));

    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull())
        throw TovexError(QStringLiteral("JPEG error #%1").arg(JERR_OUT_OF_MEMORY));
    QByteArray cmykRow(cmyk ? qsizetype(width) * 4 : 0, Qt::Uninitialized);
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        const int y = int(d.cinfo.output_scanline);
        auto* row = cmyk ? reinterpret_cast<JSAMPROW>(cmykRow.data()) : image.scanLine(y);
        if (!readRows(&d, row))
            throwStop(d);
        if (cmyk) {
            uchar* out = image.scanLine(y);
            const auto* in = reinterpret_cast<const JSAMPLE*>(cmykRow.constData());
            for (int x = 0; x < width; ++x, in += 4, out += 3) {
                const QRgb rgb = cmykPixel(in, inverted);
                out[0] = uchar(qRed(rgb));
                out[1] = uchar(qGreen(rgb));
                out[2] = uchar(qBlue(rgb));
            }
        }
    }
    if (!finishDecompress(&d))
        throwStop(d);
    return image;
}
