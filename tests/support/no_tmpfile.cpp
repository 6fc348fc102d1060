// Loaded with LD_PRELOAD, makes this machine's file systems look like those without
// unnamed temporary files (NFS, SMB, vfat): every open() with O_TMPFILE fails as the
// kernel fails it there, so that a program takes its road for such file systems. Every
// other open goes through unchanged.
#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>

namespace {

using OpenFn = int (*)(const char *, int, ...);

bool refused(int flags)
{
    if ((flags & O_TMPFILE) != O_TMPFILE)
        return false;
    errno = EOPNOTSUPP;
    return true;
}

mode_t modeOf(int flags, va_list args)
{
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? mode_t(va_arg(args, int)) : 0;
}

template<typename F>
F real(const char *name)
{
    return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name));
}

} // namespace

extern "C" {

#define BDT_OPEN_LIKE(name)                                                                  \
    int name(const char *path, int flags, ...)                                               \
    {                                                                                        \
        va_list args;                                                                        \
        va_start(args, flags);                                                               \
        const mode_t mode = modeOf(flags, args);                                             \
        va_end(args);                                                                        \
        if (refused(flags))                                                                  \
            return -1;                                                                       \
        static const auto fn = real<OpenFn>(#name);                                          \
        return fn(path, flags, mode);                                                        \
    }
BDT_OPEN_LIKE(open)
BDT_OPEN_LIKE(open64)

} // extern "C"
