#include "startup.h"

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

void applyLookAndFeel(QApplication &)
{
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setFont(QFont("Segoe UI", 12, QFont::Normal, false));
}
