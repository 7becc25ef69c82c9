// The program's TIFF reader: attribute text, separations in every layout, other TIFFs, bad files.
#include "hostilefiles.h"
#include "imagefiles.h"
#include "imageloader.h"
#include "lcmshandles.h"
#include "profiles.h"
#include "resourcedir.h"
#include "testenvironment.h"
#include "tifffiles.h"

#include <QtTest>
#include <QColorSpace>
#include <QImageReader>

namespace {

int fullLevel(int bits)
{
    return bits == 16 ? 65535 : 255;
}

// Ink levels that are multiples of five, so associated alpha of a fifth divides exactly.
int inkLevel(int x, int y, int ink, int bits)
{
    const int steps = fullLevel(bits) / 5 + 1;
    return 5 * ((x * 7 + y * 3 + ink * 11) * (bits == 16 ? 257 : 1) % steps);
}

int coverageLevel(int x, int y, int bits)
{
    const int pattern = (x + 2 * y) % 3;
    return pattern == 0 ? fullLevel(bits) : pattern == 1 ? 0 : fullLevel(bits) / 5;
}

// A new TIFF file with the basic tags of one page set; the caller writes its pixels.
TIFF *startTiff(const QString &path, quint32 width, quint32 height, int samples, int photometric)
{
    TIFF *tiff = TIFFOpen(path.toLocal8Bit().constData(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, uint16_t(samples));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, uint16_t(8));
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, uint16_t(photometric));
    return tiff;
}

QString readText(const QString &path)
{
    QImageReader reader(path);
    return reader.text("Description");
}

int channel(const QImage &image, int x, int y, int c)
{
    if (image.depth() == 64)
        return reinterpret_cast<const quint16 *>(image.constScanLine(y))[4 * x + c];
    return image.constScanLine(y)[4 * x + c];
}

} // namespace

class TestTiffReader : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        dir = testDirectory() + "/tiff";
        QDir().mkpath(dir);
    }

    void attributeText_data()
    {
        QTest::addColumn<int>("photometric");
        QTest::addColumn<int>("colours");
        QTest::addColumn<int>("inksTag");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("text");
        QTest::newRow("grey") << PHOTOMETRIC_MINISBLACK << 1 << 0 << "" << "NumberOfInks:1;Photometric:1";
        QTest::newRow("RGB") << PHOTOMETRIC_RGB << 3 << 0 << "" << "NumberOfInks:3;Photometric:2";
        QTest::newRow("CMYK") << PHOTOMETRIC_SEPARATED << 4 << 0 << "" << "NumberOfInks:4;Photometric:5";
        QTest::newRow("CMYK ink tag") << PHOTOMETRIC_SEPARATED << 4 << 4 << "" << "NumberOfInks:4;Photometric:5";
        QTest::newRow("Lab") << PHOTOMETRIC_CIELAB << 3 << 0 << "" << "NumberOfInks:3;Photometric:8";
        QTest::newRow("five inks") << PHOTOMETRIC_SEPARATED << 5 << 5 << "" << "NumberOfInks:5;Photometric:5";
        QTest::newRow("producer text") << PHOTOMETRIC_RGB << 3 << 0 << "Proof sheet 12"
                                       << "NumberOfInks:3;Photometric:2;Proof sheet 12";
        QTest::newRow("producer key") << PHOTOMETRIC_RGB << 3 << 0 << "NumberOfInks:4;Photometric:5"
                                      << "NumberOfInks:3;Photometric:2;NumberOfInks:4;Photometric:5";
    }

    void attributeText()
    {
        QFETCH(int, photometric);
        QFETCH(int, colours);
        QFETCH(int, inksTag);
        QFETCH(QString, description);
        QFETCH(QString, text);
        TiffPage page;
        page.photometric = photometric;
        page.colourSamples = colours;
        page.numberOfInksTag = inksTag;
        page.description = description;
        const QString path = dir + "/attributes.tif";
        QVERIFY(writeTiff(path, {page}));
        QCOMPARE(readText(path), text);
        QImageReader reader(path);
        QVERIFY(!reader.read().isNull());
    }

    // Debian's own reader gives no text; ours always does, so this proves which one reads.
    void programReaderIsInUse()
    {
        TiffPage page;
        page.photometric = PHOTOMETRIC_RGB;
        page.colourSamples = 3;
        const QString path = dir + "/which.tiff";
        QVERIFY(writeTiff(path, {page}));
        QCOMPARE(readText(path), QString("NumberOfInks:3;Photometric:2"));
        QCOMPARE(QImage(path).text("Description"), QString("NumberOfInks:3;Photometric:2"));
    }

    void separationLayouts_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<bool>("planar");
        QTest::addColumn<bool>("tiled");
        QTest::addColumn<int>("alpha");
        QTest::addColumn<int>("compression");
        QTest::addColumn<bool>("bigEndian");
        for (int bits : {8, 16})
            for (bool planar : {false, true})
                for (bool tiled : {false, true})
                    for (int alpha : {-1, int(EXTRASAMPLE_UNASSALPHA), int(EXTRASAMPLE_ASSOCALPHA)}) {
                        const QString name = QString("%1-bit %2 %3 %4")
                                                 .arg(bits)
                                                 .arg(planar ? "planar" : "contiguous")
                                                 .arg(tiled ? "tiles" : "strips")
                                                 .arg(alpha < 0 ? "no alpha" : alpha == EXTRASAMPLE_ASSOCALPHA ? "associated" : "unassociated");
                        QTest::newRow(qPrintable(name)) << bits << planar << tiled << alpha << int(COMPRESSION_NONE) << false;
                    }
        QTest::newRow("8-bit LZW") << 8 << false << false << int(EXTRASAMPLE_UNASSALPHA) << int(COMPRESSION_LZW) << false;
        QTest::newRow("16-bit Deflate tiles") << 16 << true << true << -1 << int(COMPRESSION_ADOBE_DEFLATE) << false;
        QTest::newRow("8-bit PackBits") << 8 << false << false << -1 << int(COMPRESSION_PACKBITS) << false;
        // Motorola byte order with LZW and horizontal differencing, as prepress tools write them.
        QTest::newRow("16-bit big-endian LZW predictor")
            << 16 << false << false << int(EXTRASAMPLE_UNASSALPHA) << int(COMPRESSION_LZW) << true;
    }

    void separationLayouts()
    {
        QFETCH(int, bits);
        QFETCH(bool, planar);
        QFETCH(bool, tiled);
        QFETCH(int, alpha);
        QFETCH(int, compression);
        QFETCH(bool, bigEndian);
        const bool associated = alpha == EXTRASAMPLE_ASSOCALPHA;
        TiffPage page;
        page.width = 37;
        page.height = 21;
        page.bits = bits;
        page.planar = planar;
        page.tiled = tiled;
        page.extraSample = alpha;
        page.compression = compression;
        page.predictor = bigEndian ? PREDICTOR_HORIZONTAL : PREDICTOR_NONE;
        page.sample = [=](int x, int y, int s) {
            if (s == 4)
                return coverageLevel(x, y, bits);
            const int ink = inkLevel(x, y, s, bits);
            return associated ? int(qint64(ink) * coverageLevel(x, y, bits) / fullLevel(bits)) : ink;
        };
        const QString path = dir + "/separation.tif";
        QVERIFY(writeTiff(path, {page}, bigEndian));

        QImageReader reader(path);
        QCOMPARE(reader.imageCount(), 3);
        QCOMPARE(reader.text("Description"), QString("NumberOfInks:4;Photometric:5"));
        const QImage preview = reader.read();
        QVERIFY(reader.jumpToImage(1));
        const QImage inks = reader.read();
        QVERIFY(reader.jumpToImage(2));
        const QImage blackAndCoverage = reader.read();
        QCOMPARE(preview.size(), QSize(37, 21));
        QCOMPARE(inks.size(), QSize(37, 21));
        QCOMPARE(blackAndCoverage.size(), QSize(37, 21));
        QCOMPARE(inks.depth(), bits == 16 ? 64 : 32);
        QCOMPARE(QImage(path).size(), preview.size());

        for (int y = 0; y < 21; ++y)
            for (int x = 0; x < 37; ++x) {
                const int coverage = alpha < 0 ? fullLevel(bits) : coverageLevel(x, y, bits);
                const bool lost = associated && coverage == 0;
                for (int s = 0; s < 3; ++s)
                    QCOMPARE(channel(inks, x, y, s), lost ? 0 : inkLevel(x, y, s, bits));
                QCOMPARE(channel(blackAndCoverage, x, y, 0), lost ? 0 : inkLevel(x, y, 3, bits));
                QCOMPARE(channel(blackAndCoverage, x, y, 1), coverage);
            }
    }

    void pagesBeyondTheFileReadNothing()
    {
        TiffPage page;
        const QString path = dir + "/three.tif";
        QVERIFY(writeTiff(path, {page}));
        QImageReader reader(path);
        QVERIFY(!reader.jumpToImage(3));
        QVERIFY(reader.read().isNull());

        TiffPage rgb;
        rgb.photometric = PHOTOMETRIC_RGB;
        rgb.colourSamples = 3;
        QVERIFY(writeTiff(path, {rgb, rgb}));
        QImageReader pages(path);
        QCOMPARE(pages.imageCount(), 2);
        QVERIFY(!pages.jumpToImage(2));
        QVERIFY(pages.read().isNull());
    }

    // A producer may ship a separation as three RGB pages with the attributes in its description.
    void announcedSeparationOfRgbPages()
    {
        QVector<TiffPage> pages(3);
        for (int i = 0; i < 3; ++i) {
            pages[i].photometric = PHOTOMETRIC_RGB;
            pages[i].colourSamples = 3;
            pages[i].description = "NumberOfInks:4;Photometric:5";
            pages[i].sample = [i](int x, int, int s) { return i * 60 + x * 10 + s; };
        }
        const QString path = dir + "/announced.tif";
        QVERIFY(writeTiff(path, pages));
        QImageReader reader(path);
        QCOMPARE(reader.imageCount(), 3);
        QVERIFY(reader.text("Description").endsWith("NumberOfInks:4;Photometric:5"));
        QVERIFY(reader.jumpToImage(2));
        const QImage third = reader.read();
        QCOMPARE(third.pixelColor(1, 0), QColor(130, 131, 132));
    }

    void otherTiffsKeepTheirValues_data()
    {
        QTest::addColumn<int>("photometric");
        QTest::addColumn<int>("colours");
        QTest::addColumn<int>("bits");
        QTest::addColumn<int>("alpha");
        QTest::addColumn<int>("format");
        QTest::newRow("grey 8") << PHOTOMETRIC_MINISBLACK << 1 << 8 << -1 << int(QImage::Format_Grayscale8);
        QTest::newRow("grey 16") << PHOTOMETRIC_MINISBLACK << 1 << 16 << -1 << int(QImage::Format_Grayscale16);
        QTest::newRow("grey 16 alpha") << PHOTOMETRIC_MINISBLACK << 1 << 16 << int(EXTRASAMPLE_UNASSALPHA) << int(QImage::Format_RGBA64);
        QTest::newRow("RGB 8") << PHOTOMETRIC_RGB << 3 << 8 << -1 << int(QImage::Format_RGBX8888);
        QTest::newRow("RGB 16 alpha") << PHOTOMETRIC_RGB << 3 << 16 << int(EXTRASAMPLE_UNASSALPHA) << int(QImage::Format_RGBA64);
        QTest::newRow("RGB 8 associated") << PHOTOMETRIC_RGB << 3 << 8 << int(EXTRASAMPLE_ASSOCALPHA)
                                          << int(QImage::Format_RGBA8888_Premultiplied);
        QTest::newRow("two inks") << PHOTOMETRIC_SEPARATED << 2 << 8 << -1 << int(QImage::Format_RGBX8888);
    }

    void otherTiffsKeepTheirValues()
    {
        QFETCH(int, photometric);
        QFETCH(int, colours);
        QFETCH(int, bits);
        QFETCH(int, alpha);
        QFETCH(int, format);
        TiffPage page;
        page.width = 19;
        page.height = 5;
        page.photometric = photometric;
        page.colourSamples = colours;
        page.bits = bits;
        page.extraSample = alpha;
        page.sample = [=](int x, int y, int s) {
            if (s == colours)
                return fullLevel(bits) - x;
            return (x * 13 + y * 7 + s * 3) * (bits == 16 ? 301 : 1) % fullLevel(bits);
        };
        const QString path = dir + "/other.tif";
        QVERIFY(writeTiff(path, {page}));
        const QImage image(path);
        QCOMPARE(int(image.format()), format);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 19; ++x) {
                if (image.depth() <= 16) {
                    const uchar *line = image.constScanLine(y);
                    const int value = bits == 16 ? reinterpret_cast<const quint16 *>(line)[x] : line[x];
                    QCOMPARE(value, page.sample(x, y, 0));
                    continue;
                }
                for (int s = 0; s < 3; ++s) {
                    const int expected = colours == 1 ? page.sample(x, y, 0) : s < colours ? page.sample(x, y, s) : 0;
                    QCOMPARE(channel(image, x, y, s), expected);
                }
                QCOMPARE(channel(image, x, y, 3), alpha < 0 ? fullLevel(bits) : page.sample(x, y, colours));
            }
    }

    void whiteIsZeroGreyIsInverted()
    {
        TiffPage page;
        page.photometric = PHOTOMETRIC_MINISWHITE;
        page.colourSamples = 1;
        page.sample = [](int x, int, int) { return x * 40; };
        const QString path = dir + "/miniswhite.tif";
        QVERIFY(writeTiff(path, {page}));
        const QImage image(path);
        QCOMPARE(image.pixelColor(2, 0), QColor(175, 175, 175));
        // Delivered as black-is-zero grey, which is what a grey profile describes.
        QCOMPARE(readText(path), QString("NumberOfInks:1;Photometric:1"));
    }

    void paletteAndYCbCrDecode()
    {
        const QString palettePath = dir + "/palette.tif";
        TIFF *tiff = startTiff(palettePath, 4, 1, 1, PHOTOMETRIC_PALETTE);
        std::vector<uint16_t> red(256, 0), green(256, 0), blue(256, 0);
        red[1] = 65535;
        green[2] = 32896; // 128 in 8 bits
        blue[3] = 65535;
        TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
        TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, "Producer:7");
        const uint8_t indices[4] = {0, 1, 2, 3};
        TIFFWriteScanline(tiff, const_cast<uint8_t *>(indices), 0, 0);
        TIFFClose(tiff);
        const QImage palette(palettePath);
        QCOMPARE(palette.pixelColor(1, 0), QColor(255, 0, 0));
        QCOMPARE(palette.pixelColor(2, 0), QColor(0, 128, 0));
        QCOMPARE(palette.pixelColor(3, 0), QColor(0, 0, 255));
        // The colour map makes one index per pixel an RGB picture.
        QCOMPARE(readText(palettePath), QString("NumberOfInks:3;Photometric:2;Producer:7"));

        // Camera-style JPEG-compressed YCbCr: lossy, so only close to the colour written.
        const QString ycbcrPath = dir + "/ycbcr.tif";
        tiff = startTiff(ycbcrPath, 16, 16, 3, PHOTOMETRIC_YCBCR);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, uint16_t(COMPRESSION_JPEG));
        TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(16));
        std::vector<uint8_t> line(48);
        for (int x = 0; x < 16; ++x) {
            line[size_t(3 * x)] = 200;
            line[size_t(3 * x + 1)] = 60;
            line[size_t(3 * x + 2)] = 30;
        }
        for (uint32_t y = 0; y < 16; ++y)
            TIFFWriteScanline(tiff, line.data(), y, 0);
        TIFFClose(tiff);
        const QColor shown = QImage(ycbcrPath).pixelColor(8, 8);
        QVERIFY2(qAbs(shown.red() - 200) < 8 && qAbs(shown.green() - 60) < 8 && qAbs(shown.blue() - 30) < 8,
                 qPrintable(shown.name()));
        QCOMPARE(readText(ycbcrPath), QString("NumberOfInks:3;Photometric:2"));
    }

    void labAndFiveInksStillDecode()
    {
        TiffPage lab;
        lab.photometric = PHOTOMETRIC_CIELAB;
        lab.colourSamples = 3;
        const QString path = dir + "/lab.tif";
        QVERIFY(writeTiff(path, {lab}));
        QVERIFY(!QImage(path).isNull());

        TiffPage fiveInks;
        fiveInks.colourSamples = 5;
        fiveInks.numberOfInksTag = 5;
        QVERIFY(writeTiff(path, {fiveInks}));
        QImageReader reader(path);
        QCOMPARE(reader.imageCount(), 1);
        QVERIFY(!reader.read().isNull());
    }

    void embeddedProfileTravelsWithEveryImage()
    {
        ProfileHandle cmyk(cmsOpenProfileFromFile("/usr/share/color/icc/ghostscript/default_cmyk.icc", "r"));
        TiffPage page;
        page.icc = profileBytes(cmyk.get());
        const QString path = dir + "/profiled.tif";
        QVERIFY(writeTiff(path, {page}));
        QImageReader reader(path);
        QCOMPARE(reader.read().colorSpace().iccProfile(), page.icc);
        QVERIFY(reader.jumpToImage(2));
        QCOMPARE(reader.read().colorSpace().iccProfile(), page.icc);
    }

    // libtiff drops a colour map it cannot read and carries on with grey
    // levels; the loader and Qt's reader both refuse the file instead.
    void paletteWithoutItsColourMapIsRefused()
    {
        const QString path = writeFile(dir + "/lost-map.tif", paletteTiffWithoutItsMap());
        const LoadOutcome outcome = loadImageFile(path, getResourceDir());
        QCOMPARE(outcome.failure.kind, FailureKind::Undecodable);
        QCOMPARE(outcome.failure.reason,
                 QString("the file is damaged or cut short: IO error during reading of \"ColorMap\"; tag ignored"));
        QVERIFY(QImage(path).isNull());
    }

    void badFilesNeverCrash_data()
    {
        QTest::addColumn<int>("cut");
        QTest::addColumn<QByteArray>("patch");
        QTest::addColumn<int>("patchAt");
        QTest::newRow("cut in the pixels") << 300 << QByteArray() << 0;
        QTest::newRow("cut in the header") << 6 << QByteArray() << 0;
        QTest::newRow("magic only") << 4 << QByteArray() << 0;
        QTest::newRow("directory offset past the end") << 0 << QByteArray("\xff\xff\xff\x7f", 4) << 4;
        QTest::newRow("garbage directory") << 0 << QByteArray(64, '\xee') << -1;
    }

    void badFilesNeverCrash()
    {
        QFETCH(int, cut);
        QFETCH(QByteArray, patch);
        QFETCH(int, patchAt);
        TiffPage page;
        page.width = 64;
        page.height = 64;
        page.sample = [](int x, int y, int s) { return (x + y + s) % 256; };
        const QString path = dir + "/bad.tif";
        QVERIFY(writeTiff(path, {page}));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        if (cut > 0)
            bytes.truncate(cut);
        if (patchAt < 0)
            patchAt = int(qFromLittleEndian<quint32>(bytes.constData() + 4));
        bytes.replace(patchAt, patch.size(), patch);
        file.resize(0);
        file.seek(0);
        file.write(bytes);
        file.close();

        QImageReader reader(path);
        if (reader.canRead()) {
            const QImage image = reader.read();
            QVERIFY(image.isNull() || image.size() == QSize(64, 64));
            reader.jumpToImage(2);
            reader.read();
        }
        QVERIFY(QImage(path).isNull());
    }

    // Dimensions no desktop can hold are refused before memory is taken.
    void absurdDimensionsAreRefused()
    {
        const QString path = dir + "/huge.tif";
        TIFF *tiff = startTiff(path, 1000000, 1000000, 4, PHOTOMETRIC_SEPARATED);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(1));
        std::vector<uint8_t> line(4000000, 0);
        TIFFWriteScanline(tiff, line.data(), 0, 0);
        TIFFClose(tiff);
        QImageReader reader(path);
        QVERIFY(reader.canRead());
        QVERIFY(reader.read().isNull());
    }
};

QTEST_MAIN(TestTiffReader)
#include "test_tiffreader.moc"
