#pragma once

#include <QByteArray>

// Memory figures of this process from /proc/self/status, in MiB:
// "VmHWM" the peak since resetPeakMemory(), "VmRSS" the present one.
double processMemoryMiB(const QByteArray &field);

// Starts a new peak from the present use.
void resetPeakMemory();
