// The monitor profile where the platform publishes none (offscreen).
#include "lcmshandles.h"
#include "widgetprofile.h"

#include <QtTest>
#include <QWidget>

class TestWidgetProfile : public QObject
{
    Q_OBJECT

private slots:
    void noWidgetFallsBackToSrgb()
    {
        QTest::ignoreMessage(QtDebugMsg, "Widget is NULL");
        QTest::ignoreMessage(QtDebugMsg, "Using standard sRGB profile");
        ProfileHandle profile(getWidgetProfile(nullptr));
        QVERIFY(profile);
        QCOMPARE(cmsGetColorSpace(profile.get()), cmsSigRgbData);
    }

    void widgetWithoutPublishedProfileFallsBackToSrgb()
    {
        QWidget widget;
        widget.show();
        QTest::ignoreMessage(QtDebugMsg, "Using standard sRGB profile");
        ProfileHandle first(getWidgetProfile(&widget));
        QTest::ignoreMessage(QtDebugMsg, "Using standard sRGB profile");
        ProfileHandle second(getWidgetProfile(&widget));
        // Every call hands out a handle of its own.
        QVERIFY(first && second && first.get() != second.get());
    }
};

QTEST_MAIN(TestWidgetProfile)
#include "test_widgetprofile.moc"
