#pragma once

#include <QByteArray>
#include <QString>

// Small files built to hurt a reader: each is a few kilobytes on disk and
// claims far more, or repeats large parts, or is cut or damaged. Used by the
// hostile-file tests and by the fuzzing corpus generator.

// A TIFF of width x height with so many samples per pixel that one strip
// (or tile) would take gigabytes; its data is one small Deflate stream.
QByteArray manySamplesTiff(bool tiled);

// A four-ink TIFF whose strips all point at one Deflate stream of zeros.
QByteArray sharedStripsTiff(int side, int strips);

// A TIFF with many small directories that all point at the same large ICC
// profile and description.
QByteArray sharedTagsTiff(int directories, const QByteArray &icc, int descriptionBytes);

// A 4 x 1 palette TIFF whose colour map lies beyond the end of the file.
QByteArray paletteTiffWithoutItsMap();

// A small RGB JPEG whose frame header claims width x height pixels.
QByteArray claimingJpeg(int width, int height);

// profile cut right after its tag table.
QByteArray cutAfterTagTable(const QByteArray &profile);

// profile with its colour space and connection space set to 0xFFFFFFFF.
QByteArray invalidSignatures(const QByteArray &profile);
