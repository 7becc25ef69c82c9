#include "memorybudget.h"

#include <QByteArray>
#include <QFile>
#include <QRegularExpression>

#include <limits>

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr qint64 megabyte = qint64(1) << 20;
// The largest budget in whole megabytes whose bytes a qint64 still holds.
constexpr qint64 largestMegabytes = std::numeric_limits<qint64>::max() / megabyte;
const char *const limitVariable = "LUMIVANT_MEMORY_LIMIT_MB";

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
    if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
        limit.rlim_cur > rlim_t(std::numeric_limits<qint64>::max()))
        return -1;
    const qint64 left = qint64(limit.rlim_cur) - addressSpaceInUse();
    return std::max<qint64>(0, left / 4 * 3);
}

MemoryBudget systemBudget()
{
    const qint64 half = physicalMemory() / 2;
    const qint64 left = addressSpaceLeft();
    if (left >= 0 && left < half)
        return {left, "the process's address-space limit"};
    return {half, "half of the physical memory"};
}

// What the variable sets: a budget, or none (bytes 0) with the reason in words
// when it is set but unusable.
struct LimitSetting {
    qint64 bytes = 0;
    QString warning;
};

// The value as it can be shown on one line.
QString shownValue(QString value)
{
    for (QChar &c : value)
        if (c.category() == QChar::Other_Control)
            c = QChar::ReplacementCharacter;
    return value;
}

LimitSetting limitSetting()
{
    const QString value = qEnvironmentVariable(limitVariable).trimmed();
    if (value.isEmpty())
        return {};
    bool fits = false;
    const qint64 megabytes = value.toLongLong(&fits);
    const bool digits = QRegularExpression("^[0-9]+$").match(value).hasMatch();
    if (digits && (!fits || megabytes > largestMegabytes))
        return {largestMegabytes * megabyte,
                QString("%1=%2 is more than a budget can hold; %3 MB, the largest, is used instead.")
                    .arg(limitVariable, value)
                    .arg(largestMegabytes)};
    if (digits && megabytes > 0)
        return {megabytes * megabyte, QString()};
    const MemoryBudget fallback = systemBudget();
    return {0, QString("%1=\"%2\" is not a whole number of megabytes above 0; %3 (%4) is used instead.")
                   .arg(limitVariable, shownValue(value), memoryText(fallback.bytes), fallback.source)};
}

} // namespace

MemoryBudget loadMemoryBudget()
{
    const LimitSetting setting = limitSetting();
    if (setting.bytes > 0)
        return {setting.bytes, limitVariable};
    return systemBudget();
}

QString memoryLimitWarning()
{
    return limitSetting().warning;
}

QString memoryText(qint64 bytes)
{
    if (bytes >= 1024 * megabyte)
        return QString::number(double(bytes) / double(1024 * megabyte), 'f', 1) + " GB";
    return QString::number((bytes + megabyte - 1) / megabyte) + " MB";
}
