// Application identity, look and feel, and where run-time files are found.
#include "resourcedir.h"
#include "identity.h"
#include "startup.h"

#include <QtTest>
#include <QStyle>

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
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
