// Opening files the way desktop users do, and taking the numbers away.
#include "commandline.h"
#include "imagefiles.h"
#include "modaldialogs.h"
#include "testenvironment.h"
#include "tifffiles.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

namespace {

QStringList shownValues(WindowTestAccess &access)
{
    Ui::ImageWindow &ui = access.ui();
    return {ui.imageL->text(), ui.embeddedL->text(), ui.lL->text(), ui.aL->text(), ui.bL->text()};
}

// Drags mime over target and drops it there, as the window system hands a
// drag to the window; returns whether the drag was accepted.
bool dropOn(QWidget *target, QMimeData *mime)
{
    QWidget *window = target->window();
    const QPoint place = target->mapTo(window, target->rect().center());
    QDragEnterEvent enter(place, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->windowHandle(), &enter);
    QDragMoveEvent move(place, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->windowHandle(), &move);
    if (!move.isAccepted())
        return false;
    QDropEvent drop(place, Qt::CopyAction, mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window->windowHandle(), &drop);
    return true;
}

QString programPath()
{
    return QCoreApplication::applicationDirPath() + "/lumivant";
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        dir = testDirectory() + "/desktop";
        QDir().mkpath(dir);
    }

    void openedFileIsLikeAChosenOne()
    {
        const QString path = writeJpeg(dir, "opened.jpg", solidImage(8, 6, QColor(30, 120, 200)));
        CVCImageWindow chosen;
        WindowTestAccess chosenAccess(chosen);
        QCOMPARE(clickThroughDialog(chosenAccess.ui().loadImagePB, path), QStringList());

        CVCImageWindow opened;
        WindowTestAccess openedAccess(opened);
        startRecordingWarnings();
        opened.openImageFile(path);
        QCOMPARE(stopRecordingWarnings(), QStringList());
        QCOMPARE(shownValues(openedAccess), shownValues(chosenAccess));
        QCOMPARE(openedAccess.lastImageDir(), dir);

        startRecordingWarnings();
        opened.openImageFile(dir + "/missing.jpg");
        QCOMPARE(stopRecordingWarnings(), QStringList({"noImage"}));
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("exitNow");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("imageFile");
        QTest::addColumn<QStringList>("notOpened");
        const QStringList none;
        QTest::newRow("nothing") << QStringList({"lumivant"}) << false << 0 << "" << none;
        QTest::newRow("a file") << QStringList({"lumivant", dir + "/a.tif"}) << false << 0 << dir + "/a.tif" << none;
        QTest::newRow("relative file") << QStringList({"lumivant", "b.jpg"}) << false << 0
                                       << QDir::current().absoluteFilePath("b.jpg") << none;
        QTest::newRow("several files") << QStringList({"lumivant", "b.jpg", "c.tif", "d.jpg"}) << false << 0
                                       << QDir::current().absoluteFilePath("b.jpg") << QStringList({"c.tif", "d.jpg"});
        QTest::newRow("help") << QStringList({"lumivant", "--help"}) << true << 0 << "" << none;
        QTest::newRow("unknown option") << QStringList({"lumivant", "--bogus"}) << true << 2 << "" << none;
    }

    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, exitNow);
        QFETCH(int, exitCode);
        QFETCH(QString, imageFile);
        QFETCH(QStringList, notOpened);
        const StartRequest request = readCommandLine(arguments);
        QCOMPARE(request.exitNow, exitNow);
        QCOMPARE(request.exitCode, exitCode);
        QCOMPARE(request.imageFile, imageFile);
        QCOMPARE(request.notOpened, notOpened);
    }

    // Several files from a launcher or a shell: the first opens, the others are named.
    void furtherFilesAreNamed()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        window.openImageFiles(writeJpeg(dir, "first.jpg", solidImage(4, 4, Qt::red)),
                              {dir + "/second.tif", dir + "/third.jpg"});
        QCOMPARE(access.ui().imageL->text(), QString("first.jpg"));
        QVERIFY2(access.ui().mainStatusBar->currentMessage().endsWith(
                     "  One image is measured at a time; not opened: second.tif, third.jpg"),
                 qPrintable(access.ui().mainStatusBar->currentMessage()));
    }

    // Answered on the terminal, with no display at all.
    void helpAndVersionWithoutDisplay()
    {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("DISPLAY");
        environment.remove("QT_QPA_PLATFORM");
        program.setProcessEnvironment(environment);
        program.start(programPath(), {"--version"});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()), "Lumivant " + QCoreApplication::applicationVersion() + "\n");
        program.start(programPath(), {"--help"});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().contains("[FILE]"));
    }

    void droppedImageOpens_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("on the picture") << "graphicsView";
        QTest::newRow("on the panel") << "imageF";
    }

    void droppedImageOpens()
    {
        QFETCH(QString, where);
        const QString path = writeJpeg(dir, "dropped.jpg", solidImage(5, 5, QColor(200, 20, 90)));
        CVCImageWindow window;
        window.show();
        WindowTestAccess access(window);
        window.openImageFile(writeJpeg(dir, "shown.jpg", solidImage(5, 5, Qt::green)));
        auto *mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(path)});
        QVERIFY(dropOn(window.findChild<QWidget *>(where), mime));
        QTRY_COMPARE(access.ui().imageL->text(), QString("dropped.jpg"));
        QCOMPARE(access.lastImageDir(), dir);
        delete mime;
    }

    void otherDropsAreRefused_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QString>("text");
        QTest::newRow("text") << QList<QUrl>() << "just text";
        QTest::newRow("PNG") << QList<QUrl>({QUrl::fromLocalFile(dir + "/picture.png")}) << "";
        QTest::newRow("two images") << QList<QUrl>({QUrl::fromLocalFile(dir + "/a.jpg"), QUrl::fromLocalFile(dir + "/b.tif")})
                                    << "";
        QTest::newRow("web address") << QList<QUrl>({QUrl("https://example.com/photo.jpg")}) << "";
    }

    void otherDropsAreRefused()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QString, text);
        CVCImageWindow window;
        window.show();
        WindowTestAccess access(window);
        QMimeData mime;
        mime.setUrls(urls);
        if (!text.isEmpty())
            mime.setText(text);
        QVERIFY(!dropOn(access.ui().graphicsView, &mime));
        QApplication::processEvents();
        QCOMPARE(access.ui().imageL->text(), QString("none"));
    }

    void copyPutsTheResultsOnOneLine()
    {
        CVCImageWindow window;
        WindowTestAccess access(window);
        QApplication::clipboard()->setText("before");
        access.ui().actionEditCopy->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString("before"));

        window.openImageFile(writeJpeg(dir, "copied.jpg", solidImage(4, 4, QColor(255, 0, 0))));
        access.ui().actionEditCopy->trigger();
        const QString lab = QString("copied.jpg: L* %1, a* %2, b* %3")
                                .arg(access.ui().lL->text(), access.ui().aL->text(), access.ui().bL->text());
        QCOMPARE(QApplication::clipboard()->text(), lab);
        QCOMPARE(access.ui().actionEditCopy->shortcut(), QKeySequence(QKeySequence::Copy));
        access.ui().lchRB->click();
        access.ui().actionEditCopy->trigger();
        QVERIFY(QApplication::clipboard()->text().startsWith("copied.jpg: L* " + access.ui().lL->text() + ", C* "));
        QVERIFY(access.ui().lL->textInteractionFlags() & Qt::TextSelectableByMouse);

        TiffPage inks;
        inks.sample = [](int, int, int s) { return s == 0 ? 51 : s == 3 ? 26 : 0; };
        QVERIFY(writeTiff(dir + "/inks.tif", {inks}));
        window.openImageFile(dir + "/inks.tif");
        access.ui().actionEditCopy->trigger();
        QVERIFY2(QApplication::clipboard()->text().endsWith("; C 20%, M 0%, Y 0%, K 10%, total 30%"),
                 qPrintable(QApplication::clipboard()->text()));
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
