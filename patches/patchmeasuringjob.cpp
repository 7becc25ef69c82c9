#include "patchmeasuringjob.h"

#include "measuringsession.h"
#include "workcontrol.h"

namespace {

// The session's own profile object for the handle it measures through, so that its copy can be exact.
const ColourProfile &measuringProfileOf(const MeasuringSession &session)
{
    const ColourProfile &imageOwn = session.image().sourceProfile;
    return imageOwn.handle() == session.measuringProfile() ? imageOwn : session.handLoadedProfile();
}

} // namespace

PatchMeasuringJob::PatchMeasuringJob(const MeasuringSession &session, const QVector<Patch> &patches)
    : rows(session.image().rows)
    , intent(session.renderingIntent())
    , patches(patches)
    , profile(measuringProfileOf(session).exactCopy())
    , pictureTotals(session.pixelTotals())
{
}

void PatchMeasuringJob::run(WorkControl *control)
{
    results.clear();
    for (int i = 0; i < patches.size(); ++i) {
        if (workCancelled(control))
            return;
        // Each patch its share of the progress, which its passes over the rows report.
        if (control)
            control->setPhase(1000 * i / patches.size(), 1000 * (i + 1) / patches.size());
        results << (rows ? measurePatch(*rows, patches[i], profile.handle(), intent, control, &pictureTotals) : PatchMeasurement());
        reportWork(control, 1.0);
    }
}
