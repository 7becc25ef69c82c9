#pragma once

#include "picturefile.h"
#include "progressfile.h"
#include "tiffdirectory.h"

#include <deque>
#include <memory>
#include <mutex>
#include <vector>

// The first directory of a TIFF, decoded strip by strip (or by rows of
// tiles) into bands, several bands at once on as many cores.
class TiffPictureFile : public PictureFile
{
public:
    // Reads the first directory; isOpen() tells whether it can be decoded in bands.
    TiffPictureFile(const QString &fileName, WorkControl *control, qint64 bandPixels);
    ~TiffPictureFile() override;
    bool isOpen() const override { return tiff != nullptr; }
    bool hasInkImages() const override { return directory.isFourInkSeparation(); }
    bool read(int first, int end, const BandTaker &take, WorkControl *control) const override;

private:
    struct ControlDuringOpening;
    struct ThreadHandle;
    // A libtiff handle for each decoding thread: one handle reads one strip at a time.
    std::vector<std::unique_ptr<ThreadHandle>> threadHandles(int threads, WorkControl *control) const;
    // The images of a thread's last bands.
    using SpareBands = std::deque<QVector<QImage>>;
    bool decodeBand(TIFF *handle, int top, PixelSources *band, SpareBands *spares) const;

    mutable ProgressFile file;
    TiffHandle tiff;
    TiffDirectory directory;
    int bandRows = 0;
    // One read at a time: the first thread's handle is the file's own.
    mutable std::mutex reading;
};
