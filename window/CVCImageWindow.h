#pragma once

#include "BackgroundWork.h"
#include "StatusNotes.h"
#include "averagecolour.h"
#include "colourprofile.h"
#include "measuringsession.h"

#include <QImage>
#include <QMainWindow>
#include <QSettings>
#include <QString>

class PictureZoom;
class PointerReadout;
class QGraphicsScene;

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
    bool showWarning(const QString &message, bool withCancel, const QString &reason = QString());

    bool ShowLoad(LoadOutcome &&outcome, RenderedDisplay &&rendered, const QString &fileName);
    void ShowLoadFailure(const Failure &failure, const QString &fileName);
    void ShowSourceProfile();
    bool BuildDisplayImage();
    void ShowDisplay(RenderedDisplay &&rendered);
    void RenderForMonitor();
    void ShowScene(QGraphicsScene *scene);
    // Whether the view shows the picture of the image in the session.
    bool PictureShown() const;
    void ShowLoadSummary(const QString &name, qint64 counted, qint64 elapsedMs);
    void ShowCancelled(const QString &what);

    bool SetupLabTransform();
    void ShowValues();
    // The swatch of the shown average, as the monitor shows it.
    void PaintSwatch();
    void ShowInkCoverage();
    // What the status bar tells of an image pixel under the pointer.
    std::optional<QString> DescribePixel(QPoint pixel) const;

    QString ChooseProfileFile();
    bool useEmbeddedProfile() const;
    int renderingIntent() const;
    ColourProfile monitorProfile() const;

    friend class WindowTestAccess;

    Ui::ImageWindow *ui;
    MeasuringSession session;
    QImage displayImage;
    // Whether the picture shown went through a display transform, and the scale it used.
    bool displayConverted = false;
    float inputScale = 1.0f;
    // The result the panel shows; the L*a*b* / L*C*h* switch rewrites the values from it.
    AverageColour shownAverage;
    QSettings settings;
    QString lastImageDir;
    QString lastProfileDir;
    // Kept for the output conversion; no measurement uses it.
    ColourProfile destinationProfile;
    StatusNotes statusNotes;
    BackgroundWork *work;
    PictureZoom *pictureZoom;
    PointerReadout *pointerReadout;
    // The name of the file whose image is shown, for the work titles.
    QString shownFileName;
};
