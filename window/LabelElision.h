#pragma once

#include <QObject>

class QLabel;

// Lets a label show a value of any length without widening the panel it sits
// in: a text wider than the label is drawn elided in the middle, and the
// whole text becomes the label's tool tip. text() keeps the whole text.
class LabelElision : public QObject
{
public:
    static void apply(QLabel *label);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit LabelElision(QLabel *label);
};
