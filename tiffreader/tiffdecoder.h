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

// Whether the current directory can be decoded band by band: whole 8- or
// 16-bit samples of grey, RGB or inks, strips that do not share their data.
bool decodesInBands(TIFF *tiff, const TiffDirectory &directory);

// How many rows a band of about pixels pixels holds, whole strips or tile
// rows, so that no strip or tile is decoded twice.
int bandRowsFor(TIFF *tiff, const TiffDirectory &directory, qint64 pixels);

// The rows [first, first + count) of the current directory, decoded as
// decodeDirectory does, but a separation gives only its two ink images
// (no preview). Empty when the rows cannot be decoded. The images in spare
// that nobody else holds any more are decoded into again, so that a pass
// over bands does not have the system hand out and clear new pages for each.
QVector<QImage> decodeDirectoryRows(TIFF *tiff, const TiffDirectory &directory, int first, int count,
                                    QVector<QImage> *spare = nullptr);
