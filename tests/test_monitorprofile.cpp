// The monitor profile published on the X root window, under a real X server.
#include "lcmshandles.h"
#include "profiles.h"
#include "testenvironment.h"
#include "widgetprofile.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QX11Info>

#include <xcb/xcb.h>

#include <cstdlib>

namespace {

xcb_atom_t atom(const char *name)
{
    xcb_connection_t *connection = QX11Info::connection();
    const xcb_intern_atom_cookie_t cookie = xcb_intern_atom(connection, 0, uint16_t(strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

void publishMonitorProfile(const QByteArray &bytes)
{
    xcb_change_property(QX11Info::connection(), XCB_PROP_MODE_REPLACE, QX11Info::appRootWindow(),
                        atom("_ICC_PROFILE"), XCB_ATOM_CARDINAL, 8, uint32_t(bytes.size()), bytes.constData());
    xcb_flush(QX11Info::connection());
}

void withdrawMonitorProfile()
{
    for (const char *name : {"_ICC_PROFILE", "_ICC_PROFILE_1"})
        xcb_delete_property(QX11Info::connection(), QX11Info::appRootWindow(), atom(name));
    xcb_flush(QX11Info::connection());
}

void publishScreenProfile(const QByteArray &bytes)
{
    xcb_change_property(QX11Info::connection(), XCB_PROP_MODE_REPLACE, QX11Info::appRootWindow(),
                        atom("_ICC_PROFILE_1"), XCB_ATOM_CARDINAL, 8, uint32_t(bytes.size()), bytes.constData());
    xcb_flush(QX11Info::connection());
}

// sRGB red as a monitor with this profile is sent it.
QColor redOn(cmsHPROFILE monitor)
{
    ProfileHandle srgb(cmsCreate_sRGBProfile());
    TransformHandle toMonitor(
        cmsCreateTransform(srgb.get(), TYPE_RGB_FLT, monitor, TYPE_RGB_FLT, INTENT_RELATIVE_COLORIMETRIC, 0));
    const float red[3] = {1.0f, 0.0f, 0.0f};
    float shown[3];
    cmsDoTransform(toMonitor.get(), red, shown, 1);
    QColor colour;
    colour.setRgbF(qBound(0.0, double(shown[0]), 1.0), qBound(0.0, double(shown[1]), 1.0),
                   qBound(0.0, double(shown[2]), 1.0));
    return colour;
}

bool near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) <= 1 && qAbs(a.green() - b.green()) <= 1 && qAbs(a.blue() - b.blue()) <= 1;
}

// A window showing sRGB red, rendered for its monitor.
void renderRedImage(CVCImageWindow &window)
{
    WindowTestAccess access(window);
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(QColor(255, 0, 0));
    access.holdImage(red, 3, cmsCreate_sRGBProfile());
    access.buildDisplayImage();
}

// The same, measured.
void showRedImage(CVCImageWindow &window)
{
    renderRedImage(window);
    QVERIFY(WindowTestAccess(window).setupLabTransform());
}

QString description(cmsHPROFILE profile)
{
    char text[256] = {};
    cmsGetProfileInfoASCII(profile, cmsInfoDescription, "en", "US", text, sizeof text);
    return QString::fromLatin1(text);
}

QColor shownRed(CVCImageWindow &window)
{
    renderRedImage(window);
    return WindowTestAccess(window).displayImage().pixelColor(0, 0);
}

} // namespace

class TestMonitorProfile : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        setUpTestEnvironment();
        if (!QX11Info::isPlatformX11())
            QSKIP("needs an X server (run under xvfb-run with QT_QPA_PLATFORM=xcb)");
        withdrawMonitorProfile();
    }

    void cleanup() { withdrawMonitorProfile(); }

    void publishedProfileIsUsed()
    {
        CVCImageWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QColor fallbackRed = shownRed(window);
        QCOMPARE(fallbackRed, QColor(255, 0, 0));

        ProfileHandle wide(makeWideRgbProfile("Lumivant Test Wide Monitor"));
        publishMonitorProfile(profileBytes(wide.get()));
        ProfileHandle found(getWidgetProfile(&window));
        QVERIFY(found);
        QCOMPARE(description(found.get()), QString("Lumivant Test Wide Monitor"));
        // sRGB red lies well inside the wide gamut, so the monitor gets less than full red.
        const QColor wideRed = shownRed(window);
        QVERIFY2(wideRed != fallbackRed, qPrintable(wideRed.name()));
        QVERIFY(wideRed.red() < 250);
    }

    // A colour-management daemon publishes another profile: the picture and the
    // swatch follow; the values stay.
    void publishedChangeRendersAgain()
    {
        CVCImageWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        showRedImage(window);
        WindowTestAccess access(window);
        QCOMPARE(access.displayImage().pixelColor(0, 0), QColor(255, 0, 0));
        const QString values = access.ui().lL->text() + access.ui().aL->text() + access.ui().bL->text();
        const QString swatch = access.ui().colorL->styleSheet();

        ProfileHandle wide(makeWideRgbProfile("Daemon's Monitor"));
        publishMonitorProfile(profileBytes(wide.get()));
        QTRY_VERIFY(near(access.displayImage().pixelColor(0, 0), redOn(wide.get())));
        QCOMPARE(access.ui().lL->text() + access.ui().aL->text() + access.ui().bL->text(), values);
        QVERIFY(access.ui().colorL->styleSheet() != swatch);
    }

    // The window moves to a screen with a profile of its own.
    void anotherScreenRendersAgain()
    {
        if (QGuiApplication::screens().size() < 2)
            QSKIP("needs a second screen (xvfb-run -s \"-screen 0 ... -screen 1 ...\")");
        ProfileHandle wide(makeWideRgbProfile("Second Screen"));
        publishScreenProfile(profileBytes(wide.get()));
        CVCImageWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        showRedImage(window);
        WindowTestAccess access(window);
        QCOMPARE(access.displayImage().pixelColor(0, 0), QColor(255, 0, 0));
        window.windowHandle()->setScreen(QGuiApplication::screens().at(1));
        QTRY_VERIFY(near(access.displayImage().pixelColor(0, 0), redOn(wide.get())));
    }

    void unreadablePropertyFallsBackToSrgb()
    {
        publishMonitorProfile("not an ICC profile");
        CVCImageWindow window;
        window.show();
        QTest::ignoreMessage(QtDebugMsg, "Using standard sRGB profile");
        ProfileHandle found(getWidgetProfile(&window));
        QVERIFY(found);
        QCOMPARE(cmsGetColorSpace(found.get()), cmsSigRgbData);
    }

    void withdrawnPropertyFallsBackToSrgb()
    {
        CVCImageWindow window;
        window.show();
        QTest::ignoreMessage(QtDebugMsg, "Using standard sRGB profile");
        ProfileHandle found(getWidgetProfile(&window));
        QVERIFY(found);
        QVERIFY(description(found.get()).contains("sRGB"));
    }
};

QTEST_MAIN(TestMonitorProfile)
#include "test_monitorprofile.moc"
