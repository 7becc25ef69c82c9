#pragma once

#include <QString>
#include <QVector>

#include <array>

// A patch of a test colour bar: its identifier and its inks in whole per cent.
struct WedgePatch {
    QString id;
    std::array<int, 4> cmyk{};
};

// Sixteen patches: paper, the four solids, the overprints, CMY greys and tints;
// every value a multiple of 20 %, which 8-bit samples hold exactly.
QVector<WedgePatch> testWedge();

// Writes the wedge as an 8-bit CMYK TIFF without a profile (so measured
// through the default CMYK profile): cells of cell × cell pixels, columns
// to a row, row-major from the top left, margin pixels of paper around.
// Returns the path.
QString writeWedgeTiff(const QString &path, const QVector<WedgePatch> &wedge, int columns, int cell, int margin);

// Writes a CGATS reference for the wedge: aims from converting each
// patch's inks through the default CMYK profile (relative colorimetric) with
// Little CMS, the patch shiftedId's L* raised by shiftL, and CMYK columns
// when withTones. Returns the path.
QString writeWedgeReference(const QString &path, const QVector<WedgePatch> &wedge, bool withTones,
                            const QString &shiftedId = QString(), double shiftL = 0.0);
