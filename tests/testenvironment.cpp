#include "testenvironment.h"

#include "startup.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

namespace {
QTemporaryDir &temporaryDir()
{
    static QTemporaryDir dir;
    return dir;
}
} // namespace

void setUpTestEnvironment()
{
    setApplicationIdentity();
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, temporaryDir().path() + "/settings");
}

QString testDirectory()
{
    return temporaryDir().path();
}
