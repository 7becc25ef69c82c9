#include "readerfuzzing.h"

#include <QBuffer>
#include <QColorSpace>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <cstdlib>

void readAsTheLoaderDoes(const QByteArray &bytes, const char *format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    if (!reader.canRead())
        return;
    reader.size();
    reader.text("Description");
    const QImage picture = reader.read();
    if (picture.isNull())
        return;
    picture.colorSpace().iccProfile();
    picture.text("Notes");
    for (int image = 1; image <= 2; ++image) {
        reader.jumpToImage(image);
        reader.read();
    }
}

void startQtForFuzzing(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    QCoreApplication::addLibraryPath(QCoreApplication::applicationDirPath() + "/plugins");
    // The readers' own budget, so that their refusals come before libFuzzer's malloc limit.
    if (qEnvironmentVariableIsEmpty("LUMIVANT_MEMORY_LIMIT_MB"))
        qputenv("LUMIVANT_MEMORY_LIMIT_MB", "256");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    for (const char *format : {"tiff", "jpeg"})
        readAsTheLoaderDoes(QByteArray("warm up"), format);
}
