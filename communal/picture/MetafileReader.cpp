#include "picture/MetafileReader.h"

#include "picture/MetafileBytes.h"
#include "picture/MetafileRecords.h"
#include "picture/PictureLimits.h"

#include "TovexError.h"

#include <QStringDecoder>

namespace {
constexpr quint32 EmrHeader = 1;
constexpr quint32 EmfSignature = 0x464D4520; // " EMF"
constexpr qsizetype EmfSignatureOffset = 40;

// The code page of a font's character set; the system's own for the default set and
// for the sets that name none.
const char* codePageOf(int charset) {
    switch (charset) {
    case 0:
        return "windows-1252";
    case 2: // SYMBOL_CHARSET: the bytes are the symbol font's own codes
        return "ISO-8859-1";
    case 77:
        return "macintosh";
    case 128:
        return "Shift_JIS";
    case 129:
    case 130:
        return "windows-949";
    case 136:
        return "Big5";
    case 161:
        return "windows-1253";
    case 162:
        return "windows-1254";
    case 163:
        return "windows-1258";
    case 177:
        return "windows-1255";
    case 178:
        return "windows-1256";
    case 186:
        return "windows-1257";
    case 204:
        return "windows-1251";
    case 222:
        return "windows-874";
    case 238:
        return "windows-1250";
    default: // DEFAULT_CHARSET, GB2312_CHARSET and the rest: GBK systems
        return "GB18030";
    }
}
} // namespace

bool IsEmf(const QByteArray& data) {
    MetafileBytes in(data.constData(), data.size());
    const quint32 type = in.u32();
    in.seek(EmfSignatureOffset);
    const quint32 signature = in.u32();
    return in.ok() && type == EmrHeader && signature == EmfSignature;
}

QImage ReadMetafile(const QByteArray& data) {
    return IsEmf(data) ? ReadEmf(data) : ReadWmf(data);
}

void MetafileRecords::NotValid() {
    throw TovexError(QStringLiteral("Metafile is not valid"));
}

QImage MetafileRecords::NewPicture(const QSize& size) {
    if (size.isEmpty())
        NotValid();
    PictureLimits::CheckSize(size);
    QImage picture(size, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) // within the limits, but no memory for it
        throw TovexError(QStringLiteral("Picture is too large (%1 x %2 pixels)")
                             .arg(size.width())
                             .arg(size.height()));
    picture.fill(Qt::transparent);
    return picture;
}

void MetafileRecords::CountRecord(int& played) {
    if (++played > PictureLimits::MaxMetafileRecords)
        throw TovexError(QStringLiteral("Picture is too large (more than %1 metafile records)")
                             .arg(PictureLimits::MaxMetafileRecords));
}

QColor MetafileRecords::ColorRef(quint32 value) {
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

QString MetafileRecords::DecodeAnsi(const QByteArray& bytes, int charset,
                                    const std::vector<double>* byteAdvances,
                                    std::vector<double>* charAdvances) {
    QStringDecoder decoder(codePageOf(charset));
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Latin1);
    if (!byteAdvances || !charAdvances)
        return decoder.decode(bytes);
    // Byte by byte, so that each character gets the advances of its own bytes.
    QString text;
    double pending = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (size_t(i) < byteAdvances->size())
            pending += (*byteAdvances)[size_t(i)];
        const QString unit = decoder.decode(QByteArrayView(bytes.constData() + i, 1));
        for (qsizetype k = 0; k < unit.size(); ++k) {
            charAdvances->push_back(k == 0 ? pending : 0);
            text += unit.at(k);
        }
        if (!unit.isEmpty())
            pending = 0;
    }
    return text;
}
