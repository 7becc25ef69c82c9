#include "stockjpegplugin.h"

#include <QDebug>
#include <QImageIOPlugin>
#include <QLibraryInfo>
#include <QPluginLoader>

QImageIOPlugin *stockJpegPlugin()
{
    static QImageIOPlugin *const plugin = [] {
        // Never unloaded: handlers it made may live until the program ends.
        static QPluginLoader loader(QLibraryInfo::location(QLibraryInfo::PluginsPath) + "/imageformats/libqjpeg.so");
        auto *stock = qobject_cast<QImageIOPlugin *>(loader.instance());
        if (!stock)
            qDebug() << "Qt's JPEG plugin is missing; JPEGs cannot be written:" << loader.errorString();
        return stock;
    }();
    return plugin;
}
