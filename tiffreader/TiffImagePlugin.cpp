#include "TiffImagePlugin.h"

#include "TiffImageHandler.h"

QImageIOPlugin::Capabilities TiffImagePlugin::capabilities(QIODevice *device, const QByteArray &format) const
{
    if (format == "tif" || format == "tiff")
        return CanRead;
    if (!format.isEmpty() || !device || !device->isReadable())
        return {};
    return TiffImageHandler::canRead(device) ? CanRead : Capabilities();
}

QImageIOHandler *TiffImagePlugin::create(QIODevice *device, const QByteArray &format) const
{
    routeTiffMessagesToDebug();
    auto *handler = new TiffImageHandler;
    handler->setDevice(device);
    handler->setFormat(format);
    return handler;
}
