#include "tiffpicturefile.h"

#include "bandsources.h"
#include "orderedbands.h"
#include "parallel.h"
#include "tiffdecoder.h"
#include "workcontrol.h"

#include <algorithm>

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

TiffPictureFile::~TiffPictureFile() = default;

// A decoding thread's own file and libtiff handle, at the first directory.
struct TiffPictureFile::ThreadHandle {
    ThreadHandle(const QString &fileName, WorkControl *control) : file(fileName, control) {}
    ProgressFile file;
    TiffHandle tiff;
};

std::vector<std::unique_ptr<TiffPictureFile::ThreadHandle>> TiffPictureFile::threadHandles(int threads,
                                                                                          WorkControl *control) const
{
    std::vector<std::unique_ptr<ThreadHandle>> handles;
    for (int t = 1; t < threads; ++t) {
        auto handle = std::make_unique<ThreadHandle>(file.fileName(), control);
        if (!handle->file.open(QIODevice::ReadOnly) || !(handle->tiff = openTiff(&handle->file)))
            break;
        handles.push_back(std::move(handle));
    }
    return handles;
}

bool TiffPictureFile::read(int first, int end, const BandTaker &take, WorkControl *control) const
{
    std::lock_guard<std::mutex> guard(reading);
    why.clear();
    const int height = head.size.height();
    const int firstTop = std::max(0, first) / bandRows * bandRows;
    const int bands = (std::min(end, height) - firstTop + bandRows - 1) / bandRows;
    file.setControl(control);
    const std::vector<std::unique_ptr<ThreadHandle>> others = threadHandles(std::min(workerThreads(), bands), control);
    // Each thread decodes into the images of its last band once the pass has let go of them.
    std::vector<SpareBands> spares(others.size() + 1);
    const bool done = decodeBandsInOrder(
        bands, int(spares.size()),
        [&](int thread, int band, PixelSources *decoded) {
            return decodeBand(thread == 0 ? tiff.get() : others[size_t(thread - 1)]->tiff.get(),
                              firstTop + band * bandRows, decoded, &spares[size_t(thread)]);
        },
        [&](int band, const PixelSources &decoded) {
            const int top = firstTop + band * bandRows;
            take(decoded, top);
            reportWork(control, double(top + decoded.picture.height()) / height);
        },
        control);
    file.setControl(nullptr);
    if (!done && !workCancelled(control))
        why = "the image data cannot be decoded";
    return done;
}

bool TiffPictureFile::decodeBand(TIFF *handle, int top, PixelSources *band, SpareBands *spares) const
{
    const int rows = std::min(bandRows, head.size.height() - top);
    const auto unheld = std::find_if(spares->begin(), spares->end(), [](const QVector<QImage> &images) {
        return std::all_of(images.begin(), images.end(), [](const QImage &image) { return image.isDetached(); });
    });
    QVector<QImage> *spare = unheld == spares->end() ? nullptr : &*unheld;
    const QVector<QImage> images = decodeDirectoryRows(handle, directory, top, rows, spare);
    if (images.isEmpty())
        return false;
    if (spare) {
        *spare = images;
    } else {
        // As many as a pass holds at once: the bands queued, counted and waiting to be taken.
        spares->push_back(images);
        if (spares->size() > 4)
            spares->pop_front();
    }
    const bool inks = directory.photometric == PHOTOMETRIC_SEPARATED && directory.colourSamples() >= 4;
    *band = inks ? bandSources({}, images[0], images[1], channels) : bandSources(images[0], {}, {}, channels);
    return true;
}
