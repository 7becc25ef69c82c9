// The memory of kept samples: handed from picture to picture, never while an
// image still uses it, and never more of it kept free than allowed.
#include "samplememory.h"

#include <QtTest>

namespace {

constexpr qint64 megabyte = qint64(1) << 20;
// 1000 x 1000 RGB32 pixels, rounded up to whole 4 KB pages.
constexpr qint64 megapixelBytes = 4001792;

const QSize megapixel(1000, 1000);

bool filledWith(const QImage &image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != colour)
                return false;
    return true;
}

} // namespace

class TestSampleMemory : public QObject
{
    Q_OBJECT

private slots:
    void imagesHaveQImagesOwnStride()
    {
        SampleMemory memory(64 * megabyte);
        for (const QImage::Format format : {QImage::Format_RGB888, QImage::Format_Grayscale8, QImage::Format_RGB32,
                                            QImage::Format_RGBA64, QImage::Format_Mono,
                                            QImage::Format_RGB666, QImage::Format_RGB555}) {
            const QSize size(1001, 7);
            const QImage image = memory.image(size, format);
            QCOMPARE(image.size(), size);
            QCOMPARE(image.format(), format);
            QCOMPARE(image.bytesPerLine(), QImage(size, format).bytesPerLine());
        }
        QVERIFY(memory.image(QSize(0, 5), QImage::Format_RGB32).isNull());
    }

    void memoryComesBackOnlyWhenEveryCopyIsGone()
    {
        SampleMemory memory(64 * megabyte);
        QImage first = memory.image(megapixel, QImage::Format_RGB32);
        first.fill(0xff112233u);
        const uchar *firstBits = first.constBits();
        QImage copy = first;
        first = QImage();
        QImage second = memory.image(megapixel, QImage::Format_RGB32);
        QVERIFY(second.constBits() != firstBits);
        second.fill(0xff445566u);
        QVERIFY(filledWith(copy, 0xff112233u));
        copy = QImage();
        QCOMPARE(memory.image(megapixel, QImage::Format_RGB32).constBits(), firstBits);
    }

    void blocksAreSharedOutAndJoinedAgain()
    {
        SampleMemory memory(64 * megabyte);
        const QSize twoMegapixels(2000, 1000);
        const uchar *start = memory.image(twoMegapixels, QImage::Format_RGB32).constBits();
        QImage first = memory.image(megapixel, QImage::Format_RGB32);
        QImage second = memory.image(megapixel, QImage::Format_RGB32);
        QCOMPARE(first.constBits(), start);
        QCOMPARE(second.constBits(), start + megapixelBytes);
        first.fill(0xff010203u);
        second.fill(0xfffefdfcu);
        QVERIFY(filledWith(first, 0xff010203u));
        QVERIFY(filledWith(second, 0xfffefdfcu));
        first = QImage();
        second = QImage();
        QCOMPARE(memory.image(twoMegapixels, QImage::Format_RGB32).constBits(), start);
    }

    void freeMemoryStaysWithinTheLimit()
    {
        SampleMemory memory(6 * megabyte);
        {
            const QImage images[] = {memory.image(megapixel, QImage::Format_RGB32),
                                     memory.image(megapixel, QImage::Format_RGB32),
                                     memory.image(megapixel, QImage::Format_RGB32)};
            for (const QImage &image : images)
                QVERIFY(!image.isNull());
        }
        QCOMPARE(memory.freeBytes(), 6 * megabyte);
        const QImage again = memory.image(megapixel, QImage::Format_RGB32);
        QCOMPARE(memory.freeBytes(), 6 * megabyte - megapixelBytes);
    }

    void aPreparedReserveServesThePicture()
    {
        SampleMemory memory(64 * megabyte);
        memory.prepare(16 * megabyte);
        QCOMPARE(memory.freeBytes(), 16 * megabyte);
        // Already there: nothing more is made ready.
        memory.prepare(8 * megabyte);
        QCOMPARE(memory.freeBytes(), 16 * megabyte);
        QImage picture = memory.image(megapixel, QImage::Format_RGB32);
        picture.fill(0xff808080u);
        QCOMPARE(memory.freeBytes(), 16 * megabyte - megapixelBytes);
        memory.stopPreparing();
        QVERIFY(filledWith(picture, 0xff808080u));
    }
};

QTEST_GUILESS_MAIN(TestSampleMemory)
#include "test_samplememory.moc"
