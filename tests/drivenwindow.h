#pragma once

#include "modaldialogs.h"
#include "windowtestaccess.h"

#include <QtTest>
#include <QtWidgets>

// A point of widget in the coordinates of its window, where QTest sends events.
inline QPoint inWindow(QWidget *widget, QPoint point)
{
    return widget->mapTo(widget->window(), point);
}

// The window at a usual size with a picture opened and its patch rows
// measured, driven through its window handle as a user's keys and mouse reach it.
class DrivenWindow
{
public:
    explicit DrivenWindow(const QString &picture) : access(window)
    {
        window.resize(1113, 806);
        window.show();
        // Keys reach the shortcuts of the active window only.
        window.activateWindow();
        active = QTest::qWaitForWindowActive(&window);
        window.openImageFile(picture);
        // The zoom bar that comes with the picture narrows the view, and the fit follows.
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        // A row that never comes fails the comparisons of its test.
        static_cast<void>(waitForWholeImageRow());
    }

    // The rows are measured once the picture is in view, and the window takes no input meanwhile.
    bool waitForWholeImageRow()
    {
        const auto *rows = window.findChild<QTableWidget *>("patchTable");
        return QTest::qWaitFor([rows] {
            const QTableWidgetItem *values = rows->item(0, 6);
            return values && !values->text().isEmpty();
        });
    }

    QGraphicsView *view() { return access.ui().graphicsView; }

    // A dialog that has closed leaves the window to be made active again, as a user's click does.
    bool reactivate()
    {
        window.activateWindow();
        return QTest::qWaitForWindowActive(&window);
    }

    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(window.windowHandle(), key, modifiers);
    }

    QPoint onPicture(QPointF scenePoint) { return inWindow(view()->viewport(), view()->mapFromScene(scenePoint)); }

    void drag(QPointF from, QPointF to, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mousePress(window.windowHandle(), Qt::LeftButton, modifiers, onPicture(from));
        QTest::mouseMove(window.windowHandle(), onPicture((from + to) / 2));
        QTest::mouseMove(window.windowHandle(), onPicture(to));
        QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, modifiers, onPicture(to));
    }

    // Presses the keys of a save action and answers its file dialog with the filter and the path;
    // returns once the file is there.
    void saveThroughDialog(Qt::Key key, Qt::KeyboardModifiers modifiers, const QString &filter, const QString &path)
    {
        whenModalAppears([filter, path](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            dialog->selectNameFilter(filter);
            dialog->findChild<QLineEdit *>("fileNameEdit")->setText(path);
            static_cast<QDialog *>(dialog)->accept();
        });
        this->key(key, modifiers);
        QTRY_VERIFY(QFileInfo::exists(path));
        QVERIFY(reactivate());
    }

    CVCImageWindow window;
    WindowTestAccess access;
    bool active = false;
};
