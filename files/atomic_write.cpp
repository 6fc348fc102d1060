#include "files/atomic_write.h"

#include "files/file_access.h"
#include "files/file_texts.h"

#include "files/native_name.h"
#include "files/removal_on_signal.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

enum class Step { Create, CreateInFolder, Write, Sync, Close, Replace };

QString whatFailed(Step step)
{
    switch (step) {
    case Step::Create: return FileTexts::tr("ファイルを作成できません");
    case Step::CreateInFolder: return FileTexts::tr("保存先のフォルダーに書き込めません");
    case Step::Write: return FileTexts::tr("ファイルに書き込めません");
    case Step::Sync: return FileTexts::tr("ファイルをディスクに書き込めません");
    case Step::Close: return FileTexts::tr("ファイルを閉じられません");
    case Step::Replace: break;
    }
    return FileTexts::tr("ファイルを置き換えられません");
}

WriteFailure failure(Step step, int error)
{
    return {whatFailed(step), describeFileError(error), error};
}

// The new file could not be made beside the target. When the folder refuses it, the
// folder is what the operator must change, even when the file itself may be written.
WriteFailure creationFailure(int error)
{
    if (error != EACCES && error != EPERM && error != EROFS)
        return failure(Step::Create, error);
    return {whatFailed(Step::CreateInFolder),
            FileTexts::tr("%1。保存では、新しいファイルを同じフォルダーに作ってから元のファイルと置き換えます")
                .arg(describeFileError(error)),
            error};
}

// A name beside the target for the instant before the rename. It starts with a dot and
// does not end in the target's extension, so the open dialog never offers it. It holds as
// much of the target's name as the folder's limit on a name leaves room for, cut where a
// UTF-8 character starts, so that a target of any legal name can be written.
QByteArray temporaryName(const QByteArray &folder, const QByteArray &baseName)
{
    const quint32 tag = QRandomGenerator::system()->generate();
    const QByteArray suffix = '.' + QByteArray::number(tag, 16).rightJustified(8, '0') + '~';
    const long limit = ::pathconf(folder.constData(), _PC_NAME_MAX);
    qsizetype room = (limit > 0 ? qsizetype(limit) : NAME_MAX) - 1 - suffix.size();
    if (room < baseName.size()) {
        while (room > 0 && (quint8(baseName[room]) & 0xC0) == 0x80)
            --room;
    }
    return folder + "/." + baseName.left(std::max<qsizetype>(room, 0)) + suffix;
}

// Opens an unnamed file in folder, or, where the file system has no unnamed files, a new
// named one (then named is set). Returns -1 with errno set.
int openNewFile(const QByteArray &folder, const QByteArray &baseName,
                removal_on_signal::Name *named)
{
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return fd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        named->set(temporaryName(folder, baseName));
        const int made = ::open(named->constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (made >= 0)
            return made;
        const int error = errno;
        named->clear();
        if (error != EEXIST) {
            errno = error;
            return -1;
        }
    }
    return -1;
}

// Gives the unnamed file behind fd a temporary name. Returns false with errno set.
bool nameUnnamedFile(int fd, const QByteArray &folder, const QByteArray &baseName,
                     removal_on_signal::Name *named)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        named->set(temporaryName(folder, baseName));
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, named->constData(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        const int error = errno;
        named->clear();
        errno = error;
        if (error != EEXIST)
            break;
    }
    return false;
}

// The kernel's own limit on links followed in one path.
constexpr int kMaxLinks = 40;

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    return slash <= 0 ? QByteArray("/") : path.left(slash);
}

// The name from the current folder on, as bytes: a folder whose name is not UTF-8 must
// not be spelled otherwise. Slashes at the end are dropped.
QByteArray absoluteName(QByteArray name)
{
    if (!name.startsWith('/')) {
        char *const here = ::getcwd(nullptr, 0);
        name = (here ? QByteArray(here) : QByteArray(".")) + '/' + name;
        std::free(here);
    }
    while (name.size() > 1 && name.endsWith('/'))
        name.chop(1);
    return name;
}

// Follows the symbolic links that path names, link after link, to the name they end in;
// that file need not exist yet. Returns false with errno set: ELOOP for a loop or too long
// a chain.
bool followLinks(QByteArray path, QByteArray *resolved)
{
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    for (int links = 0; links <= kMaxLinks; ++links) {
        const ssize_t n = ::readlink(path.constData(), target.data(), size_t(target.size()));
        if (n < 0) {
            // Not a link, or nothing there: this is the name to write.
            if (errno != EINVAL && errno != ENOENT)
                return false;
            *resolved = path;
            return true;
        }
        if (n == target.size()) {
            errno = ENAMETOOLONG;
            return false;
        }
        const QByteArray next(target.constData(), n);
        path = next.startsWith('/') ? next : folderOf(path) + '/' + next;
    }
    errno = ELOOP;
    return false;
}

} // namespace

std::optional<WriteFailure> writeFileAtomically(const QString &path, QByteArrayView bytes)
{
    AtomicFileWriter file(path);
    if (auto failed = file.open())
        return failed;
    if (auto failed = file.append(bytes))
        return failed;
    return file.commit();
}

AtomicFileWriter::AtomicFileWriter(const QString &path)
{
    // Links are followed to the end of their chain, so that the file they point at is the
    // one replaced and every link keeps pointing where it did.
    const QByteArray given = absoluteName(nativeName(path));
    if (!followLinks(given, &m_target)) {
        m_targetError = errno;
        m_target = given;
    }
    m_folder = folderOf(m_target);
    m_baseName = m_target.mid(m_target.lastIndexOf('/') + 1);
}

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

void AtomicFileWriter::discard()
{
    const int saved = errno;
    if (m_fd >= 0)
        ::close(m_fd);
    if (!m_name.isEmpty())
        ::unlink(m_name.constData());
    m_fd = -1;
    m_name.clear();
    errno = saved;
}

std::optional<WriteFailure> AtomicFileWriter::open()
{
    if (m_targetError != 0)
        return failure(Step::Create, m_targetError);
    struct stat existing{};
    m_exists = ::stat(m_target.constData(), &existing) == 0;
    if (m_exists && S_ISDIR(existing.st_mode))
        return failure(Step::Replace, EISDIR);
    if (m_exists && !S_ISREG(existing.st_mode))
        return WriteFailure{whatFailed(Step::Replace), FileTexts::tr("通常のファイルではありません"), EINVAL};
    if (m_exists && ::access(m_target.constData(), W_OK) != 0)
        return failure(Step::Write, errno);

    m_fd = openNewFile(m_folder, m_baseName, &m_name);
    if (m_fd < 0)
        return creationFailure(errno);
    // The owner and group go with the file where the user may give them: a file shared
    // through its group stays shared. Only root may give a file away, and a user only to
    // a group of theirs; otherwise the new file is the user's, as any new file is.
    if (m_exists && ::fchown(m_fd, existing.st_uid, existing.st_gid) != 0) {
        // Failing that too, the file stays the user's.
        [[maybe_unused]] const int groupOnly = ::fchown(m_fd, uid_t(-1), existing.st_gid);
    }
    // After the owner: changing it clears the set-ID bits.
    if (m_exists && ::fchmod(m_fd, existing.st_mode & 07777) != 0) {
        const auto failed = failure(Step::Create, errno);
        discard();
        return failed;
    }
    return std::nullopt;
}

std::optional<WriteFailure> AtomicFileWriter::append(QByteArrayView bytes)
{
    if (m_fd < 0)
        return failure(Step::Write, EBADF);
    if (broadcast_file::writeAll(m_fd, bytes))
        return std::nullopt;
    const auto failed = failure(Step::Write, errno);
    discard();
    return failed;
}

std::optional<WriteFailure> AtomicFileWriter::commit()
{
    if (m_fd < 0)
        return failure(Step::Write, EBADF);
    std::optional<WriteFailure> failed;
    if (::fsync(m_fd) != 0) {
        failed = failure(Step::Sync, errno);
    } else if (m_name.isEmpty() && !nameUnnamedFile(m_fd, m_folder, m_baseName, &m_name)) {
        failed = failure(Step::Replace, errno);
    } else if (::close(std::exchange(m_fd, -1)) != 0) {
        // Closed before the rename: on file systems that report a failed write only when
        // the file is closed, the old file must still be there to keep.
        failed = failure(Step::Close, errno);
    } else if (::rename(m_name.constData(), m_target.constData()) != 0) {
        failed = failure(Step::Replace, errno);
    } else {
        m_name.clear();
        return std::nullopt;
    }
    discard();
    return failed;
}

void AtomicFileWriter::startWriting()
{
    if (m_fd >= 0)
        ::sync_file_range(m_fd, 0, 0, SYNC_FILE_RANGE_WRITE);
}

QString describeFileError(int error)
{
    switch (error) {
    case ENOSPC: return FileTexts::tr("ディスクの空き容量が足りません");
    case EDQUOT: return FileTexts::tr("ディスクの使用量の上限に達しています");
    case EACCES:
    case EPERM: return FileTexts::tr("アクセスが許可されていません");
    case EROFS: return FileTexts::tr("読み取り専用の場所です");
    case EIO: return FileTexts::tr("ディスクの入出力エラーです");
    case ENOENT: return FileTexts::tr("ファイルまたはフォルダーが見つかりません");
    case ENOTDIR: return FileTexts::tr("パスの途中にフォルダーでないものがあります");
    case EISDIR: return FileTexts::tr("フォルダーです");
    case ENAMETOOLONG: return FileTexts::tr("ファイル名が長すぎます");
    case EFBIG: return FileTexts::tr("ファイルが大きすぎます");
    case EMFILE:
    case ENFILE: return FileTexts::tr("開いているファイルが多すぎます");
    case ELOOP: return FileTexts::tr("シンボリックリンクが循環しているか、多すぎます");
    case EBADF: return FileTexts::tr("閉じられています");
    case EPIPE: return FileTexts::tr("読み出す側が閉じられています");
    default: break;
    }
    return FileTexts::tr("エラー %1: %2").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
}
