#include "startup.h"

#include "resourcedir.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

void setApplicationIdentity()
{
    QCoreApplication::setApplicationName("Lumivant");
    QCoreApplication::setOrganizationName("Veltrane");
    QCoreApplication::setOrganizationDomain("veltrane.com");
}

void applyLookAndFeel(QApplication &)
{
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setFont(QFont("Segoe UI", 12, QFont::Normal, false));
}

void useProgramImageReaders()
{
    QCoreApplication::addLibraryPath(getApplicationDir() + "/plugins");
}
