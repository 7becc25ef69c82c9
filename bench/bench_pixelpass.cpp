// Times the reference and the fast pixel pass on generated images and checks
// that both give identical displayed bytes and sums.
// Run: QT_QPA_PLATFORM=offscreen build/bin/bench_pixelpass
#include "fastpass.h"
#include "lcmshandles.h"
#include "referencepass.h"
#include "resourcedir.h"
#include "startup.h"

#include <QBuffer>
#include <QColorSpace>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <thread>

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

// Inks 1-3 and ink 4 with coverage, as the TIFF reader delivers a separation.
PixelSources separation(int width, int height)
{
    QImage inks(width, height, QImage::Format_RGBX8888), rest(width, height, QImage::Format_RGBX8888);
    std::mt19937 random(3);
    for (int y = 0; y < height; ++y) {
        uchar *a = inks.scanLine(y), *b = rest.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const double u = double(x) / width, v = double(y) / height;
            auto ink = [&](double value) { return uchar(qBound(0, int(value * 255 + int(random() % 3) - 1), 255)); };
            a[4 * x] = ink(u);
            a[4 * x + 1] = ink(v * 0.8);
            a[4 * x + 2] = ink(0.5 * (1 - u));
            a[4 * x + 3] = 255;
            b[4 * x] = ink(0.3 * u * v);
            b[4 * x + 1] = 255;
            b[4 * x + 2] = 0;
            b[4 * x + 3] = 255;
        }
    }
    return {QImage(width, height, QImage::Format_RGB32), inks, rest, 4};
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

void report(const char *name, double decodeMs, const PixelSources &sources, cmsHTRANSFORM transform, float scale,
            double targetRatio)
{
    const Timed reference = timed(false, sources, transform, scale);
    const Timed fast = timed(true, sources, transform, scale);
    const double ratio = reference.ms / fast.ms;
    std::printf("%-28s decode %8.0f ms  reference %8.0f ms  fast %7.0f ms  ratio %5.1fx (target %.1fx: %s)",
                name, decodeMs, reference.ms, fast.ms, ratio, targetRatio, ratio >= targetRatio ? "met" : "MISSED");
    if (decodeMs > 0) {
        const double fileToNumbers = decodeMs + fast.ms;
        std::printf("  file-to-numbers %.1fx decode (target 3.0x: %s)", fileToNumbers / decodeMs,
                    fileToNumbers <= 3 * decodeMs ? "met" : "MISSED");
    }
    std::printf("  identical: %s\n", identical(reference, fast) ? "yes" : "no");
    std::fflush(stdout);
}

void benchRgb(const char *name, const QImage &picture, double targetRatio)
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
    report(name, decodeMs, {decoded, {}, {}, 3}, transform.get(), 1.0f / 255.0f, targetRatio);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    useProgramImageReaders();
    std::printf("Pixel pass on %u cores (reference: one pixelColor, cmsDoTransform, setPixelColor per pixel)\n",
                std::thread::hardware_concurrency());
    benchRgb("smooth RGB 24 MP", photograph(6000, 4000), 10.0);
    benchRgb("smooth RGB 3 MP", photograph(2000, 1500), 10.0);
    benchRgb("random noise RGB 24 MP", noise(6000, 4000), 1.8);

    ProfileHandle cmyk(cmsOpenProfileFromFile((getResourceDir() + "/DefaultCMYK.icc").toLocal8Bit().constData(), "r"));
    ProfileHandle monitor(cmsCreate_sRGBProfile());
    TransformHandle transform(cmsCreateTransform(cmyk.get(), TYPE_CMYK_FLT, monitor.get(), TYPE_RGB_FLT,
                                                 INTENT_RELATIVE_COLORIMETRIC, 0));
    report("four-ink separation 24 MP", 0, separation(6000, 4000), transform.get(), 1.0f, 5.0);
    return 0;
}
