#include "rasterdrawing.h"

#include <QByteArray>
#include <QtGlobal>

// Every window is drawn by the processor. Qt loads the GL driver anyway to
// ask what it could do, and a software driver brings a whole compiler with
// it: some 50 MB and the time to map them. A setting of the user's own stays.
void drawWithoutOpenGL()
{
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", QByteArray("none"));
}
