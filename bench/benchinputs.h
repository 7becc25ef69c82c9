#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <lcms2.h>

#include <cstddef>

// The generated inputs of the benchmark: photograph-like and noisy RGB
// pictures, and four-ink separations written as CMYK TIFFs.

QByteArray profileBytes(cmsHPROFILE profile);

// Gradients, soft shapes and noise of the given standard deviation (in
// levels) like a photograph's grain: 2 for a smooth one; 8 compresses about
// as a camera's detailed picture does.
QImage photograph(int width, int height, double grain = 2.0);
QImage noise(int width, int height);

// Writes picture as a JPEG with a wide-gamut profile into dir; returns its path.
QString writeTaggedJpeg(const QImage &picture, const QString &dir, const char *name);

// A smooth four-ink separation written as a CMYK TIFF.
void writeSeparation(const QString &path, int width, int height);

// A press file as prepress writes them: a grainy photograph in four inks,
// Deflate with horizontal predictor, 64-row strips, the CMYK profile embedded.
// The picture is width × height; copies stack it that many times in height.
// Returns the number of distinct colours.
size_t writePressSeparation(const QString &path, int width, int height, const QByteArray &icc, int copies = 1);
