#include "childprocess.h"

#include <QElapsedTimer>
#include <QTemporaryFile>

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
    if (!outputFile.open())
        return false;
    // Everything the child needs is made before fork: it only redirects and execs.
    std::vector<QByteArray> words{program.toLocal8Bit()};
    for (const QString &argument : arguments)
        words.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    QElapsedTimer clock;
    clock.start();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(outputFile.handle(), STDOUT_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid)
        return false;
    wall = clock.nsecsElapsed() / 1e6;
    peak = usage.ru_maxrss / 1024.0;
    outputFile.seek(0);
    standardOutput = outputFile.readAll();
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
