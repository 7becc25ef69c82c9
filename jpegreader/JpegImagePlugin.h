#pragma once

#include <QImageIOPlugin>

// The program's plugin for .jpg and .jpeg, found before Qt's own: it reads
// every JPEG itself and hands all writing to Qt's own JPEG plugin.
class JpegImagePlugin : public QImageIOPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QImageIOHandlerFactoryInterface" FILE "jpegreader.json")

public:
    Capabilities capabilities(QIODevice *device, const QByteArray &format) const override;
    QImageIOHandler *create(QIODevice *device, const QByteArray &format = QByteArray()) const override;
};
