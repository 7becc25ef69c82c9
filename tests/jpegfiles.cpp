#include "jpegfiles.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

// The ICC profile as APP2 chunks, in the chosen order.
void writeIccChunks(jpeg_compress_struct &info, const CmykJpegFile &file)
{
    const int count = (file.icc.size() + file.iccChunkSize - 1) / file.iccChunkSize;
    QVector<int> order = file.iccChunkOrder;
    if (order.isEmpty())
        for (int i = 1; i <= count; ++i)
            order << i;
    for (int sequence : order) {
        const QByteArray chunk = file.icc.mid((sequence - 1) * file.iccChunkSize, file.iccChunkSize);
        QByteArray marker("ICC_PROFILE\0", 12);
        marker += char(sequence);
        marker += char(count);
        marker += chunk;
        jpeg_write_marker(&info, JPEG_APP0 + 2, reinterpret_cast<const JOCTET *>(marker.constData()),
                          unsigned(marker.size()));
    }
}

// A compression into memory, with libjpeg's defaults for the colour space
// of 1 (grey), 3 (RGB) or 4 (CMYK) components; other counts have none.
void startInMemory(jpeg_compress_struct &info, jpeg_error_mgr &errors, unsigned char **buffer, unsigned long *size,
                   int width, int height, int components)
{
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : components == 4 ? JCS_CMYK
                                                                                                      : JCS_UNKNOWN;
    jpeg_set_defaults(&info);
}

// The file with its last scan (an AC refinement of the first component
// after refinementScript) repeated; none when repeats is 0. libjpeg writes
// no such file, so the repeats are copies of that scan's bytes: its
// tables, header and data.
QByteArray repeatLastScan(const QByteArray &bytes, int repeats)
{
    if (repeats <= 0)
        return bytes;
    const int end = bytes.lastIndexOf("\xFF\xD9");
    int scan = bytes.lastIndexOf("\xFF\xDA");
    const int tables = bytes.lastIndexOf("\xFF\xC4", scan);
    if (tables > bytes.lastIndexOf("\xFF\xDA", scan - 1))
        scan = tables;
    return bytes.left(end) + bytes.mid(scan, end - scan).repeated(repeats) + bytes.mid(end);
}

// DC of all components, AC of each to one bit less, then each AC refined.
void refinementScript(jpeg_compress_struct &info, std::vector<jpeg_scan_info> &scans)
{
    const int n = info.num_components;
    jpeg_scan_info dc{};
    dc.comps_in_scan = n;
    for (int c = 0; c < n; ++c)
        dc.component_index[c] = c;
    scans.push_back(dc);
    for (int pass = 0; pass < 2; ++pass)
        for (int c = n - 1; c >= 0; --c) {
            jpeg_scan_info ac{};
            ac.comps_in_scan = 1;
            ac.component_index[0] = c;
            ac.Ss = 1;
            ac.Se = 63;
            ac.Ah = pass;
            ac.Al = 1 - pass;
            scans.push_back(ac);
        }
    info.scan_info = scans.data();
    info.num_scans = int(scans.size());
}

// The scans (progressive, or the refinement script), entropy coding and
// restart interval a test file asks for.
template <typename File>
void setCoding(jpeg_compress_struct &info, std::vector<jpeg_scan_info> &scans, const File &file)
{
    if (file.repeatedRefinements > 0)
        refinementScript(info, scans);
    else if (file.progressive)
        jpeg_simple_progression(&info);
    info.arith_code = file.arithmetic;
    info.restart_in_rows = file.restartRows;
}

// libjpeg moves the buffer as it grows; its last place is known only once finished.
QByteArray finish(jpeg_compress_struct &info, unsigned char **buffer, unsigned long *size)
{
    jpeg_finish_compress(&info);
    const QByteArray bytes(reinterpret_cast<const char *>(*buffer), int(*size));
    std::free(*buffer);
    jpeg_destroy_compress(&info);
    return bytes;
}

} // namespace

QByteArray cmykJpegBytes(const CmykJpegFile &file)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    startInMemory(info, errors, &buffer, &size, file.width, file.height, 4);
    jpeg_set_colorspace(&info, file.ycck ? JCS_YCCK : JCS_CMYK);
    jpeg_set_quality(&info, file.quality, TRUE);
    for (int c = 0; c < 4; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    if (file.subsampled)
        info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 2;
    std::vector<jpeg_scan_info> scans;
    setCoding(info, scans, file);
    jpeg_start_compress(&info, TRUE);
    for (const QByteArray &comment : file.comments)
        jpeg_write_marker(&info, JPEG_COM, reinterpret_cast<const JOCTET *>(comment.constData()), unsigned(comment.size()));
    if (!file.icc.isEmpty())
        writeIccChunks(info, file);
    std::vector<JSAMPLE> row(size_t(file.width) * 4);
    for (int y = 0; y < file.height; ++y) {
        for (int x = 0; x < file.width; ++x)
            for (int c = 0; c < 4; ++c)
                row[size_t(x * 4 + c)] = JSAMPLE(255 - file.ink(x, y, c));
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    return repeatLastScan(finish(info, &buffer, &size), file.repeatedRefinements);
}

QString writeCmykJpeg(const QString &path, const CmykJpegFile &file)
{
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(cmykJpegBytes(file));
    return path;
}

namespace {

// An Exif block (big-endian TIFF) with the one orientation tag.
QByteArray exifBlock(int orientation)
{
    QByteArray exif("Exif\0\0MM\0\x2A\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0", 25);
    exif += char(orientation);
    exif += QByteArray(6, '\0');
    return exif;
}

} // namespace

QByteArray colourJpegBytes(const ColourJpegFile &file)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    startInMemory(info, errors, &buffer, &size, file.width, file.height, file.components);
    jpeg_set_quality(&info, file.quality, TRUE);
    info.comp_info[0].h_samp_factor = file.hSampling;
    info.comp_info[0].v_samp_factor = file.vSampling;
    std::vector<jpeg_scan_info> scans;
    setCoding(info, scans, file);
    jpeg_start_compress(&info, TRUE);
    if (file.exifOrientation > 0) {
        const QByteArray exif = exifBlock(file.exifOrientation);
        jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET *>(exif.constData()), unsigned(exif.size()));
    }
    std::vector<JSAMPLE> row(size_t(file.width) * size_t(file.components));
    for (int y = 0; y < file.height; ++y) {
        for (int x = 0; x < file.width; ++x)
            for (int c = 0; c < file.components; ++c)
                row[size_t(x * file.components + c)] = JSAMPLE(file.sample(x, y, c));
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    return repeatLastScan(finish(info, &buffer, &size), file.repeatedRefinements);
}

QByteArray withStrayByteBeforeFrame(const QByteArray &bytes)
{
    QByteArray stray = bytes;
    return stray.insert(bytes.indexOf("\xFF\xC0"), '\0');
}

QByteArray withSegmentAfterStart(const QByteArray &bytes, char marker, const QByteArray &payload)
{
    const int length = payload.size() + 2;
    QByteArray segment;
    segment.append('\xff').append(marker).append(char(length >> 8)).append(char(length & 0xFF)).append(payload);
    return QByteArray(bytes).insert(2, segment);
}

QByteArray rgbJpegWithComments(const QList<QByteArray> &comments)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    startInMemory(info, errors, &buffer, &size, 2, 2, 3);
    jpeg_start_compress(&info, TRUE);
    for (const QByteArray &comment : comments)
        jpeg_write_marker(&info, JPEG_COM, reinterpret_cast<const JOCTET *>(comment.constData()), unsigned(comment.size()));
    JSAMPLE pixels[6] = {10, 20, 30, 40, 50, 60};
    JSAMPROW rows[1] = {pixels};
    for (int y = 0; y < 2; ++y)
        jpeg_write_scanlines(&info, rows, 1);
    return finish(info, &buffer, &size);
}
