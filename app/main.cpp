#include "CVCImageWindow.h"
#include "resourcedir.h"
#include "startup.h"

#include <QApplication>
#include <QPixmap>
#include <QSplashScreen>
#include <QTimer>

int main(int argc, char *argv[])
{
    setApplicationIdentity();
    QApplication app(argc, argv);
    useProgramImageReaders();
    installTranslations(app);
    applyLookAndFeel(app);
    QCoreApplication::processEvents();

    QPixmap splashPicture(getResourceDir() + "/Splash.png");
    QSplashScreen splash(splashPicture, Qt::WindowStaysOnTopHint);
    splash.show();
    QTimer::singleShot(3000, &splash, &QWidget::close);
    // Paint the splash screen before the main window is built.
    QCoreApplication::processEvents();

    CVCImageWindow window;
    window.show();
    return app.exec();
}
