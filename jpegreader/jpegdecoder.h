#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QtGlobal>

#include <memory>

class QIODevice;

// What the header of a JPEG says, as libjpeg read it.
struct JpegHeader {
    int width = 0;
    int height = 0;
    // Components of the frame: 1 grey, 3 RGB (or YCbCr), 4 CMYK (or YCCK).
    int components = 0;
    // Adobe's APP14 marker: its presence means four-component samples are stored inverted.
    bool adobeMarker = false;
    // The embedded ICC profile, put together from its APP2 chunks; empty when
    // there is none or when its chunks do not fit together (iccProblem says why).
    QByteArray icc;
    QString iccProblem;
    // The COM markers, in file order.
    QList<QByteArray> comments;
    // libjpeg's density: unit 1 dots per inch, 2 dots per centimetre, 0 none.
    int densityUnit = 0;
    int densityX = 0;
    int densityY = 0;
};

// Why a decoding stopped.
struct JpegFailure {
    enum class Kind { None, CutOff, Damaged, TooManyScans, Unsupported, TooLarge };
    Kind kind = Kind::None;
    QString reason;

    explicit operator bool() const { return kind != Kind::None; }
};

// One JPEG decoding with libjpeg, from a device, in bands of rows: first the
// header, then rows into the caller's buffer, then the end. Decodes the way
// Qt's own reader does (accurate integer DCT, fancy upsampling) and gives
// grey as 1 sample a pixel, RGB as 3 and four inks as 4 (C, M, Y, K ink
// values, inverted back when stored inverted). Anything that makes the
// picture untrustworthy ends it with a failure: data cut off, corrupt data
// in the scans, more scans than a real picture has, a picture too large.
class JpegDecoder
{
public:
    // The most rows one call of readRows delivers.
    static constexpr int maxBandRows = 16;
    // Progressive writers use about ten scans (libjpeg's own script for
    // colour has ten), finer scripts a few dozen; 500 leaves them room and
    // is the limit libjpeg-turbo's TurboJPEG API applies on request. Each
    // scan is a pass over its components' coefficients, so thousands of
    // tiny scans over a large picture take minutes; 500 keeps that short.
    static constexpr int maxScans = 500;

    explicit JpegDecoder(QIODevice *device);
    ~JpegDecoder();
    JpegDecoder(const JpegDecoder &) = delete;
    JpegDecoder &operator=(const JpegDecoder &) = delete;

    // Reads the markers up to the first scan; false with the failure.
    bool readHeader();
    const JpegHeader &header() const { return head; }

    // How the decoded rows are kept: the whole picture in memory, or only
    // bands of it at a time, which fit any budget.
    enum class Keeping { WholePicture, Bands };

    // Starts decoding, after readHeader; false with the failure, also for
    // frames other than 1, 3 or 4 components and, kept whole, for pictures
    // larger than a reader may build.
    bool start(Keeping keeping = Keeping::WholePicture);
    // Bytes a decoded pixel takes: 1 for grey, 4 for colour (RGB32 order) and for inks.
    int samplesPerPixel() const;
    int nextRow() const;

    // Decodes up to count (at most maxBandRows) rows into rows, stride bytes
    // apart; returns how many, 0 at the end or on failure.
    int readRows(uchar *rows, qsizetype stride, int count);

    // Reads the rest of the file after the last row, so that a file cut
    // short or damaged there is noticed; false with the failure.
    bool finish();

    const JpegFailure &failure() const { return why; }

private:
    struct Decompression;

    bool fail();
    bool fitsLimits();
    void takeHeader();

    std::unique_ptr<Decompression> d;
    JpegHeader head;
    JpegFailure why;
};
