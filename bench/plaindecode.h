#pragma once

#include <QString>

// What decoding a file takes at the least, single-threaded, fastest of three,
// in ms: the yardstick the program's waits are divided by.

// libtiff's own decode of every strip or tile.
double rawTiffDecodeMs(const QString &path);

// A plain libjpeg decode of the whole picture to RGB.
double plainJpegDecodeMs(const QString &path);
