#pragma once

#include <QString>
#include <QWidget>

#include <functional>

// Answers the next modal dialog from a timer, so the code under test keeps
// calling the real QFileDialog / QMessageBox. The answer runs once; if no
// dialog shows up within timeoutMs the timer gives up quietly.
void whenModalAppears(std::function<void(QWidget *)> answer, int timeoutMs = 5000);

// Answers the next file dialog with path (empty: cancel it). When given,
// seenDialog receives the dialog's caption, start directory and name filters.
struct FileDialogSeen {
    QString caption;
    QString directory;
    QStringList filters;
};
void answerFileDialog(const QString &path, FileDialogSeen *seenDialog = nullptr);

// Closes every warning box that appears until stopRecordingWarnings(), keeping their texts.
void startRecordingWarnings();
QStringList stopRecordingWarnings();
// The informative texts (the reasons) of the boxes of the last recording, in order.
QStringList recordedWarningReasons();


class QAbstractButton;

// Clicks button, answers the file dialog it opens with path, and returns the
// texts of the warning boxes that came up meanwhile.
QStringList clickThroughDialog(QAbstractButton *button, const QString &path, FileDialogSeen *seenDialog = nullptr);
