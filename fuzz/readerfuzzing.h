#pragma once

#include <QByteArray>

// Feeds bytes to the program's image reader for format through QImageReader
// on a QBuffer, with the calls of an image load in their order: canRead,
// size, the description, image 0 with its colour space, then images 1 and 2.
// With onlySeparations, files the reader hands to Qt's own reader (every
// JPEG but a four-ink one) are left alone: the loader guards Qt's reader.
void readAsTheLoaderDoes(const QByteArray &bytes, const char *format, bool onlySeparations = false);

// Starts Qt and loads the image plugins once, before the first input, so
// that what Qt keeps for the whole run is not taken for a leak of an input.
void startQtForFuzzing(int *argc, char ***argv);
