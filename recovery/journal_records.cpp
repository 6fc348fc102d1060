#include "recovery/journal_records.h"

#include <QtEndian>

#include <zlib.h>

namespace journal {
namespace {

void putU32(QByteArray &out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray fileHeader()
{
    QByteArray header(kMagic.data(), kMagic.size());
    char version[2];
    qToLittleEndian(kVersion, version);
    header.append(version, 2);
    header.append(2, '\0');
    return header;
}

quint32 checksum(quint32 length, RecordType type, QByteArrayView payload)
{
    char head[5];
    qToLittleEndian(length, head);
    head[4] = char(type);
    uLong crc = crc32_z(0, reinterpret_cast<const Bytef *>(head), sizeof head);
    return checksumContinue(quint32(crc), payload);
}

quint32 checksumContinue(quint32 crc, QByteArrayView more)
{
    if (more.isEmpty()) // zlib starts over when given no bytes to read
        return crc;
    return quint32(crc32_z(crc, reinterpret_cast<const Bytef *>(more.data()), size_t(more.size())));
}

QByteArray recordHeader(quint32 length, RecordType type, quint32 crc)
{
    QByteArray header;
    header.reserve(kRecordHeaderSize);
    putU32(header, length);
    header.append(char(type));
    header.append(3, '\0');
    putU32(header, crc);
    return header;
}

RecordWriter &RecordWriter::u8(quint8 value)
{
    m_payload.append(char(value));
    return *this;
}

RecordWriter &RecordWriter::u32(quint32 value)
{
    putU32(m_payload, value);
    return *this;
}

RecordWriter &RecordWriter::i32(qint32 value)
{
    return u32(quint32(value));
}

RecordWriter &RecordWriter::string(const QString &text)
{
    u32(quint32(text.size()));
    if constexpr (Q_BYTE_ORDER == Q_LITTLE_ENDIAN) {
        m_payload.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    } else {
        for (QChar c : text) {
            char unit[2];
            qToLittleEndian(c.unicode(), unit);
            m_payload.append(unit, 2);
        }
    }
    return *this;
}

RecordWriter &RecordWriter::row(const BroadcastRow &row)
{
    return string(row.Content).string(row.FareSignal).string(row.SoundSignal);
}

void RecordWriter::appendTo(QByteArray &out) const
{
    const auto length = quint32(m_payload.size());
    out += recordHeader(length, m_type, checksum(length, m_type, m_payload));
    out += m_payload;
}

void appendEditor(QByteArray &out, const EditorState &editor)
{
    RecordWriter(RecordType::Editor)
        .string(editor.text)
        .u8(editor.fareChecked ? 1 : 0)
        .i32(editor.option)
        .i32(editor.selectedRow)
        .appendTo(out);
}

} // namespace journal
