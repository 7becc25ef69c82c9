#pragma once

#include "averagecolour.h"
#include "failure.h"
#include "imageloader.h"
#include "loadjob.h"
#include "profilechoice.h"
#include "sessionresult.h"

#include <QString>

#include <optional>

// One pixel of the image as the measurement sees it.
struct PixelReading {
    PixelValues values;
    PixelMask mask = PixelMask::Counted;
    // Through the measuring profile and intent; nothing when no conversion can be made.
    std::optional<std::array<float, 3>> lab;
};

// The image being measured and the user's choices for it: the core that the
// window and the command-line measurer share. It knows no widgets. Each
// operation gives one SessionResult: the average, or the failure with its
// reason, and the notes for the status bar. Heavy work comes out as a job
// that may run on any thread; the operation that takes the job back in
// changes the session.
class MeasuringSession
{
public:
    explicit MeasuringSession(const QString &resourceDir) : resourceDir(resourceDir) {}

    // Opening a file; given a monitor, the job also renders the picture for
    // it, and gathers the boxes of its first drawing at firstDrawing's size.
    LoadJob loadJob(const QString &fileName, std::optional<ColourProfile> monitor = std::nullopt,
                    FirstDrawingSize firstDrawing = {}) const;
    // A new image starts measured through its own profile under the relative
    // colorimetric intent, and forgets the profile loaded for the one before.
    // An image too large to load changes nothing.
    SessionResult finishLoad(LoadJob &&job);
    // Takes in a read image as finishLoad() does, as far as its reading got.
    void adopt(LoadOutcome &&outcome);

    const LoadedImage &image() const { return current; }
    int numberOfInks() const { return current.numberOfInks(); }

    // The image measured through its own profile (embedded or default) or the hand-loaded one.
    ProfileChoice useEmbeddedProfile(bool embedded, std::optional<ColourProfile> monitor = std::nullopt) const;
    // A profile loaded by hand from path, measured through from then on; the
    // choice is refused, and nothing changes, when it does not open or does not
    // fit the image.
    ProfileChoice useHandLoadedProfile(const QString &path, std::optional<ColourProfile> monitor = std::nullopt) const;
    // The picture to be drawn for another monitor; the choices and the average stay.
    ProfileChoice redraw(ColourProfile monitor) const;
    SessionResult apply(ProfileChoice &&choice);

    // The kept sums converted again under intent; nothing is read again.
    SessionResult setIntent(int intent);

    bool usesEmbeddedProfile() const { return embedded; }
    int renderingIntent() const { return intent; }
    const ColourProfile &handLoadedProfile() const { return handLoaded; }
    // The name of the profile the image is measured through, as the panel shows it.
    QString profileText() const;
    // Whether there is a profile to show the picture through.
    bool canShowConverted() const { return displayProfile() != nullptr; }
    const PixelTotals &pixelTotals() const { return totals; }
    // The profile the average is measured through: the image's own or the hand-loaded one.
    cmsHPROFILE measuringProfile() const;
    // The picture is shown through the hand-loaded profile when the embedded
    // one is not used and there is one; the average has no such fallback.
    cmsHPROFILE displayProfile() const;

    // The pixel at (x, y) of the picture; nothing outside it or when the
    // picture's samples are not kept in memory.
    std::optional<PixelReading> readPixel(int x, int y) const;

private:
    ProfileChoice choiceOf(bool embedded, std::optional<ColourProfile> monitor) const;
    ColourProfile openHandLoadedProfile(const QString &path, Failure *failure) const;
    // The sums of a pass kept, with the note when it counted nothing.
    void takeTotals(const PixelTotals &counted, SessionResult *result);
    // The display taken in: its sums kept, its notes and the warning of a missing profile.
    void takeDisplay(RenderedDisplay &&rendered, SessionResult *result);
    // The average of the kept sums under the choices in force, or why there is none.
    void measure(SessionResult *result);
    // Why measure() gave nothing: no profile can exist for what the file
    // announced, the default profile did not open, or Little CMS refused the
    // conversion through the profile named profileText.
    QString noTransformReason(const QString &profileText) const;

    QString resourceDir;
    LoadedImage current;
    bool embedded = true;
    ColourProfile handLoaded;
    QString handLoadedText;
    int intent = INTENT_RELATIVE_COLORIMETRIC;
    PixelTotals totals;
};
