#include "recovery/recovery_journal.h"

#include "files/atomic_write.h"
#include "platform/list/list_model.h"
#include "platform/list/list_view.h"
#include "platform/list/report_view.h"
#include "recovery/journal_file.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFile>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>

namespace {

// The editor's own changes reach the journal this long after they happen, at the most;
// a burst of typing is one write.
constexpr int kEditorDelayMs = 500;
// A journal is written afresh, as one snapshot, once it outgrows this or four times what
// it held after it was last written afresh: what it keeps stays in proportion to the table.
constexpr qint64 kCompactFloor = 16 << 20;

} // namespace

RecoveryJournal::RecoveryJournal(ListView &list, const RowEditorControls &editor,
                                 const QString &folder, QObject *parent)
    : QObject(parent),
      m_list(list),
      m_editor(editor),
      m_store(folder),
      m_editorTimer(new QTimer(this))
{
    m_writtenEditor = editorState();
    m_editorTimer->setSingleShot(true);
    m_editorTimer->setInterval(kEditorDelayMs);
    connect(m_editorTimer, &QTimer::timeout, this, &RecoveryJournal::commit);

    ListModel *model = list.model();
    connect(model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { rowsInserted(first, last); });
    connect(model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) { rowsRemoved(first, last); });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &topLeft, const QModelIndex &bottomRight) {
                fieldsChanged(topLeft.row(), bottomRight.row(), topLeft.column(),
                              bottomRight.column());
            });
    connect(model, &QAbstractItemModel::modelReset, this, &RecoveryJournal::tableCleared);

    connect(editor.Text1, &QLineEdit::textChanged, this, &RecoveryJournal::editorChanged);
    connect(editor.Check1, &QCheckBox::toggled, this, &RecoveryJournal::editorChanged);
    for (QRadioButton *option : editor.Option1)
        connect(option, &QRadioButton::toggled, this, &RecoveryJournal::editorChanged);
    connect(list.view()->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &RecoveryJournal::editorChanged);
}

RecoveryJournal::~RecoveryJournal() = default;

journal::EditorState RecoveryJournal::editorState() const
{
    journal::EditorState state;
    state.text = m_editor.Text1->text();
    state.fareChecked = m_editor.Check1->isChecked();
    state.option = -1;
    for (int i = 0; i < 4; ++i) {
        if (m_editor.Option1[size_t(i)]->isChecked())
            state.option = i;
    }
    const ListItem selected = m_list.SelectedItem();
    state.selectedRow = selected.isNothing() ? 0 : selected.Index();
    return state;
}

void RecoveryJournal::rowsInserted(int first, int last)
{
    if (!recording())
        return;
    if (std::exchange(m_loadArrives, false) && first == 0) {
        m_unsaved = false; // the journal has the file's own bytes for these rows
        return;
    }
    journal::RecordWriter record(journal::RecordType::Insert);
    record.u32(quint32(first)).u32(quint32(last - first + 1));
    const ListModel &model = *m_list.model();
    for (int pos = first; pos <= last; ++pos)
        record.row(model.row(pos));
    record.appendTo(m_pending);
    m_unsaved = true;
}

void RecoveryJournal::rowsRemoved(int first, int last)
{
    if (!recording())
        return;
    journal::RecordWriter(journal::RecordType::Remove)
        .u32(quint32(first))
        .u32(quint32(last - first + 1))
        .appendTo(m_pending);
    m_unsaved = true;
}

void RecoveryJournal::fieldsChanged(int top, int bottom, int left, int right)
{
    if (!recording())
        return;
    const ListModel &model = *m_list.model();
    for (int pos = top; pos <= bottom; ++pos) {
        const BroadcastRow &row = model.row(pos);
        for (int field = left; field <= right; ++field) {
            journal::RecordWriter(journal::RecordType::SetField)
                .u32(quint32(pos))
                .u8(quint8(field))
                .string(field == 0 ? row.Content : field == 1 ? row.FareSignal : row.SoundSignal)
                .appendTo(m_pending);
        }
    }
    m_unsaved = true;
}

void RecoveryJournal::tableCleared()
{
    note(journal::RecordType::Clear, true);
}

void RecoveryJournal::note(journal::RecordType type, bool unsaved)
{
    if (!recording())
        return;
    journal::RecordWriter(type).appendTo(m_pending);
    m_unsaved = unsaved;
}

void RecoveryJournal::editorChanged()
{
    if (recording() && !m_editorTimer->isActive())
        m_editorTimer->start();
}

QByteArray RecoveryJournal::wholeJournal() const
{
    QByteArray bytes = journal::fileHeader();
    journal::RecordWriter snapshot(journal::RecordType::Snapshot);
    const std::vector<BroadcastRow> &rows = m_list.Rows();
    snapshot.u8(m_unsaved ? 1 : 0).u32(quint32(rows.size()));
    for (const BroadcastRow &row : rows)
        snapshot.row(row);
    snapshot.appendTo(bytes);
    journal::appendEditor(bytes, editorState());
    return bytes;
}

bool RecoveryJournal::ensureFile()
{
    if (m_file)
        return true;
    int error = 0;
    if (!m_claim)
        m_claim = m_store.claimNew(&error);
    if (m_claim) {
        // Everything recorded so far is in the table as it stands.
        const QByteArray content = wholeJournal();
        m_file = JournalFile::create(QFile::encodeName(m_claim->path), content, &error);
        if (m_file) {
            m_pending.clear();
            m_writtenEditor = editorState();
            m_compactAt = std::max(kCompactFloor, 4 * m_file->size());
            m_file->syncFailed = [this](int failure) {
                QMetaObject::invokeMethod(this, [this, failure] { stop(failure); },
                                          Qt::QueuedConnection);
            };
            return true;
        }
    }
    stop(error);
    return false;
}

void RecoveryJournal::rewrite()
{
    int error = 0;
    if (!m_file->rewrite(wholeJournal(), &error)) {
        stop(error);
        return;
    }
    m_pending.clear();
    m_writtenEditor = editorState();
    m_compactAt = std::max(kCompactFloor, 4 * m_file->size());
}

void RecoveryJournal::commit()
{
    m_loadArrives = false;
    m_editorTimer->stop();
    if (!recording())
        return;
    const journal::EditorState editor = editorState();
    if (m_pending.isEmpty() && editor == m_writtenEditor)
        return;
    if (!m_file) {
        ensureFile(); // writes the table and editor as they stand
        return;
    }
    if (m_file->size() + m_pending.size() > m_compactAt) {
        rewrite();
        return;
    }
    if (editor != m_writtenEditor)
        journal::appendEditor(m_pending, editor);
    int error = 0;
    if (!m_file->append(m_pending, &error)) {
        stop(error);
        return;
    }
    m_pending.clear();
    m_writtenEditor = editor;
}

void RecoveryJournal::tableSaved()
{
    note(journal::RecordType::Saved, false);
}

void RecoveryJournal::tableDiscarded()
{
    if (!recording())
        return;
    // The table was just emptied: what the journal held before is given up, and it starts
    // over, small.
    m_unsaved = false;
    m_pending.clear();
    if (m_file)
        rewrite();
}

broadcast_file::ReadTap *RecoveryJournal::openingTap()
{
    return this;
}

void RecoveryJournal::started(int fd, qint64 size)
{
    m_loading = false;
    if (!recording())
        return;
    commit(); // what came before the load goes first
    if (!recording() || !ensureFile())
        return;
    m_file->startCopy(fd, size);
    m_loading = true;
}

void RecoveryJournal::finished(bool complete)
{
    if (!std::exchange(m_loading, false) || !m_file)
        return;
    int error = 0;
    if (!m_file->finishCopy(complete, &error)) {
        stop(error);
        return;
    }
    // When the copy is not the file's whole content, the rows are recorded one by one.
    m_loadArrives = complete;
    if (complete)
        m_unsaved = false;
}

void RecoveryJournal::recordRestored()
{
    m_unsaved = true;
    if (!recording())
        return;
    if (m_file)
        rewrite();
    else
        ensureFile();
}

void RecoveryJournal::end()
{
    m_ended = true;
    m_editorTimer->stop();
    m_file.reset();
    if (m_claim)
        m_store.remove(*m_claim);
    m_claim.reset();
}

void RecoveryJournal::stop(int error)
{
    if (m_stopped || m_ended)
        return;
    m_stopped = true;
    m_editorTimer->stop();
    m_pending.clear();
    // The file stays as it was last written, and stays this window's until it closes:
    // should the window die after all, the last state it holds is still offered.
    m_file.reset();
    emit stopped(describeFileError(error));
}
