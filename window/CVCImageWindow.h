#pragma once

#include "StatusNotes.h"
#include "lcmshandles.h"

#include <QImage>
#include <QMainWindow>
#include <QMap>
#include <QSettings>
#include <QString>

#include <array>

class QGraphicsScene;

namespace Ui {
class ImageWindow;
}

class CVCImageWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit CVCImageWindow(QWidget *parent = nullptr);
    ~CVCImageWindow() override;

protected:
    void resizeEvent(QResizeEvent *event) override;
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
    void ResetPanel();
    void LoadSettings();
    void SaveSettings();
    bool showWarning(const QString &message, bool withCancel, const QString &reason = QString());

    int SetupDisplayTransform(cmsHPROFILE inputProfile);
    int ConvertToDisplay(const float pixel[4], float *red, float *green, float *blue);
    void BuildDisplayImage();
    void ShowScene(QGraphicsScene *scene);

    bool SetupLabTransform();
    void StartComputation();
    bool ConvertToLab(const float pixel[4], float *L, float *a, float *b);
    void LabToLCh(float L, float a, float b, float *lightness, float *chroma, float *hue);
    void ShowValues();
    void PaintSwatch();
    void ShowInkCoverage(const float average[4]);

    QString profileDescription(cmsHPROFILE profile) const;
    void assignDefaultProfile();
    QString DefaultProfileFile() const;
    int channelsOfProfile(cmsHPROFILE profile) const;
    void ParseAttributes(const QString &description);
    void TakeEmbeddedProfile();
    QString DefaultProfileText() const;
    bool InkPagesCover() const;
    void RefuseImage(const QString &reason);
    QString FileReason(const QString &fileName, const QString &readerSays) const;

    cmsColorSpaceSignature colorSpaceForPhotometric(int photometric) const;
    cmsColorSpaceSignature ExpectedImageColorSpace() const;
    bool profileSignatureIs(cmsHPROFILE profile, cmsUInt32Number signature, bool pcs) const;
    QString ChooseProfileFile();
    QString ProfileMismatch(cmsHPROFILE candidate) const;

    int numberOfInks() const { return imageAttributes.value("NumberOfInks"); }

    friend class WindowTestAccess;

    Ui::ImageWindow *ui;
    QString sourceProfileText;
    QMap<QString, int> imageAttributes;
    QImage displayImage;
    QImage sourceImage;
    QImage inkPage1Image;
    QImage inkPage2Image;
    ProfileHandle sourceProfile;
    ProfileHandle imageProfile;
    ProfileHandle labProfile;
    TransformHandle labTransform;
    TransformHandle displayTransform;
    float inputScale = 1.0f;
    qint32 pixelCount = 0;
    std::array<double, 4> channelSums{};
    std::array<float, 3> averageLab{};
    std::array<float, 3> averageLch{};
    QSettings settings;
    QString lastImageDir;
    QString lastProfileDir;
    // Kept for the output conversion; no measurement uses it.
    ProfileHandle destinationProfile;
    StatusNotes statusNotes;
};
