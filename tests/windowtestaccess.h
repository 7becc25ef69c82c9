#pragma once

#include "bandpass.h"
#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

#include "PictureRendering.h"
#include "PictureView.h"

#include "widgetprofile.h"

// Lets a test hand the window an image with its attributes and profile, and
// read back what the display pass and the measurement computed.
class WindowTestAccess
{
public:
    explicit WindowTestAccess(CVCImageWindow &window) : w(window) {}

    Ui::ImageWindow &ui() { return *w.ui; }

    // Takes ownership of profile.
    void holdImage(const QImage &picture, int numberOfInks, cmsHPROFILE profile, const QImage &inkPage1 = {},
                   const QImage &inkPage2 = {})
    {
        LoadOutcome held;
        held.reach = LoadOutcome::Reach::PictureDecoded;
        held.image.picture = picture;
        held.image.inkPage1 = inkPage1;
        held.image.inkPage2 = inkPage2;
        held.image.attributes.insert("NumberOfInks", numberOfInks);
        held.image.sourceProfile = ColourProfile::adopt(profile);
        held.image.size = picture.size();
        held.image.rows = std::make_shared<KeptRows>(held.image.pixelSources());
        held.totals = passOverBands(*held.image.rows, 0, nullptr).totals;
        w.session.adopt(std::move(held));
    }

    void buildDisplayImage() { w.BuildDisplayImage(); }
    bool setupLabTransform() { return w.SetupLabTransform(); }
    // Builds the display transform for profile as a rebuild would: 0 when it exists, -1 otherwise.
    int setupDisplayTransform(cmsHPROFILE profile)
    {
        const ColourProfile monitor = ColourProfile::adopt(getWidgetProfile(&w));
        float scale = 1.0f;
        return makeDisplayTransform(profile, monitor.handle(), w.session.numberOfInks(), &scale) ? 0 : -1;
    }

    // The whole picture at 100 %, drawn as the view draws it.
    QImage displayImage() const
    {
        const QSize size = w.pictureView->picture()->size();
        return w.pictureView->picture()->render(QRectF(QPointF(0, 0), QSizeF(size)), size);
    }
    // area at size as the view draws it from the picture's rows, without the boxes gathered during the load.
    QImage drawnFromRows(const QRectF &area, QSize size) const
    {
        const LoadedImage &image = w.session.image();
        const ColourProfile monitor = w.monitorProfile();
        return PictureRendering(image.rows, image.pixelSources(), w.session.displayProfile(), monitor.handle())
            .render(area, size);
    }
    const std::shared_ptr<const BoxAverages> &firstDrawing() const { return w.session.image().firstDrawing; }
    PictureView &pictureView() { return *w.pictureView; }
    const QImage &sourceImage() const { return w.session.image().picture; }
    qint64 pixelCount() const { return w.session.pixelTotals().pixelCount; }
    double channelSum(int i) const { return w.session.pixelTotals().channelSums[size_t(i)]; }
    float inputScale() const { return w.pictureView->picture()->inputScale(); }
    bool displayTransform() const { return w.pictureView->picture()->converted(); }
    cmsHPROFILE sourceProfile() const { return w.session.image().sourceProfile.handle(); }
    cmsHPROFILE imageProfile() const { return w.session.handLoadedProfile().handle(); }
    const std::array<float, 3> &averageLab() const { return w.shownAverage.lab; }
    const std::array<float, 3> &averageLch() const { return w.shownAverage.lch; }
    void setAverages(const std::array<float, 3> &lab, const std::array<float, 3> &lch)
    {
        w.shownAverage.lab = lab;
        w.shownAverage.lch = lch;
    }
    const QMap<QString, int> &attributes() const { return w.session.image().attributes; }
    QString lastImageDir() const { return w.lastImageDir; }
    QString lastProfileDir() const { return w.lastProfileDir; }

private:
    CVCImageWindow &w;
};
