#include "PatchTableDock.h"

#include "SwatchIcon.h"

#include <QHeaderView>
#include <QSignalBlocker>
#include <QTableWidget>

namespace {

// The editable columns of a patch's row: its name, then x, y, width and height.
constexpr int nameColumn = 0;
constexpr int lastPlaceColumn = 4;

} // namespace

PatchTableDock::PatchTableDock(QWidget *parent) : QDockWidget(tr("Patches"), parent), grid(new QTableWidget(this))
{
    setObjectName("patchTableDock");
    grid->setObjectName("patchTable");
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    grid->verticalHeader()->hide();
    grid->setIconSize(QSize(48, 16));
    setWidget(grid);
    connect(grid, &QTableWidget::itemSelectionChanged, this, [this] {
        if (!filling)
            emit rowChosen(chosenRow());
    });
    connect(grid, &QTableWidget::cellChanged, this, [this](int row, int column) {
        if (!filling)
            cellEdited(row, column);
    });
}

void PatchTableDock::showRows(const QStringList &headers, const QVector<QStringList> &rows,
                              const QVector<std::optional<QColor>> &swatches)
{
    filling = true;
    const int chosen = chosenRow();
    const QStringList labels = headers + QStringList{tr("Swatch")};
    // Other columns (another picture's, or L*C*h* for L*a*b*): an old cell
    // kept under a new heading would keep what it showed, a swatch say.
    if (columnLabels() != labels)
        grid->clearContents();
    grid->setColumnCount(labels.size());
    grid->setHorizontalHeaderLabels(labels);
    grid->setRowCount(rows.size());
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < rows[row].size(); ++column)
            showText(row, column, rows[row][column]);
        auto *swatch = new QTableWidgetItem;
        swatch->setFlags(swatch->flags() & ~Qt::ItemIsEditable);
        if (swatches.value(row))
            swatch->setIcon(swatchIcon(*swatches[row], grid->iconSize()));
        grid->setItem(row, headers.size(), swatch);
    }
    grid->resizeColumnsToContents();
    // Choosing anew would close a cell the user is typing in.
    if (chosenRow() != chosen || grid->selectedItems().isEmpty())
        choose(qMin(chosen, rows.size() - 1));
    filling = false;
}

QStringList PatchTableDock::columnLabels() const
{
    QStringList labels;
    for (int column = 0; column < grid->columnCount(); ++column)
        labels << (grid->horizontalHeaderItem(column) ? grid->horizontalHeaderItem(column)->text() : QString());
    return labels;
}

void PatchTableDock::showText(int row, int column, const QString &text)
{
    // Rows are measured while the user may be typing in another cell; its
    // item and editor stay as long as the text is the same.
    QTableWidgetItem *item = grid->item(row, column);
    if (item) {
        if (item->text() != text)
            item->setText(text);
        return;
    }
    item = new QTableWidgetItem(text);
    // The whole image has no name or place of its own to edit.
    const bool editable = row > 0 && column <= lastPlaceColumn;
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    grid->setItem(row, column, item);
}

int PatchTableDock::chosenRow() const
{
    const QList<QTableWidgetItem *> chosen = grid->selectedItems();
    return chosen.isEmpty() ? 0 : chosen.first()->row();
}

void PatchTableDock::choose(int row)
{
    const QSignalBlocker quiet(grid);
    grid->selectRow(row);
}

void PatchTableDock::cellEdited(int row, int column)
{
    if (row == 0)
        return;
    const QString text = grid->item(row, column)->text();
    if (column == nameColumn) {
        emit nameEdited(row - 1, text);
        return;
    }
    int place[4];
    for (int i = 0; i < 4; ++i) {
        bool whole = false;
        place[i] = grid->item(row, i + 1)->text().toInt(&whole);
        // A text that is no whole number puts the old one back.
        if (!whole) {
            emit rectEdited(row - 1, QRect());
            return;
        }
    }
    emit rectEdited(row - 1, QRect(place[0], place[1], place[2], place[3]));
}
