#include "profilechoicejob.h"

void ProfileChoiceJob::run(WorkControl *control)
{
    if (refused || !monitor)
        return;
    // The view draws the picture itself at the size it is shown; the job counts the pixels again.
    RenderedDisplay counted;
    counted.totals = countPixels(sources, control);
    rendered = std::move(counted);
}
