#pragma once

#include <QImage>

// The largest single picture Qt can hold; a reader refuses anything bigger
// before memory is taken for it.
constexpr qint64 maxImageBytes = (qint64(1) << 31) - 1;

// A plain, unmanaged RGB picture of a separation's inks, the first image a
// reader delivers for it: each ink darkens its complementary primary. inks
// holds C, M, Y in R, G, B and blackAndCoverage K in R, 8 or 16 bits.
QImage inkPreview(const QImage &inks, const QImage &blackAndCoverage);
