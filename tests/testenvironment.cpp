#include "testenvironment.h"

#include "identity.h"
#include "resourcedir.h"

#include <QApplication>
#include <QDir>
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
    // A home of our own, with the desktop directory the dialogs start in.
    const QString home = temporaryDir().path() + "/home";
    QDir().mkpath(home + "/Desktop");
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + "/.config").toLocal8Bit());
    useProgramImageReaders();
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, temporaryDir().path() + "/settings");
}

QString testDirectory()
{
    return temporaryDir().path();
}
