#pragma once

#include "picturefile.h"
#include "progressfile.h"

#include <QImageReader>

// A picture that Qt's image readers decode whole: the formats and TIFF
// codings the program's band decoders do not read. The picture (and the ink
// images of a separation) stay in memory and make one band.
class ReaderPictureFile : public PictureFile
{
public:
    enum class Reach { NoReader, TooLarge, ReaderFound, Decoded };

    ReaderPictureFile(const QString &fileName, WorkControl *control);
    // How far opening got; failure() says why it stopped.
    Reach reach() const { return got; }
    bool isOpen() const override { return got == Reach::Decoded; }
    bool hasInkImages() const override;
    bool read(int first, int end, const BandTaker &take, WorkControl *control) const override;

private:
    void decode(QImageReader &reader);

    ProgressFile file;
    Reach got = Reach::NoReader;
    QImage picture;
    QImage inks;
    QImage blackAndCoverage;
};
