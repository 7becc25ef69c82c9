#include "modaldialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDebug>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

void whenModalAppears(std::function<void(QWidget *)> answer, int timeoutMs)
{
    auto *timer = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, answer, waited, timeoutMs] {
        *waited += timer->interval();
        if (QWidget *modal = QApplication::activeModalWidget()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        } else if (*waited > timeoutMs) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(10);
}

void answerFileDialog(const QString &path, FileDialogSeen *seenDialog)
{
    // The dialog may still be populating its directory when it first shows;
    // the answer is repeated until the dialog has really closed.
    auto *timer = new QTimer(qApp);
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, path, seenDialog, waited] {
        *waited += timer->interval();
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (*waited > 10000) {
                timer->stop();
                timer->deleteLater();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (seenDialog)
            *seenDialog = {dialog->windowTitle(), dialog->directory().absolutePath(), dialog->nameFilters()};
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typing the full path is what a user does; it does not depend on the
        // directory the dialog is still loading.
        auto *nameEdit = dialog->findChild<QLineEdit *>("fileNameEdit");
        nameEdit->setText(path);
        static_cast<QDialog *>(dialog)->accept();
        if (dialog->isVisible())
            qDebug() << "file dialog refused" << path << dialog->selectedFiles();
    });
    timer->start(10);
}

namespace {
QPointer<QTimer> warningTimer;
QStringList recordedWarnings;
QStringList recordedReasons;
} // namespace

void startRecordingWarnings()
{
    recordedWarnings.clear();
    recordedReasons.clear();
    warningTimer = new QTimer(qApp);
    QObject::connect(warningTimer.data(), &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            recordedWarnings << box->text();
            recordedReasons << box->informativeText();
            box->button(QMessageBox::Ok)->click();
        }
    });
    warningTimer->start(10);
}

QStringList stopRecordingWarnings()
{
    delete warningTimer.data();
    return recordedWarnings;
}

QStringList recordedWarningReasons()
{
    return recordedReasons;
}

QStringList clickThroughDialog(QAbstractButton *button, const QString &path, FileDialogSeen *seenDialog)
{
    answerFileDialog(path, seenDialog);
    startRecordingWarnings();
    button->click();
    return stopRecordingWarnings();
}
