// lumivant-measure: the window's measurement for whole folders of files, in scripts.
#include "bytekeepingcodec.h"
#include "filemeasurement.h"
#include "identity.h"
#include "measureoptions.h"
#include "memorybudget.h"
#include "reports.h"
#include "resourcedir.h"
#include "terminal.h"

#include <QCoreApplication>

#include <unistd.h>

namespace {

// The readers' and the core's debug lines are for the window's developers, not for a script's output.
void dropDebugLines(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        printTo(stderr, message + "\n");
}

// A CGATS file has no place for a failure: it goes to stderr, naming the file and the patch.
QString cgatsFailure(const FileMeasurement &failed)
{
    const QString patch = failed.patch ? " (" + failed.patch->patch.name + ")" : QString();
    return failed.file + patch + ": " + failed.error;
}

} // namespace

int main(int argc, char *argv[])
{
    setApplicationIdentity();
    // File names are passed on as the system gives them, UTF-8 or not.
    ByteKeepingCodec::useForLocaleWhenUtf8();
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(dropDebugLines);
    useProgramImageReaders();
    const ParsedOptions parsed = parseMeasureOptions(QCoreApplication::arguments());
    if (parsed.exitNow)
        return parsed.exitCode;
    const MeasureOptions &options = parsed.options;
    const QString budgetWarning = memoryLimitWarning();
    if (!budgetWarning.isEmpty())
        printTo(stderr, "lumivant-measure: " + budgetWarning + "\n");

    const bool showProgress = options.files.size() > 1 && isatty(STDERR_FILENO);
    if (options.format == ReportFormat::Csv)
        printTo(stdout, csvHeader(!options.patches.isEmpty()) + "\n");
    QVector<FileMeasurement> measured;
    bool allMeasured = true;
    for (int k = 0; k < options.files.size(); ++k) {
        if (showProgress)
            printTo(stderr, QString("\r\033[Kfile %1 of %2: %3")
                                .arg(k + 1)
                                .arg(options.files.size())
                                .arg(terminalText(options.files[k])));
        for (const FileMeasurement &result : measureFileRows(options.files[k], options, getResourceDir())) {
            allMeasured = allMeasured && result.ok();
            if (options.format == ReportFormat::Json)
                printTo(stdout, jsonLine(result) + "\n");
            else if (options.format == ReportFormat::Csv)
                printTo(stdout, csvRow(result) + "\n");
            else
                measured << result;
            if (options.format == ReportFormat::Cgats && !result.ok())
                printTo(stderr, "lumivant-measure: " + terminalText(cgatsFailure(result)) + "\n");
        }
    }
    if (showProgress)
        printTo(stderr, "\r\033[K");
    if (options.format == ReportFormat::Text)
        printTo(stdout, textTable(measured, options.lch));
    if (options.format == ReportFormat::Cgats)
        printTo(stdout, QString::fromUtf8(cgatsReport(measured)));
    return allMeasured ? 0 : 1;
}
