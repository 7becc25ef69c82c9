#include "JpegImagePlugin.h"

#include "JpegImageHandler.h"
#include "stockjpegplugin.h"

#include <QIODevice>

QImageIOPlugin::Capabilities JpegImagePlugin::capabilities(QIODevice *device, const QByteArray &format) const
{
    if (QImageIOPlugin *stock = stockJpegPlugin())
        return stock->capabilities(device, format);
    if (format == "jpg" || format == "jpeg" || JpegImageHandler::canRead(device))
        return CanRead;
    return Capabilities();
}

// A device that holds a JPEG to read is ours; anything else, which is
// writing or not a JPEG at all, goes where it went before.
QImageIOHandler *JpegImagePlugin::create(QIODevice *device, const QByteArray &format) const
{
    QImageIOPlugin *stock = stockJpegPlugin();
    if (stock && !JpegImageHandler::canRead(device))
        return stock->create(device, format);
    auto *handler = new JpegImageHandler;
    handler->setDevice(device);
    handler->setFormat(format);
    return handler;
}
