#include "resourcedir.h"

#include <QCoreApplication>
#include <QDir>
#include <QIcon>
#include <QTranslator>

QString getApplicationDir()
{
    return QDir(QCoreApplication::applicationDirPath()).absolutePath();
}

namespace {

// In the build tree the run-time files sit beside the executable; in an
// installed tree they sit where the system keeps data and libraries, found
// relative to the executable so that any prefix works.
QString besideOrInstalled(const QString &beside, const QString &installed)
{
    const QString buildTree = getApplicationDir() + "/" + beside;
    if (QDir(buildTree).exists())
        return buildTree;
    return QDir::cleanPath(getApplicationDir() + "/" + installed);
}

} // namespace

QString getResourceDir()
{
    return besideOrInstalled("Resources", LUMIVANT_INSTALLED_RESOURCES);
}

void useProgramImageReaders()
{
    QCoreApplication::addLibraryPath(besideOrInstalled("plugins", LUMIVANT_INSTALLED_PLUGINS));
}

QIcon programIcon()
{
    QIcon icon(getResourceDir() + "/icons/lumivant.svg");
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QString("%1/icons/lumivant-%2.png").arg(getResourceDir()).arg(size), QSize(size, size));
    return icon;
}

bool installTranslations(QCoreApplication &app)
{
    auto *translator = new QTranslator(&app);
    if (!translator->load("lumivant_en", getResourceDir())) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}
