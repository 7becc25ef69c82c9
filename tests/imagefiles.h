#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Writes image as a JPEG at dir/name with an optional comment (read back as
// the "Description" text) and optional embedded ICC bytes; returns the path.
QString writeJpeg(const QString &dir, const QString &name, QImage image, const QString &description = QString(),
                  const QByteArray &icc = QByteArray());

// Writes bytes to path as they are; returns the path.
QString writeFile(const QString &path, const QByteArray &bytes);

// An image of one colour.
QImage solidImage(int width, int height, QColor colour, QImage::Format format = QImage::Format_RGB32);
