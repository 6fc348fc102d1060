#include "recovery/journal_file.h"

#include "files/file_access.h"
#include "recovery/journal_records.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kCopyPiece = 1 << 20;

bool writeAllAt(int fd, const char *data, qint64 size, qint64 at)
{
    return broadcast_file::writeAll(fd, QByteArrayView(data, size), at);
}

// Cuts a file back to what it held before a write that failed part-way; a failure to do so
// leaves a record that fails its checksum, which reading stops at anyway.
void cutBack(int fd, qint64 size)
{
    [[maybe_unused]] const int ignored = ::ftruncate(fd, size);
}

int openNew(const QByteArray &path)
{
    // Read as well: a copied record's checksum is taken from what landed in the file.
    return ::open(path.constData(), O_CREAT | O_TRUNC | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0600);
}

} // namespace

std::unique_ptr<JournalFile> JournalFile::create(const QByteArray &path, QByteArrayView content,
                                                 int *error)
{
    const int fd = openNew(path);
    if (fd < 0 || !writeAllAt(fd, content.data(), content.size(), 0)) {
        *error = errno;
        if (fd >= 0)
            ::close(fd);
        return nullptr;
    }
    std::unique_ptr<JournalFile> file(new JournalFile(path, fd, content.size()));
    file->requestSync();
    return file;
}

JournalFile::JournalFile(QByteArray path, int fd, qint64 end)
    : m_path(std::move(path)), m_fd(fd), m_end(end)
{
    m_syncThread = std::thread([this] { syncLoop(); });
}

JournalFile::~JournalFile()
{
    if (m_copyThread.joinable())
        m_copyThread.join();
    {
        std::lock_guard lock(m_flagMutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_syncThread.join();
    ::close(m_fd);
}

void JournalFile::requestSync()
{
    {
        std::lock_guard lock(m_flagMutex);
        m_unsynced = true;
    }
    m_wake.notify_one();
}

void JournalFile::syncLoop()
{
    for (;;) {
        {
            std::unique_lock lock(m_flagMutex);
            m_wake.wait(lock, [this] { return m_unsynced || m_stopping; });
            if (!m_unsynced)
                return; // stopping, and everything written is on the disk
            m_unsynced = false;
        }
        int failed = 0;
        {
            std::lock_guard lock(m_fdMutex);
            if (::fdatasync(m_fd) != 0 && errno != EINTR)
                failed = errno;
        }
        if (failed != 0 && syncFailed)
            syncFailed(failed);
    }
}

bool JournalFile::append(QByteArrayView bytes, int *error)
{
    if (!writeAllAt(m_fd, bytes.data(), bytes.size(), m_end)) {
        *error = errno;
        // What got in of it is cut off again, so the next record starts clean.
        cutBack(m_fd, m_end);
        return false;
    }
    m_end += bytes.size();
    requestSync();
    return true;
}

void JournalFile::startCopy(int sourceFd, qint64 size)
{
    m_copyAt = m_end;
    m_copySize = size;
    m_copyError = 0;
    m_copyThread = std::thread([this, sourceFd, size] {
        copyLoop(sourceFd, size, m_copyAt + journal::kRecordHeaderSize);
    });
}

void JournalFile::copyLoop(int sourceFd, qint64 size, qint64 at)
{
    // The header stays zeros (a record that fails its checksum) until the copy is whole.
    const QByteArray placeholder(journal::kRecordHeaderSize, '\0');
    if (!writeAllAt(m_fd, placeholder.constData(), placeholder.size(), m_copyAt)) {
        m_copyError = errno;
        return;
    }
    loff_t from = 0;
    loff_t to = at;
    bool inKernel = true;
    QByteArray piece;
    while (from < size) {
        const qint64 want = std::min(kCopyPiece, size - qint64(from));
        if (inKernel) {
            const ssize_t n = ::copy_file_range(sourceFd, &from, m_fd, &to, size_t(want), 0);
            if (n > 0)
                continue;
            if (n == 0) {
                m_copyError = EIO; // the file is shorter than it was
                return;
            }
            if (errno == EINTR)
                continue;
            if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
                m_copyError = errno;
                return;
            }
            inKernel = false; // file systems that cannot copy between them: by hand
        }
        piece.resize(want);
        const ssize_t n = ::pread(sourceFd, piece.data(), size_t(want), from);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_copyError = n == 0 ? EIO : errno;
            return;
        }
        if (!writeAllAt(m_fd, piece.constData(), n, to)) {
            m_copyError = errno;
            return;
        }
        from += n;
        to += n;
    }
    // The checksum of what landed in the journal, read back from it.
    const auto length = quint32(size);
    quint32 crc = journal::checksum(length, journal::RecordType::Load, {});
    piece.resize(kCopyPiece);
    for (qint64 done = 0; done < size;) {
        const ssize_t n = ::pread(m_fd, piece.data(), size_t(std::min(kCopyPiece, size - done)),
                                  at + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_copyError = n == 0 ? EIO : errno;
            return;
        }
        crc = journal::checksumContinue(crc, QByteArrayView(piece.constData(), n));
        done += n;
    }
    m_copyCrc = crc;
}

bool JournalFile::finishCopy(bool keep, int *error)
{
    if (m_copyThread.joinable())
        m_copyThread.join();
    const qint64 at = std::exchange(m_copyAt, -1);
    if (at < 0)
        return true;
    if (keep && m_copyError == 0 && m_copySize <= std::numeric_limits<quint32>::max()) {
        const QByteArray header = journal::recordHeader(quint32(m_copySize),
                                                        journal::RecordType::Load, m_copyCrc);
        if (writeAllAt(m_fd, header.constData(), header.size(), at)) {
            m_end = at + journal::kRecordHeaderSize + m_copySize;
            requestSync();
            return true;
        }
        m_copyError = errno;
    }
    cutBack(m_fd, at);
    if (!keep)
        return true;
    *error = m_copyError != 0 ? m_copyError : EFBIG;
    return false;
}

bool JournalFile::rewrite(QByteArrayView content, int *error)
{
    const QByteArray temporary = m_path + ".new";
    const int fd = openNew(temporary);
    if (fd < 0 || !writeAllAt(fd, content.data(), content.size(), 0) || ::fdatasync(fd) != 0
        || ::rename(temporary.constData(), m_path.constData()) != 0) {
        *error = errno;
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.constData());
        return false;
    }
    {
        std::lock_guard lock(m_fdMutex);
        ::close(std::exchange(m_fd, fd));
    }
    m_end = content.size();
    return true;
}
