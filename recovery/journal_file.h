#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// One journal file on disk, appended to with write(2) so that what was handed over is in
// the kernel the moment append() returns: a killed process loses none of it. A thread of
// its own forces what was written to the disk (fdatasync) right after, so a power cut
// loses at most the last moment; the window never waits for the disk.
//
// Failures are errno values; a failure of the background sync is handed to syncFailed,
// on the sync thread.
class JournalFile
{
public:
    // Creates the file at path (mode 0600), replacing one there, with content as its
    // first bytes. nullptr with *error set when it cannot be made.
    static std::unique_ptr<JournalFile> create(const QByteArray &path, QByteArrayView content,
                                               int *error);
    ~JournalFile();
    JournalFile(const JournalFile &) = delete;
    JournalFile &operator=(const JournalFile &) = delete;

    const QByteArray &path() const { return m_path; }
    qint64 size() const { return m_end; }

    bool append(QByteArrayView bytes, int *error);

    // A Load record of size bytes copied from the start of sourceFd, made in the
    // background while the caller reads the same file. finishCopy() waits for it and keeps
    // the record, or drops it (keep false, or the copy failed: then false and *error).
    void startCopy(int sourceFd, qint64 size);
    bool finishCopy(bool keep, int *error);

    // Replaces the whole file with content, through a new file renamed over it, so that a
    // failure or a power cut leaves the old journal whole.
    bool rewrite(QByteArrayView content, int *error);

    std::function<void(int error)> syncFailed;

private:
    JournalFile(QByteArray path, int fd, qint64 end);
    void syncLoop();
    void requestSync();
    void copyLoop(int sourceFd, qint64 size, qint64 at);

    QByteArray m_path;
    int m_fd;
    qint64 m_end;

    std::mutex m_fdMutex; // the descriptor is not swapped while the sync thread uses it
    std::mutex m_flagMutex; // guards the two flags below
    std::condition_variable m_wake;
    bool m_unsynced = false;
    bool m_stopping = false;
    std::thread m_syncThread;

    std::thread m_copyThread;
    qint64 m_copyAt = -1; // where the record being copied starts
    qint64 m_copySize = 0;
    int m_copyError = 0;
    quint32 m_copyCrc = 0;
};
