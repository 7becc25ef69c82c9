#include "modaldialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
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

void answerFileDialog(const QString &path)
{
    whenModalAppears([path](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!dialog) {
            qobject_cast<QDialog *>(modal)->reject();
            return;
        }
        if (path.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept();
    });
}

namespace {
QPointer<QTimer> warningTimer;
QStringList recordedWarnings;
} // namespace

void startRecordingWarnings()
{
    recordedWarnings.clear();
    warningTimer = new QTimer(qApp);
    QObject::connect(warningTimer.data(), &QTimer::timeout, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            recordedWarnings << box->text();
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
