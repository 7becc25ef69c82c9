#include "childprocess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryFile>

#include <cstdio>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <vector>

ChildProcess::ChildProcess(const QString &program, const QStringList &arguments)
    : program(program), arguments(arguments)
{
}

bool ChildProcess::run()
{
    QTemporaryFile outputFile;
    int report[2];
    if (!outputFile.open() || pipe(report) != 0)
        return false;
    // Everything the child needs is made before fork: it only redirects and execs.
    std::vector<QByteArray> words{QCoreApplication::applicationFilePath().toLocal8Bit(), measuredChildArgument,
                                  QByteArray::number(report[1]), program.toLocal8Bit()};
    for (const QString &argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    const pid_t pid = fork();
    if (pid == 0) {
        close(report[0]);
        dup2(outputFile.handle(), STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(report[1]);
    int status = 0;
    const bool waited = pid > 0 && waitpid(pid, &status, 0) == pid;
    char figures[64] = {};
    const ssize_t got = read(report[0], figures, sizeof figures - 1);
    close(report[0]);
    long peakKiB = 0;
    if (!waited || got <= 0 || std::sscanf(figures, "%lf %ld", &wall, &peakKiB) != 2)
        return false;
    peak = peakKiB / 1024.0;
    outputFile.seek(0);
    standardOutput = outputFile.readAll();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int runMeasured(int report, char **command)
{
    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        close(report);
        execv(command[0], command);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return 127;
    dprintf(report, "%f %ld\n", clock.nsecsElapsed() / 1e6, long(usage.ru_maxrss));
    close(report);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 127;
}
