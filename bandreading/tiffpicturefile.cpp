#include "tiffpicturefile.h"

#include "bandsources.h"
#include "tiffdecoder.h"
#include "workcontrol.h"

// The file reads through the opening's control only while the constructor runs.
struct TiffPictureFile::ControlDuringOpening {
    explicit ControlDuringOpening(ProgressFile &file) : file(file) {}
    ~ControlDuringOpening() { file.setControl(nullptr); }
    ProgressFile &file;
};

TiffPictureFile::TiffPictureFile(const QString &fileName, WorkControl *control, qint64 bandPixels)
    : file(fileName, control)
{
    const ControlDuringOpening opening(file);
    routeTiffMessagesToDebug();
    if (!file.open(QIODevice::ReadOnly))
        return;
    TiffHandle opened = openTiff(&file);
    if (!opened)
        return;
    directory = readDirectory(opened.get(), true);
    if (!decodesInBands(opened.get(), directory))
        return;
    bandRows = bandRowsFor(opened.get(), directory, bandPixels);
    head.size = QSize(int(directory.width), int(directory.height));
    head.description = directory.attributeText().trimmed();
    head.icc = directory.iccProfile;
    head.format = "tiff";
    tiff = std::move(opened);
}

bool TiffPictureFile::read(int first, int end, const BandTaker &take, WorkControl *control) const
{
    std::lock_guard<std::mutex> guard(reading);
    file.setControl(control);
    const bool done = readBands(first, end, take, control);
    file.setControl(nullptr);
    return done;
}

bool TiffPictureFile::readBands(int first, int end, const BandTaker &take, WorkControl *control) const
{
    const int height = head.size.height();
    end = std::min(end, height);
    for (int top = std::max(0, first) / bandRows * bandRows; top < end; top += bandRows) {
        if (workCancelled(control))
            return false;
        const int rows = std::min(bandRows, height - top);
        const QVector<QImage> images = decodeDirectoryRows(tiff.get(), directory, top, rows);
        if (images.isEmpty()) {
            why = workCancelled(control) ? QString() : QString("the image data cannot be decoded");
            return false;
        }
        const bool inks = directory.photometric == PHOTOMETRIC_SEPARATED && directory.colourSamples() >= 4;
        take(inks ? bandSources({}, images[0], images[1], channels) : bandSources(images[0], {}, {}, channels), top);
        reportWork(control, double(top + rows) / height);
    }
    return true;
}
