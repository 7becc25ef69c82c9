#pragma once

#include "picturerows.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

class WorkControl;

// What a picture file tells before its pixels are read.
struct PictureHeader {
    QSize size;
    // The attribute text, as QImageReader gives it for the key "Description".
    QString description;
    // Fallbacks the reader took, in words.
    QStringList notes;
    QByteArray icc;
    // The reader's name of the format: "tiff", "jpeg", "png" ...
    QByteArray format;
    // For a file that states no inks, the channels its picture codes: 1 for
    // grey, 3 for colour; 0 when the reader does not tell.
    int pictureChannels = 0;
};

// An opened picture file that hands out its rows in bands, as often as
// asked, without keeping the picture: decoding again is the price of
// memory that does not grow with the picture.
class PictureFile : public PictureRows
{
public:
    const PictureHeader &header() const { return head; }
    QSize size() const override { return head.size; }
    int channelCount() const override { return channels; }
    // The channel count the bands are measured with, decided from the attributes.
    void setChannelCount(int count) { channels = count; }
    // Whether the file holds a separation's ink images, which four channels need.
    virtual bool hasInkImages() const = 0;
    // Whether the header was read; failure() says why not.
    virtual bool isOpen() const = 0;
    // Why opening or the last read failed, in English; empty when it did not.
    QString failure() const { return why; }

protected:
    PictureHeader head;
    int channels = 0;
    mutable QString why;
};

// Bands of about this many pixels keep a pass's memory small (several are
// decoded and counted at once) and its threads busy.
constexpr qint64 defaultBandPixels = qint64(1) << 20;

// Opens fileName: TIFF and JPEG files are read in bands by the program's
// decoders (TIFF bands of about bandPixels pixels, whole strips or rows of
// tiles), any other picture Qt reads whole, as one band. Opening reads
// through control: it reports progress and fails once it is cancelled.
std::unique_ptr<PictureFile> openPictureFile(const QString &fileName, WorkControl *control,
                                             qint64 bandPixels = defaultBandPixels);
