#include "JpegWriter.h"

#include "TovexError.h"

#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

#ifndef JCS_EXTENSIONS
#error "tovex needs libjpeg-turbo's libjpeg 62 API, with its JCS_EXT_* input colour spaces"
#endif

// libjpeg reports errors through error_exit, which must not return. It longjmps back
// into the small functions below, which hold no C++ objects, so no destructor is
// skipped and no C++ exception crosses libjpeg's C frames; the C++ side then throws.

struct JpegWriter::Compressor {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    std::jmp_buf jump{};
    unsigned char* buffer = nullptr; // owned, malloc'd by jpeg_mem_dest
    unsigned long size = 0;
    bool created = false;
    bool finished = false;
    int width = 0;
    int height = 0;
    QImage::Format bandFormat = QImage::Format_RGB888;

    ~Compressor() {
        if (created) {
            // After an abort the memory destination may have moved to a larger buffer
            // that it has not yet reported; term_destination hands it back so that the
            // buffer freed below is the current one.
            if (!finished && cinfo.dest != nullptr)
                cinfo.dest->term_destination(&cinfo);
            jpeg_destroy_compress(&cinfo);
        }
        std::free(buffer);
    }
};

namespace {
using Compressor = JpegWriter::Compressor;

// Format_RGB32 holds 0xffRRGGBB words: B, G, R, X in memory on a little-endian machine.
void describeInput(jpeg_compress_struct& cinfo, QImage::Format format) {
    if (format == QImage::Format_RGB32) {
        cinfo.input_components = 4;
        cinfo.in_color_space = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    } else {
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
    }
}

void jumpBack(j_common_ptr cinfo) {
    auto* state = static_cast<Compressor*>(cinfo->client_data);
    std::longjmp(state->jump, 1);
}

bool startCompression(Compressor* c) {
    if (setjmp(c->jump) != 0)
        return false;
    c->created = true; // destroying a zeroed or half-made object is safe
    jpeg_create_compress(&c->cinfo);
    jpeg_mem_dest(&c->cinfo, &c->buffer, &c->size);
    c->cinfo.image_width = static_cast<JDIMENSION>(c->width);
    c->cinfo.image_height = static_cast<JDIMENSION>(c->height);
    describeInput(c->cinfo, c->bandFormat);
    jpeg_set_defaults(&c->cinfo);
    jpeg_set_quality(&c->cinfo, 75, TRUE);
    c->cinfo.dct_method = JDCT_FLOAT;
    jpeg_start_compress(&c->cinfo, TRUE);
    return true;
}

bool writeScanlines(Compressor* c, JSAMPARRAY rows, JDIMENSION count) {
    if (setjmp(c->jump) != 0)
        return false;
    jpeg_write_scanlines(&c->cinfo, rows, count);
    return true;
}

bool finishCompression(Compressor* c) {
    if (setjmp(c->jump) != 0)
        return false;
    jpeg_finish_compress(&c->cinfo);
    c->finished = true;
    return true;
}

[[noreturn]] void throwJpegError(const Compressor& c) {
    throw TovexError(QStringLiteral("JPEG error #%1").arg(c.errors.msg_code));
}
} // namespace

JpegWriter::JpegWriter(int width, int height, QImage::Format bandFormat)
    : m_compressor(std::make_unique<Compressor>()) {
    if (bandFormat != QImage::Format_RGB888 && bandFormat != QImage::Format_RGB32)
        throw TovexError(QStringLiteral("JPEG bands of an unsupported format"));
    Compressor& c = *m_compressor;
    c.width = width;
    c.height = height;
    c.bandFormat = bandFormat;
    c.cinfo.err = jpeg_std_error(&c.errors);
    c.errors.error_exit = jumpBack;
    c.cinfo.client_data = &c;
    if (!startCompression(&c))
        throwJpegError(c);
}

JpegWriter::~JpegWriter() = default;

void JpegWriter::writeRows(const QImage& rgbBand) {
    writeRows(rgbBand, rgbBand.height());
}

void JpegWriter::writeRows(const QImage& rgbBand, int rowCount) {
    Compressor& c = *m_compressor;
    if (rgbBand.format() != c.bandFormat || rgbBand.width() != c.width || rowCount < 0 ||
        rowCount > rgbBand.height())
        throw TovexError(QStringLiteral("JPEG band of the wrong shape"));
    std::vector<JSAMPROW> rows(static_cast<size_t>(rowCount));
    for (int y = 0; y < rowCount; ++y)
        rows[static_cast<size_t>(y)] = const_cast<JSAMPROW>(rgbBand.constScanLine(y));
    if (!writeScanlines(&c, rows.data(), static_cast<JDIMENSION>(rows.size())))
        throwJpegError(c);
}

int JpegWriter::rowsWritten() const {
    return static_cast<int>(m_compressor->cinfo.next_scanline);
}

QByteArray JpegWriter::finish() {
    Compressor& c = *m_compressor;
    if (!finishCompression(&c))
        throwJpegError(c);
    return QByteArray(reinterpret_cast<const char*>(c.buffer), static_cast<qsizetype>(c.size));
}
