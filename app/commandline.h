#pragma once

#include <QString>
#include <QStringList>

// What the command line of lumivant asks for. --help and --version are
// answered on the terminal before any window or display is needed.
struct StartRequest {
    bool exitNow = false;
    int exitCode = 0;
    // An image to open at start, as if chosen in the Open dialog; empty for none.
    QString imageFile;
    // Further images named after it: one image is measured at a time.
    QStringList notOpened;
};

StartRequest readCommandLine(const QStringList &arguments);

// Whether the command line asks only for help or the version.
bool asksOnlyTheTerminal(int argc, char **argv);
