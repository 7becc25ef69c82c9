#pragma once

#include "CVCImageWindow.h"
#include "ui_ImageWindow.h"

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
        w.sourceImage = picture;
        w.inkPage1Image = inkPage1;
        w.inkPage2Image = inkPage2;
        w.imageAttributes.clear();
        w.imageAttributes.insert("NumberOfInks", numberOfInks);
        w.sourceProfile.reset(profile);
    }
    void setImageProfile(cmsHPROFILE profile) { w.imageProfile.reset(profile); }

    void buildDisplayImage() { w.BuildDisplayImage(); }
    bool setupLabTransform() { return w.SetupLabTransform(); }
    int setupDisplayTransform(cmsHPROFILE profile) { return w.SetupDisplayTransform(profile); }

    const QImage &displayImage() const { return w.displayImage; }
    const QImage &sourceImage() const { return w.sourceImage; }
    qint32 pixelCount() const { return w.pixelCount; }
    double channelSum(int i) const { return w.channelSums[size_t(i)]; }
    float inputScale() const { return w.inputScale; }
    cmsHTRANSFORM displayTransform() const { return w.displayTransform.get(); }
    cmsHPROFILE sourceProfile() const { return w.sourceProfile.get(); }
    cmsHPROFILE imageProfile() const { return w.imageProfile.get(); }
    const std::array<float, 3> &averageLab() const { return w.averageLab; }
    const std::array<float, 3> &averageLch() const { return w.averageLch; }
    void setAverages(const std::array<float, 3> &lab, const std::array<float, 3> &lch)
    {
        w.averageLab = lab;
        w.averageLch = lch;
    }
    const QMap<QString, int> &attributes() const { return w.imageAttributes; }
    QString lastImageDir() const { return w.lastImageDir; }
    QString lastProfileDir() const { return w.lastProfileDir; }

private:
    CVCImageWindow &w;
};
