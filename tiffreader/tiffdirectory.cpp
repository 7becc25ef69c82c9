#include "tiffdirectory.h"

#include "memorybudget.h"

#include <QDebug>
#include <QIODevice>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace {

struct DeviceHandle {
    QIODevice *device;
    qint64 start;
    // What libtiff could not read of the file's directory, in its words.
    QString damage;
};

tmsize_t readProc(thandle_t handle, void *buffer, tmsize_t size)
{
    auto *d = static_cast<DeviceHandle *>(handle);
    return d->device->read(static_cast<char *>(buffer), size);
}

tmsize_t writeProc(thandle_t, void *, tmsize_t)
{
    return -1;
}

toff_t seekProc(thandle_t handle, toff_t offset, int whence)
{
    auto *d = static_cast<DeviceHandle *>(handle);
    qint64 target = qint64(offset);
    if (whence == SEEK_CUR)
        target += d->device->pos() - d->start;
    else if (whence == SEEK_END)
        target += d->device->size() - d->start;
    if (target < 0 || !d->device->seek(d->start + target))
        return toff_t(-1);
    return toff_t(target);
}

int closeProc(thandle_t handle)
{
    delete static_cast<DeviceHandle *>(handle);
    return 0;
}

toff_t sizeProc(thandle_t handle)
{
    auto *d = static_cast<DeviceHandle *>(handle);
    return toff_t(d->device->size() - d->start);
}

int mapProc(thandle_t, void **, toff_t *)
{
    return 0;
}

void unmapProc(thandle_t, void *, toff_t)
{
}

QString formatted(const char *format, va_list arguments)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    return QString::fromLocal8Bit(text);
}

void tiffWarning(const char *module, const char *format, va_list arguments)
{
    qDebug() << "TIFF warning:" << module << formatted(format, arguments);
}

// libtiff drops a tag it cannot read with a warning and carries on without
// it: a palette picture without its colour map would come out as grey
// levels, a picture without its strips as blank rows. Data beyond the file's
// end, or a damaged tag the pixels depend on, means a damaged file.
bool damageWarning(const QString &text)
{
    static const QStringList pixelTags = {"\"StripOffsets\"", "\"StripByteCounts\"", "\"TileOffsets\"",
                                          "\"TileByteCounts\"", "\"ColorMap\""};
    if (text.startsWith("IO error during reading of"))
        return true;
    return text.endsWith("tag ignored") &&
           std::any_of(pixelTags.begin(), pixelTags.end(), [&](const QString &tag) { return text.contains(tag); });
}

// Keeps the first sign of damage; every warning still goes on to the debug stream.
int recordDamage(TIFF *, void *handle, const char *, const char *format, va_list arguments)
{
    auto *d = static_cast<DeviceHandle *>(handle);
    if (d->damage.isEmpty()) {
        const QString text = formatted(format, arguments);
        if (damageWarning(text))
            d->damage = text;
    }
    return 0;
}

void tiffError(const char *module, const char *format, va_list arguments)
{
    qDebug() << "TIFF error:" << module << formatted(format, arguments);
}

template <typename T>
T tagOr(TIFF *tiff, ttag_t tag, T fallback)
{
    T value = fallback;
    return TIFFGetField(tiff, tag, &value) ? value : fallback;
}

} // namespace

void routeTiffMessagesToDebug()
{
    TIFFSetWarningHandler(tiffWarning);
    TIFFSetErrorHandler(tiffError);
}

TiffHandle openTiff(QIODevice *device, QString *damage)
{
    auto handle = std::make_unique<DeviceHandle>(DeviceHandle{device, device->pos(), QString()});
    // libtiff's own buffers stay within what a load may take.
    std::unique_ptr<TIFFOpenOptions, decltype(&TIFFOpenOptionsFree)> options(TIFFOpenOptionsAlloc(),
                                                                            &TIFFOpenOptionsFree);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t(loadMemoryBudget().bytes));
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), recordDamage, handle.get());
    // "m": read through the device, never map it.
    TiffHandle tiff(TIFFClientOpenExt("image", "rm", handle.get(), readProc, writeProc, seekProc, closeProc, sizeProc,
                                      mapProc, unmapProc, options.get()));
    // Once open, libtiff closes the handle through closeProc; a refused file never reaches it.
    if (!tiff)
        return tiff;
    DeviceHandle *opened = handle.release();
    if (opened->damage.isEmpty())
        return tiff;
    if (damage)
        *damage = opened->damage;
    return nullptr;
}

TiffDirectory readDirectory(TIFF *tiff, bool withTexts)
{
    TiffDirectory d;
    d.width = tagOr<uint32_t>(tiff, TIFFTAG_IMAGEWIDTH, 0);
    d.height = tagOr<uint32_t>(tiff, TIFFTAG_IMAGELENGTH, 0);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &d.samplesPerPixel);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &d.bitsPerSample);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &d.sampleFormat);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &d.planarConfig);
    d.photometric = tagOr<uint16_t>(tiff, TIFFTAG_PHOTOMETRIC, d.samplesPerPixel >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);

    uint16_t extraCount = 0;
    uint16_t *extraKinds = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extraKinds) && extraCount < d.samplesPerPixel) {
        d.extraSamples = extraCount;
        if (extraCount > 0) {
            d.alpha = extraKinds[0] == EXTRASAMPLE_ASSOCALPHA || extraKinds[0] == EXTRASAMPLE_UNASSALPHA;
            d.associatedAlpha = extraKinds[0] == EXTRASAMPLE_ASSOCALPHA;
        }
    }
    uint16_t inks = 0;
    d.numberOfInks = TIFFGetField(tiff, TIFFTAG_NUMBEROFINKS, &inks) ? inks : d.colourSamples();
    // One index per pixel, but the colour map makes it an RGB picture.
    if (d.photometric == PHOTOMETRIC_PALETTE)
        d.numberOfInks = 3;

    if (!withTexts)
        return d;
    char *description = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &description) && description)
        d.imageDescription = QString::fromUtf8(description);
    uint32_t iccSize = 0;
    void *iccData = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &iccSize, &iccData) && iccData && iccSize > 0)
        d.iccProfile = QByteArray(static_cast<const char *>(iccData), int(iccSize));
    return d;
}

int TiffDirectory::deliveredPhotometric() const
{
    switch (photometric) {
    case PHOTOMETRIC_PALETTE:
    case PHOTOMETRIC_YCBCR:
        return PHOTOMETRIC_RGB;
    case PHOTOMETRIC_MINISWHITE:
        return PHOTOMETRIC_MINISBLACK;
    default:
        return photometric;
    }
}

QString TiffDirectory::attributeText() const
{
    QString text = QString("NumberOfInks:%1;Photometric:%2").arg(numberOfInks).arg(deliveredPhotometric());
    if (!imageDescription.isEmpty())
        text += ";" + imageDescription;
    return text;
}
