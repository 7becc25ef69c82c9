// Draws the window with a colour bar and a patch set measured in its table,
// offscreen, and saves the picture for the README: patchtableshot OUT.png
#include "CVCImageWindow.h"
#include "identity.h"
#include "patchsetfile.h"
#include "resourcedir.h"

#include <QApplication>
#include <QDockWidget>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {

// Six solids of a printed colour bar on paper, with a little grain so the spread is not zero.
QImage colourBar()
{
    QImage bar(720, 240, QImage::Format_RGB32);
    bar.fill(QColor(246, 244, 238));
    const QColor solids[] = {{0, 158, 224}, {226, 0, 122}, {255, 237, 0}, {35, 31, 32}, {204, 51, 51}, {128, 128, 128}};
    QPainter painter(&bar);
    for (int i = 0; i < 6; ++i)
        painter.fillRect(30 + i * 112, 40, 100, 160, solids[i]);
    painter.end();
    QRandomGenerator grain(7);
    for (int y = 0; y < bar.height(); ++y)
        for (int x = 0; x < bar.width(); ++x) {
            const QColor colour = bar.pixelColor(x, y);
            const int shift = int(grain.bounded(7)) - 3;
            bar.setPixelColor(x, y, QColor(qBound(0, colour.red() + shift, 255), qBound(0, colour.green() + shift, 255),
                                           qBound(0, colour.blue() + shift, 255)));
        }
    return bar;
}

QVector<Patch> barPatches()
{
    const char *names[] = {"Cyan", "Magenta", "Yellow", "Black", "Red", "Grey"};
    QVector<Patch> patches;
    for (int i = 0; i < 6; ++i)
        patches << Patch{names[i], i == 5 ? PatchShape::Ellipse : PatchShape::Rect, QRect(40 + i * 112, 60, 80, 120)};
    patches << Patch{"Paper", PatchShape::Rect, QRect(30, 210, 660, 20)};
    return patches;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::fputs("usage: patchtableshot OUT.png\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    setApplicationIdentity();
    QApplication app(argc, argv);
    useProgramImageReaders();
    // The user's own settings stay untouched.
    QTemporaryDir work;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, work.path());

    const QString picture = work.path() + "/colour-bar.jpg";
    QImageWriter writer(picture);
    writer.setQuality(100);
    QString error;
    const QString set = work.path() + "/colour-bar.json";
    if (!writer.write(colourBar()) || !PatchSetFile::write(set, barPatches(), &error)) {
        QTextStream(stderr) << "patchtableshot: " << (error.isEmpty() ? writer.errorString() : error) << "\n";
        return 1;
    }
    CVCImageWindow window;
    window.resize(1280, 1000);
    window.show();
    window.openImageFile(picture);
    window.openPatchSet(set);
    // Every row in view, once the layout has settled.
    QCoreApplication::processEvents();
    auto *table = window.findChild<QDockWidget *>("patchTableDock");
    window.resizeDocks({table}, {330}, Qt::Vertical);
    QCoreApplication::processEvents();
    if (!window.grab().save(QString::fromLocal8Bit(argv[1]))) {
        QTextStream(stderr) << "patchtableshot: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
