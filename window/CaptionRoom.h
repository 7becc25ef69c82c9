#pragma once

#include <QObject>

class QLabel;

// Lets the caption of a row give the value beside it the width the form
// keeps spare for alignment, when the value needs it: the caption keeps its
// own text and a space's gap, and the value is elided only when the whole
// row cannot hold it.
class CaptionRoom : public QObject
{
public:
    static void apply(QLabel *caption, QLabel *value);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    CaptionRoom(QLabel *caption, QLabel *value);
    void share();

    QLabel *caption;
    QLabel *value;
    // The width the form gives the caption.
    int formWidth;
};
