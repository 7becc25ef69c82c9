#include "bytelayout.h"

bool eightBitLayout(const PixelSources &band, ByteLayout *layout)
{
    if (band.channelCount >= 4) {
        const auto rgba = [](const QImage &page) {
            return page.format() == QImage::Format_RGBX8888 || page.format() == QImage::Format_RGBA8888;
        };
        if (!rgba(band.inkPage1) || band.inkPage1.size() != band.picture.size() ||
            band.inkPage2.size() != band.picture.size())
            return false;
        if (band.inkPage2.format() == QImage::Format_Grayscale8) {
            *layout = {{0, 0, 0}, -1, 1};
            return true;
        }
        *layout = {{0, 0, 0}, 1, 4};
        return rgba(band.inkPage2);
    }
    switch (band.picture.format()) {
    case QImage::Format_Grayscale8:
        *layout = {{0, 0, 0}, -1, 1};
        return true;
    case QImage::Format_RGB32:
        *layout = {{2, 1, 0}, -1, 4};
        return true;
    case QImage::Format_ARGB32:
        *layout = {{2, 1, 0}, 3, 4};
        return true;
    case QImage::Format_RGBX8888:
    case QImage::Format_RGBA8888:
        *layout = {{0, 1, 2}, 3, 4};
        return true;
    default:
        return false;
    }
}
