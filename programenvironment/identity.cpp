#include "identity.h"

#include <QCoreApplication>

void setApplicationIdentity()
{
    QCoreApplication::setApplicationName("Lumivant");
    QCoreApplication::setOrganizationName("Veltrane");
    QCoreApplication::setOrganizationDomain("veltrane.com");
    QCoreApplication::setApplicationVersion(LUMIVANT_VERSION);
}
