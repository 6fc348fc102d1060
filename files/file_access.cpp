#include "files/file_access.h"

#include "files/file_texts.h"

#include "files/atomic_write.h"
#include "files/native_name.h"
#include "platform/runtime/runtime_error.h"

#include <QDir>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace broadcast_file {

QString cannotOpen()
{
    return FileTexts::tr("ファイルを開けません");
}

QString cannotRead()
{
    return FileTexts::tr("ファイルを読み込めません");
}

namespace {

QString fieldName(Field field)
{
    switch (field) {
    case Field::FareSignal: return FileTexts::tr("運賃切替信号");
    case Field::SoundSignal: return FileTexts::tr("サウンド指定信号");
    case Field::Content: break;
    }
    return FileTexts::tr("放送内容");
}

QString kindOfNonRegular(mode_t mode)
{
    if (S_ISDIR(mode))
        return FileTexts::tr("フォルダーです");
    if (S_ISFIFO(mode))
        return FileTexts::tr("名前付きパイプで、ファイルではありません");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return FileTexts::tr("デバイスで、ファイルではありません");
    if (S_ISSOCK(mode))
        return FileTexts::tr("ソケットで、ファイルではありません");
    return FileTexts::tr("通常のファイルではありません");
}

} // namespace

FileProblem aboutFile(int number, const QString &what, const QString &path, const QString &why)
{
    const QString cause = FileTexts::tr("%1（%2）").arg(what, why);
    return {number, what + u'。', QDir::toNativeSeparators(path) + QStringLiteral(": ") + cause,
            0, cause};
}

FileProblem aboutLine(int line, const QString &cause)
{
    return {RuntimeError::PathFileAccessError, QStringLiteral("ファイルの内容を読み取れません。"),
            QStringLiteral("%1 行目: %2").arg(line).arg(cause), line, cause};
}

FileProblem aboutField(const SerializeResult &refused, int line)
{
    const QString cause = FileTexts::tr("%1: %2").arg(fieldName(refused.failedField), refused.cause);
    return {RuntimeError::PathFileAccessError, QStringLiteral("保存できない文字があります。"),
            QStringLiteral("%1 行目の%2").arg(line).arg(cause), line, cause};
}

int openRegularFile(const QString &path, FileProblem *problem)
{
    const QByteArray name = nativeName(path);
    struct stat status{};
    if (::stat(name.constData(), &status) != 0) {
        const int error = errno;
        *problem = aboutFile(error == ENOENT ? RuntimeError::FileNotFound
                                             : RuntimeError::PathFileAccessError,
                             cannotOpen(), path, describeFileError(error));
        return -1;
    }
    if (!S_ISREG(status.st_mode)) {
        *problem = aboutFile(RuntimeError::PathFileAccessError, cannotOpen(), path,
                             kindOfNonRegular(status.st_mode));
        return -1;
    }
    // Non-blocking, so that a file swapped for a pipe meanwhile cannot hang the open.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        *problem = aboutFile(RuntimeError::PathFileAccessError, cannotOpen(), path,
                             describeFileError(errno));
        return -1;
    }
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        const QString why = S_ISREG(status.st_mode) ? describeFileError(errno)
                                                     : kindOfNonRegular(status.st_mode);
        ::close(fd);
        *problem = aboutFile(RuntimeError::PathFileAccessError, cannotOpen(), path, why);
        return -1;
    }
    return fd;
}

bool writeAll(int fd, QByteArrayView bytes, qint64 offset)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = offset < 0 ? ::write(fd, p, size_t(left))
                                     : ::pwrite(fd, p, size_t(left), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
        if (offset >= 0)
            offset += n;
    }
    return true;
}

ssize_t readSome(int fd, char *buffer, qsizetype size)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size_t(size));
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return -1;
        // A pipe or terminal that someone left non-blocking: wait until it has something.
        pollfd ready{fd, POLLIN, 0};
        if (::poll(&ready, 1, -1) < 0 && errno != EINTR)
            return -1;
    }
}

Descriptor::~Descriptor()
{
    if (fd >= 0)
        ::close(fd);
}

} // namespace broadcast_file
