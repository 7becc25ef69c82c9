#include "loadjob.h"

#include "workcontrol.h"

LoadJob::LoadJob(const QString &fileName, const QString &resourceDir, std::optional<ColourProfile> monitor,
                 FirstDrawingSize firstDrawing)
    : fileName(fileName)
    , resourceDir(resourceDir)
    , monitor(std::move(monitor))
    , firstDrawing(std::move(firstDrawing))
{
}

void LoadJob::run(WorkControl *control)
{
    if (control)
        control->setPhase(0, 1000);
    // Only the window keeps the samples, for zoom and the pixel under the pointer.
    outcome = loadImageFile(fileName, resourceDir, control, monitor ? SampleKeeping::WithinBudget : SampleKeeping::None,
                            monitor ? firstDrawing : FirstDrawingSize());
    // The view draws the picture itself, at the size it is shown, once the values are in.
    rendered.totals = outcome.totals;
}
