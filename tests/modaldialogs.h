#pragma once

#include <QString>
#include <QWidget>

#include <functional>

// Answers the next modal dialog from a timer, so the code under test keeps
// calling the real QFileDialog / QMessageBox. The answer runs once; if no
// dialog shows up within timeoutMs the timer gives up quietly.
void whenModalAppears(std::function<void(QWidget *)> answer, int timeoutMs = 5000);

// Answers the next file dialog with path (empty: cancel it).
void answerFileDialog(const QString &path);

// Closes every warning box that appears until stopRecordingWarnings(), keeping their texts.
void startRecordingWarnings();
QStringList stopRecordingWarnings();

