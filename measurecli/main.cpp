// lumivant-measure: the window's measurement for whole folders of files, in scripts.
#include "filemeasurement.h"
#include "identity.h"
#include "measureoptions.h"
#include "reports.h"
#include "resourcedir.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

namespace {

void print(FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
    std::fflush(stream);
}

// The readers' and the core's debug lines are for the window's developers, not for a script's output.
void dropDebugLines(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        print(stderr, message + "\n");
}

} // namespace

int main(int argc, char *argv[])
{
    setApplicationIdentity();
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(dropDebugLines);
    useProgramImageReaders();
    const ParsedOptions parsed = parseMeasureOptions(QCoreApplication::arguments());
    if (parsed.exitNow)
        return parsed.exitCode;
    const MeasureOptions &options = parsed.options;

    const bool showProgress = options.files.size() > 1 && isatty(STDERR_FILENO);
    if (options.format == ReportFormat::Csv)
        print(stdout, csvHeader() + "\n");
    QVector<FileMeasurement> measured;
    bool allMeasured = true;
    for (int k = 0; k < options.files.size(); ++k) {
        if (showProgress)
            print(stderr, QString("\r\033[Kfile %1 of %2: %3").arg(k + 1).arg(options.files.size()).arg(options.files[k]));
        const FileMeasurement result = measureFile(options.files[k], options, getResourceDir());
        allMeasured = allMeasured && result.ok();
        if (options.format == ReportFormat::Json)
            print(stdout, jsonLine(result) + "\n");
        else if (options.format == ReportFormat::Csv)
            print(stdout, csvRow(result) + "\n");
        else
            measured << result;
    }
    if (showProgress)
        print(stderr, "\r\033[K");
    if (options.format == ReportFormat::Text)
        print(stdout, textTable(measured, options.lch));
    return allMeasured ? 0 : 1;
}
