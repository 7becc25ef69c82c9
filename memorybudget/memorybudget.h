#pragma once

#include <QString>
#include <QtGlobal>

// The memory one image load may take, shared by the measuring core and the
// image readers: half the machine's physical memory, less when the
// process's address space is limited (ulimit -v), or what the environment
// variable LUMIVANT_MEMORY_LIMIT_MB sets in whole megabytes. Whatever does
// not fit is refused before it is allocated.
struct MemoryBudget {
    qint64 bytes = 0;
    // Where the figure comes from, in words.
    QString source;

    bool allows(qint64 need) const { return need >= 0 && need <= bytes; }
};

MemoryBudget loadMemoryBudget();

// One line for the user when LUMIVANT_MEMORY_LIMIT_MB is set but not used as
// it stands: not a whole number above 0 (the system's budget is used), or
// more megabytes than a qint64 holds in bytes (clamped to the most it
// holds). Empty when the variable is absent, empty or usable.
QString memoryLimitWarning();

// A number of bytes for people: "512 MB", "1.4 GB".
QString memoryText(qint64 bytes);
