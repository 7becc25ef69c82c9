#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A program run to its end as a child of this process, as a user starts it.
// It is started by a fresh image of this program (runMeasured below): a child
// forked straight from this process would count this process's memory as its
// own peak.
class ChildProcess
{
public:
    ChildProcess(const QString &program, const QStringList &arguments);

    // Runs it, its standard output kept; stderr passes through.
    // Returns whether it ran and exited with status 0.
    bool run();

    double wallMs() const { return wall; }
    // The child's own peak resident memory, from wait4.
    double peakMiB() const { return peak; }
    const QByteArray &output() const { return standardOutput; }

private:
    QString program;
    QStringList arguments;
    double wall = 0;
    double peak = 0;
    QByteArray standardOutput;
};

// The argument that makes this program start command, wait for it and write
// its wall time (ms) and peak memory (KiB) to file descriptor report.
constexpr char measuredChildArgument[] = "--measured-child";

// Runs command (a null-terminated argv) as above; returns its exit status.
int runMeasured(int report, char **command);
