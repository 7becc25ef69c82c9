#include "startup.h"

#include "resourcedir.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>
#include <QTranslator>

void setApplicationIdentity()
{
    QCoreApplication::setApplicationName("Lumivant");
    QCoreApplication::setOrganizationName("Veltrane");
    QCoreApplication::setOrganizationDomain("veltrane.com");
    QCoreApplication::setApplicationVersion(LUMIVANT_VERSION);
}

void applyLookAndFeel(QApplication &)
{
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setFont(QFont("Segoe UI", 12, QFont::Normal, false));
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

void useProgramImageReaders()
{
    QCoreApplication::addLibraryPath(getApplicationDir() + "/plugins");
}
