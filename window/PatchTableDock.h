#pragma once

#include <QColor>
#include <QDockWidget>
#include <QRect>
#include <QStringList>
#include <QVector>

#include <optional>

class QTableWidget;

// The patch table, docked under the picture: a first row for the whole image, then a
// row per patch, with a swatch at the end of each. A row chosen here tells
// the window which values to show; the name and the place and size of a
// patch are edited in their cells.
class PatchTableDock : public QDockWidget
{
    Q_OBJECT

public:
    explicit PatchTableDock(QWidget *parent);

    // The texts of every row (the whole image's first) under headers, and their
    // swatches (nothing: none). The chosen row stays chosen.
    void showRows(const QStringList &headers, const QVector<QStringList> &rows,
                  const QVector<std::optional<QColor>> &swatches);
    // The chosen row: 0 for the whole image, n for the patch at n - 1.
    int chosenRow() const;
    void choose(int row);

signals:
    void rowChosen(int row);
    void nameEdited(int patchIndex, const QString &name);
    void rectEdited(int patchIndex, const QRect &rect);

private:
    QStringList columnLabels() const;
    void showText(int row, int column, const QString &text);
    void cellEdited(int row, int column);

    QTableWidget *grid;
    // Set while the window fills the cells, which are no user's edits.
    bool filling = false;
};
