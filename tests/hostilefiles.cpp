#include "hostilefiles.h"

#include "imagefiles.h"

#include <QBuffer>
#include <QImageWriter>
#include <QVector>
#include <QtEndian>

#include <zlib.h>

namespace {

// A classic little-endian TIFF put together by hand, so that directories may
// share data: each entry holds its values inline or points at a blob, and
// blobs are written once.
class RawTiff
{
public:
    int addBlob(const QByteArray &bytes)
    {
        blobs << bytes;
        return blobs.size() - 1;
    }
    void startDirectory() { directories << QVector<Entry>(); }
    void add(quint16 tag, quint16 type, quint32 count, quint32 value) { directories.last() << Entry{tag, type, count, value, -1}; }
    void addPointing(quint16 tag, quint16 type, quint32 count, int blob)
    {
        directories.last() << Entry{tag, type, count, 0, blob};
    }

    QByteArray bytes() const
    {
        QByteArray file("II*\0\0\0\0\0", 8);
        QVector<quint32> blobOffsets;
        for (const QByteArray &blob : blobs) {
            blobOffsets << quint32(file.size());
            file += blob;
            if (file.size() % 2)
                file += '\0';
        }
        quint32 next = quint32(file.size());
        qToLittleEndian(next, file.data() + 4);
        for (int d = 0; d < directories.size(); ++d) {
            const QVector<Entry> &entries = directories[d];
            QByteArray ifd(2 + 12 * entries.size() + 4, '\0');
            qToLittleEndian(quint16(entries.size()), ifd.data());
            for (int i = 0; i < entries.size(); ++i) {
                char *at = ifd.data() + 2 + 12 * i;
                const Entry &e = entries[i];
                qToLittleEndian(e.tag, at);
                qToLittleEndian(e.type, at + 2);
                qToLittleEndian(e.count, at + 4);
                const quint32 value = e.blob >= 0 ? blobOffsets[e.blob] : e.value;
                if (e.type == 3 && e.count == 1 && e.blob < 0)
                    qToLittleEndian(quint16(value), at + 8);
                else
                    qToLittleEndian(value, at + 8);
            }
            next = d + 1 < directories.size() ? quint32(file.size() + ifd.size()) : 0;
            qToLittleEndian(next, ifd.data() + ifd.size() - 4);
            file += ifd;
        }
        return file;
    }

private:
    struct Entry {
        quint16 tag;
        quint16 type;
        quint32 count;
        quint32 value;
        int blob;
    };
    QVector<QByteArray> blobs;
    QVector<QVector<Entry>> directories;
};

constexpr quint16 shortType = 3;
constexpr quint16 longType = 4;
constexpr quint16 asciiType = 2;
constexpr quint16 undefinedType = 7;

QByteArray deflated(const QByteArray &data)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(int(size), '\0');
    compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(data.constData()),
              uLong(data.size()), 9);
    out.resize(int(size));
    return out;
}

QByteArray longs(const QVector<quint32> &values)
{
    QByteArray bytes(values.size() * 4, '\0');
    for (int i = 0; i < values.size(); ++i)
        qToLittleEndian(values[i], bytes.data() + 4 * i);
    return bytes;
}

} // namespace

QByteArray manySamplesTiff(bool tiled)
{
    RawTiff tiff;
    const int data = tiff.addBlob(deflated(QByteArray(4096, '\0')));
    const int bits = tiff.addBlob(QByteArray("\x08\x00", 2).repeated(2000));
    tiff.startDirectory();
    tiff.add(256, longType, 1, 8192);
    tiff.add(257, longType, 1, 8192);
    tiff.addPointing(258, shortType, 2000, bits);
    tiff.add(259, shortType, 1, 8); // Deflate
    tiff.add(262, shortType, 1, 1);
    if (tiled) {
        tiff.add(277, shortType, 1, 2000);
        tiff.add(322, longType, 1, 8192);
        tiff.add(323, longType, 1, 8192);
        tiff.addPointing(324, longType, 1, data);
        tiff.add(325, longType, 1, 4096);
    } else {
        tiff.addPointing(273, longType, 1, data);
        tiff.add(277, shortType, 1, 2000);
        tiff.add(278, longType, 1, 8192);
        tiff.add(279, longType, 1, quint32(deflated(QByteArray(4096, '\0')).size()));
    }
    return tiff.bytes();
}

QByteArray paletteTiffWithoutItsMap()
{
    RawTiff tiff;
    const int indices = tiff.addBlob(QByteArray("\x00\x01\x02\x03", 4));
    tiff.startDirectory();
    tiff.add(256, longType, 1, 4);
    tiff.add(257, longType, 1, 1);
    tiff.add(258, shortType, 1, 8);
    tiff.add(259, shortType, 1, 1);
    tiff.add(262, shortType, 1, 3); // palette
    tiff.addPointing(273, longType, 1, indices);
    tiff.add(277, shortType, 1, 1);
    tiff.add(278, longType, 1, 1);
    tiff.add(279, longType, 1, 4);
    tiff.add(320, shortType, 3 * 256, 0x7f000000);
    return tiff.bytes();
}

QByteArray sharedStripsTiff(int side, int strips)
{
    RawTiff tiff;
    const int rowsPerStrip = (side + strips - 1) / strips;
    const QByteArray zeros = deflated(QByteArray(side * rowsPerStrip * 4, '\0'));
    // The first blob sits right after the 8-byte header: every strip points there.
    tiff.addBlob(zeros);
    tiff.startDirectory();
    const int countsBlob = tiff.addBlob(longs(QVector<quint32>(strips, quint32(zeros.size()))));
    const int offsetsBlob = tiff.addBlob(longs(QVector<quint32>(strips, 8)));
    tiff.add(256, longType, 1, quint32(side));
    tiff.add(257, longType, 1, quint32(side));
    tiff.add(258, shortType, 1, 8);
    tiff.add(259, shortType, 1, 8);
    tiff.add(262, shortType, 1, 5);
    tiff.addPointing(273, longType, quint32(strips), offsetsBlob);
    tiff.add(277, shortType, 1, 4);
    tiff.add(278, longType, 1, quint32(rowsPerStrip));
    tiff.addPointing(279, longType, quint32(strips), countsBlob);
    return tiff.bytes();
}

QByteArray sharedTagsTiff(int directories, const QByteArray &icc, int descriptionBytes)
{
    RawTiff tiff;
    const int pixels = tiff.addBlob(QByteArray(16 * 16 * 3, char(128)));
    const int profile = tiff.addBlob(icc);
    const int description = tiff.addBlob(QByteArray(descriptionBytes - 1, 'x') + '\0');
    const int bits = tiff.addBlob(QByteArray("\x08\x00\x08\x00\x08\x00", 6));
    for (int d = 0; d < directories; ++d) {
        tiff.startDirectory();
        tiff.add(256, longType, 1, 16);
        tiff.add(257, longType, 1, 16);
        tiff.addPointing(258, shortType, 3, bits);
        tiff.add(259, shortType, 1, 1);
        tiff.add(262, shortType, 1, 2);
        tiff.addPointing(270, asciiType, quint32(descriptionBytes), description);
        tiff.addPointing(273, longType, 1, pixels);
        tiff.add(277, shortType, 1, 3);
        tiff.add(278, longType, 1, 16);
        tiff.add(279, longType, 1, 16 * 16 * 3);
        tiff.addPointing(34675, undefinedType, quint32(icc.size()), profile);
    }
    return tiff.bytes();
}

QByteArray claimingJpeg(int width, int height)
{
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "jpeg").write(solidImage(16, 16, Qt::gray));
    const int frame = jpeg.indexOf("\xFF\xC0");
    qToBigEndian(quint16(height), jpeg.data() + frame + 5);
    qToBigEndian(quint16(width), jpeg.data() + frame + 7);
    return jpeg;
}

QByteArray cutAfterTagTable(const QByteArray &profile)
{
    const quint32 tags = qFromBigEndian<quint32>(profile.constData() + 128);
    return profile.left(int(128 + 4 + 12 * tags));
}

QByteArray invalidSignatures(const QByteArray &profile)
{
    QByteArray broken = profile;
    broken.replace(16, 8, QByteArray(8, char(0xFF)));
    return broken;
}
