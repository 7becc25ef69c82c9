// libFuzzer target: an image's attribute text and a profile for it, on
// arbitrary bytes. The input is the description text, a newline, and the
// ICC bytes; the profile goes through every check a hand-loaded one meets.
#include "averagecolour.h"
#include "colourprofile.h"
#include "colourspacename.h"
#include "imageattributes.h"
#include "profilefit.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    const int newline = input.indexOf('\n');
    const QByteArray text = newline < 0 ? input : input.left(newline);
    const QByteArray icc = newline < 0 ? QByteArray() : input.mid(newline + 1);

    ImageAttributes attributes = parseAttributes(QString::fromUtf8(text));
    const ColourProfile profile = ColourProfile::fromBytes(icc);
    if (!attributes.contains("NumberOfInks"))
        attributes.insert("NumberOfInks", profile.channelCount());
    colourSpaceName(profile.colourSpace());
    colourSpaceName(profile.connectionSpace());
    profile.description();
    if (profile && profileMismatch(attributes, profile).isEmpty())
        averageColour(PixelTotals(), numberOfInks(attributes), profile.handle(), int(size % 4));
    return 0;
}
