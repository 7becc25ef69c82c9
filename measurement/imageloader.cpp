#include "imageloader.h"

#include "defaultprofiles.h"
#include "progressfile.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QImageReader>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("CVCImageWindow", text);
}

void takeEmbeddedProfile(LoadedImage &image)
{
    const QByteArray icc = image.picture.colorSpace().iccProfile();
    if (icc.isEmpty())
        return;
    image.sourceProfile = ColourProfile::fromBytes(icc);
    if (!image.sourceProfile) {
        image.notes << tr("The profile embedded in the file is damaged; the default profile is used instead.");
        return;
    }
    const QString description = image.sourceProfile.description();
    image.sourceProfileText = description.isEmpty() ? QString("embedded") : description;
}

bool inkPagesCover(const LoadedImage &image)
{
    for (const QImage *page : {&image.inkPage1, &image.inkPage2}) {
        if (page->isNull() || page->width() < image.picture.width() || page->height() < image.picture.height())
            return false;
    }
    return true;
}

Failure unsupported(const QString &reason)
{
    return {FailureKind::Unsupported, reason};
}

// Everything after the picture: attributes, profile, refusals, ink images.
Failure identify(QImageReader &reader, LoadedImage &image, const QString &resourceDir)
{
    image.attributes = parseAttributes(reader.text("Description"));
    takeEmbeddedProfile(image);
    if (!image.attributes.contains("NumberOfInks"))
        image.attributes.insert("NumberOfInks", image.sourceProfile.channelCount());
    const int inks = image.numberOfInks();
    if (inks > 4)
        return unsupported(tr("The file announces %1 inks; at most four inks can be measured.").arg(inks));
    if (image.attributes.value("Photometric") == 8)
        return unsupported(tr("It is a CIELab image; grey, two-colour, RGB and four-ink images can be measured."));
    if (!image.sourceProfile) {
        image.sourceProfileText = defaultProfileText(inks);
        image.sourceProfile = defaultProfile(resourceDir, inks);
    }
    if (inks <= 3)
        return Failure();
    // The same reader goes on to the ink images, so a separation is decoded once.
    reader.jumpToImage(1);
    image.inkPage1 = reader.read();
    reader.jumpToImage(2);
    image.inkPage2 = reader.read();
    // Without its ink images a separation would measure as blank paper.
    if (!inkPagesCover(image))
        return unsupported(tr("The ink images of this four-ink file are missing or smaller than the picture."));
    return Failure();
}

} // namespace

LoadOutcome loadImageFile(const QString &fileName, const QString &resourceDir, WorkControl *control)
{
    LoadOutcome outcome;
    ProgressFile file(fileName, control);
    if (!file.open(QIODevice::ReadOnly)) {
        outcome.failure = {FailureKind::NotAnImage, file.errorString()};
        return outcome;
    }
    QImageReader reader(&file);
    if (!reader.canRead()) {
        outcome.failure = {FailureKind::NotAnImage, reader.errorString()};
        return outcome;
    }
    outcome.reach = LoadOutcome::Reach::ReaderFound;
    outcome.image.picture = reader.read();
    if (outcome.image.picture.isNull()) {
        outcome.failure = {FailureKind::Undecodable, reader.errorString()};
        return outcome;
    }
    outcome.reach = LoadOutcome::Reach::PictureDecoded;
    outcome.failure = identify(reader, outcome.image, resourceDir);
    return outcome;
}
