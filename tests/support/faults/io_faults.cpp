#include "io_faults.h"

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

std::atomic<bool> g_armed{false};
pthread_t g_thread;
int g_failAt = 0;
int g_seen = 0;
const char *g_injected = nullptr;

// True when this call is the one to fail; errno is then set.
bool failHere(const char *call, int error)
{
    if (!g_armed.load(std::memory_order_acquire) || !pthread_equal(pthread_self(), g_thread))
        return false;
    if (++g_seen != g_failAt)
        return false;
    g_injected = call;
    errno = error;
    return true;
}

template<typename F>
F real(const char *name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

mode_t modeOf(int flags, va_list args)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(args, int)) : 0;
}

} // namespace

namespace io_faults {

void arm(int failAt)
{
    g_thread = pthread_self();
    g_failAt = failAt;
    g_seen = 0;
    g_injected = nullptr;
    g_armed.store(true, std::memory_order_release);
}

int disarm()
{
    g_armed.store(false, std::memory_order_release);
    return g_seen;
}

QString injected()
{
    return g_injected ? QString::fromLatin1(g_injected) : QString();
}

} // namespace io_faults

// The interposed calls. Each fails the way the kernel would: nothing is done, except for
// close, which releases the descriptor even when it reports an error.
extern "C" {

#define BDT_OPEN_LIKE(name)                                                                  \
    int name(const char *path, int flags, ...)                                               \
    {                                                                                        \
        va_list args;                                                                        \
        va_start(args, flags);                                                               \
        const mode_t mode = modeOf(flags, args);                                             \
        va_end(args);                                                                        \
        if (failHere(#name, EACCES))                                                         \
            return -1;                                                                       \
        static const auto fn = real<int (*)(const char *, int, ...)>(#name);                 \
        return fn(path, flags, mode);                                                        \
    }
BDT_OPEN_LIKE(open)
BDT_OPEN_LIKE(open64)

#define BDT_OPENAT_LIKE(name)                                                                \
    int name(int dir, const char *path, int flags, ...)                                      \
    {                                                                                        \
        va_list args;                                                                        \
        va_start(args, flags);                                                               \
        const mode_t mode = modeOf(flags, args);                                             \
        va_end(args);                                                                        \
        if (failHere(#name, EACCES))                                                         \
            return -1;                                                                       \
        static const auto fn = real<int (*)(int, const char *, int, ...)>(#name);            \
        return fn(dir, path, flags, mode);                                                   \
    }
BDT_OPENAT_LIKE(openat)
BDT_OPENAT_LIKE(openat64)

ssize_t write(int fd, const void *data, size_t size)
{
    if (failHere("write", ENOSPC))
        return -1;
    static const auto fn = real<ssize_t (*)(int, const void *, size_t)>("write");
    return fn(fd, data, size);
}

ssize_t writev(int fd, const struct iovec *iov, int count)
{
    if (failHere("writev", ENOSPC))
        return -1;
    static const auto fn = real<ssize_t (*)(int, const struct iovec *, int)>("writev");
    return fn(fd, iov, count);
}

int fsync(int fd)
{
    if (failHere("fsync", EIO))
        return -1;
    static const auto fn = real<int (*)(int)>("fsync");
    return fn(fd);
}

int fdatasync(int fd)
{
    if (failHere("fdatasync", EIO))
        return -1;
    static const auto fn = real<int (*)(int)>("fdatasync");
    return fn(fd);
}

int fchmod(int fd, mode_t mode)
{
    if (failHere("fchmod", EPERM))
        return -1;
    static const auto fn = real<int (*)(int, mode_t)>("fchmod");
    return fn(fd, mode);
}

int close(int fd)
{
    static const auto fn = real<int (*)(int)>("close");
    if (failHere("close", EIO)) {
        fn(fd);
        errno = EIO;
        return -1;
    }
    return fn(fd);
}

int linkat(int fromDir, const char *from, int toDir, const char *to, int flags)
{
    if (failHere("linkat", ENOSPC))
        return -1;
    static const auto fn = real<int (*)(int, const char *, int, const char *, int)>("linkat");
    return fn(fromDir, from, toDir, to, flags);
}

int rename(const char *from, const char *to)
{
    if (failHere("rename", EIO))
        return -1;
    static const auto fn = real<int (*)(const char *, const char *)>("rename");
    return fn(from, to);
}

int renameat(int fromDir, const char *from, int toDir, const char *to)
{
    if (failHere("renameat", EIO))
        return -1;
    static const auto fn = real<int (*)(int, const char *, int, const char *)>("renameat");
    return fn(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned flags)
{
    if (failHere("renameat2", EIO))
        return -1;
    static const auto fn =
        real<int (*)(int, const char *, int, const char *, unsigned)>("renameat2");
    return fn(fromDir, from, toDir, to, flags);
}

int ftruncate(int fd, off_t length)
{
    if (failHere("ftruncate", EIO))
        return -1;
    static const auto fn = real<int (*)(int, off_t)>("ftruncate");
    return fn(fd, length);
}

} // extern "C"
