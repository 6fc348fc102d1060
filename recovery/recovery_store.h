#pragma once

#include <QLockFile>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// The folder of recovery journals, one per running window, each beside a lock that the
// window holds while it lives: a journal whose lock can be taken belongs to a window that
// is gone. Journals the operator declined are kept a week in discarded/.
class RecoveryStore
{
public:
    // A journal and its lock, held by this process.
    struct Claim
    {
        QString path;
        std::unique_ptr<QLockFile> lock;
    };

    explicit RecoveryStore(QString folder) : m_folder(std::move(folder)) {}

    // $XDG_STATE_HOME/broadcast-data-tool/recovery, $XDG_STATE_HOME defaulting to
    // ~/.local/state.
    static QString defaultFolder();

    const QString &folder() const { return m_folder; }
    QString discardedFolder() const;

    // A name and lock for this window's journal; the folder is made (mode 0700) as needed.
    // Empty with *error (errno) when the folder or the lock cannot be made.
    std::optional<Claim> claimNew(int *error);
    // The journals of windows that are gone, newest first, locked for this process so that
    // no other window offers them meanwhile.
    std::vector<Claim> claimDead();

    // Moves the journal to discarded/, where it is kept for a week, and lets go of its lock.
    void discard(Claim &claim);
    // Deletes the journal and its lock.
    void remove(Claim &claim);
    // Lets go of the lock, leaving the journal for the next start.
    static void release(Claim &claim);
    // Deletes what discarded/ has held for more than a week.
    void pruneDiscarded();

private:
    QString m_folder;
};
