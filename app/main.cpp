#include "CVCImageWindow.h"
#include "bytekeepingcodec.h"
#include "commandline.h"
#include "resourcedir.h"
#include "identity.h"
#include "memorybudget.h"
#include "rasterdrawing.h"
#include "startup.h"
#include "terminal.h"

#include <QApplication>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

int main(int argc, char *argv[])
{
    setApplicationIdentity();
    // A file named on the command line or chosen in a dialog opens even when its name is not UTF-8.
    ByteKeepingCodec::useForLocaleWhenUtf8();
    if (asksOnlyTheTerminal(argc, argv)) {
        // --help and --version answer without a window or a display.
        QCoreApplication terminal(argc, argv);
        return readCommandLine(QCoreApplication::arguments()).exitCode;
    }

    drawWithoutOpenGL();
    QApplication app(argc, argv);
    prepareProgram(app);
    // Read after Qt has taken its own options (-platform, -style ...) out.
    const StartRequest request = readCommandLine(QCoreApplication::arguments());
    if (request.exitNow)
        return request.exitCode;
    QCoreApplication::processEvents();

    QPixmap splashPicture(getResourceDir() + "/Splash.png");
    QSplashScreen splash(splashPicture, Qt::WindowStaysOnTopHint);
    splash.show();
    QTimer::singleShot(3000, &splash, &QWidget::close);
    // Paint the splash screen before the main window is built.
    QCoreApplication::processEvents();

    const QString budgetWarning = memoryLimitWarning();
    if (!budgetWarning.isEmpty())
        printTo(stderr, "lumivant: " + budgetWarning + "\n");
    CVCImageWindow window;
    window.show();
    if (!request.imageFile.isEmpty())
        QTimer::singleShot(0, &window, [&] { window.openImageFiles(request.imageFile, request.notOpened); });
    return app.exec();
}
