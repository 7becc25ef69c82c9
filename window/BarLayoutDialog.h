#pragma once

#include "gridlayout.h"

#include <QDialog>
#include <QRect>

#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

// Asks how the patches of a colour bar drawn around area lie: rows ×
// columns, their order and first corner, and the inset that keeps the
// measured part of each cell off the patch edges. It offers the layout used
// last when it fits the reference's number of patches, else the grid of
// that many cells whose cells are closest to square, and says at once when
// rows × columns do not match the reference.
class BarLayoutDialog : public QDialog
{
    Q_OBJECT

public:
    BarLayoutDialog(const QRect &area, int patchCount, const std::optional<GridLayout> &last, QWidget *parent);

    GridLayout layout() const;

private:
    void offer(const GridLayout &grid);
    void showCellCount();

    QRect area;
    int patchCount;
    QSpinBox *rows;
    QSpinBox *columns;
    QComboBox *order;
    QComboBox *corner;
    QDoubleSpinBox *inset;
    QLabel *cellCount;
    QPushButton *ok;
};
