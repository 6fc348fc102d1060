#pragma once

#include "row/broadcast_row.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

// The byte form of a recovery journal: a header, then records appended one after another.
// Each record carries its length and a checksum, so that one torn by a power cut in the
// middle of its write is told from a whole one, and reading stops there.
//
//   file     "BDTJ" version(u16) 0(u16)
//   record   length(u32) type(u8) 0 0 0 checksum(u32) payload[length]
//
// Numbers are little-endian; a string is its length in UTF-16 units (u32) and the units
// themselves, so a journal holds any text the table held, also what no file format takes.
namespace journal {

constexpr QByteArrayView kMagic("BDTJ");
constexpr quint16 kVersion = 1;
constexpr qsizetype kFileHeaderSize = 8;
constexpr qsizetype kRecordHeaderSize = 12;

enum class RecordType : quint8 {
    // The whole table, and whether it holds work that was not saved.
    Snapshot = 1,
    // Rows inserted at a position (0-based), removed from one, one field set, all removed.
    Insert = 2,
    Remove = 3,
    SetField = 4,
    Clear = 5,
    // The bytes of an opened file, whose rows (read by the file reader) are appended.
    Load = 6,
    // The row editor as the operator left it.
    Editor = 7,
    // The table as it stands is in a file, or the operator gave it up (New, Open).
    Saved = 8,
};

// The row editor: its content, the fare-switch check box, the sound option (0 to 3, -1 for
// none chosen) and the selected row (1-based, 0 for none).
struct EditorState
{
    QString text;
    bool fareChecked = false;
    int option = 0;
    int selectedRow = 0;

    friend bool operator==(const EditorState &, const EditorState &) = default;
};

QByteArray fileHeader();

// The checksum of a record: over its length, type and payload.
quint32 checksum(quint32 length, RecordType type, QByteArrayView payload);
// The same, continued over more payload (for a payload written in pieces).
quint32 checksumContinue(quint32 crc, QByteArrayView more);
// The header of a record whose payload has the given length and checksum.
QByteArray recordHeader(quint32 length, RecordType type, quint32 crc);

// Builds one record's payload, then the record.
class RecordWriter
{
public:
    explicit RecordWriter(RecordType type) : m_type(type) {}
    RecordWriter &u8(quint8 value);
    RecordWriter &u32(quint32 value);
    RecordWriter &i32(qint32 value);
    RecordWriter &string(const QString &text);
    RecordWriter &row(const BroadcastRow &row);
    // Appends the whole record, header and payload, to out.
    void appendTo(QByteArray &out) const;

private:
    RecordType m_type;
    QByteArray m_payload;
};

void appendEditor(QByteArray &out, const EditorState &editor);

} // namespace journal
