#include "BarLayoutDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <cmath>

namespace {

// Most bars are one row or a few rows of square patches: of the grids with
// exactly count cells, the one whose cells are closest to square.
GridLayout squarestGrid(const QRect &area, int count)
{
    GridLayout grid;
    grid.area = area;
    double best = -1.0;
    for (int rows = 1; rows <= count; ++rows) {
        if (count % rows != 0)
            continue;
        const double cellAspect = (double(area.width()) / (count / rows)) / (double(area.height()) / rows);
        const double distance = std::abs(std::log(cellAspect));
        if (best < 0.0 || distance < best) {
            best = distance;
            grid.rows = rows;
            grid.columns = count / rows;
        }
    }
    return grid;
}

} // namespace

BarLayoutDialog::BarLayoutDialog(const QRect &area, int patchCount, const std::optional<GridLayout> &last,
                                 QWidget *parent)
    : QDialog(parent)
    , area(area)
    , patchCount(patchCount)
    , rows(new QSpinBox(this))
    , columns(new QSpinBox(this))
    , order(new QComboBox(this))
    , corner(new QComboBox(this))
    , inset(new QDoubleSpinBox(this))
    , cellCount(new QLabel(this))
{
    setWindowTitle(tr("Colour bar layout"));
    rows->setObjectName("rowsSB");
    columns->setObjectName("columnsSB");
    order->setObjectName("orderCB");
    corner->setObjectName("cornerCB");
    inset->setObjectName("insetSB");
    cellCount->setObjectName("cellCountL");
    for (QSpinBox *box : {rows, columns})
        box->setRange(1, 10000);
    order->addItems({tr("Row by row"), tr("Column by column")});
    corner->addItems({tr("Top left"), tr("Top right"), tr("Bottom left"), tr("Bottom right")});
    inset->setRange(0.0, 49.0);
    inset->setDecimals(1);
    inset->setSuffix(tr(" %"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok = buttons->button(QDialogButtonBox::Ok);
    auto *form = new QFormLayout(this);
    form->addRow(tr("Rows:"), rows);
    form->addRow(tr("Columns:"), columns);
    form->addRow(tr("Order:"), order);
    form->addRow(tr("First patch:"), corner);
    form->addRow(tr("Inset from each edge:"), inset);
    form->addRow(cellCount);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    for (QSpinBox *box : {rows, columns})
        connect(box, QOverload<int>::of(&QSpinBox::valueChanged), this, &BarLayoutDialog::showCellCount);
    offer(last && last->cellCount() == patchCount ? *last : squarestGrid(area, patchCount));
}

void BarLayoutDialog::offer(const GridLayout &grid)
{
    rows->setValue(grid.rows);
    columns->setValue(grid.columns);
    order->setCurrentIndex(grid.order == GridOrder::RowMajor ? 0 : 1);
    corner->setCurrentIndex(int(grid.start));
    inset->setValue(grid.insetPercent);
    showCellCount();
}

void BarLayoutDialog::showCellCount()
{
    const int cells = rows->value() * columns->value();
    const bool fits = cells == patchCount;
    cellCount->setText(fits ? tr("%1 cells for the %2 patches of the reference").arg(cells).arg(patchCount)
                            : tr("%1 cells, but the reference has %2 patches").arg(cells).arg(patchCount));
    ok->setEnabled(fits);
}

GridLayout BarLayoutDialog::layout() const
{
    GridLayout grid;
    grid.area = area;
    grid.rows = rows->value();
    grid.columns = columns->value();
    grid.order = order->currentIndex() == 0 ? GridOrder::RowMajor : GridOrder::ColumnMajor;
    grid.start = GridCorner(corner->currentIndex());
    grid.insetPercent = inset->value();
    return grid;
}
