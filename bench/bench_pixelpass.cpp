// Times the per-pixel reference count and the pass over bands on generated
// images and checks that both give identical sums; then times what a user
// waits for on the same inputs: the window's values and fitted picture, and
// lumivant-measure, against the plain decode of each file.
// Run: build/bin/bench_pixelpass (see README.md for an X server under Xvfb)
#include "benchinputs.h"
#include "childprocess.h"
#include "displayplatform.h"
#include "rasterdrawing.h"
#include "bandpass.h"
#include "identity.h"
#include "lcmshandles.h"
#include "plaindecode.h"
#include "processmemory.h"
#include "referencepass.h"
#include "resourcedir.h"
#include "resulttable.h"
#include "windowloadtimer.h"

#include <QApplication>
#include <QFileInfo>
#include <QBuffer>
#include <QColorSpace>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

struct Timed {
    PixelTotals totals;
    double ms;
};

// Reads a separation as the program does: images 0, 1 and 2 from one reader.
double decodeSeparation(const QString &path, PixelSources *sources)
{
    QElapsedTimer clock;
    clock.start();
    QImageReader reader(path);
    sources->picture = reader.read();
    reader.jumpToImage(1);
    sources->inkPage1 = reader.read();
    reader.jumpToImage(2);
    sources->inkPage2 = reader.read();
    sources->channelCount = 4;
    return clock.nsecsElapsed() / 1e6;
}

double heldMiB(const PixelSources &sources)
{
    qint64 bytes = sources.picture.sizeInBytes();
    if (sources.channelCount >= 4)
        bytes += sources.inkPage1.sizeInBytes() + sources.inkPage2.sizeInBytes();
    return bytes / 1048576.0;
}

Timed timed(bool fast, const PixelSources &sources, float scale)
{
    Timed result;
    QElapsedTimer clock;
    clock.start();
    result.totals =
        fast ? passOverBands(KeptRows(sources), 0, nullptr).totals : referencePass(sources, nullptr, scale, nullptr);
    result.ms = clock.nsecsElapsed() / 1e6;
    return result;
}

bool identical(const Timed &a, const Timed &b)
{
    return a.totals.pixelCount == b.totals.pixelCount && a.totals.channelSums == b.totals.channelSums;
}

// Decodes the JPEG as the program does; returns the time taken.
double decode(const QByteArray &jpeg, QImage *image)
{
    QElapsedTimer clock;
    clock.start();
    QBuffer buffer;
    buffer.setData(jpeg);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    *image = reader.read();
    return clock.nsecsElapsed() / 1e6;
}

// A target of 0 means the input is measured without a target.
void report(const char *name, double decodeMs, const PixelSources &sources, float scale,
            double targetRatio)
{
    const Timed reference = timed(false, sources, scale);
    // What the images take is there before the pass; the pass adds the rest.
    const double beforeMiB = processMemoryMiB("VmRSS") - heldMiB(sources);
    resetPeakMemory();
    const Timed fast = timed(true, sources, scale);
    const double peakOfLoad = processMemoryMiB("VmHWM") - beforeMiB;
    const double ratio = reference.ms / fast.ms;
    std::printf("%-26s decode %5.0f ms  reference %5.0f ms  fast %5.0f ms  ratio %5.1fx", name, decodeMs,
                reference.ms, fast.ms, ratio);
    if (targetRatio > 0)
        std::printf(" (target %.1fx: %s)", targetRatio, ratio >= targetRatio ? "met" : "MISSED");
    std::printf("  peak memory %.0f MiB = %.1fx the %.0f MiB of images (target 4x: %s)", peakOfLoad,
                peakOfLoad / heldMiB(sources), heldMiB(sources), peakOfLoad <= 4 * heldMiB(sources) ? "met" : "MISSED");
    std::printf("  identical: %s\n", identical(reference, fast) ? "yes" : "no");
    std::fflush(stdout);
}

void benchRgb(const char *name, const QString &jpeg, double targetRatio)
{
    QFile file(jpeg);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    QImage decoded;
    double decodeMs = 1e12;
    for (int round = 0; round < 3; ++round)
        decodeMs = std::min(decodeMs, decode(bytes, &decoded));
    report(name, decodeMs, {decoded, {}, {}, 3}, 1.0f / 255.0f, targetRatio);
}

void benchSeparation(const char *name, const QString &path, double targetRatio)
{
    PixelSources separation;
    const double decodeMs = decodeSeparation(path, &separation);
    report(name, decodeMs, separation, 1.0f, targetRatio);
}

// The argument that makes this program the child that times one window load.
const char windowLoadArgument[] = "--window-load";
// The argument that only writes the timed inputs into a folder, for a profiler's runs.
const char writeInputsArgument[] = "--write-inputs";

// The 24 MP JPEGs and press-like TIFF the user waits are timed on.
void writeTimedInputs(const QString &dir)
{
    writeTaggedJpeg(photograph(6000, 4000), dir, "smooth24.jpg");
    writeTaggedJpeg(photograph(6000, 4000, 8.0), dir, "grainy24.jpg");
    ProfileHandle cmyk(cmsOpenProfileFromFile((getResourceDir() + "/DefaultCMYK.icc").toLocal8Bit().constData(), "r"));
    writePressSeparation(dir + "/press.tif", 6000, 4000, profileBytes(cmyk.get()));
    std::printf("%s/smooth24.jpg\n%s/grainy24.jpg\n%s/press.tif\n", qPrintable(dir), qPrintable(dir),
                qPrintable(dir));
}

// Prints the fastest values, picture and return times, then the results line.
int timeWindowLoad(const QString &path)
{
    WindowLoadTimer timer(path);
    timer.run();
    std::printf("%.3f %.3f %.3f\n%s\n", timer.valuesMs(), timer.pictureMs(), timer.returnedMs(),
                qPrintable(timer.resultsLine()));
    return timer.valuesMs() >= 0 && timer.pictureMs() >= 0 ? 0 : 1;
}

// The window in a child process of its own, so that its peak memory is its
// own: three children, one load each, the fastest times and the largest peak.
void timeWindow(const QString &path, UserWaits *waits)
{
    double returnedMs = -1;
    QByteArray results;
    for (int round = 0; round < 3; ++round) {
        ChildProcess child(QCoreApplication::applicationFilePath(), {windowLoadArgument, path});
        const bool painted = child.run();
        const QList<QByteArray> lines = child.output().split('\n');
        const QList<QByteArray> times = lines.value(0).split(' ');
        if (!painted || times.size() != 3) {
            std::printf("%-26s window: never showed both values and fitted picture\n", qPrintable(waits->input));
            return;
        }
        const auto fastest = [round](double *best, double candidate) {
            *best = round == 0 ? candidate : std::min(*best, candidate);
        };
        fastest(&waits->valuesMs, times[0].toDouble());
        fastest(&waits->pictureMs, times[1].toDouble());
        fastest(&returnedMs, times[2].toDouble());
        waits->windowPeakMiB = std::max(waits->windowPeakMiB, child.peakMiB());
        results = lines.value(1);
    }
    std::printf("%-26s window: values %5.0f ms = %.2fx decode, fitted picture %5.0f ms = %.2fx (openImageFile "
                "returned at %.0f ms), peak %.0f MiB; %s\n",
                qPrintable(waits->input), waits->valuesMs, waits->valuesMs / waits->decodeMs, waits->pictureMs,
                waits->pictureMs / waits->decodeMs, returnedMs, waits->windowPeakMiB, results.constData());
}

QString lab(const QByteArray &jsonLine)
{
    const QJsonObject result = QJsonDocument::fromJson(jsonLine).object();
    return QString("L* %1 a* %2 b* %3")
        .arg(result["L"].toDouble(), 0, 'f', 2)
        .arg(result["a"].toDouble(), 0, 'f', 2)
        .arg(result["b"].toDouble(), 0, 'f', 2);
}

// lumivant-measure as a script runs it, process start to exit: fastest of three, the largest peak.
void timeMeasure(const QString &path, UserWaits *waits)
{
    const QString program = QCoreApplication::applicationDirPath() + "/lumivant-measure";
    for (int round = 0; round < 3; ++round) {
        ChildProcess child(program, {"--format", "json", path});
        if (!child.run()) {
            std::printf("%-26s lumivant-measure failed\n", qPrintable(waits->input));
            return;
        }
        waits->measureMs = round == 0 ? child.wallMs() : std::min(waits->measureMs, child.wallMs());
        waits->measurePeakMiB = std::max(waits->measurePeakMiB, child.peakMiB());
        if (round == 2)
            std::printf("%-26s lumivant-measure: %5.0f ms = %.2fx decode, peak %.0f MiB; %s\n", qPrintable(waits->input),
                        waits->measureMs, waits->measureMs / waits->decodeMs, waits->measurePeakMiB,
                        qPrintable(lab(child.output())));
    }
}

UserWaits userWaits(const char *name, const QString &path, double decodeMs, bool withWindow)
{
    UserWaits waits;
    waits.input = name;
    waits.decodeMs = decodeMs;
    if (withWindow)
        timeWindow(path, &waits);
    timeMeasure(path, &waits);
    std::fflush(stdout);
    return waits;
}

// The window's debug lines, and the offscreen platform's complaint at every
// size hint of a shown window, would drown the figures.
void dropNoise(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type != QtDebugMsg && !message.startsWith("This plugin does not support propagateSizeHints"))
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

void benchJpegs(const QString &dir, ResultTable *table)
{
    const QString smooth24 = writeTaggedJpeg(photograph(6000, 4000), dir, "smooth24.jpg");
    benchRgb("smooth RGB 24 MP", smooth24, 10.0);
    table->add(userWaits("smooth RGB 24 MP JPEG", smooth24, plainJpegDecodeMs(smooth24), true));
    const QString grainy24 = writeTaggedJpeg(photograph(6000, 4000, 8.0), dir, "grainy24.jpg");
    std::printf("grainy RGB 24 MP JPEG: %.1f MB\n", QFileInfo(grainy24).size() / 1e6);
    table->add(userWaits("grainy RGB 24 MP JPEG", grainy24, plainJpegDecodeMs(grainy24), true));
    benchRgb("smooth RGB 3 MP", writeTaggedJpeg(photograph(2000, 1500), dir, "smooth3.jpg"), 0);
    benchRgb("random noise RGB 24 MP", writeTaggedJpeg(noise(6000, 4000), dir, "noise.jpg"), 1.8);
}

void benchTiffs(const QString &dir, ResultTable *table)
{
    const QString smooth = dir + "/separation.tif";
    writeSeparation(smooth, 6000, 4000);
    benchSeparation("four-ink separation 24 MP", smooth, 5.0);

    ProfileHandle cmyk(cmsOpenProfileFromFile((getResourceDir() + "/DefaultCMYK.icc").toLocal8Bit().constData(), "r"));
    const QString press = dir + "/press.tif";
    const size_t colours = writePressSeparation(press, 6000, 4000, profileBytes(cmyk.get()));
    std::printf("press-like four-ink 24 MP: grainy, Deflate with predictor, 64-row strips, embedded profile, "
                "%zu distinct colours\n", colours);
    benchSeparation("press-like four-ink 24 MP", press, 0);
    table->add(userWaits("press-like CMYK 24 MP TIFF", press, rawTiffDecodeMs(press), true));

    // The same picture four times over in height: whether memory grows with the height.
    const QString tall = dir + "/press96.tif";
    writePressSeparation(tall, 6000, 4000, profileBytes(cmyk.get()), 4);
    table->add(userWaits("press-like CMYK 96 MP TIFF", tall, rawTiffDecodeMs(tall), false));
}

} // namespace

int main(int argc, char **argv)
{
    // Before anything is loaded or allocated: this image's memory is the measured child's start.
    if (argc >= 4 && std::strcmp(argv[1], measuredChildArgument) == 0)
        return runMeasured(std::atoi(argv[2]), argv + 3);
    chooseDisplayPlatform();
    drawWithoutOpenGL();
    QApplication app(argc, argv);
    qInstallMessageHandler(dropNoise);
    setApplicationIdentity();
    useProgramImageReaders();
    QTemporaryDir dir;
    // The window keeps its remembered directories; not in the user's own settings.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path() + "/settings");
    if (argc == 3 && std::strcmp(argv[1], windowLoadArgument) == 0)
        return timeWindowLoad(QString::fromLocal8Bit(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], writeInputsArgument) == 0) {
        writeTimedInputs(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    const QString platform = QGuiApplication::platformName();
    const QString display = platform == "xcb" ? ", on the X server " + qEnvironmentVariable("DISPLAY") : QString();
    std::printf("Window platform: %s%s\n", qPrintable(platform), qPrintable(display));
    std::printf("Pixel pass on %u cores (reference: one pixelColor, cmsDoTransform, setPixelColor per pixel)\n",
                std::thread::hardware_concurrency());
    ResultTable table;
    benchJpegs(dir.path(), &table);
    benchTiffs(dir.path(), &table);
    table.print();
    return 0;
}
