#include "commandline.h"

#include "terminal.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

StartRequest readCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "Measures the average colour of a JPEG or TIFF image."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument("FILE", QCoreApplication::translate("main", "An image to open at start."), "[FILE]");

    StartRequest request;
    if (!parser.parse(arguments)) {
        printTo(stderr, parser.errorText() + "\n\n" + parser.helpText());
        return {true, 2, QString(), QStringList()};
    }
    if (parser.isSet(help)) {
        printTo(stdout, parser.helpText());
        return {true, 0, QString(), QStringList()};
    }
    if (parser.isSet(version)) {
        printTo(stdout, QCoreApplication::applicationName() + " " + QCoreApplication::applicationVersion() + "\n");
        return {true, 0, QString(), QStringList()};
    }
    QStringList files = parser.positionalArguments();
    if (!files.isEmpty())
        request.imageFile = QFileInfo(files.takeFirst()).absoluteFilePath();
    request.notOpened = files;
    return request;
}

bool asksOnlyTheTerminal(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-h" || argument == "--help" || argument == "-?" || argument == "--help-all" ||
            argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}
