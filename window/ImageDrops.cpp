#include "ImageDrops.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

ImageDrops::ImageDrops(QWidget *target, std::function<void(const QString &)> open)
    : QObject(target), open(std::move(open))
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
    for (QWidget *inside : target->findChildren<QWidget *>()) {
        if (inside->acceptDrops())
            inside->installEventFilter(this);
    }
}

QString ImageDrops::droppedImage(const QMimeData *data)
{
    if (!data || !data->hasUrls() || data->urls().size() != 1 || !data->urls().first().isLocalFile())
        return QString();
    const QString file = data->urls().first().toLocalFile();
    const QString suffix = QFileInfo(file).suffix().toLower();
    const bool image = suffix == "jpg" || suffix == "jpeg" || suffix == "tif" || suffix == "tiff";
    return image ? file : QString();
}

bool ImageDrops::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDropEvent *>(event);
        if (droppedImage(drag->mimeData()).isEmpty())
            drag->ignore();
        else
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString file = droppedImage(drop->mimeData());
        if (file.isEmpty()) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        open(file);
        return true;
    }
    default:
        return false;
    }
}
