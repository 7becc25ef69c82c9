#include "resourcedir.h"

#include <QCoreApplication>
#include <QDir>

QString getApplicationDir()
{
    return QDir(QCoreApplication::applicationDirPath()).absolutePath();
}

QString getResourceDir()
{
    return getApplicationDir() + "/Resources";
}
