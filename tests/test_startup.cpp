// Application identity, look and feel, and where run-time files are found.
#include "identity.h"
#include "jpegfiles.h"
#include "resourcedir.h"
#include "startup.h"
#include "tifffiles.h"

#include <QtTest>
#include <QImageReader>
#include <QStyle>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    // First of all: nothing may have read an image in this process before.
    // The program's readers must win over Qt's own, however the program's
    // start-up reads its icon.
    void programReadersAreTheOnesInUse()
    {
        prepareProgram(*qApp);
        QTemporaryDir dir;
        TiffPage separation;
        QVERIFY(writeTiff(dir.path() + "/inks.tif", {separation}));
        QImageReader tiff(dir.path() + "/inks.tif");
        QCOMPARE(tiff.imageCount(), 3);
        QCOMPARE(tiff.text("Description"), QString("NumberOfInks:4;Photometric:5"));
        CmykJpegFile cmyk;
        QImageReader jpeg(writeCmykJpeg(dir.path() + "/inks.jpg", cmyk));
        QCOMPARE(jpeg.imageCount(), 3);
        QVERIFY(!QApplication::windowIcon().isNull());
    }

    void identityAndLook()
    {
        setApplicationIdentity();
        QCOMPARE(QCoreApplication::applicationName(), QString("Lumivant"));
        QCOMPARE(QCoreApplication::organizationName(), QString("Veltrane"));
        QVERIFY(!QCoreApplication::organizationDomain().isEmpty());

        applyLookAndFeel(*qApp);
        QCOMPARE(QApplication::style()->objectName().toLower(), QString("fusion"));
        const QFont font = QApplication::font();
        QCOMPARE(font.family(), QString("Segoe UI"));
        QCOMPARE(font.pointSize(), 12);
        QCOMPARE(font.weight(), int(QFont::Normal));
        QVERIFY(!font.italic());
    }

    void resourcesFoundFromAnyWorkingDirectory()
    {
        const QString before = getResourceDir();
        QTemporaryDir elsewhere;
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        QCOMPARE(getResourceDir(), before);
        QVERIFY(QDir::isAbsolutePath(getResourceDir()));
        QVERIFY(!getResourceDir().endsWith('/'));
        QCOMPARE(getResourceDir(), QCoreApplication::applicationDirPath() + "/Resources");
        QVERIFY(QFile::exists(getResourceDir() + "/Splash.png"));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
