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
        control->setPhase(0, monitor ? 700 : 1000);
    // Only the window keeps the samples, for zoom and the pixel under the pointer.
    outcome = loadImageFile(fileName, resourceDir, control, monitor ? SampleKeeping::WithinBudget : SampleKeeping::None);
    rendered.totals = outcome.totals;
    if (outcome.failure || workCancelled(control) || !monitor)
        return;
    if (control)
        control->setPhase(700, 1000);
    const LoadedImage &image = outcome.image;
    rendered = renderDisplay(image.pixelSources(), image.sourceProfile.handle(), monitor->handle(), control);
    rendered.totals = outcome.totals;
}
