#include "inkpreview.h"

#include <algorithm>
#include <thread>
#include <vector>

namespace {

// Rows [first, end) of the preview, whose pixels start at previewBits.
void previewRows(const QImage &inks, const QImage &black, uchar *previewBits, qsizetype stride, int first, int end)
{
    for (int y = first; y < end; ++y) {
        const uchar *ink = inks.constScanLine(y);
        const uchar *k = black.constScanLine(y);
        auto *out = reinterpret_cast<QRgb *>(previewBits + y * stride);
        for (int x = 0; x < inks.width(); ++x) {
            const int paper = 255 - k[4 * x];
            auto level = [&](int value) { return (255 - value) * paper / 255; };
            out[x] = qRgb(level(ink[4 * x]), level(ink[4 * x + 1]), level(ink[4 * x + 2]));
        }
    }
}

} // namespace

QImage inkPreview(const QImage &inks, const QImage &blackAndCoverage)
{
    const QImage c = inks.convertToFormat(QImage::Format_RGBX8888);
    const QImage k = blackAndCoverage.convertToFormat(QImage::Format_RGBX8888);
    QImage preview(inks.size(), QImage::Format_RGB32);
    if (preview.isNull())
        return preview;
    // bits() detaches, which touches the image unguarded: taken once here,
    // before the rows are shared out.
    uchar *bits = preview.bits();
    const qsizetype stride = preview.bytesPerLine();
    // A picture of a whole press sheet is worth all cores.
    const int threads = std::max(1, std::min<int>(int(std::thread::hardware_concurrency()), preview.height() / 64));
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(previewRows, std::cref(c), std::cref(k), bits, stride, preview.height() * t / threads,
                          preview.height() * (t + 1) / threads);
    previewRows(c, k, bits, stride, 0, preview.height() / threads);
    for (std::thread &thread : pool)
        thread.join();
    return preview;
}
