#include "resourcedir.h"

#include <QCoreApplication>
#include <QDir>
#include <QTranslator>

QString getApplicationDir()
{
    return QDir(QCoreApplication::applicationDirPath()).absolutePath();
}

QString getResourceDir()
{
    return getApplicationDir() + "/Resources";
}

void useProgramImageReaders()
{
    QCoreApplication::addLibraryPath(getApplicationDir() + "/plugins");
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
