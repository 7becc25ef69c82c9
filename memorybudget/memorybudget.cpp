#include "memorybudget.h"

#include <QByteArray>
#include <QFile>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr qint64 megabyte = qint64(1) << 20;

qint64 physicalMemory()
{
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGE_SIZE);
    return pages > 0 && pageSize > 0 ? qint64(pages) * pageSize : qint64(4096) * megabyte;
}

// The address space the process already takes.
qint64 addressSpaceInUse()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(0).toLongLong() * sysconf(_SC_PAGE_SIZE);
}

// What is left of a limited address space, with room kept for everything
// else the program does meanwhile; -1 when it is not limited.
qint64 addressSpaceLeft()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return -1;
    const qint64 left = qint64(limit.rlim_cur) - addressSpaceInUse();
    return std::max<qint64>(0, left / 4 * 3);
}

} // namespace

MemoryBudget loadMemoryBudget()
{
    bool set = false;
    const qint64 limitMb = qEnvironmentVariable("LUMIVANT_MEMORY_LIMIT_MB").toLongLong(&set);
    if (set && limitMb > 0)
        return {limitMb * megabyte, "LUMIVANT_MEMORY_LIMIT_MB"};
    const qint64 half = physicalMemory() / 2;
    const qint64 left = addressSpaceLeft();
    if (left >= 0 && left < half)
        return {left, "the process's address-space limit"};
    return {half, "half of the physical memory"};
}

QString memoryText(qint64 bytes)
{
    if (bytes >= 1024 * megabyte)
        return QString::number(double(bytes) / double(1024 * megabyte), 'f', 1) + " GB";
    return QString::number((bytes + megabyte - 1) / megabyte) + " MB";
}
