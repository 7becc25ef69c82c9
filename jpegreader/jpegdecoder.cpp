#include "jpegdecoder.h"

#include "inkpreview.h"
#include "jpegiccchunks.h"
#include "memorybudget.h"

#include <QIODevice>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <functional>

#include <jpeglib.h>
#include <jerror.h>

namespace {

// libjpeg reads through the device, a buffer at a time. At the end of the
// data it gets libjpeg's own end-of-file warning and a made-up end marker.
// The last bytes read before stay in front of each new buffer, so that the
// bytes libjpeg skips before the end marker can be looked at.
struct DeviceSource {
    static constexpr qint64 keptBytes = 64;
    static constexpr qint64 readBytes = 65536;
    jpeg_source_mgr manager;
    QIODevice *device;
    JOCTET bytes[keptBytes + readBytes];
    // Bytes before bytes + keptBytes that the file holds, and bytes read after.
    qint64 kept;
    qint64 read;

    const JOCTET *readStart() const { return bytes + keptBytes; }
    const JOCTET *keptStart() const { return readStart() - kept; }
};

void initSource(j_decompress_ptr) {}

void keepLastBytes(DeviceSource *source)
{
    const qint64 known = source->kept + source->read;
    const qint64 keep = std::min(known, DeviceSource::keptBytes);
    std::memmove(source->bytes + DeviceSource::keptBytes - keep, source->keptStart() + known - keep, size_t(keep));
    source->kept = keep;
    source->read = 0;
}

boolean fillInputBuffer(j_decompress_ptr info)
{
    static const JOCTET endOfImage[2] = {0xFF, JPEG_EOI};
    auto *source = reinterpret_cast<DeviceSource *>(info->src);
    keepLastBytes(source);
    const qint64 got =
        source->device->read(reinterpret_cast<char *>(source->bytes + DeviceSource::keptBytes), DeviceSource::readBytes);
    if (got <= 0) {
        WARNMS(info, JWRN_JPEG_EOF);
        source->manager.next_input_byte = endOfImage;
        source->manager.bytes_in_buffer = sizeof endOfImage;
        return TRUE;
    }
    source->read = got;
    source->manager.next_input_byte = source->readStart();
    source->manager.bytes_in_buffer = size_t(got);
    return TRUE;
}

// Whether the count bytes libjpeg skipped before the marker it has just
// found are zeros, as writers that pad leave them; damaged coded data leaves
// anything. The marker's own bytes (0xFF fill and its code) are passed over,
// wherever libjpeg's reading position stands in them.
bool skippedBytesAreZeros(const DeviceSource &source, long count, int markerCode)
{
    const JOCTET *first = source.keptStart();
    const JOCTET *end = source.manager.next_input_byte;
    // After the end of the data libjpeg reads a made-up marker of its own.
    const std::less<const JOCTET *> before;
    if (before(end, first) || before(source.readStart() + source.read, end))
        return false;
    while (end > first && (end[-1] == 0xFF || end[-1] == markerCode))
        --end;
    return count > 0 && end - first >= count && std::all_of(end - count, end, [](JOCTET b) { return b == 0; });
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

// Errors and the end of the data end the decoding through a jump back to
// the caller. Warnings while the header is read (stray bytes between
// markers, which libjpeg skips) leave the picture whole; a warning while
// the scans are decoded means corrupt data and is kept, so the picture is
// refused (the scan limit still bounds the time of a progressive one).
struct ErrorManager {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    JpegFailure::Kind kind;
    bool decoding;
    bool finishing;
};

[[noreturn]] void stop(j_common_ptr info, JpegFailure::Kind kind)
{
    auto *errors = reinterpret_cast<ErrorManager *>(info->err);
    errors->kind = kind;
    info->err->format_message(info, errors->message);
    std::longjmp(errors->jump, 1);
}

// The first sign of damage is the reason, not what it led to.
void errorExit(j_common_ptr info)
{
    auto *errors = reinterpret_cast<ErrorManager *>(info->err);
    if (errors->kind == JpegFailure::Kind::Damaged)
        std::longjmp(errors->jump, 1);
    stop(info, JpegFailure::Kind::Damaged);
}

void emitMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return;
    auto *errors = reinterpret_cast<ErrorManager *>(info->err);
    if (info->err->msg_code == JWRN_JPEG_EOF)
        stop(info, JpegFailure::Kind::CutOff);
    // Once every pixel is out, zeros before the end marker, which some
    // writers leave, change none of them; any other warning still counts.
    const auto *source = reinterpret_cast<const DeviceSource *>(reinterpret_cast<j_decompress_ptr>(info)->src);
    const bool harmless = errors->finishing && info->err->msg_code == JWRN_EXTRANEOUS_DATA &&
                          skippedBytesAreZeros(*source, info->err->msg_parm.i[0], info->err->msg_parm.i[1]);
    if (errors->decoding && !harmless && errors->kind == JpegFailure::Kind::None) {
        errors->kind = JpegFailure::Kind::Damaged;
        info->err->format_message(info, errors->message);
    }
}

// Called before each step of the input; a scan beyond the limit ends it.
void watchScans(j_common_ptr info)
{
    auto *decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number <= JpegDecoder::maxScans)
        return;
    auto *errors = reinterpret_cast<ErrorManager *>(info->err);
    errors->kind = JpegFailure::Kind::TooManyScans;
    std::snprintf(errors->message, sizeof errors->message, "it has more than %d scans", JpegDecoder::maxScans);
    std::longjmp(errors->jump, 1);
}

} // namespace

// One libjpeg decompression with its source, errors and scan watch.
struct JpegDecoder::Decompression {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    DeviceSource source{};
    jpeg_progress_mgr progress{};

    explicit Decompression(QIODevice *device)
    {
        info.err = jpeg_std_error(&errors.manager);
        errors.manager.error_exit = errorExit;
        errors.manager.emit_message = emitMessage;
        jpeg_create_decompress(&info);
        source.device = device;
        source.manager.init_source = initSource;
        source.manager.fill_input_buffer = fillInputBuffer;
        source.manager.skip_input_data = skipInputData;
        source.manager.resync_to_restart = jpeg_resync_to_restart;
        source.manager.term_source = termSource;
        info.src = &source.manager;
        progress.progress_monitor = watchScans;
        info.progress = &progress;
        // libjpeg's own buffers stay within what a load may take.
        info.mem->max_memory_to_use = long(loadMemoryBudget().bytes);
    }
    ~Decompression() { jpeg_destroy_decompress(&info); }
    Decompression(const Decompression &) = delete;
    Decompression &operator=(const Decompression &) = delete;
};

namespace {

// The steps that may jump back live in functions of their own that create
// no C++ objects, so a jump skips no destructor.
bool headerSteps(jpeg_decompress_struct *info, ErrorManager *errors)
{
    if (setjmp(errors->jump))
        return false;
    jpeg_save_markers(info, JPEG_COM, 0xFFFF);
    jpeg_save_markers(info, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(info, TRUE);
    return true;
}

// Qt's reader decodes with libjpeg's defaults at its default quality.
bool startSteps(jpeg_decompress_struct *info, ErrorManager *errors, J_COLOR_SPACE output)
{
    if (setjmp(errors->jump))
        return false;
    errors->decoding = true;
    info->out_color_space = output;
    info->dct_method = JDCT_ISLOW;
    info->do_fancy_upsampling = TRUE;
    jpeg_start_decompress(info);
    return true;
}

int rowSteps(jpeg_decompress_struct *info, ErrorManager *errors, uchar *rows, qsizetype stride, int count)
{
    if (setjmp(errors->jump))
        return 0;
    JSAMPROW pointers[JpegDecoder::maxBandRows];
    for (int i = 0; i < count; ++i)
        pointers[i] = rows + i * stride;
    int done = 0;
    while (done < count && info->output_scanline < info->output_height)
        done += int(jpeg_read_scanlines(info, pointers + done, JDIMENSION(count - done)));
    return done;
}

bool finishSteps(jpeg_decompress_struct *info, ErrorManager *errors)
{
    if (setjmp(errors->jump))
        return false;
    errors->finishing = true;
    jpeg_finish_decompress(info);
    return true;
}

// Colour comes out in the byte order of QImage::Format_RGB32, with the
// unused byte set to 0xFF, so rows go straight into the picture.
J_COLOR_SPACE outputSpace(int components)
{
    const J_COLOR_SPACE rgb32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    return components == 1 ? JCS_GRAYSCALE : components == 3 ? rgb32 : JCS_CMYK;
}

} // namespace

JpegDecoder::JpegDecoder(QIODevice *device) : d(new Decompression(device)) {}

JpegDecoder::~JpegDecoder() = default;

bool JpegDecoder::fail()
{
    why.kind = d->errors.kind;
    why.reason = QString::fromLatin1(d->errors.message);
    if (why.kind == JpegFailure::Kind::CutOff)
        why.reason = "the file ends before its picture does; it is cut off";
    return false;
}

void JpegDecoder::takeHeader()
{
    const jpeg_decompress_struct &info = d->info;
    head.width = int(info.image_width);
    head.height = int(info.image_height);
    head.components = info.num_components;
    head.adobeMarker = info.saw_Adobe_marker;
    head.densityUnit = info.density_unit;
    head.densityX = info.X_density;
    head.densityY = info.Y_density;
    QList<QByteArray> app2;
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
        const QByteArray data(reinterpret_cast<const char *>(marker->data), int(marker->data_length));
        if (marker->marker == JPEG_COM)
            head.comments << data;
        else
            app2 << data;
    }
    head.icc = joinIccChunks(app2, &head.iccProblem);
}

bool JpegDecoder::readHeader()
{
    if (!headerSteps(&d->info, &d->errors))
        return fail();
    takeHeader();
    return true;
}

bool JpegDecoder::fitsLimits()
{
    const qint64 pageBytes = qint64(head.width) * head.height * 4;
    why.kind = JpegFailure::Kind::TooLarge;
    if (head.width <= 0 || head.height <= 0 || pageBytes > maxImageBytes) {
        why.reason = QString("%1 x %2 pixels is larger than a picture may be").arg(head.width).arg(head.height);
        return false;
    }
    // A separation is three images: the preview and two of inks.
    const qint64 need = head.components == 4 ? 3 * pageBytes : pageBytes;
    const MemoryBudget budget = loadMemoryBudget();
    if (!budget.allows(need)) {
        why.reason = QString("%1 x %2 pixels need %3; a load may take %4 (%5)")
                         .arg(head.width)
                         .arg(head.height)
                         .arg(memoryText(need), memoryText(budget.bytes), budget.source);
        return false;
    }
    why.kind = JpegFailure::Kind::None;
    return true;
}

bool JpegDecoder::start(Keeping keeping)
{
    if (head.components != 1 && head.components != 3 && head.components != 4) {
        why = {JpegFailure::Kind::Unsupported,
               QString("the frame has %1 components; grey, RGB and four-ink JPEGs can be read").arg(head.components)};
        return false;
    }
    if (keeping == Keeping::WholePicture && !fitsLimits())
        return false;
    if (!startSteps(&d->info, &d->errors, outputSpace(head.components)))
        return fail();
    return true;
}

int JpegDecoder::samplesPerPixel() const
{
    return d->info.output_components;
}

int JpegDecoder::nextRow() const
{
    return int(d->info.output_scanline);
}

int JpegDecoder::readRows(uchar *rows, qsizetype stride, int count)
{
    const int done = rowSteps(&d->info, &d->errors, rows, stride, qBound(0, count, maxBandRows));
    if (d->errors.kind != JpegFailure::Kind::None) {
        fail();
        return 0;
    }
    // Inks stored inverted, as with Adobe's marker, come back as ink values.
    if (head.components == 4 && head.adobeMarker) {
        const qsizetype bytes = qsizetype(d->info.output_width) * 4;
        for (int r = 0; r < done; ++r)
            for (uchar *at = rows + r * stride, *end = at + bytes; at < end; ++at)
                *at = uchar(255 - *at);
    }
    return done;
}

bool JpegDecoder::finish()
{
    if (d->errors.kind != JpegFailure::Kind::None || !finishSteps(&d->info, &d->errors) ||
        d->errors.kind != JpegFailure::Kind::None)
        return fail();
    return true;
}
