#pragma once

#include "files/removal_on_signal.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// What went wrong in a save, in words an operator can act on.
struct WriteFailure
{
    QString what;   // the step that failed, e.g. "ファイルに書き込めません"
    QString reason; // why, e.g. "ディスクの空き容量が足りません"
    int error = 0;  // errno
};

// Replaces the file at path with bytes, whole or not at all. The bytes go to a new file in
// the same folder, are forced to the disk, and only then take the old file's name; a
// failure at any step (open, write, fsync, close, rename) is reported and leaves the old
// file as it was, with nothing left behind. A symbolic link, or a chain of them, keeps
// pointing where it did: the file at its end is replaced; a loop is refused. An existing
// file keeps its permissions, and its owner and group where the user may give them; one
// the user may not write is not replaced.
//
// Qt's QSaveFile is not used: it keeps small writes in memory and, when committing,
// ignores a failing flush, fsync or close and renames the incomplete file over the old one.
std::optional<WriteFailure> writeFileAtomically(const QString &path, QByteArrayView bytes);

// The same, for a file written piece by piece: open(), append() as often as needed, then
// commit(). Until commit() succeeds the old file stays as it was; a writer that goes away
// uncommitted, or whose step failed, leaves nothing behind.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(const QString &path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    std::optional<WriteFailure> open();
    std::optional<WriteFailure> append(QByteArrayView bytes);
    std::optional<WriteFailure> commit();
    // Has the system start writing what was appended so far to the disk, without waiting
    // for it: a file written piece by piece then reaches the disk while later pieces are
    // made, and commit() waits only for the last of it. Nothing is reported; commit()
    // reports what did not reach the disk.
    void startWriting();

private:
    void discard();

    QByteArray m_target;   // the file replaced, links followed
    int m_targetError = 0; // errno of following the links
    QByteArray m_folder;
    QByteArray m_baseName;
    bool m_exists = false; // the target was there when opened
    int m_fd = -1;
    removal_on_signal::Name m_name; // the new file's temporary name, once it has one
};

// A short Japanese description of an errno value as a file operation reports it.
QString describeFileError(int error);
