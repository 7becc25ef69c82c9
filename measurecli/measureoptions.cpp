#include "measureoptions.h"

#include "reports.h"
#include "terminal.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

const QStringList intentNames = {"perceptual", "relative", "saturation", "absolute"};

// One line naming the problem: the whole help would bury it in a script's log.
ParsedOptions usageError(const QString &problem)
{
    printTo(stderr, "lumivant-measure: " + terminalText(problem) + "\nTry --help\n");
    return {true, 2, {}};
}

QString parseProblem(const QCommandLineParser &parser)
{
    const QStringList unknown = parser.unknownOptionNames();
    if (unknown.isEmpty())
        return parser.errorText();
    const QString name = unknown.first();
    return "unknown option " + QString(name.size() == 1 ? "-" : "--") + name;
}

} // namespace

ParsedOptions parseMeasureOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "lumivant-measure", "Measures the average colour of JPEG and TIFF images, as the Lumivant window does."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption format("format", "Output: text (an aligned table), csv or json (an object per line).",
                                    "text|csv|json", "text");
    const QCommandLineOption lch("lch", "Show L*C*h* instead of L*a*b* in the text table.");
    const QCommandLineOption intent("intent", "Rendering intent of the L*a*b* conversion.",
                                    intentNames.join('|'), "relative");
    const QCommandLineOption profile("profile", "Measure through this image profile instead of the embedded one.",
                                     "FILE.icc");
    parser.addOptions({format, lch, intent, profile});
    parser.addPositionalArgument("FILE", "The images to measure, one after another.", "FILE...");

    if (!parser.parse(arguments))
        return usageError(parseProblem(parser));
    if (parser.isSet(help)) {
        printTo(stdout, parser.helpText());
        return {true, 0, {}};
    }
    if (parser.isSet(version)) {
        printTo(stdout, "lumivant-measure " + QCoreApplication::applicationVersion() + "\n");
        return {true, 0, {}};
    }
    ParsedOptions parsed;
    const QString formatName = parser.value(format);
    if (formatName == "csv")
        parsed.options.format = ReportFormat::Csv;
    else if (formatName == "json")
        parsed.options.format = ReportFormat::Json;
    else if (formatName != "text")
        return usageError("unknown format '" + formatName + "'");
    parsed.options.intent = int(intentNames.indexOf(parser.value(intent)));
    if (parsed.options.intent < 0)
        return usageError("unknown intent '" + parser.value(intent) + "'");
    parsed.options.lch = parser.isSet(lch);
    parsed.options.profile = parser.value(profile);
    parsed.options.files = parser.positionalArguments();
    if (parsed.options.files.isEmpty())
        return usageError("no image file given");
    return parsed;
}
