#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstring>

// Little-endian reads from a span of a metafile's bytes. Every read is checked against the
// span's end; a read beyond it sets ok() to false and gives 0, so that a record reader
// reads its fields first and then checks ok() once.
class MetafileBytes {
public:
    MetafileBytes(const char* data, qsizetype size)
        : m_data(reinterpret_cast<const uchar*>(data))
        , m_size(size) {}

    qsizetype size() const { return m_size; }
    qsizetype position() const { return m_pos; }
    qsizetype remaining() const { return m_size - m_pos; }
    bool ok() const { return m_ok; }
    const char* at(qsizetype offset) const {
        return reinterpret_cast<const char*>(m_data + offset);
    }

    void seek(qsizetype offset) {
        if (offset < 0 || offset > m_size)
            m_ok = false;
        else
            m_pos = offset;
    }
    void skip(qsizetype count) { seek(m_pos + count); }

    quint8 u8() { return take(1) ? m_data[m_pos - 1] : 0; }
    quint16 u16() { return take(2) ? qFromLittleEndian<quint16>(m_data + m_pos - 2) : 0; }
    qint16 i16() { return qint16(u16()); }
    quint32 u32() { return take(4) ? qFromLittleEndian<quint32>(m_data + m_pos - 4) : 0; }
    qint32 i32() { return qint32(u32()); }
    float f32() {
        const quint32 bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // count bytes from the current position, or an empty array when fewer remain.
    QByteArray bytes(qsizetype count) {
        if (count < 0 || !take(count))
            return QByteArray();
        return QByteArray(at(m_pos - count), count);
    }

    // The span [offset, offset + count) of this one, or an empty span with ok() false.
    MetafileBytes sub(qsizetype offset, qsizetype count) const {
        if (offset < 0 || count < 0 || offset > m_size || count > m_size - offset) {
            MetafileBytes none(nullptr, 0);
            none.m_ok = false;
            return none;
        }
        return MetafileBytes(at(offset), count);
    }

private:
    bool take(qsizetype count) {
        if (!m_ok || count > m_size - m_pos) {
            m_ok = false;
            return false;
        }
        m_pos += count;
        return true;
    }

    const uchar* m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    bool m_ok = true;
};
