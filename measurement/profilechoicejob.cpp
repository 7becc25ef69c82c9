#include "profilechoicejob.h"

void ProfileChoiceJob::run(WorkControl *control)
{
    if (refused || !monitor)
        return;
    rendered = renderDisplay(sources, displayInput.handle(), monitor->handle(), control);
}
