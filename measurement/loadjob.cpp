#include "loadjob.h"

#include "workcontrol.h"

LoadJob::LoadJob(const QString &fileName, const QString &resourceDir, std::optional<ColourProfile> monitor)
    : fileName(fileName)
    , resourceDir(resourceDir)
    , monitor(std::move(monitor))
{
}

void LoadJob::run(WorkControl *control)
{
    if (control)
        control->setPhase(0, 400);
    outcome = loadImageFile(fileName, resourceDir, control);
    if (outcome.failure || workCancelled(control))
        return;
    if (control)
        control->setPhase(400, 1000);
    const LoadedImage &image = outcome.image;
    if (monitor)
        rendered = renderDisplay(image.pixelSources(), image.sourceProfile.handle(), monitor->handle(), control);
    else
        rendered.totals = countPixels(image.pixelSources(), control);
}
