#include "inkpreview.h"

QImage inkPreview(const QImage &inks, const QImage &blackAndCoverage)
{
    const QImage c = inks.convertToFormat(QImage::Format_RGBX8888);
    const QImage k = blackAndCoverage.convertToFormat(QImage::Format_RGBX8888);
    QImage preview(inks.size(), QImage::Format_RGB32);
    for (int y = 0; y < preview.height(); ++y) {
        const uchar *ink = c.constScanLine(y);
        const uchar *black = k.constScanLine(y);
        auto *out = reinterpret_cast<QRgb *>(preview.scanLine(y));
        for (int x = 0; x < preview.width(); ++x) {
            const int paper = 255 - black[4 * x];
            auto level = [&](int value) { return (255 - value) * paper / 255; };
            out[x] = qRgb(level(ink[4 * x]), level(ink[4 * x + 1]), level(ink[4 * x + 2]));
        }
    }
    return preview;
}
