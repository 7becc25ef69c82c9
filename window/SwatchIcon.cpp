#include "SwatchIcon.h"

#include <QPixmap>

QIcon swatchIcon(const QColor &colour, QSize size)
{
    QPixmap filled(size);
    filled.fill(colour);
    QIcon icon;
    for (QIcon::Mode mode : {QIcon::Normal, QIcon::Selected, QIcon::Active})
        icon.addPixmap(filled, mode);
    return icon;
}
