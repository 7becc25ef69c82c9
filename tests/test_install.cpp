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
        // One flat colour of 40 %, 20 %, 0 % and 10.2 % ink, through each of the program's readers.
        const QVector<int> inks = {102, 51, 0, 26};
        CmykJpegFile jpeg;
        jpeg.ink = [inks](int, int, int c) { return inks[c]; };
        images << writeCmykJpeg(dir + "/inks.jpg", jpeg);
        TiffPage tiff;
        tiff.sample = [inks](int, int, int s) { return inks[s]; };
        QVERIFY(writeTiff(dir + "/inks.tif", {tiff}));
        images << dir + "/inks.tif";
    }

    // The readers and the default CMYK profile are found: the values worked out
    // once with Little CMS through that press profile, relative colorimetric.
    void installedProgramsRun()
    {
        const Run installed = run(prefix + "/bin/lumivant-measure", QStringList({"--format", "csv"}) + images);
        QCOMPARE(installed.exitCode, 0);
        const QList<QByteArray> rows = installed.out.split('\n');
        QCOMPARE(rows.size(), 4);
        const QSize sizes[] = {{16, 16}, {4, 3}};
        for (int i = 0; i < 2; ++i) {
            const QString expected = QString("%1,true,,%2,%3,4,none (Default CMYK assigned),%4,67.98,-3.54,-22.16,"
                                             "22.45,260.92,40.00,20.00,0.00,10.20,70.20")
                                         .arg(images[i])
                                         .arg(sizes[i].width())
                                         .arg(sizes[i].height())
                                         .arg(sizes[i].width() * sizes[i].height());
            QCOMPARE(QString(rows[i + 1]).section(',', 0, 17), expected);
        }
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
