#pragma once

#include <QFile>

class WorkControl;

// An image file read through a control: how far the reading got is the
// progress of decoding, and once the work is cancelled every further read
// fails, so the decoder gives up at once.
class ProgressFile : public QFile
{
public:
    ProgressFile(const QString &fileName, WorkControl *control);
    // The control of the reading in progress; the file outlives single readings.
    void setControl(WorkControl *current) { control = current; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;

private:
    WorkControl *control;
};
