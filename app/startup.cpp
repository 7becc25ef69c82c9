#include "startup.h"

#include "resourcedir.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QStyleFactory>

void applyLookAndFeel(QApplication &)
{
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setFont(QFont("Segoe UI", 12, QFont::Normal, false));
}

void prepareProgram(QApplication &app)
{
    useProgramImageReaders();
    installTranslations(app);
    applyLookAndFeel(app);
    QApplication::setWindowIcon(programIcon());
}
