#include "profilechoicejob.h"

void ProfileChoiceJob::run(WorkControl *)
{
    if (refused || !monitor)
        return;
    // The view draws the picture itself at the size it is shown; the counts stay those of the load.
    RenderedDisplay kept;
    kept.totals = totals;
    rendered = std::move(kept);
}
