#pragma once

#include <QByteArray>

// Feeds bytes to the program's image reader for format through QImageReader
// on a QBuffer, with the calls of an image load in their order: canRead,
// size, the description, image 0 with its colour space and notes, then
// images 1 and 2.
void readAsTheLoaderDoes(const QByteArray &bytes, const char *format);

// Starts Qt and loads the image plugins once, before the first input, so
// that what Qt keeps for the whole run is not taken for a leak of an input.
void startQtForFuzzing(int *argc, char ***argv);
