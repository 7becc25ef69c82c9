#pragma once

#include "colourbarcheck.h"

#include <QColor>
#include <QDockWidget>
#include <QStringList>
#include <QVector>

#include <array>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// The check of a colour bar against its reference, docked beside the patch
// table: the reference and the tolerance set in force, then a row per rule
// (value, limit, pass or fail) and a row per patch (measured and reference
// L*a*b*, the differences, uniformity, pass or fail, and both colours side by side).
class ColourBarCheckDock : public QDockWidget
{
    Q_OBJECT

public:
    // The measured and the reference colour of a patch as the monitor shows them; nothing: none.
    using SwatchPair = std::array<std::optional<QColor>, 2>;

    explicit ColourBarCheckDock(QWidget *parent);

    void showReference(const QString &text);
    // The tolerance sets by name; an entry after them opens another set from a file.
    void showToleranceSets(const QStringList &names, int chosen);
    // The rows of a check, or none; swatches in the order of its patches.
    void showCheck(const ColourBarCheck *check, const QVector<SwatchPair> &swatches);

signals:
    void openReferenceRequested();
    // index is that of a set shown, or their number for the entry that opens another.
    void toleranceSetChosen(int index);
    void exportRequested();

private:
    void showRules(const ColourBarCheck &check);
    void showPatches(const ColourBarCheck &check, const QVector<SwatchPair> &swatches);

    QLabel *reference;
    QComboBox *toleranceSets;
    QPushButton *exportReport;
    QTableWidget *rules;
    QTableWidget *patches;
};
