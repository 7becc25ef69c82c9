#pragma once

#include "picturefile.h"
#include "progressfile.h"
#include "tiffdirectory.h"

#include <mutex>

// The first directory of a TIFF, decoded strip by strip (or by rows of
// tiles) into bands.
class TiffPictureFile : public PictureFile
{
public:
    // Reads the first directory; isOpen() tells whether it can be decoded in bands.
    TiffPictureFile(const QString &fileName, WorkControl *control, qint64 bandPixels);
    bool isOpen() const override { return tiff != nullptr; }
    bool hasInkImages() const override { return directory.isFourInkSeparation(); }
    bool read(int first, int end, const BandTaker &take, WorkControl *control) const override;

private:
    struct ControlDuringOpening;
    bool readBands(int first, int end, const BandTaker &take, WorkControl *control) const;

    mutable ProgressFile file;
    TiffHandle tiff;
    TiffDirectory directory;
    int bandRows = 0;
    // One libtiff handle reads one strip at a time.
    mutable std::mutex reading;
};
