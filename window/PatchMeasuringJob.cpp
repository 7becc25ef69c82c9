#include "PatchMeasuringJob.h"

#include "measuringsession.h"
#include "workcontrol.h"

PatchMeasuringJob::PatchMeasuringJob(const MeasuringSession &session, const QVector<Patch> &patches)
    : sources(session.image().pixelSources())
    , intent(session.renderingIntent())
    , patches(patches)
{
    if (cmsHPROFILE handle = session.measuringProfile())
        profile = ColourProfile::copyOf(handle);
}

void PatchMeasuringJob::run(WorkControl *control)
{
    results.clear();
    for (int i = 0; i < patches.size(); ++i) {
        if (workCancelled(control))
            return;
        results << measurePatch(sources, patches[i], profile.handle(), intent);
        reportWork(control, double(i + 1) / patches.size());
    }
}
