#pragma once

#include "files/broadcast_file_io.h"
#include "files/table_record.h"
#include "recovery/journal_records.h"
#include "recovery/recovery_store.h"
#include "table/table_editor.h"

#include <QByteArray>
#include <QObject>

#include <memory>
#include <optional>

class JournalFile;
class ListView;
class QTimer;

// The window's recovery journal: every change of the table, as the list's model reports
// it, and the row editor as the operator leaves it, so that a window that dies (a crash, a
// kill, a logout, a power cut) can be rebuilt at the next start. The window commits after
// each event it handled, so a finished command is in the journal before the next event;
// the editor's own changes follow within half a second.
//
// The journal file is made at the first change, not at start-up. Should it fail to be
// written, the window goes on without it and stopped() says why, once.
class RecoveryJournal final : public QObject, public ITableRecord, private broadcast_file::ReadTap
{
    Q_OBJECT
public:
    RecoveryJournal(ListView &list, const RowEditorControls &editor, const QString &folder,
                    QObject *parent);
    ~RecoveryJournal() override;

    RecoveryStore &store() { return m_store; }

    // Writes what changed since the last commit.
    void commit();
    // The window closes as the operator meant it to: the journal goes.
    void end();
    // While paused, changes are not recorded (a restore puts a whole table back).
    void setPaused(bool paused) { m_paused = paused; }
    // The table and editor as they stand become the journal, as work that was not saved.
    void recordRestored();

    void tableSaved() override;
    void tableDiscarded() override;
    broadcast_file::ReadTap *openingTap() override;

signals:
    // Recovery is off for the rest of the session; reason says why.
    void stopped(const QString &reason);

private:
    void started(int fd, qint64 size) override;
    void finished(bool complete) override;

    void rowsInserted(int first, int last);
    void rowsRemoved(int first, int last);
    void fieldsChanged(int top, int bottom, int left, int right);
    void tableCleared();
    void editorChanged();
    // A record without a payload, after which the table does or does not hold unsaved work.
    void note(journal::RecordType type, bool unsaved);

    bool recording() const { return !m_paused && !m_ended && !m_stopped; }
    journal::EditorState editorState() const;
    QByteArray wholeJournal() const;
    bool ensureFile();
    void rewrite();
    void stop(int error);

    ListView &m_list;
    RowEditorControls m_editor;
    RecoveryStore m_store;
    std::optional<RecoveryStore::Claim> m_claim;
    std::unique_ptr<JournalFile> m_file;
    QTimer *m_editorTimer;

    QByteArray m_pending;                // records of table changes not yet written
    journal::EditorState m_writtenEditor; // the editor as the journal last has it
    bool m_unsaved = false;              // the table changed since it was last saved or opened
    bool m_loading = false;              // an Open's bytes are being copied
    bool m_loadArrives = false;          // the rows an Open read are about to be appended
    bool m_paused = false;
    bool m_ended = false;
    bool m_stopped = false;
    qint64 m_compactAt = 0;
};
