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

// A compression into memory, with libjpeg's defaults for the colour space.
void startInMemory(jpeg_compress_struct &info, jpeg_error_mgr &errors, unsigned char **buffer, unsigned long *size,
                   int width, int height, J_COLOR_SPACE space)
{
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = space == JCS_CMYK ? 4 : 3;
    info.in_color_space = space;
    jpeg_set_defaults(&info);
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
    startInMemory(info, errors, &buffer, &size, file.width, file.height, JCS_CMYK);
    jpeg_set_colorspace(&info, file.ycck ? JCS_YCCK : JCS_CMYK);
    jpeg_set_quality(&info, file.quality, TRUE);
    for (int c = 0; c < 4; ++c)
        info.comp_info[c].h_samp_factor = info.comp_info[c].v_samp_factor = 1;
    if (file.subsampled)
        info.comp_info[0].h_samp_factor = info.comp_info[0].v_samp_factor = 2;
    if (file.progressive)
        jpeg_simple_progression(&info);
    info.restart_in_rows = file.restartRows;
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
    return finish(info, &buffer, &size);
}

QString writeCmykJpeg(const QString &path, const CmykJpegFile &file)
{
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(cmykJpegBytes(file));
    return path;
}

QByteArray rgbJpegWithComments(const QList<QByteArray> &comments)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    startInMemory(info, errors, &buffer, &size, 2, 2, JCS_RGB);
    jpeg_start_compress(&info, TRUE);
    for (const QByteArray &comment : comments)
        jpeg_write_marker(&info, JPEG_COM, reinterpret_cast<const JOCTET *>(comment.constData()), unsigned(comment.size()));
    JSAMPLE pixels[6] = {10, 20, 30, 40, 50, 60};
    JSAMPROW rows[1] = {pixels};
    for (int y = 0; y < 2; ++y)
        jpeg_write_scanlines(&info, rows, 1);
    return finish(info, &buffer, &size);
}
