#pragma once

#include "jpegdecoder.h"
#include "picturefile.h"
#include "progressfile.h"

#include <mutex>

// A JPEG decoded from its start at every read, band by band: a JPEG cannot
// be entered in the middle.
class JpegPictureFile : public PictureFile
{
public:
    // Reads the header; isOpen() tells whether it was read.
    JpegPictureFile(const QString &fileName, WorkControl *control);
    bool isOpen() const override { return opened; }
    bool hasInkImages() const override { return components == 4; }
    bool read(int first, int end, const BandTaker &take, WorkControl *control) const override;

private:
    bool decode(JpegDecoder &decoder, int end, const BandTaker &take, WorkControl *control) const;

    mutable ProgressFile file;
    int components = 0;
    bool opened = false;
    mutable std::mutex reading;
};
