#include "regularfile.h"

#include <QCoreApplication>
#include <QFile>

#include <sys/stat.h>

namespace {

QString kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "of an unknown kind";
}

} // namespace

QString notRegularFileReason(const QString &fileName)
{
    struct stat status {};
    if (::stat(QFile::encodeName(fileName).constData(), &status) != 0 || S_ISREG(status.st_mode))
        return QString();
    return QCoreApplication::translate("CVCImageWindow", "it is not a regular file (%1)").arg(kindOf(status.st_mode));
}
