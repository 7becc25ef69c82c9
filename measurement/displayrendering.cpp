#include "displayrendering.h"

#include "colourprofile.h"
#include "pixelformat.h"

#include <QByteArray>
#include <QDebug>

TransformHandle makeDisplayTransform(cmsHPROFILE input, cmsHPROFILE monitor, int numberOfInks, float *inputScale)
{
    if (!input) {
        qDebug("No SRC!");
        return nullptr;
    }
    if (!monitor) {
        qDebug("No DST!");
        return nullptr;
    }
    cmsUInt32Number pixelFormat = 0;
    TransformHandle transform;
    // The rendering intent chosen in the panel is for the measurement, never for the display.
    if (getPixelFormat(numberOfInks, &pixelFormat, inputScale))
        transform.reset(cmsCreateTransform(input, pixelFormat, monitor, TYPE_RGB_FLT, INTENT_RELATIVE_COLORIMETRIC, 0));
    if (!transform)
        qDebug("No Display TRANSFORM!");
    return transform;
}

namespace {

// The header's creation date and time, and its profile ID: two profiles made
// alike at different times differ there alone.
QByteArray withoutDateAndId(QByteArray bytes)
{
    constexpr int dateAt = 24, dateSize = 12, idAt = 84, idSize = 16;
    if (bytes.size() < idAt + idSize)
        return QByteArray();
    bytes.replace(dateAt, dateSize, QByteArray(dateSize, '\0'));
    bytes.replace(idAt, idSize, QByteArray(idSize, '\0'));
    return bytes;
}

} // namespace

bool displayConvertsNothing(cmsHPROFILE input, cmsHPROFILE monitor)
{
    if (!input || !monitor || cmsGetColorSpace(input) != cmsGetColorSpace(monitor))
        return false;
    const QByteArray inputBytes = withoutDateAndId(ColourProfile::savedBytes(input));
    return !inputBytes.isEmpty() && inputBytes == withoutDateAndId(ColourProfile::savedBytes(monitor));
}
