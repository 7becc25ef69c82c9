#include "filemeasurement.h"

#include "colourprofile.h"
#include "failuretext.h"
#include "measuringsession.h"

#include <QImage>

namespace {

// The average under the options' intent, through the options' profile when they name one.
SessionResult measureAsChosen(MeasuringSession &session, const MeasureOptions &options)
{
    if (!options.profile.isEmpty()) {
        const SessionResult chosen = session.apply(session.useHandLoadedProfile(options.profile));
        if (chosen.failure.kind == FailureKind::ProfileUnreadable ||
            chosen.failure.kind == FailureKind::ProfileMismatch)
            return chosen;
    }
    return session.setIntent(options.intent);
}

} // namespace

FileMeasurement measureFile(const QString &file, const MeasureOptions &options, const QString &resourceDir)
{
    FileMeasurement result;
    result.file = file;
    MeasuringSession session(resourceDir);
    LoadJob load = session.loadJob(file);
    load.run();
    const SessionResult loaded = session.finishLoad(std::move(load));
    result.notes = loaded.notes;
    if (loaded.failure.refusesImage()) {
        result.error = FailureText::sentence(loaded.failure);
        return result;
    }
    result.width = session.image().size.width();
    result.height = session.image().size.height();
    result.numberOfInks = session.numberOfInks();
    result.profile = session.profileText();

    const SessionResult measured = measureAsChosen(session, options);
    if (measured.failure.kind != FailureKind::NoTransform && measured.failure) {
        result.error = FailureText::sentence(measured.failure, options.profile);
        return result;
    }
    result.profile = session.profileText();
    result.pixels = loaded.pixelsCounted;
    if (!measured.average) {
        result.error = FailureText::sentence(measured.failure);
        return result;
    }
    result.average = *measured.average;
    const ColourProfile srgb = ColourProfile::srgb();
    result.srgb = swatchLevels(measured.average->lab, options.intent, srgb.handle()).value_or(std::array<int, 3>{});
    return result;
}
