#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// A program run to its end as a child of this process, as a user starts it.
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
