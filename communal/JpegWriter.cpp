#include "JpegWriter.h"

#include "TovexError.h"

#include <QImage>

#include <csetjmp>
#include <cstdio>
#include <utility>
#include <vector>

#include <jpeglib.h>
// jpeglib.h must come first
#include <jerror.h>

#ifndef JCS_EXTENSIONS
#error "tovex needs libjpeg-turbo's libjpeg 62 API, with its JCS_EXT_* input colour spaces"
#endif

// libjpeg reports errors through error_exit, which must not return. It longjmps back
// into the small functions below, which hold no C++ objects, so no destructor is
// skipped and no C++ exception crosses libjpeg's C frames; the C++ side then throws.
// The destination's callbacks, called from inside libjpeg, hold none either when they
// report a failure.

struct JpegWriter::Compressor {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    jpeg_destination_mgr destination{};
    std::jmp_buf jump{};
    QByteArray bytes; // the file so far: libjpeg writes straight into it
    bool created = false;
    int width = 0;
    int height = 0;
    QImage::Format bandFormat = QImage::Format_RGB888;

    ~Compressor() {
        if (created)
            jpeg_destroy_compress(&cinfo);
    }
};

namespace {
using Compressor = JpegWriter::Compressor;

// The destination grows `bytes` by doubling; QByteArray::resize reallocates in place where
// it can (large blocks are remapped, not copied), and finish() hands the array over as it
// is. The first size holds a small picture whole.
constexpr qsizetype FirstOutputSize = 64 * 1024;

QByteArray& outputOf(j_compress_ptr cinfo) {
    return static_cast<Compressor*>(cinfo->client_data)->bytes;
}

// No exception may cross libjpeg's C frames: a failed allocation is reported as false.
bool resizeOutput(QByteArray& bytes, qsizetype size) noexcept {
    try {
        bytes.resize(size);
        return bytes.size() == size;
    } catch (...) {
        return false;
    }
}

// Makes bytes[used, size) the free space; libjpeg's own error on failure (longjmp).
void offerSpace(j_compress_ptr cinfo, qsizetype used, qsizetype size) {
    QByteArray& bytes = outputOf(cinfo);
    if (!resizeOutput(bytes, size))
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    cinfo->dest->next_output_byte = reinterpret_cast<JOCTET*>(bytes.data()) + used;
    cinfo->dest->free_in_buffer = static_cast<size_t>(size - used);
}

void startOutput(j_compress_ptr cinfo) {
    offerSpace(cinfo, 0, FirstOutputSize);
}

// Called with the space full.
boolean growOutput(j_compress_ptr cinfo) {
    const qsizetype used = outputOf(cinfo).size();
    offerSpace(cinfo, used, 2 * used);
    return TRUE;
}

void endOutput(j_compress_ptr cinfo) {
    QByteArray& bytes = outputOf(cinfo);
    bytes.truncate(bytes.size() - static_cast<qsizetype>(cinfo->dest->free_in_buffer));
}

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
    c->destination.init_destination = startOutput;
    c->destination.empty_output_buffer = growOutput;
    c->destination.term_destination = endOutput;
    c->cinfo.dest = &c->destination;
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
    return std::move(c.bytes);
}
