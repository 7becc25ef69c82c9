#pragma once

#include "averagecolour.h"
#include "displayrendering.h"
#include "failure.h"
#include "imageloader.h"

#include <QString>

#include <optional>

class WorkControl;

// One pixel of the image as the measurement sees it.
struct PixelReading {
    PixelValues values;
    PixelMask mask = PixelMask::Counted;
    // Through the measuring profile and intent; nothing when no conversion can be made.
    std::optional<std::array<float, 3>> lab;
};

// The image being measured and what was chosen for it: the core that the
// window and the command-line measurer share. It knows no widgets; callers
// pass in the user's choices (the embedded-profile switch, the rendering
// intent) and the monitor's profile, and get results and failures as values.
class MeasuringSession
{
public:
    explicit MeasuringSession(const QString &resourceDir) : resourceDir(resourceDir) {}

    // Reads a file without touching the session, so it may run on any thread;
    // adopt() then takes in whatever the outcome replaces.
    LoadOutcome read(const QString &fileName, WorkControl *control = nullptr) const;
    void adopt(LoadOutcome &&outcome);

    const LoadedImage &image() const { return current; }
    int numberOfInks() const { return current.numberOfInks(); }

    // A profile loaded by hand for the image. It takes the place of the one
    // loaded before only when it opens and fits the image.
    Failure chooseImageProfile(const QString &path);
    const ColourProfile &imageProfile() const { return handLoaded; }
    // The same in two steps: open and check (null, with the failure, when refused),
    // then put in force, getting back the profile it replaces.
    ColourProfile openImageProfile(const QString &path, Failure *failure) const;
    ColourProfile replaceImageProfile(ColourProfile profile);

    // The picture is shown through the hand-loaded profile when the embedded
    // one is not used and there is one; the average has no such fallback.
    cmsHPROFILE displayProfile(bool useEmbedded) const;
    cmsHPROFILE measuringProfile(bool useEmbedded) const;

    // Only the counts and sums, without a picture for a monitor; takeTotals() keeps them.
    PixelTotals count(WorkControl *control = nullptr) const;
    void takeTotals(const PixelTotals &sums) { totals = sums; }
    const PixelTotals &pixelTotals() const { return totals; }

    // The note the status bar shows when a count found no pixel to measure.
    static QString nothingCountedNote();

    // The average of the kept sums; an empty count becomes one. Nothing when
    // no L*a*b* transform can be made.
    std::optional<AverageColour> measure(bool useEmbedded, int intent);
    // Why measure() gave nothing for the image described by profileText: no
    // profile can exist for what the file announced, the default profile
    // did not open, or Little CMS refused the conversion.
    QString noTransformReason(const QString &profileText) const;

    // The pixel at (x, y) of the picture; nothing outside it.
    std::optional<PixelReading> readPixel(int x, int y, bool useEmbedded, int intent) const;

private:
    QString resourceDir;
    LoadedImage current;
    ColourProfile handLoaded;
    PixelTotals totals;
};
