#include "JpegImagePlugin.h"

#include "JpegImageHandler.h"
#include "cmykjpeg.h"
#include "stockjpegplugin.h"

#include <QIODevice>

namespace {

bool readsFourInks(QIODevice *device)
{
    return device && device->isReadable() && hasFourComponentFrame(device);
}

} // namespace

QImageIOPlugin::Capabilities JpegImagePlugin::capabilities(QIODevice *device, const QByteArray &format) const
{
    if (readsFourInks(device))
        return CanRead;
    if (QImageIOPlugin *stock = stockJpegPlugin())
        return stock->capabilities(device, format);
    return format == "jpg" || format == "jpeg" ? CanRead : Capabilities();
}

QImageIOHandler *JpegImagePlugin::create(QIODevice *device, const QByteArray &format) const
{
    QImageIOPlugin *stock = stockJpegPlugin();
    if (stock && !readsFourInks(device))
        return stock->create(device, format);
    auto *handler = new JpegImageHandler;
    handler->setDevice(device);
    handler->setFormat(format);
    return handler;
}
