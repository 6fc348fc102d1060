#include "files/available_memory.h"

#include <QFile>
#include <QList>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// "MemAvailable:   123456 kB" from /proc/meminfo.
qint64 memAvailable()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly))
        return -1;
    for (QByteArray line = meminfo.readLine(); !line.isEmpty(); line = meminfo.readLine()) {
        if (!line.startsWith("MemAvailable:"))
            continue;
        const QList<QByteArray> fields = line.simplified().split(' ');
        bool ok = false;
        const qint64 kib = fields.size() >= 2 ? fields.at(1).toLongLong(&ok) : 0;
        return ok ? kib * 1024 : -1;
    }
    return -1;
}

// The process's mapped size: the first field of /proc/self/statm, in pages.
qint64 mappedBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    bool ok = false;
    const qint64 pages = statm.readLine().split(' ').value(0).toLongLong(&ok);
    return ok ? pages * ::sysconf(_SC_PAGESIZE) : -1;
}

} // namespace

qint64 availableMemory()
{
    qint64 available = memAvailable();
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        const qint64 mapped = mappedBytes();
        if (mapped >= 0) {
            const qint64 left = std::max<qint64>(0, qint64(limit.rlim_cur) - mapped);
            available = available < 0 ? left : std::min(available, left);
        }
    }
    return available;
}
