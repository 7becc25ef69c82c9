#include "jpegpicturefile.h"

#include "bandsources.h"
#include "jpegcomments.h"
#include "samplememory.h"
#include "separationrow.h"
#include "workcontrol.h"

#include <atomic>
#include <deque>

namespace {

// 64 rows: four of the decoder's bands, enough to keep a pass's threads busy, few enough
// that a band is still in the cache when it is counted.
constexpr int bandRows = 4 * JpegDecoder::maxBandRows;

// A band of rows [top, top + rows) decoded in the picture's own formats:
// grey as Grayscale8, colour as RGB32 (Qt's reader's pixels), four inks as
// the two ink images with full coverage.
struct JpegBand {
    QImage picture;
    QImage inks;
    QImage black;
};

bool unheld(const QImage &image)
{
    return image.isNull() || image.isDetached();
}

// The images for a band of rows: those of an earlier band once the pass has
// let go of them, so that the system need not hand out and clear new pages
// for every band, or new ones.
JpegBand bandImages(std::deque<JpegBand> &spares, int width, int rows, QImage::Format format, bool inks)
{
    for (auto spare = spares.begin(); spare != spares.end(); ++spare) {
        if (spare->picture.height() == rows && unheld(spare->picture) && unheld(spare->inks) && unheld(spare->black)) {
            // The band's last reader let go of it on another thread.
            std::atomic_thread_fence(std::memory_order_acquire);
            JpegBand band = std::move(*spare);
            spares.erase(spare);
            return band;
        }
    }
    // From the memory kept samples use, which earlier pictures' bands and samples have written already.
    SampleMemory &memory = SampleMemory::shared();
    const QSize size(width, rows);
    JpegBand band{memory.image(size, inks ? QImage::Format_RGBX8888 : format), {}, {}};
    if (inks) {
        band.inks = memory.image(size, QImage::Format_RGBX8888);
        band.black = memory.image(size, QImage::Format_RGBX8888);
    }
    return band;
}

bool decodeRows(JpegDecoder &decoder, QImage &rows, int count)
{
    for (int done = 0; done < count;) {
        const int got = decoder.readRows(rows.scanLine(done), rows.bytesPerLine(), count - done);
        if (got == 0)
            return false;
        done += got;
    }
    return true;
}

void splitInks(const QImage &cmyk, JpegBand &band)
{
    for (int y = 0; y < cmyk.height(); ++y)
        splitSeparationRow(cmyk.constScanLine(y), cmyk.width(), band.inks.scanLine(y), band.black.scanLine(y));
}

} // namespace

JpegPictureFile::JpegPictureFile(const QString &fileName, WorkControl *control) : file(fileName, control)
{
    if (!file.open(QIODevice::ReadOnly)) {
        file.setControl(nullptr);
        return;
    }
    JpegDecoder decoder(&file);
    opened = decoder.readHeader();
    file.setControl(nullptr);
    if (!opened) {
        why = decoder.failure().reason;
        return;
    }
    const JpegHeader &header = decoder.header();
    components = header.components;
    head.size = QSize(header.width, header.height);
    head.description = jpegAttributeText(header);
    head.notes = jpegReadingNotes(header);
    head.icc = header.icc;
    head.format = "jpeg";
    if (components != 4)
        head.pictureChannels = components;
}

bool JpegPictureFile::read(int, int end, const BandTaker &take, WorkControl *control) const
{
    std::lock_guard<std::mutex> guard(reading);
    file.setControl(control);
    why.clear();
    bool done = file.seek(0);
    if (done) {
        JpegDecoder decoder(&file);
        done = decode(decoder, end, take, control);
        if (!done && !workCancelled(control))
            why = decoder.failure() ? decoder.failure().reason : QString("not enough memory for the picture");
    }
    file.setControl(nullptr);
    return done;
}

bool JpegPictureFile::decode(JpegDecoder &decoder, int end, const BandTaker &take, WorkControl *control) const
{
    if (!decoder.readHeader() || !decoder.start(JpegDecoder::Keeping::Bands))
        return false;
    const int width = head.size.width();
    const int height = head.size.height();
    const bool inks = components == 4;
    const QImage::Format format = components == 1 ? QImage::Format_Grayscale8 : QImage::Format_RGB32;
    // A read that stops early still covers its rows; the whole picture is read to its end marker.
    const int last = end >= height ? height : std::min(height, end);
    std::deque<JpegBand> spares;
    for (int top = 0; top < last; top += bandRows) {
        if (workCancelled(control))
            return false;
        const int rows = std::min(bandRows, height - top);
        JpegBand band = bandImages(spares, width, rows, format, inks);
        if (band.picture.isNull() || !decodeRows(decoder, band.picture, rows))
            return false;
        if (inks) {
            if (band.inks.isNull() || band.black.isNull())
                return false;
            splitInks(band.picture, band);
            take(bandSources({}, band.inks, band.black, channels), top);
        } else {
            take(bandSources(band.picture, {}, {}, channels), top);
        }
        // As many as a pass holds at once: the bands queued and counted.
        spares.push_back(std::move(band));
        if (spares.size() > 4)
            spares.pop_front();
    }
    return last < height || decoder.finish();
}
