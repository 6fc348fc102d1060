#include "recovery/journal_replay.h"

#include "files/available_memory.h"
#include "files/broadcast_file_format.h"
#include "table/numeric_value.h"

#include <QFile>
#include <QtEndian>

namespace journal {
namespace {

// Reads a payload field by field; any read past its end marks it bad.
class PayloadReader
{
public:
    explicit PayloadReader(QByteArrayView payload) : m_data(payload) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_pos == m_data.size(); }
    qsizetype left() const { return m_data.size() - m_pos; }

    quint8 u8()
    {
        if (!take(1))
            return 0;
        return quint8(m_data[m_pos - 1]);
    }
    quint32 u32()
    {
        if (!take(4))
            return 0;
        return qFromLittleEndian<quint32>(m_data.data() + m_pos - 4);
    }
    qint32 i32() { return qint32(u32()); }
    QString string()
    {
        const quint32 units = u32();
        if (!m_ok || qint64(units) * 2 > left()) {
            m_ok = false;
            return {};
        }
        QString text(qsizetype(units), Qt::Uninitialized);
        const char *from = m_data.data() + m_pos;
        for (qsizetype i = 0; i < qsizetype(units); ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(from + 2 * i));
        m_pos += qsizetype(units) * 2;
        return text;
    }
    BroadcastRow row()
    {
        BroadcastRow r;
        r.Content = string();
        r.FareSignal = string();
        r.SoundSignal = string();
        return r;
    }
    // A count of rows that the rest of the payload can hold (each row takes 12 bytes at
    // least), so a bogus count never reserves memory.
    bool rowCount(quint32 count) const { return qint64(count) * 12 <= left(); }

private:
    bool take(qsizetype n)
    {
        if (!m_ok || left() < n) {
            m_ok = false;
            return false;
        }
        m_pos += n;
        return true;
    }

    QByteArrayView m_data;
    qsizetype m_pos = 0;
    bool m_ok = true;
};

int soundOption(const QString &signal)
{
    const double s = NumericValue(signal);
    return s == 1 ? 1 : s == 2 ? 2 : s == 3 ? 3 : 0;
}

// Whether the editor holds something that loading its row (or clearing it) would not
// show: the operator's unconfirmed edits.
bool editorHoldsEdits(const EditorState &editor, const std::vector<BroadcastRow> &rows)
{
    if (editor.selectedRow >= 1 && size_t(editor.selectedRow) <= rows.size()) {
        const BroadcastRow &row = rows[size_t(editor.selectedRow - 1)];
        return editor.text != row.Content
            || editor.fareChecked != (NumericValue(row.FareSignal) == 1)
            || editor.option != soundOption(row.SoundSignal);
    }
    return !editor.text.isEmpty() || editor.fareChecked || editor.option != 0;
}

class Replayer
{
public:
    // Applies one whole record; false when it makes no sense.
    bool apply(RecordType type, QByteArrayView payload);
    RecoveredTable finish();

private:
    bool readRows(PayloadReader &in, quint32 count, std::vector<BroadcastRow> &into);

    RecoveredTable m_table;
    bool m_tableChanged = false;
    bool m_editorTouched = false;
};

bool Replayer::readRows(PayloadReader &in, quint32 count, std::vector<BroadcastRow> &into)
{
    if (!in.rowCount(count))
        return false;
    into.reserve(into.size() + count);
    for (quint32 i = 0; i < count && in.ok(); ++i)
        into.push_back(in.row());
    return in.ok();
}

bool Replayer::apply(RecordType type, QByteArrayView payload)
{
    PayloadReader in(payload);
    std::vector<BroadcastRow> &rows = m_table.rows;
    switch (type) {
    case RecordType::Snapshot: {
        const bool unsaved = in.u8() != 0;
        std::vector<BroadcastRow> snapshot;
        if (!readRows(in, in.u32(), snapshot))
            return false;
        rows = std::move(snapshot);
        m_tableChanged = unsaved;
        break;
    }
    case RecordType::Insert: {
        const quint32 pos = in.u32();
        std::vector<BroadcastRow> inserted;
        if (!readRows(in, in.u32(), inserted) || pos > rows.size())
            return false;
        rows.insert(rows.begin() + pos, std::make_move_iterator(inserted.begin()),
                    std::make_move_iterator(inserted.end()));
        m_tableChanged = true;
        break;
    }
    case RecordType::Remove: {
        const quint32 pos = in.u32();
        const quint32 count = in.u32();
        if (!in.ok() || quint64(pos) + count > rows.size())
            return false;
        rows.erase(rows.begin() + pos, rows.begin() + pos + count);
        m_tableChanged = true;
        break;
    }
    case RecordType::SetField: {
        const quint32 pos = in.u32();
        const quint8 field = in.u8();
        const QString text = in.string();
        if (!in.ok() || pos >= rows.size() || field > 2)
            return false;
        BroadcastRow &row = rows[pos];
        (field == 0 ? row.Content : field == 1 ? row.FareSignal : row.SoundSignal) = text;
        m_tableChanged = true;
        break;
    }
    case RecordType::Clear:
        rows.clear();
        m_tableChanged = true;
        break;
    case RecordType::Load: {
        broadcast_file::ParseResult read = broadcast_file::parse(payload);
        if (!read.ok())
            return false;
        rows.insert(rows.end(), std::make_move_iterator(read.rows.begin()),
                    std::make_move_iterator(read.rows.end()));
        m_tableChanged = false; // the table is what the file holds
        return true;
    }
    case RecordType::Editor: {
        EditorState editor;
        editor.text = in.string();
        editor.fareChecked = in.u8() != 0;
        editor.option = in.i32();
        editor.selectedRow = in.i32();
        if (!in.ok() || editor.option < -1 || editor.option > 3 || editor.selectedRow < 0)
            return false;
        m_table.editor = std::move(editor);
        m_editorTouched = true;
        break;
    }
    case RecordType::Saved:
        m_tableChanged = false;
        m_editorTouched = false;
        break;
    default:
        return false;
    }
    return in.ok() && in.atEnd();
}

RecoveredTable Replayer::finish()
{
    const bool edits = m_editorTouched && m_table.editor
        && editorHoldsEdits(*m_table.editor, m_table.rows);
    m_table.unsaved = (m_tableChanged && !m_table.rows.empty()) || edits;
    return std::move(m_table);
}

QString notAJournal()
{
    return QStringLiteral("復元用の記録ではありません");
}

QString damaged()
{
    return QStringLiteral("復元用の記録が壊れています");
}

} // namespace

ReplayOutcome replay(QByteArrayView bytes)
{
    ReplayOutcome outcome;
    if (bytes.size() < kFileHeaderSize || bytes.first(kMagic.size()) != kMagic
        || qFromLittleEndian<quint16>(bytes.data() + 4) != kVersion) {
        outcome.problem = notAJournal();
        return outcome;
    }
    Replayer replayer;
    qsizetype pos = kFileHeaderSize;
    while (pos < bytes.size()) {
        if (bytes.size() - pos < kRecordHeaderSize) {
            outcome.torn = true;
            break;
        }
        const char *head = bytes.data() + pos;
        const auto length = qFromLittleEndian<quint32>(head);
        const auto type = RecordType(quint8(head[4]));
        const auto crc = qFromLittleEndian<quint32>(head + 8);
        const qsizetype payloadAt = pos + kRecordHeaderSize;
        if (qint64(length) > bytes.size() - payloadAt) {
            outcome.torn = true;
            break;
        }
        const QByteArrayView payload = bytes.sliced(payloadAt, qsizetype(length));
        if (checksum(length, type, payload) != crc) {
            outcome.torn = true;
            break;
        }
        try {
            if (!replayer.apply(type, payload)) {
                outcome.problem = damaged();
                return outcome;
            }
        } catch (const std::bad_alloc &) {
            outcome.problem = QStringLiteral("復元用の記録が大きすぎて読み込めません");
            return outcome;
        }
        pos = payloadAt + qsizetype(length);
    }
    outcome.table = replayer.finish();
    return outcome;
}

ReplayOutcome replayFile(const QString &path)
{
    ReplayOutcome outcome;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.problem = QStringLiteral("復元用の記録を開けません（%1）").arg(file.errorString());
        return outcome;
    }
    // The file's bytes, the table's text (two bytes a character) and the rows' own cost.
    const qint64 available = availableMemory();
    if (available >= 0 && file.size() > available / 4) {
        outcome.problem = QStringLiteral("復元用の記録が大きすぎて読み込めません");
        return outcome;
    }
    QByteArray bytes;
    try {
        bytes = file.readAll();
    } catch (const std::bad_alloc &) {
        outcome.problem = QStringLiteral("復元用の記録が大きすぎて読み込めません");
        return outcome;
    }
    if (file.error() != QFileDevice::NoError) {
        outcome.problem = QStringLiteral("復元用の記録を読み込めません（%1）").arg(file.errorString());
        return outcome;
    }
    return replay(bytes);
}

} // namespace journal
