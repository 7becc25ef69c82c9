// Times the reference and the fast pixel pass on generated images and checks
// that both give identical displayed bytes and sums.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_pixelpass
#include "fastpass.h"
#include "lcmshandles.h"
#include "referencepass.h"
#include "resourcedir.h"
#include "identity.h"

#include <QBuffer>
#include <QColorSpace>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <tiffio.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

namespace {

struct Timed {
    PixelTotals totals;
    QImage display;
    double ms;
};

QByteArray profileBytes(cmsHPROFILE profile)
{
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(int(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    return bytes;
}

// An AdobeRGB-like profile: wide primaries, gamma 2.2.
cmsHPROFILE wideProfile()
{
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve *gamma = cmsBuildGamma(nullptr, 2.2);
    cmsToneCurve *curves[3] = {gamma, gamma, gamma};
    cmsCIExyY white;
    cmsWhitePointFromTemp(&white, 6504);
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    return profile;
}

// Gradients, soft shapes and mild noise, like a photograph.
QImage photograph(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(1);
    std::normal_distribution<double> noise(0.0, 2.0);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            const double blob = std::exp(-((u - 0.4) * (u - 0.4) + (v - 0.5) * (v - 0.5)) * 12.0);
            auto level = [&](double value) { return qBound(0, int(value + noise(random)), 255); };
            row[x] = qRgb(level(40 + 170 * u + 40 * blob), level(60 + 120 * v * (1 - u) + 60 * blob),
                          level(200 - 150 * v + 30 * std::sin(u * 9.0)));
        }
    }
    return image;
}

QImage noise(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(2);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = 0xff000000u | (random() & 0xffffffu);
    }
    return image;
}

// A smooth four-ink separation written as a CMYK TIFF.
void writeSeparation(const QString &path, int width, int height)
{
    TIFF *tiff = TIFFOpen(path.toLocal8Bit().constData(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(4));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(PHOTOMETRIC_SEPARATED));
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, uint16_t(PLANARCONFIG_CONTIG));
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(16));
    std::mt19937 random(3);
    std::vector<uchar> line(size_t(width) * 4);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            auto ink = [&](double value) { return uchar(qBound(0, int(value * 255 + int(random() % 3) - 1), 255)); };
            uchar *p = &line[size_t(x) * 4];
            p[0] = ink(u);
            p[1] = ink(v * 0.8);
            p[2] = ink(0.5 * (1 - u));
            p[3] = ink(0.3 * u * v);
        }
        TIFFWriteScanline(tiff, line.data(), uint32_t(y), 0);
    }
    TIFFClose(tiff);
}

// Reads a separation as the program does: image 0, then images 1 and 2.
double decodeSeparation(const QString &path, PixelSources *sources)
{
    QElapsedTimer clock;
    clock.start();
    sources->picture = QImage(path);
    QImageReader reader(path);
    reader.jumpToImage(1);
    sources->inkPage1 = reader.read();
    reader.jumpToImage(2);
    sources->inkPage2 = reader.read();
    sources->channelCount = 4;
    return clock.nsecsElapsed() / 1e6;
}

// A memory figure of this process from /proc/self/status, in MiB:
// "VmHWM" the peak since resetPeakMemory(), "VmRSS" the present one.
double memoryMiB(const QByteArray &field)
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field + ":"))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

void resetPeakMemory()
{
    QFile clear("/proc/self/clear_refs");
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

double heldMiB(const PixelSources &sources)
{
    qint64 bytes = sources.picture.sizeInBytes();
    if (sources.channelCount >= 4)
        bytes += sources.inkPage1.sizeInBytes() + sources.inkPage2.sizeInBytes();
    return bytes / 1048576.0;
}

Timed timed(bool fast, const PixelSources &sources, cmsHTRANSFORM transform, float scale)
{
    Timed result;
    QElapsedTimer clock;
    clock.start();
    result.totals = fast ? fastPass(sources, transform, scale, &result.display)
                         : referencePass(sources, transform, scale, &result.display);
    result.ms = clock.nsecsElapsed() / 1e6;
    return result;
}

bool identical(const Timed &a, const Timed &b)
{
    if (a.totals.pixelCount != b.totals.pixelCount || a.totals.channelSums != b.totals.channelSums)
        return false;
    if (a.display.size() != b.display.size())
        return false;
    for (int y = 0; y < a.display.height(); ++y)
        if (std::memcmp(a.display.constScanLine(y), b.display.constScanLine(y), size_t(a.display.width()) * 4) != 0)
            return false;
    return true;
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
void report(const char *name, double decodeMs, const PixelSources &sources, cmsHTRANSFORM transform, float scale,
            double targetRatio, bool fileTarget)
{
    const Timed reference = timed(false, sources, transform, scale);
    // What the images take is there before the pass; the pass adds the rest.
    const double beforeMiB = memoryMiB("VmRSS") - heldMiB(sources);
    resetPeakMemory();
    const Timed fast = timed(true, sources, transform, scale);
    const double peakOfLoad = memoryMiB("VmHWM") - beforeMiB;
    const double ratio = reference.ms / fast.ms;
    std::printf("%-26s decode %5.0f ms  reference %5.0f ms  fast %5.0f ms  ratio %5.1fx", name, decodeMs,
                reference.ms, fast.ms, ratio);
    if (targetRatio > 0)
        std::printf(" (target %.1fx: %s)", targetRatio, ratio >= targetRatio ? "met" : "MISSED");
    if (fileTarget) {
        const double fileToNumbers = decodeMs + fast.ms;
        std::printf("  file-to-numbers %.1fx decode (target 3.0x: %s)", fileToNumbers / decodeMs,
                    fileToNumbers <= 3 * decodeMs ? "met" : "MISSED");
    }
    std::printf("  peak memory %.0f MiB = %.1fx the %.0f MiB of images (target 4x: %s)", peakOfLoad,
                peakOfLoad / heldMiB(sources), heldMiB(sources), peakOfLoad <= 4 * heldMiB(sources) ? "met" : "MISSED");
    std::printf("  identical: %s\n", identical(reference, fast) ? "yes" : "no");
    std::fflush(stdout);
}

void benchRgb(const char *name, const QImage &picture, double targetRatio, bool fileTarget)
{
    ProfileHandle wide(wideProfile());
    ProfileHandle monitor(cmsCreate_sRGBProfile());
    QImage tagged = picture;
    tagged.setColorSpace(QColorSpace::fromIccProfile(profileBytes(wide.get())));
    QByteArray jpeg;
    QBuffer out(&jpeg);
    out.open(QIODevice::WriteOnly);
    QImageWriter writer(&out, "jpeg");
    writer.setQuality(92);
    writer.write(tagged);
    QImage decoded;
    const double decodeMs = decode(jpeg, &decoded);
    ProfileHandle embedded(cmsOpenProfileFromMem(decoded.colorSpace().iccProfile().constData(),
                                                 cmsUInt32Number(decoded.colorSpace().iccProfile().size())));
    TransformHandle transform(cmsCreateTransform(embedded.get(), TYPE_RGB_FLT, monitor.get(), TYPE_RGB_FLT,
                                                 INTENT_RELATIVE_COLORIMETRIC, 0));
    report(name, decodeMs, {decoded, {}, {}, 3}, transform.get(), 1.0f / 255.0f, targetRatio, fileTarget);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    useProgramImageReaders();
    std::printf("Pixel pass on %u cores (reference: one pixelColor, cmsDoTransform, setPixelColor per pixel)\n",
                std::thread::hardware_concurrency());
    benchRgb("smooth RGB 24 MP", photograph(6000, 4000), 10.0, true);
    benchRgb("smooth RGB 3 MP", photograph(2000, 1500), 0, false);
    benchRgb("random noise RGB 24 MP", noise(6000, 4000), 1.8, false);

    ProfileHandle cmyk(cmsOpenProfileFromFile((getResourceDir() + "/DefaultCMYK.icc").toLocal8Bit().constData(), "r"));
    ProfileHandle monitor(cmsCreate_sRGBProfile());
    TransformHandle transform(cmsCreateTransform(cmyk.get(), TYPE_CMYK_FLT, monitor.get(), TYPE_RGB_FLT,
                                                 INTENT_RELATIVE_COLORIMETRIC, 0));
    QTemporaryDir dir;
    const QString path = dir.path() + "/separation.tif";
    writeSeparation(path, 6000, 4000);
    PixelSources separation;
    const double decodeMs = decodeSeparation(path, &separation);
    report("four-ink separation 24 MP", decodeMs, separation, transform.get(), 1.0f, 5.0, false);
    return 0;
}
