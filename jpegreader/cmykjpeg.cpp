#include "cmykjpeg.h"

#include "inkpreview.h"
#include "memorybudget.h"

#include <QDebug>
#include <QIODevice>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// libjpeg reads through the device, a buffer at a time; the end of the data
// is an error, never a picture filled up with grey.
struct DeviceSource {
    jpeg_source_mgr manager;
    QIODevice *device;
    JOCTET buffer[65536];
};

void initSource(j_decompress_ptr) {}

boolean fillInputBuffer(j_decompress_ptr info)
{
    auto *source = reinterpret_cast<DeviceSource *>(info->src);
    const qint64 got = source->device->read(reinterpret_cast<char *>(source->buffer), sizeof source->buffer);
    if (got <= 0)
        ERREXIT(info, JERR_INPUT_EOF);
    source->manager.next_input_byte = source->buffer;
    source->manager.bytes_in_buffer = size_t(got);
    return TRUE;
}

void skipInputData(j_decompress_ptr info, long count)
{
    auto *source = reinterpret_cast<DeviceSource *>(info->src);
    while (count > long(source->manager.bytes_in_buffer)) {
        count -= long(source->manager.bytes_in_buffer);
        fillInputBuffer(info);
    }
    source->manager.next_input_byte += count;
    source->manager.bytes_in_buffer -= size_t(count);
}

void termSource(j_decompress_ptr) {}

// Errors end the reading through a jump back to the caller; warnings (corrupt
// data) are kept, since a picture with them cannot be measured.
struct ErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool corrupt;
};

void errorExit(j_common_ptr info)
{
    auto *errors = reinterpret_cast<ErrorManager *>(info->err);
    info->err->format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

void emitMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    auto *errors = reinterpret_cast<ErrorManager *>(info->err);
    if (!errors->corrupt)
        info->err->format_message(info, errors->message);
    errors->corrupt = true;
}

// One decompression with its source and errors; closed on every way out.
class Decompression
{
public:
    explicit Decompression(QIODevice *device)
    {
        info.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = errorExit;
        errors.manager.emit_message = emitMessage;
        errors.message[0] = '\0';
        errors.corrupt = false;
        jpeg_create_decompress(&info);
        source.device = device;
        source.manager.init_source = initSource;
        source.manager.fill_input_buffer = fillInputBuffer;
        source.manager.skip_input_data = skipInputData;
        source.manager.resync_to_restart = jpeg_resync_to_restart;
        source.manager.term_source = termSource;
        source.manager.bytes_in_buffer = 0;
        source.manager.next_input_byte = nullptr;
        info.src = &source.manager;
        // libjpeg's own buffers stay within what a load may take.
        info.mem->max_memory_to_use = long(loadMemoryBudget().bytes);
    }
    ~Decompression() { jpeg_destroy_decompress(&info); }
    Decompression(const Decompression &) = delete;
    Decompression &operator=(const Decompression &) = delete;

    jpeg_decompress_struct info{};
    ErrorManager errors{};
    DeviceSource source{};

    QString reason() const { return QString::fromLatin1(errors.message); }
};

// The steps that may jump back live in functions of their own that create
// no C++ objects, so a jump skips no destructor.
bool readHeaderSteps(Decompression &d)
{
    if (setjmp(d.errors.jump))
        return false;
    jpeg_save_markers(&d.info, JPEG_COM, 0xFFFF);
    jpeg_save_markers(&d.info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&d.info, TRUE);
    return true;
}

bool startSteps(Decompression &d)
{
    if (setjmp(d.errors.jump))
        return false;
    d.info.out_color_space = JCS_CMYK;
    jpeg_start_decompress(&d.info);
    return d.info.output_components == 4;
}

// Rows of stored C, M, Y, K into the two ink images, inverted when stored so.
bool scanlineSteps(Decompression &d, JSAMPLE *row, uchar *inks, uchar *black, qsizetype inksStride,
                   qsizetype blackStride, bool inverted)
{
    if (setjmp(d.errors.jump))
        return false;
    const JDIMENSION width = d.info.output_width;
    const JSAMPLE flip = inverted ? 255 : 0;
    while (d.info.output_scanline < d.info.output_height) {
        const JDIMENSION y = d.info.output_scanline;
        jpeg_read_scanlines(&d.info, &row, 1);
        uchar *ink = inks + qsizetype(y) * inksStride;
        uchar *rest = black + qsizetype(y) * blackStride;
        for (JDIMENSION x = 0; x < width; ++x) {
            ink[4 * x] = row[4 * x] ^ flip;
            ink[4 * x + 1] = row[4 * x + 1] ^ flip;
            ink[4 * x + 2] = row[4 * x + 2] ^ flip;
            ink[4 * x + 3] = 255;
            rest[4 * x] = row[4 * x + 3] ^ flip;
        }
    }
    jpeg_finish_decompress(&d.info);
    return true;
}

void takeMarkers(Decompression &d, JpegHeader *header)
{
    header->width = int(d.info.image_width);
    header->height = int(d.info.image_height);
    header->components = d.info.num_components;
    header->adobeMarker = d.info.saw_Adobe_marker;
    for (jpeg_saved_marker_ptr marker = d.info.marker_list; marker; marker = marker->next)
        if (marker->marker == JPEG_COM)
            header->comments << QByteArray(reinterpret_cast<const char *>(marker->data), int(marker->data_length));
    JOCTET *icc = nullptr;
    unsigned int iccSize = 0;
    // libjpeg puts the chunks together by their sequence numbers and gives
    // nothing, with a warning, when one is missing or repeated: the picture
    // then has no profile, but is not corrupt.
    const bool corrupt = d.errors.corrupt;
    if (jpeg_read_icc_profile(&d.info, &icc, &iccSize) && icc)
        header->icc = QByteArray(reinterpret_cast<const char *>(icc), int(iccSize));
    d.errors.corrupt = corrupt;
    std::free(icc);
}

bool fitsLimits(const JpegHeader &header, QString *error)
{
    const qint64 pageBytes = qint64(header.width) * header.height * 4;
    if (header.width <= 0 || header.height <= 0 || pageBytes > maxImageBytes) {
        *error = QString("%1 x %2 pixels is larger than a picture may be").arg(header.width).arg(header.height);
        return false;
    }
    // The preview and the two ink images.
    const MemoryBudget budget = loadMemoryBudget();
    if (!budget.allows(3 * pageBytes)) {
        *error = QString("%1 x %2 pixels need %3; a load may take %4 (%5)")
                     .arg(header.width)
                     .arg(header.height)
                     .arg(memoryText(3 * pageBytes), memoryText(budget.bytes), budget.source);
        return false;
    }
    return true;
}

} // namespace

bool hasFourComponentFrame(QIODevice *device)
{
    if (!device)
        return false;
    // Large profiles and metadata may come before the frame header.
    for (qint64 wanted = 4096; wanted <= (qint64(1) << 24); wanted *= 4) {
        const QByteArray head = device->peek(wanted);
        if (head.size() < 4 || uchar(head[0]) != 0xFF || uchar(head[1]) != 0xD8)
            return false;
        int at = 2;
        while (at + 4 <= head.size()) {
            if (uchar(head[at]) != 0xFF)
                return false;
            const uchar marker = uchar(head[at + 1]);
            if (marker == 0xFF) {
                ++at;
                continue;
            }
            const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
            if (frame && at + 10 <= head.size())
                return uchar(head[at + 9]) == 4;
            if (frame || marker == 0xDA)
                break;
            at += 2 + ((uchar(head[at + 2]) << 8) | uchar(head[at + 3]));
        }
        if (head.size() < wanted)
            return false;
    }
    return false;
}

bool readJpegHeader(QIODevice *device, JpegHeader *header, QString *error)
{
    const qint64 start = device->pos();
    Decompression d(device);
    const bool read = readHeaderSteps(d);
    if (read)
        takeMarkers(d, header);
    else
        *error = d.reason();
    device->seek(start);
    return read;
}

bool decodeCmykJpeg(QIODevice *device, CmykJpeg *jpeg, QString *error)
{
    Decompression d(device);
    if (!readHeaderSteps(d)) {
        *error = d.reason();
        return false;
    }
    takeMarkers(d, &jpeg->header);
    if (jpeg->header.components != 4) {
        *error = QString("the frame has %1 components, not four").arg(jpeg->header.components);
        return false;
    }
    if (!fitsLimits(jpeg->header, error))
        return false;
    if (!startSteps(d)) {
        *error = d.reason();
        return false;
    }
    QImage inks(int(d.info.output_width), int(d.info.output_height), QImage::Format_RGBX8888);
    QImage black(inks.size(), QImage::Format_RGBX8888);
    if (inks.isNull() || black.isNull()) {
        *error = "not enough memory for the picture";
        return false;
    }
    // Every pixel is fully covered: green holds the coverage.
    black.fill(QColor(0, 255, 0));
    QByteArray row(int(d.info.output_width) * 4, '\0');
    if (!scanlineSteps(d, reinterpret_cast<JSAMPLE *>(row.data()), inks.bits(), black.bits(), inks.bytesPerLine(),
                       black.bytesPerLine(), jpeg->header.adobeMarker) ||
        d.errors.corrupt) {
        *error = d.reason();
        return false;
    }
    jpeg->preview = inkPreview(inks, black);
    jpeg->inks = inks;
    jpeg->blackAndCoverage = black;
    return true;
}
