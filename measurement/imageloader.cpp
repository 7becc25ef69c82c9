#include "imageloader.h"

#include "colourspacename.h"
#include "defaultprofiles.h"
#include "bandpass.h"
#include "memorybudget.h"
#include "readerpicturefile.h"
#include "regularfile.h"
#include "workcontrol.h"

#include <QCoreApplication>

#include <cstring>
#include <new>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("CVCImageWindow", text);
}

void takeEmbeddedProfile(LoadedImage &image, const QByteArray &icc)
{
    if (icc.isEmpty())
        return;
    image.sourceProfile = ColourProfile::fromBytes(icc);
    if (!image.sourceProfile) {
        image.notes << tr("The profile embedded in the file is damaged; the default profile is used instead.");
        return;
    }
    image.sourceProfileText = image.sourceProfile.descriptionOr("embedded");
}

Failure unsupported(const QString &reason)
{
    return {FailureKind::Unsupported, reason};
}

QString channelsInWords(int inks)
{
    switch (inks) {
    case 1:
        return tr("one channel (grey)");
    case 2:
        return tr("two inks");
    case 3:
        return tr("three channels (RGB)");
    case 4:
        return tr("four inks");
    default:
        return tr("%1 inks").arg(inks);
    }
}

void setAsideProfile(LoadedImage &image, int imageChannels, int defaultInks)
{
    image.notes << tr("The embedded profile is for %1, but the image has %2: %3 is used")
                       .arg(colourSpaceName(image.sourceProfile.colourSpace()), channelsInWords(imageChannels),
                            defaultProfileName(defaultInks));
    image.sourceProfile = ColourProfile();
    image.sourceProfileText.clear();
}

// An embedded profile for another number of channels than the file states
// cannot describe the image; it is set aside, as a damaged one is.
void setAsideUnfitProfile(LoadedImage &image)
{
    const int inks = image.numberOfInks();
    if (image.sourceProfile && image.sourceProfile.channelCount() != inks)
        setAsideProfile(image, inks, inks);
}

// Where the file states no inks, the profile tells them; but a grey profile
// over a colour picture would measure its red channel alone. Set aside, the
// picture is measured through sRGB, as one without a profile is.
void setAsideGreyProfileOfColourPicture(LoadedImage &image, int pictureChannels)
{
    if (image.sourceProfile && image.sourceProfile.channelCount() == 1 && pictureChannels == 3)
        setAsideProfile(image, pictureChannels, 3);
}

// The text of the last "NumberOfInks" part, as the file wrote it.
QString announcedInks(const QString &description)
{
    QString announced;
    for (const QString &part : description.split(';', Qt::SkipEmptyParts)) {
        if (part.startsWith("NumberOfInks:"))
            announced = part.mid(int(strlen("NumberOfInks:")));
    }
    return announced;
}

void assignDefaultProfile(LoadedImage &image, const QString &description, const QString &resourceDir, bool tiff)
{
    const int inks = image.numberOfInks();
    image.sourceProfileText = defaultProfileText(inks);
    image.sourceProfile = defaultProfile(resourceDir, inks);
    if (image.sourceProfile || inks > 0)
        return;
    const QString where = tiff ? tr("in its description") : tr("in its comment");
    image.missingProfileReason =
        tr("the file announces %1 inks (%2); there is no profile for that").arg(announcedInks(description), where);
}

// Everything the header tells: attributes, profile, refusals.
Failure identify(const PictureFile &file, LoadedImage &image, const QString &resourceDir)
{
    const PictureHeader &header = file.header();
    image.size = header.size;
    image.attributes = parseAttributes(header.description);
    image.notes << header.notes;
    takeEmbeddedProfile(image, header.icc);
    const bool inksStated = image.attributes.contains("NumberOfInks");
    if (!inksStated) {
        setAsideGreyProfileOfColourPicture(image, header.pictureChannels);
        image.attributes.insert("NumberOfInks", image.sourceProfile.channelCount());
    }
    const int inks = image.numberOfInks();
    if (inks > 4)
        return unsupported(tr("The file announces %1 inks; at most four inks can be measured.").arg(inks));
    if (image.attributes.value("Photometric") == 8)
        return unsupported(tr("It is a CIELab image; grey, two-colour, RGB and four-ink images can be measured."));
    if (inksStated)
        setAsideUnfitProfile(image);
    if (!image.sourceProfile)
        assignDefaultProfile(image, header.description, resourceDir, header.format.startsWith("tif"));
    // Without its ink images a separation would measure as blank paper.
    if (inks >= 4 && !file.hasInkImages())
        return unsupported(tr("The ink images of this four-ink file are missing or smaller than the picture."));
    return Failure();
}

// How far opening the file got, and why it stopped.
void takeOpening(const PictureFile &file, LoadOutcome &outcome)
{
    const auto *whole = dynamic_cast<const ReaderPictureFile *>(&file);
    const ReaderPictureFile::Reach reach = whole ? whole->reach() : ReaderPictureFile::Reach::Decoded;
    if (reach == ReaderPictureFile::Reach::NoReader) {
        outcome.failure = {FailureKind::NotAnImage, file.failure()};
        return;
    }
    if (reach == ReaderPictureFile::Reach::TooLarge) {
        outcome.failure = {FailureKind::TooLarge, file.failure()};
        return;
    }
    outcome.reach = LoadOutcome::Reach::ReaderFound;
    if (!file.isOpen()) {
        outcome.failure = {FailureKind::Undecodable, tr(file.failure().toUtf8().constData())};
        return;
    }
    outcome.reach = LoadOutcome::Reach::PictureDecoded;
}

// The averages of the picture's first drawing, to be gathered during the pass:
// only when it shrinks the picture (larger, it shows the pixels as they are)
// and stays small beside it.
std::shared_ptr<BoxAverages> firstDrawingAverages(const LoadedImage &image, const FirstDrawingSize &firstDrawing)
{
    constexpr qint64 mostPixels = qint64(1) << 21;
    const QSize size = firstDrawing ? firstDrawing(image.size) : QSize();
    if (size.isEmpty() || size.width() >= image.size.width() || size.height() >= image.size.height() ||
        qint64(size.width()) * size.height() > mostPixels)
        return nullptr;
    return std::make_shared<BoxAverages>(image.size, image.rows->channelCount(), size);
}

// The pass over the picture's rows: the totals, and the samples kept when
// asked and within the budget. A picture whose rows cannot be read to the
// end is damaged; a cancelled pass leaves the outcome incomplete.
void readPixels(LoadOutcome &outcome, SampleKeeping keeping, const FirstDrawingSize &firstDrawing,
                WorkControl *control)
{
    LoadedImage &image = outcome.image;
    const qint64 budget = keeping == SampleKeeping::WithinBudget ? loadMemoryBudget().bytes : 0;
    std::shared_ptr<BoxAverages> averages = firstDrawingAverages(image, firstDrawing);
    const BandPassResult pass = passOverBands(*image.rows, budget, control, averages.get());
    if (!pass.complete) {
        if (workCancelled(control))
            return;
        const auto *file = dynamic_cast<const PictureFile *>(image.rows.get());
        const QString reason = tr((file ? file->failure() : QString()).toUtf8().constData());
        outcome = LoadOutcome();
        outcome.reach = LoadOutcome::Reach::ReaderFound;
        outcome.failure = {FailureKind::Undecodable, reason};
        return;
    }
    outcome.totals = pass.totals;
    if (averages && !averages->abandoned())
        image.firstDrawing = std::move(averages);
    if (pass.kept.picture.isNull())
        return;
    image.picture = pass.kept.picture;
    image.inkPage1 = pass.kept.inkPage1;
    image.inkPage2 = pass.kept.inkPage2;
    image.rows = std::make_shared<KeptRows>(pass.kept);
}

} // namespace

LoadOutcome loadImageFile(const QString &fileName, const QString &resourceDir, WorkControl *control,
                          SampleKeeping keeping, const FirstDrawingSize &firstDrawing)
{
    LoadOutcome outcome;
    const QString notRegular = notRegularFileReason(fileName);
    if (!notRegular.isEmpty()) {
        outcome.failure = {FailureKind::NotAnImage, notRegular};
        return outcome;
    }
    try {
        std::shared_ptr<PictureFile> file = openPictureFile(fileName, control);
        takeOpening(*file, outcome);
        if (outcome.reach != LoadOutcome::Reach::PictureDecoded)
            return outcome;
        outcome.failure = identify(*file, outcome.image, resourceDir);
        // A TIFF may hold a separation's ink images in directories of their
        // own; Qt's readers go through the directories as pages.
        if (outcome.failure && outcome.image.numberOfInks() == 4 && !file->hasInkImages() &&
            !dynamic_cast<ReaderPictureFile *>(file.get()) && file->header().format == "tiff") {
            file = std::make_shared<ReaderPictureFile>(fileName, control);
            outcome = LoadOutcome();
            takeOpening(*file, outcome);
            if (outcome.reach != LoadOutcome::Reach::PictureDecoded)
                return outcome;
            outcome.failure = identify(*file, outcome.image, resourceDir);
        }
        file->setChannelCount(outcome.image.numberOfInks());
        outcome.image.rows = std::move(file);
        if (!outcome.failure)
            readPixels(outcome, keeping, firstDrawing, control);
    } catch (const std::bad_alloc &) {
        outcome = LoadOutcome();
        outcome.reach = LoadOutcome::Reach::ReaderFound;
        outcome.failure = {FailureKind::Undecodable, tr("there is not enough memory to decode it")};
    }
    return outcome;
}
