#pragma once

#include "BackgroundWork.h"
#include "patchrow.h"
#include "StatusNotes.h"
#include "averagecolour.h"
#include "colourbarcheck.h"
#include "gridlayout.h"
#include "colourprofile.h"
#include "measuringsession.h"

#include <QMainWindow>
#include <QSettings>
#include <QString>

class ColourBarCheckDock;
class SwatchTransform;
class PatchOverlay;
class QLabel;
class PatchTableDock;
class PictureView;
class PictureZoom;
class PointerReadout;

namespace Ui {
class ImageWindow;
}

// The program's one window: a view over the measuring session. It asks for
// files and profiles, hands them to the session, and shows the picture, the
// results, the warnings and the notes.
class CVCImageWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit CVCImageWindow(QWidget *parent = nullptr);
    ~CVCImageWindow() override;

    // Opens an image exactly as if it had been chosen in the Open dialog;
    // returns once its values or its warning are shown.
    void openImageFile(const QString &fileName);
    // The same for the first of several files; the status bar names the others, which stay closed.
    void openImageFiles(const QString &fileName, const QStringList &others);
    // Lays the patches of a patch set file on the picture, as if chosen in the Open patch set dialog.
    void openPatchSet(const QString &path);
    // Takes a colour bar reference (CGATS.17), as if chosen in the Open reference dialog.
    void openReference(const QString &path);
    // The results shown, as one line of text; empty before any result.
    QString resultsLine() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private slots:
    void actionAboutTriggered();
    void actionHelpTriggered();
    void actionLoadImage();
    void actionEmbeddedCB();
    void actionLoadImageICC();
    void actionSeparationCB();
    void actionOutputCB();
    void actionLoadDestinationICC();
    void actionRenderingCB(int index);
    void rBClicked(bool);

private:
    void SetupHeader();
    void SetupConnections();
    void KeepValuesInView();
    void SetupDesktopUse();
    void ResetPanel();
    void LoadSettings();
    void NoteMemoryLimit();
    void SaveSettings();
    // The failure's box: its heading and the reason; imageFile names the image a load failed on.
    void ShowFailure(const Failure &failure, const QString &imageFile = QString());

    bool ShowLoad(SessionResult &&result, const QString &fileName);
    void ShowSourceProfile();
    void ShowProfileSource(bool embedded);
    void ShowChoice(SessionResult &result);
    void BuildDisplayImage();
    void ShowNotes(const SessionResult &result);
    // The picture of a result, and the warning when it had no profile to be shown through.
    void ShowRendering(SessionResult &result);
    // The session's picture drawn for the monitor the window stands on.
    void ShowPicture();
    void RenderForMonitor();
    // Whether the view shows the picture of the image in the session.
    bool PictureShown() const;
    void ShowLoadSummary(const QString &name, qint64 counted, qint64 elapsedMs);
    void ShowCancelled(const QString &what);

    bool SetupLabTransform();
    // The average of a result in the panel; false when it has none.
    bool ShowAverage(const SessionResult &result);
    void ShowValues();
    // The swatch of the shown average, as the monitor shows it.
    void PaintSwatch();
    void ShowInkCoverage();
    // What the status bar tells of an image pixel under the pointer.
    std::optional<QString> DescribePixel(QPoint pixel) const;

    // Patches: drawn in the "Measure area" mode, listed in their table, shown in the panel when chosen.
    void SetupPatches();
    void SetupPatchEditing();
    void SetupPatchMenus();
    PatchRow WholeImageRow() const;
    void RenamePatch(int index, const QString &name);
    // A place and size typed in; an empty rectangle puts the old ones back.
    void PlacePatch(int index, const QRect &rect);
    void DeletePatch(int index);
    void MeasureAllPatchRows();
    // The rows wait to be measured anew; the window keeps taking input meanwhile.
    void MeasurePatchRows(const QVector<int> &rows);
    void AwaitMeasuring(int row);
    // Starts measuring the rows that wait, once nothing comes before them.
    void MeasureWaitingRows();
    // Measures the rows that wait before the caller goes on (a copy or an export of
    // the table); false when the user cancelled.
    bool FinishPatchMeasuring();
    struct PatchMeasuringRequest {
        QVector<Patch> patches;
        QVector<quint64> stamps;
    };
    PatchMeasuringRequest WaitingRows() const;
    // The measurements of the rows still as they were when the job was started; a cancel leaves them unmeasured.
    void TakePatchMeasurements(const QVector<PatchMeasurement> &measurements, const QVector<quint64> &stamps,
                               BackgroundWork::Ending ending);
    void ForgetPatchMeasurements();
    // Patches kept for a new picture are cut to it and marked, with a note.
    void KeepPatchesOnPicture();
    void ShowPatchRows();
    // The panel shows the values of the row chosen in the table.
    void ShowChosenRow();
    // Whether the chosen table row has values: the whole image, or a patch measured with pixels counted.
    bool ChosenRowMeasured() const;
    // The rows measured under the choices in force, for the clipboard and the exports.
    QVector<PatchRow> MeasuredPatchRows() const;
    void SavePatchSet();
    void OpenPatchSet();
    void AdoptPatchSet(const QVector<Patch> &patches);
    void ExportPatchTable();
    // The box of a patch file that could not be read or written: heading and reason.
    void ShowPatchFileProblem(const QString &heading, const QString &reason);

    // A colour bar checked against a reference: drawn as a grid of patches
    // named by it, judged by the chosen tolerance set whenever its patches are measured.
    void SetupColourBar();
    void SetupColourBarActions();
    void SetupVerdictLine();
    void LoadToleranceSets();
    // Why the file is no tolerance set; empty when it was added.
    QString AddToleranceSet(const QString &file);
    void ShowToleranceSets();
    // A set shown, or another opened from a file for the entry after them.
    void ChooseToleranceSet(int index);
    void OpenReference();
    void ShowReference();
    void DrawColourBar(bool on);
    void LayOutColourBar(const QRect &area);
    // Whether the bar's patches may take the place of those on the picture.
    bool ConfirmReplacingPatches(int barPatches);
    void CheckColourBar();
    // The same, its swatches through the monitor transform the caller already holds.
    void CheckColourBar(const SwatchTransform &toMonitor);
    ColourBarCheck CheckMeasuredPatches() const;
    void ShowColourBarCheck(const SwatchTransform &toMonitor);
    void ShowVerdict(const ColourBarCheck &check);
    static std::optional<QColor> SwatchColour(const std::array<float, 3> &lab, const SwatchTransform &toMonitor);
    void ExportCheckReport();

    QString ChooseProfileFile();
    int renderingIntent() const;
    ColourProfile monitorProfile() const;
    FirstDrawingSize FittedDrawingSize() const;

    friend class WindowTestAccess;

    Ui::ImageWindow *ui;
    MeasuringSession session;
    // The result the panel shows; the L*a*b* / L*C*h* switch rewrites the values from it.
    AverageColour shownAverage;
    QSettings settings;
    QString lastImageDir;
    QString lastProfileDir;
    // Kept for the output conversion; no measurement uses it.
    ColourProfile destinationProfile;
    StatusNotes statusNotes;
    BackgroundWork *work;
    PictureView *pictureView;
    PictureZoom *pictureZoom;
    PointerReadout *pointerReadout;
    // The name of the file whose image is shown, for the work titles.
    QString shownFileName;
    // The whole picture's average; shownAverage is that of the row chosen in the patch table.
    AverageColour imageAverage;
    PatchOverlay *patchOverlay;
    PatchTableDock *patchTable;
    QAction *measureAreaAction;
    // The whole image first, then one row per patch in the overlay's order;
    // a row is measured under the choices in force or not at all.
    QVector<PatchRow> patchRows;
    QVector<bool> patchRowMeasured;
    // What each row waits for: the stamp of its latest change, given to the
    // job that measures it; 0 when it waits for nothing (its measuring was cancelled).
    QVector<quint64> patchRowStamps;
    quint64 lastPatchStamp = 0;
    QString lastPatchDir;
    ColourBarCheckDock *barDock;
    QAction *colourBarAction;
    QAction *exportCheckAction;
    QLabel *verdictWordL;
    QLabel *verdictL;
    std::optional<ReferenceChart> barReference;
    QVector<ToleranceSet> toleranceSets;
    // The file of each set, kept to choose it again at the next start.
    QStringList toleranceFiles;
    int chosenToleranceSet = 0;
    // The check of the patches as last measured; nothing without a reference, a picture or patches.
    std::optional<ColourBarCheck> barCheck;
    std::optional<GridLayout> lastBarLayout;
    QString lastReferenceDir;
};
