#include "measureoptions.h"

#include "patchsetfile.h"
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

// An option's file that cannot be used: the line names the file and where.
ParsedOptions fileError(const QString &problem)
{
    printTo(stderr, "lumivant-measure: " + terminalText(problem) + "\n");
    return {true, 2, {}};
}

// X,Y,W,H[:NAME] in image pixels, as a patch set gives them; false when it is not.
bool parseRegion(const QString &text, int number, Patch *patch)
{
    const QString rectangle = text.section(':', 0, 0);
    const QStringList parts = rectangle.split(',');
    if (parts.size() != 4)
        return false;
    int values[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[i] = parts[i].toInt(&ok);
        if (!ok || values[i] < (i < 2 ? 0 : 1) || values[i] > PatchSetFile::largestCoordinate)
            return false;
    }
    patch->rect = QRect(values[0], values[1], values[2], values[3]);
    patch->name = text.contains(':') ? text.section(':', 1) : QString("Region %1").arg(number);
    return true;
}

} // namespace

ParsedOptions parseMeasureOptions(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QCoreApplication::translate(
        "lumivant-measure", "Measures the average colour of JPEG and TIFF images, as the Lumivant window does."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption format(
        "format", "Output: text (an aligned table), csv, json (an object per line) or cgats (CGATS.17 of the L*a*b*).",
        "text|csv|json|cgats", "text");
    const QCommandLineOption lch("lch", "Show L*C*h* instead of L*a*b* in the text table.");
    const QCommandLineOption intent("intent", "Rendering intent of the L*a*b* conversion.",
                                    intentNames.join('|'), "relative");
    const QCommandLineOption profile("profile", "Measure through this image profile instead of the embedded one.",
                                     "FILE.icc");
    const QCommandLineOption patches(
        "patches", "Measure the patches of this patch set (JSON) instead of the whole picture; exit status 2 when it "
                   "cannot be read or used.",
        "SET.json");
    const QCommandLineOption region("region",
                                    "Measure this rectangle of image pixels instead of the whole picture; "
                                    "repeatable, and together with --patches.",
                                    "X,Y,W,H[:NAME]");
    parser.addOptions({format, lch, intent, profile, patches, region});
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
    else if (formatName == "cgats")
        parsed.options.format = ReportFormat::Cgats;
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
    if (parser.isSet(patches)) {
        const PatchSetReading set = PatchSetFile::read(parser.value(patches));
        if (!set.ok())
            return fileError(set.error);
        parsed.options.patches = set.patches;
    }
    const QStringList regions = parser.values(region);
    for (int i = 0; i < regions.size(); ++i) {
        Patch patch;
        if (!parseRegion(regions[i], i + 1, &patch))
            return usageError("--region '" + regions[i] +
                              "' is not X,Y,W,H[:NAME] in whole pixels (sizes from 1, up to 1000000)");
        parsed.options.patches << patch;
    }
    return parsed;
}
