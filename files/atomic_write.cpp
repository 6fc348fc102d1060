#include "files/atomic_write.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

enum class Step { Create, Write, Sync, Close, Replace };

QString whatFailed(Step step)
{
    switch (step) {
    case Step::Create: return QStringLiteral("ファイルを作成できません");
    case Step::Write: return QStringLiteral("ファイルに書き込めません");
    case Step::Sync: return QStringLiteral("ファイルをディスクに書き込めません");
    case Step::Close: return QStringLiteral("ファイルを閉じられません");
    case Step::Replace: break;
    }
    return QStringLiteral("ファイルを置き換えられません");
}

WriteFailure failure(Step step, int error)
{
    return {whatFailed(step), describeFileError(error), error};
}

// A name beside the target for the instant before the rename. It starts with a dot and
// does not end in the target's extension, so the open dialog never offers it.
QByteArray temporaryName(const QByteArray &folder, const QByteArray &baseName)
{
    const quint32 tag = QRandomGenerator::system()->generate();
    return folder + "/." + baseName + '.' + QByteArray::number(tag, 36) + '~';
}

// Opens an unnamed file in folder, or, where the file system has no unnamed files, a new
// named one (then named is set). Returns -1 with errno set.
int openNewFile(const QByteArray &folder, const QByteArray &baseName, QByteArray *named)
{
    const int fd = ::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
        return fd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        *named = temporaryName(folder, baseName);
        const int made = ::open(named->constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (made >= 0 || errno != EEXIST)
            return made;
    }
    return -1;
}

// Gives the unnamed file behind fd a temporary name. Returns false with errno set.
bool nameUnnamedFile(int fd, const QByteArray &folder, const QByteArray &baseName,
                     QByteArray *named)
{
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < 100; ++attempt) {
        *named = temporaryName(folder, baseName);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, named->constData(), AT_SYMLINK_FOLLOW) == 0)
            return true;
        if (errno != EEXIST)
            break;
    }
    named->clear();
    return false;
}

bool writeAll(int fd, QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

// Owns the new file until it has replaced the target: whatever step fails, the descriptor
// is closed and a name the file was given is removed again.
class NewFile
{
public:
    ~NewFile()
    {
        const int saved = errno;
        if (fd >= 0)
            ::close(fd);
        if (!name.isEmpty())
            ::unlink(name.constData());
        errno = saved;
    }
    int fd = -1;
    QByteArray name;
};

} // namespace

std::optional<WriteFailure> writeFileAtomically(const QString &path, QByteArrayView bytes)
{
    // A link is followed, so that the file it points at is the one replaced.
    const QFileInfo given(path);
    const QFileInfo target(given.isSymLink() ? given.symLinkTarget() : given.absoluteFilePath());
    const QByteArray targetName = QFile::encodeName(target.absoluteFilePath());
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    const QByteArray baseName = QFile::encodeName(target.fileName());

    struct stat existing{};
    const bool exists = ::stat(targetName.constData(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode))
        return failure(Step::Replace, EISDIR);
    if (exists && !S_ISREG(existing.st_mode))
        return WriteFailure{whatFailed(Step::Replace), QStringLiteral("通常のファイルではありません"), EINVAL};
    if (exists && ::access(targetName.constData(), W_OK) != 0)
        return failure(Step::Write, errno);

    NewFile file;
    file.fd = openNewFile(folder, baseName, &file.name);
    if (file.fd < 0)
        return failure(Step::Create, errno);
    if (exists && ::fchmod(file.fd, existing.st_mode & 07777) != 0)
        return failure(Step::Create, errno);
    if (!writeAll(file.fd, bytes))
        return failure(Step::Write, errno);
    if (::fsync(file.fd) != 0)
        return failure(Step::Sync, errno);
    if (file.name.isEmpty() && !nameUnnamedFile(file.fd, folder, baseName, &file.name))
        return failure(Step::Replace, errno);
    // Closed before the rename: on file systems that report a failed write only when the
    // file is closed, the old file must still be there to keep.
    const int fd = std::exchange(file.fd, -1);
    if (::close(fd) != 0)
        return failure(Step::Close, errno);
    if (::rename(file.name.constData(), targetName.constData()) != 0)
        return failure(Step::Replace, errno);
    file.name.clear();
    return std::nullopt;
}

QString describeFileError(int error)
{
    switch (error) {
    case ENOSPC: return QStringLiteral("ディスクの空き容量が足りません");
    case EDQUOT: return QStringLiteral("ディスクの使用量の上限に達しています");
    case EACCES:
    case EPERM: return QStringLiteral("アクセスが許可されていません");
    case EROFS: return QStringLiteral("読み取り専用の場所です");
    case EIO: return QStringLiteral("ディスクの入出力エラーです");
    case ENOENT: return QStringLiteral("ファイルまたはフォルダーが見つかりません");
    case ENOTDIR: return QStringLiteral("パスの途中にフォルダーでないものがあります");
    case EISDIR: return QStringLiteral("フォルダーです");
    case ENAMETOOLONG: return QStringLiteral("ファイル名が長すぎます");
    case EFBIG: return QStringLiteral("ファイルが大きすぎます");
    case EMFILE:
    case ENFILE: return QStringLiteral("開いているファイルが多すぎます");
    default: break;
    }
    return QStringLiteral("エラー %1: %2").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
}
