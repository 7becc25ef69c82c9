#pragma once

#include "inkpreview.h"
#include "tiffdirectory.h"

#include <QImage>
#include <QVector>

// Decodes the current directory of tiff into the QImage formats that hold
// its values exactly: 16-bit samples stay 16-bit, unassociated alpha gives
// a straight format, associated alpha a premultiplied one.
// A four-ink separation gives three images: a plain RGB preview of the inks,
// inks 1-3 in red, green, blue, and ink 4 in red with the coverage in green.
// Anything else gives one image. Empty when the data cannot be decoded.
QVector<QImage> decodeDirectory(TIFF *tiff, const TiffDirectory &directory);
