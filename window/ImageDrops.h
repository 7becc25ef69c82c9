#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QMimeData;
class QWidget;

// Lets a window take an image file dropped anywhere on it, the way desktop
// users open files: exactly one local .jpg, .jpeg, .tif or .tiff file is
// accepted and handed to open; every other drop is refused. Widgets inside
// that take drops of their own (the picture's view) hand image files on too.
class ImageDrops : public QObject
{
public:
    ImageDrops(QWidget *target, std::function<void(const QString &)> open);

    // The file a drop carries, or empty when the drop is not one image file.
    static QString droppedImage(const QMimeData *data);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<void(const QString &)> open;
};
