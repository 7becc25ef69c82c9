// The installed tree: it runs from any prefix, with its readers and default
// profiles, and its desktop files are valid.
#include "jpegfiles.h"
#include "testenvironment.h"
#include "tifffiles.h"

#include <QtTest>

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
};

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(120000);
    return {process.exitCode(), process.readAllStandardOutput() + process.readAllStandardError()};
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT

    QString prefix;
    QStringList images;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        prefix = testDirectory() + "/installed prefix";
        const Run install = run(LUMIVANT_CMAKE, {"--install", LUMIVANT_BUILD_DIR, "--prefix", prefix});
        QVERIFY2(install.exitCode == 0, install.out.constData());
        const QString dir = testDirectory();
        CmykJpegFile jpeg;
        jpeg.ink = [](int x, int y, int c) { return (x * 11 + y * 3 + c * 50) % 256; };
        images << writeCmykJpeg(dir + "/inks.jpg", jpeg);
        TiffPage tiff;
        tiff.sample = [](int x, int y, int s) { return (x * 40 + y * 30 + s * 20) % 256; };
        QVERIFY(writeTiff(dir + "/inks.tif", {tiff}));
        images << dir + "/inks.tif";
    }

    // The same numbers as the build tree: the readers and the default profiles are found.
    void installedProgramsRun()
    {
        const Run built = run(QCoreApplication::applicationDirPath() + "/lumivant-measure",
                              QStringList({"--format", "json"}) + images);
        const Run installed = run(prefix + "/bin/lumivant-measure", QStringList({"--format", "json"}) + images);
        QCOMPARE(installed.exitCode, 0);
        QCOMPARE(installed.out, built.out);
        QVERIFY(installed.out.contains("\"profile\":\"none (Default CMYK assigned)\""));
        QVERIFY(installed.out.contains("\"numberOfInks\":4"));
        const Run version = run(prefix + "/bin/lumivant", {"--version"});
        QCOMPARE(version.out, ("Lumivant " + QCoreApplication::applicationVersion() + "\n").toUtf8());
    }

    void desktopFilesAreValid()
    {
        const Run entry = run("desktop-file-validate", {prefix + "/share/applications/org.veltrane.Lumivant.desktop"});
        QVERIFY2(entry.exitCode == 0, entry.out.constData());
        const Run metainfo =
            run("appstreamcli", {"validate", "--no-net", prefix + "/share/metainfo/org.veltrane.Lumivant.metainfo.xml"});
        QVERIFY2(metainfo.exitCode == 0, metainfo.out.constData());
        QFile metainfoFile(prefix + "/share/metainfo/org.veltrane.Lumivant.metainfo.xml");
        QVERIFY(metainfoFile.open(QIODevice::ReadOnly));
        QVERIFY(metainfoFile.readAll().contains("<release version=\"" + QCoreApplication::applicationVersion().toUtf8()));
        for (const char *size : {"16x16", "48x48", "256x256"})
            QVERIFY(QFile::exists(prefix + "/share/icons/hicolor/" + size + "/apps/org.veltrane.Lumivant.png"));
        QVERIFY(QFile::exists(prefix + "/share/icons/hicolor/scalable/apps/org.veltrane.Lumivant.svg"));
        QVERIFY(QFile::exists(prefix + "/share/man/man1/lumivant.1"));
    }
};

QTEST_MAIN(TestInstall)
#include "test_install.moc"
