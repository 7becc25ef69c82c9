#pragma once

#include <QRect>
#include <QString>

enum class PatchShape { Rect, Ellipse };

// A part of the picture to measure, in image pixels. An ellipse counts the
// pixels whose centres fall inside the ellipse inscribed in rect.
struct Patch {
    QString name;
    PatchShape shape = PatchShape::Rect;
    QRect rect;
    // Set when the patch had to be cut to the picture it is measured on.
    bool clipped = false;
};
