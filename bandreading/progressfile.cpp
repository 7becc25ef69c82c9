#include "progressfile.h"

#include "workcontrol.h"

ProgressFile::ProgressFile(const QString &fileName, WorkControl *control) : QFile(fileName), control(control) {}

qint64 ProgressFile::readData(char *data, qint64 maxSize)
{
    if (workCancelled(control))
        return -1;
    const qint64 got = QFile::readData(data, maxSize);
    if (got > 0 && size() > 0)
        reportWork(control, double(pos() + got) / double(size()));
    return got;
}
