#include "tiffdecoder.h"

#include "inkpreview.h"
#include "memorybudget.h"

#include <QDebug>
#include <QtEndian>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <vector>

namespace {

// Where one sample of a pixel goes: which output image, which channel, and
// whether the sample counts downwards (white-is-zero grey).
struct SampleTarget {
    int image;
    int channel;
    bool inverted = false;
};

struct OutputImage {
    QImage image;
    int channels;
};

// The rows [first, first + rows) of a directory, decoded into its output images.
struct DecodePlan {
    int first = 0;
    int rows = 0;
    std::vector<OutputImage> outputs;
    std::vector<std::vector<SampleTarget>> targets; // one list per sample of the file
    // Images of an earlier band, decoded into again when nobody else holds them.
    QVector<QImage> *spare = nullptr;
    // A separation whose samples lie side by side: inks 1-4, then the coverage
    // at this sample (-1 without), go to the two ink images in one pass.
    bool contiguousInks = false;
    int inkCoverageSample = -1;
};

// The next output image: a spare one of the same shape that nobody else
// holds (*reused tells), or a new one.
QImage outputImage(DecodePlan &plan, int width, QImage::Format format, bool *reused)
{
    *reused = false;
    const int index = int(plan.outputs.size());
    if (plan.spare && index < plan.spare->size()) {
        QImage &spare = (*plan.spare)[index];
        if (spare.isDetached() && spare.width() == width && spare.height() == plan.rows && spare.format() == format) {
            // The band's last reader let go of it on another thread.
            std::atomic_thread_fence(std::memory_order_acquire);
            *reused = true;
            return std::move(spare);
        }
    }
    return QImage(width, plan.rows, format);
}

QImage::Format rgbFormat(int bytes, bool alpha, bool associated)
{
    if (bytes == 2)
        return !alpha ? QImage::Format_RGBX64 : associated ? QImage::Format_RGBA64_Premultiplied : QImage::Format_RGBA64;
    return !alpha ? QImage::Format_RGBX8888 : associated ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGBA8888;
}

bool allocate(DecodePlan &plan, const TiffDirectory &d, QImage::Format format, int channels, QColor fill)
{
    bool reused = false;
    QImage image = outputImage(plan, int(d.width), format, &reused);
    if (image.isNull())
        return false;
    // A spare image of the same plan already holds the fill where no sample is
    // written; side-by-side inks are written whole.
    if (!reused && !plan.contiguousInks)
        image.fill(fill);
    plan.outputs.push_back({image, channels});
    return true;
}

bool planGrey(DecodePlan &plan, const TiffDirectory &d, int bytes)
{
    const bool inverted = d.photometric == PHOTOMETRIC_MINISWHITE;
    if (!d.alpha) {
        plan.targets[0] = {{0, 0, inverted}};
        return allocate(plan, d, bytes == 2 ? QImage::Format_Grayscale16 : QImage::Format_Grayscale8, 1, Qt::black);
    }
    plan.targets[0] = {{0, 0, inverted}, {0, 1, inverted}, {0, 2, inverted}};
    plan.targets[1] = {{0, 3}};
    return allocate(plan, d, rgbFormat(bytes, true, d.associatedAlpha), 4, Qt::black);
}

bool planRgb(DecodePlan &plan, const TiffDirectory &d, int bytes, int colours)
{
    for (int s = 0; s < colours; ++s)
        plan.targets[size_t(s)] = {{0, s}};
    if (d.alpha)
        plan.targets[size_t(d.colourSamples())] = {{0, 3}};
    return allocate(plan, d, rgbFormat(bytes, d.alpha, d.associatedAlpha), 4, Qt::black);
}

// Images 1 and 2 of a separation; image 0 (the preview) is made from them afterwards.
bool planInkPages(DecodePlan &plan, const TiffDirectory &d, int bytes)
{
    const QImage::Format format = rgbFormat(bytes, false, false);
    plan.targets[0] = {{0, 0}};
    plan.targets[1] = {{0, 1}};
    plan.targets[2] = {{0, 2}};
    plan.targets[3] = {{1, 0}};
    if (d.alpha)
        plan.targets[size_t(d.colourSamples())] = {{1, 1}};
    plan.contiguousInks = d.planarConfig == PLANARCONFIG_CONTIG;
    plan.inkCoverageSample = d.alpha ? d.colourSamples() : -1;
    // Without an alpha sample every pixel is fully covered.
    return allocate(plan, d, format, 4, Qt::black) && allocate(plan, d, format, 4, QColor(0, 255, 0));
}

bool makePlan(DecodePlan &plan, const TiffDirectory &d, int bytes)
{
    plan.targets.assign(d.samplesPerPixel, {});
    switch (d.photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
        return d.colourSamples() == 1 && planGrey(plan, d, bytes);
    case PHOTOMETRIC_RGB:
        return d.colourSamples() >= 3 && planRgb(plan, d, bytes, 3);
    case PHOTOMETRIC_SEPARATED:
        if (d.colourSamples() >= 4)
            return planInkPages(plan, d, bytes);
        return planRgb(plan, d, bytes, d.colourSamples());
    default:
        return false;
    }
}

// One destination of a sample within a run: the sample's place in the
// decoded data and the channel it fills in an output row.
template <typename Sample>
struct Route {
    int sample;
    Sample *row;
    int channels;
    bool inverted;
};

// Four 8-bit inks and nothing else, the usual separation, a pixel a word:
// the word's bytes are C, M, Y, K in the file and C, M, Y, full and K, full,
// 0, full in the two images: one load and two stores, not eight byte moves.
void writeFourEightBitInks(const uchar *in, uchar *inks, uchar *rest, quint32 pixels)
{
    for (size_t i = 0; i < pixels; ++i) {
        const quint32 pixel = qFromLittleEndian<quint32>(in + 4 * i);
        qToLittleEndian<quint32>(pixel | 0xFF000000u, inks + 4 * i);
        qToLittleEndian<quint32>((pixel >> 24) | 0xFF00FF00u, rest + 4 * i);
    }
}

// A run of a separation's side-by-side samples, each pixel's written at once.
template <typename Sample>
void writeInkRun(DecodePlan &plan, quint32 x, quint32 y, const uchar *data, quint32 pixels, int samplesInData)
{
    const auto *in = reinterpret_cast<const Sample *>(data);
    Sample *inks = reinterpret_cast<Sample *>(plan.outputs[0].image.scanLine(int(y))) + size_t(x) * 4;
    Sample *rest = reinterpret_cast<Sample *>(plan.outputs[1].image.scanLine(int(y))) + size_t(x) * 4;
    const int coverage = plan.inkCoverageSample;
    if (sizeof(Sample) == 1 && samplesInData == 4 && coverage < 0) {
        writeFourEightBitInks(data, reinterpret_cast<uchar *>(inks), reinterpret_cast<uchar *>(rest), pixels);
        return;
    }
    const Sample full = Sample(~Sample(0));
    // Every byte is written, the fill of the images' other channels too: they need no fill first.
    for (quint32 i = 0; i < pixels; ++i, in += samplesInData, inks += 4, rest += 4) {
        inks[0] = in[0];
        inks[1] = in[1];
        inks[2] = in[2];
        inks[3] = full;
        rest[0] = in[3];
        rest[1] = coverage >= 0 ? in[coverage] : full;
        rest[2] = 0;
        rest[3] = full;
    }
}

template <typename Sample>
void writeRun(DecodePlan &plan, quint32 x, quint32 y, const uchar *data, quint32 pixels, int firstSample,
              int samplesInData)
{
    if (plan.contiguousInks) {
        writeInkRun<Sample>(plan, x, y, data, pixels, samplesInData);
        return;
    }
    std::vector<Route<Sample>> routes;
    for (int j = 0; j < samplesInData; ++j)
        for (const SampleTarget &t : plan.targets[size_t(firstSample + j)]) {
            OutputImage &output = plan.outputs[size_t(t.image)];
            Sample *row = reinterpret_cast<Sample *>(output.image.scanLine(int(y))) + size_t(x) * output.channels;
            routes.push_back({j, row + t.channel, output.channels, t.inverted});
        }
    const auto *samples = reinterpret_cast<const Sample *>(data);
    const Sample full = Sample(~Sample(0));
    for (const Route<Sample> &route : routes) {
        const Sample *in = samples + route.sample;
        Sample *out = route.row;
        for (quint32 i = 0; i < pixels; ++i, in += samplesInData, out += route.channels)
            *out = route.inverted ? Sample(full - *in) : *in;
    }
}

// Writes a run of row y of the picture, when the plan's rows hold it.
void scatter(DecodePlan &plan, int bytes, quint32 x, quint32 y, const uchar *data, quint32 pixels, int firstSample,
             int samplesInData)
{
    if (qint64(y) < plan.first || qint64(y) >= qint64(plan.first) + plan.rows)
        return;
    const quint32 row = y - quint32(plan.first);
    if (bytes == 2)
        writeRun<quint16>(plan, x, row, data, pixels, firstSample, samplesInData);
    else
        writeRun<quint8>(plan, x, row, data, pixels, firstSample, samplesInData);
}

// The rows a strip holds, and the bytes a decoded strip takes.
struct StripShape {
    uint32_t rows;
    qint64 rowBytes;
    qint64 bytes() const { return rowBytes * rows; }
};

StripShape stripShape(TIFF *tiff, const TiffDirectory &d, int bytes)
{
    const int samplesInData = d.planarConfig == PLANARCONFIG_SEPARATE ? 1 : d.samplesPerPixel;
    uint32_t rowsPerStrip = d.height;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
    return {qBound<uint32_t>(1, rowsPerStrip, d.height), qint64(d.width) * samplesInData * bytes};
}

// The tile size and the bytes a decoded tile takes; zero for a broken tile size.
struct TileShape {
    uint32_t width = 0;
    uint32_t height = 0;
    qint64 rowBytes = 0;
    qint64 bytes() const { return rowBytes * height; }
};

TileShape tileShape(TIFF *tiff, const TiffDirectory &d, int bytes)
{
    TileShape shape;
    TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &shape.width);
    TIFFGetField(tiff, TIFFTAG_TILELENGTH, &shape.height);
    const int samplesInData = d.planarConfig == PLANARCONFIG_SEPARATE ? 1 : d.samplesPerPixel;
    shape.rowBytes = qint64(shape.width) * samplesInData * bytes;
    return shape;
}

bool decodeStrips(TIFF *tiff, const TiffDirectory &d, DecodePlan &plan, int bytes)
{
    const bool planar = d.planarConfig == PLANARCONFIG_SEPARATE;
    const int planes = planar ? d.samplesPerPixel : 1;
    const int samplesInData = planar ? 1 : d.samplesPerPixel;
    const StripShape shape = stripShape(tiff, d, bytes);
    const qint64 rowBytes = shape.rowBytes;
    const uint32_t rowsPerStrip = shape.rows;
    // Not cleared first: a strip is used only when it decoded to its full size.
    const std::unique_ptr<uchar[]> buffer(new uchar[size_t(shape.bytes())]);
    const tmsize_t bufferSize = tmsize_t(shape.bytes());
    const quint32 end = quint32(plan.first + plan.rows);
    for (int plane = 0; plane < planes; ++plane) {
        for (quint32 row = quint32(plan.first) / rowsPerStrip * rowsPerStrip; row < end; row += rowsPerStrip) {
            const quint32 rows = qMin(rowsPerStrip, d.height - row);
            const tstrip_t strip = TIFFComputeStrip(tiff, row, tsample_t(plane));
            const tmsize_t got = TIFFReadEncodedStrip(tiff, strip, buffer.get(), bufferSize);
            if (got < rowBytes * rows)
                return false;
            for (quint32 r = 0; r < rows; ++r)
                scatter(plan, bytes, 0, row + r, buffer.get() + r * rowBytes, d.width, planar ? plane : 0, samplesInData);
        }
    }
    return true;
}

bool decodeTiles(TIFF *tiff, const TiffDirectory &d, DecodePlan &plan, int bytes)
{
    const TileShape shape = tileShape(tiff, d, bytes);
    const uint32_t tileWidth = shape.width;
    const uint32_t tileHeight = shape.height;
    if (tileWidth == 0 || tileHeight == 0)
        return false;
    const bool planar = d.planarConfig == PLANARCONFIG_SEPARATE;
    const int planes = planar ? d.samplesPerPixel : 1;
    const int samplesInData = planar ? 1 : d.samplesPerPixel;
    const qint64 tileRowBytes = shape.rowBytes;
    std::vector<uchar> buffer(size_t(shape.bytes()));
    const quint32 end = quint32(plan.first + plan.rows);
    for (int plane = 0; plane < planes; ++plane) {
        for (quint32 y = quint32(plan.first) / tileHeight * tileHeight; y < end; y += tileHeight) {
            for (quint32 x = 0; x < d.width; x += tileWidth) {
                const ttile_t tile = TIFFComputeTile(tiff, x, y, 0, tsample_t(plane));
                if (TIFFReadEncodedTile(tiff, tile, buffer.data(), tmsize_t(buffer.size())) < 0)
                    return false;
                const quint32 rows = qMin(tileHeight, d.height - y);
                const quint32 pixels = qMin(tileWidth, d.width - x);
                for (quint32 r = 0; r < rows; ++r)
                    scatter(plan, bytes, x, y + r, buffer.data() + r * tileRowBytes, pixels, planar ? plane : 0,
                            samplesInData);
            }
        }
    }
    return true;
}

// Associated alpha stores inks already multiplied by the coverage; the
// coverage statistics need the inks themselves.
template <typename Sample>
void unpremultiplyInks(QImage &inks, QImage &blackAndCoverage)
{
    const double full = double(Sample(~Sample(0)));
    for (int y = 0; y < inks.height(); ++y) {
        auto *ink = reinterpret_cast<Sample *>(inks.scanLine(y));
        auto *rest = reinterpret_cast<Sample *>(blackAndCoverage.scanLine(y));
        for (int x = 0; x < inks.width(); ++x) {
            const double coverage = rest[4 * x + 1];
            auto restore = [&](Sample &value) {
                value = coverage == 0 ? Sample(0) : Sample(std::min(std::round(value * full / coverage), full));
            };
            restore(ink[4 * x]);
            restore(ink[4 * x + 1]);
            restore(ink[4 * x + 2]);
            restore(rest[4 * x]);
        }
    }
}

QVector<QImage> decodeThroughRgba(TIFF *tiff, const TiffDirectory &d)
{
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tiff, message)) {
        qDebug() << "TIFF cannot be decoded:" << message;
        return {};
    }
    // libtiff hands out associated alpha, byte order R, G, B, A.
    QImage image(int(d.width), int(d.height), d.alpha ? QImage::Format_RGBA8888_Premultiplied : QImage::Format_RGBX8888);
    if (image.isNull() ||
        !TIFFReadRGBAImageOriented(tiff, d.width, d.height, reinterpret_cast<uint32_t *>(image.bits()), ORIENTATION_TOPLEFT, 1))
        return {};
    return {image};
}

// Whether two strips (or tiles) point at the same data: a few kilobytes
// that would decode into gigabytes, which no writer of real images does.
bool stripsShareData(TIFF *tiff)
{
    const uint32_t count = TIFFIsTiled(tiff) ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
    std::vector<uint64_t> offsets;
    offsets.reserve(count);
    for (uint32_t i = 0; i < count; ++i)
        if (TIFFGetStrileByteCount(tiff, i) > 0)
            offsets.push_back(TIFFGetStrileOffset(tiff, i));
    std::sort(offsets.begin(), offsets.end());
    return std::adjacent_find(offsets.begin(), offsets.end()) != offsets.end();
}

// The bytes the decoded images and the decoding buffer of a directory take.
qint64 decodeNeed(TIFF *tiff, const TiffDirectory &d, int bytes, bool direct)
{
    const qint64 pixels = qint64(d.width) * d.height;
    if (!direct)
        return pixels * 4;
    const bool separation = d.photometric == PHOTOMETRIC_SEPARATED && d.colourSamples() >= 4;
    const bool plainGrey =
        (d.photometric == PHOTOMETRIC_MINISBLACK || d.photometric == PHOTOMETRIC_MINISWHITE) && !d.alpha;
    const qint64 images = separation ? pixels * 4 * bytes * 2 + pixels * 4 : pixels * (plainGrey ? 1 : 4) * bytes;
    const qint64 buffer = TIFFIsTiled(tiff) ? tileShape(tiff, d, bytes).bytes() : stripShape(tiff, d, bytes).bytes();
    return images + buffer;
}

bool withinLimits(TIFF *tiff, const TiffDirectory &d, int bytes, bool direct)
{
    if (stripsShareData(tiff)) {
        qDebug() << "TIFF refused: its strips share their data";
        return false;
    }
    const MemoryBudget budget = loadMemoryBudget();
    const qint64 need = decodeNeed(tiff, d, bytes, direct);
    if (!budget.allows(need)) {
        qDebug() << "TIFF refused:" << d.width << "x" << d.height << "with" << d.samplesPerPixel << "samples needs"
                 << memoryText(need) << "; a load may take" << memoryText(budget.bytes) << "(" << budget.source << ")";
        return false;
    }
    return true;
}

bool directRoute(const TiffDirectory &d)
{
    const bool wholeBytes = d.bitsPerSample == 8 || d.bitsPerSample == 16;
    const bool unsignedSamples = d.sampleFormat == SAMPLEFORMAT_UINT || d.sampleFormat == SAMPLEFORMAT_VOID;
    return wholeBytes && unsignedSamples &&
           (d.photometric == PHOTOMETRIC_MINISBLACK || d.photometric == PHOTOMETRIC_MINISWHITE ||
            d.photometric == PHOTOMETRIC_RGB || d.photometric == PHOTOMETRIC_SEPARATED);
}

bool sizeAllowed(const TiffDirectory &d)
{
    return d.width > 0 && d.height > 0 && d.width <= 1u << 20 && d.height <= 1u << 20;
}

bool separation(const TiffDirectory &d)
{
    return d.photometric == PHOTOMETRIC_SEPARATED && d.colourSamples() >= 4;
}

} // namespace

bool decodesInBands(TIFF *tiff, const TiffDirectory &d)
{
    if (!sizeAllowed(d) || !directRoute(d))
        return false;
    if (stripsShareData(tiff)) {
        qDebug() << "TIFF refused: its strips share their data";
        return false;
    }
    return true;
}

int bandRowsFor(TIFF *tiff, const TiffDirectory &d, qint64 pixels)
{
    const int bytes = std::max(1, d.bitsPerSample / 8);
    const qint64 unit = TIFFIsTiled(tiff) ? qMax<uint32_t>(1, tileShape(tiff, d, bytes).height)
                                          : qint64(stripShape(tiff, d, bytes).rows);
    const qint64 wanted = std::max<qint64>(1, pixels / std::max<quint32>(1, d.width));
    return int(std::min<qint64>(d.height, std::max<qint64>(1, wanted / unit) * unit));
}

QVector<QImage> decodeDirectoryRows(TIFF *tiff, const TiffDirectory &d, int first, int count, QVector<QImage> *spare)
{
    const int bytes = std::max(1, d.bitsPerSample / 8);
    DecodePlan plan;
    plan.first = first;
    plan.rows = count;
    plan.spare = spare;
    if (count <= 0 || qint64(first) + count > d.height || !makePlan(plan, d, bytes))
        return {};
    const bool decoded = TIFFIsTiled(tiff) ? decodeTiles(tiff, d, plan, bytes) : decodeStrips(tiff, d, plan, bytes);
    if (!decoded)
        return {};
    QVector<QImage> images;
    for (const OutputImage &output : plan.outputs)
        images.push_back(output.image);
    if (separation(d) && d.associatedAlpha) {
        if (bytes == 2)
            unpremultiplyInks<quint16>(images[0], images[1]);
        else
            unpremultiplyInks<quint8>(images[0], images[1]);
    }
    return images;
}

QVector<QImage> decodeDirectory(TIFF *tiff, const TiffDirectory &d)
{
    if (!sizeAllowed(d) || qint64(d.width) * d.height * 8 > maxImageBytes)
        return {};
    const bool direct = directRoute(d);
    const int bytes = std::max(1, d.bitsPerSample / 8);
    if (!withinLimits(tiff, d, bytes, direct))
        return {};
    if (!direct)
        return d.photometric == PHOTOMETRIC_SEPARATED ? QVector<QImage>() : decodeThroughRgba(tiff, d);
    const QVector<QImage> images = decodeDirectoryRows(tiff, d, 0, int(d.height));
    if (images.isEmpty() || !separation(d))
        return images;
    const QImage preview = inkPreview(images[0], images[1]);
    if (!d.isFourInkSeparation())
        return {preview};
    return {preview, images[0], images[1]};
}
