#include "readerpicturefile.h"

#include "bandsources.h"
#include "imageattributes.h"
#include "memorybudget.h"

#include <QColorSpace>

#include <limits>

namespace {

// What a picture of this size holds at once when it is decoded whole: the
// picture, the ink images of a separation, and its display.
qint64 decodeNeed(QSize size, int numberOfInks)
{
    const qint64 pixels = qint64(size.width()) * size.height();
    const qint64 bytesPerPixel = 4 + (numberOfInks >= 4 ? 16 : 0) + 8 + 4;
    // A header may announce a size whose bytes no qint64 holds; it needs more than any budget.
    if (pixels > std::numeric_limits<qint64>::max() / bytesPerPixel)
        return std::numeric_limits<qint64>::max();
    return pixels * bytesPerPixel;
}

// The program's readers give the reason of a failed read, in English, as the
// device's property "imageReadError"; Qt's readers give none.
QString readFailureReason(const QImageReader &reader)
{
    const QString reason = reader.device()->property("imageReadError").toString();
    return reason.isEmpty() ? reader.errorString() : reason;
}

} // namespace

ReaderPictureFile::ReaderPictureFile(const QString &fileName, WorkControl *control) : file(fileName, control)
{
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return;
    }
    QImageReader reader(&file);
    if (!reader.canRead()) {
        why = reader.errorString();
        return;
    }
    const QSize size = reader.size();
    const MemoryBudget budget = loadMemoryBudget();
    const qint64 need = decodeNeed(size, numberOfInks(parseAttributes(reader.text("Description"))));
    if (size.isValid() && !budget.allows(need)) {
        got = Reach::TooLarge;
        why = QString("%1 × %2 pixels need %3 for the picture, its ink images and the display; a load may take %4 (%5).")
                  .arg(size.width())
                  .arg(size.height())
                  .arg(memoryText(need), memoryText(budget.bytes), budget.source);
        return;
    }
    got = Reach::ReaderFound;
    decode(reader);
    file.setControl(nullptr);
}

void ReaderPictureFile::decode(QImageReader &reader)
{
    // The reader forgets its format once it has read.
    head.format = reader.format();
    head.description = reader.text("Description");
    picture = reader.read();
    if (picture.isNull()) {
        why = readFailureReason(reader);
        return;
    }
    got = Reach::Decoded;
    head.size = picture.size();
    head.notes = picture.text("Notes").split('\n', Qt::SkipEmptyParts);
    head.icc = picture.colorSpace().iccProfile();
    // The same reader goes on to the ink images, so a separation is decoded once.
    if (reader.jumpToImage(1))
        inks = reader.read();
    if (reader.jumpToImage(2))
        blackAndCoverage = reader.read();
    // Grey spreads into green, the coverage's place: a grey ink image holds ink 4 and its coverage in one.
    if (blackAndCoverage.format() == QImage::Format_Grayscale8)
        blackAndCoverage = blackAndCoverage.convertToFormat(QImage::Format_RGBX8888);
}

bool ReaderPictureFile::hasInkImages() const
{
    for (const QImage *page : {&inks, &blackAndCoverage}) {
        if (page->isNull() || page->width() < picture.width() || page->height() < picture.height())
            return false;
    }
    return true;
}

bool ReaderPictureFile::read(int, int, const BandTaker &take, WorkControl *) const
{
    if (channels >= 4)
        take({picture, inks, blackAndCoverage, channels}, 0);
    else
        take({picture, {}, {}, channels}, 0);
    return true;
}
