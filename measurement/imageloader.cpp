#include "imageloader.h"

#include "colourspacename.h"
#include "defaultprofiles.h"
#include "memorybudget.h"
#include "progressfile.h"
#include "regularfile.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QImageReader>

#include <cstring>
#include <limits>
#include <new>

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
    image.sourceProfileText = image.sourceProfile.descriptionOr("embedded");
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

// An embedded profile for another number of channels than the file states
// cannot describe the image; it is set aside, as a damaged one is.
void setAsideUnfitProfile(LoadedImage &image)
{
    const int inks = image.numberOfInks();
    if (!image.sourceProfile || image.sourceProfile.channelCount() == inks)
        return;
    image.notes << tr("The embedded profile is for %1, but the image has %2: %3 is used")
                       .arg(colourSpaceName(image.sourceProfile.colourSpace()), channelsInWords(inks),
                            defaultProfileName(inks));
    image.sourceProfile = ColourProfile();
    image.sourceProfileText.clear();
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

void assignDefaultProfile(LoadedImage &image, const QString &description, const QString &resourceDir,
                          const QByteArray &format)
{
    const int inks = image.numberOfInks();
    image.sourceProfileText = defaultProfileText(inks);
    image.sourceProfile = defaultProfile(resourceDir, inks);
    if (image.sourceProfile || inks > 0)
        return;
    const QString where = format.startsWith("tif") ? tr("in its description") : tr("in its comment");
    image.missingProfileReason =
        tr("the file announces %1 inks (%2); there is no profile for that").arg(announcedInks(description), where);
}

// Everything after the picture: attributes, profile, refusals, ink images.
Failure identify(QImageReader &reader, LoadedImage &image, const QString &resourceDir, const QByteArray &format)
{
    const QString description = reader.text("Description");
    image.attributes = parseAttributes(description);
    image.notes << image.picture.text("Notes").split('\n', Qt::SkipEmptyParts);
    takeEmbeddedProfile(image);
    const bool inksStated = image.attributes.contains("NumberOfInks");
    if (!inksStated)
        image.attributes.insert("NumberOfInks", image.sourceProfile.channelCount());
    const int inks = image.numberOfInks();
    if (inks > 4)
        return unsupported(tr("The file announces %1 inks; at most four inks can be measured.").arg(inks));
    if (image.attributes.value("Photometric") == 8)
        return unsupported(tr("It is a CIELab image; grey, two-colour, RGB and four-ink images can be measured."));
    if (inksStated)
        setAsideUnfitProfile(image);
    if (!image.sourceProfile)
        assignDefaultProfile(image, description, resourceDir, format);
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

// What the load of a picture of this size will hold at once: the picture,
// the ink images of a separation, the display and its pixmap, and the pass.
qint64 loadNeed(QSize size, int numberOfInks)
{
    const qint64 pixels = qint64(size.width()) * size.height();
    const qint64 bytesPerPixel = 4 + (numberOfInks >= 4 ? 16 : 0) + 8 + 4;
    // A header may announce a size whose bytes no qint64 holds; it needs more than any budget.
    if (pixels > std::numeric_limits<qint64>::max() / bytesPerPixel)
        return std::numeric_limits<qint64>::max();
    return pixels * bytesPerPixel;
}

// Refuses, before anything is decoded, what would not fit in memory; a size
// the reader does not tell passes.
Failure checkBeforeDecoding(QImageReader &reader)
{
    const QSize size = reader.size();
    if (!size.isValid())
        return Failure();
    const MemoryBudget budget = loadMemoryBudget();
    const qint64 need = loadNeed(size, numberOfInks(parseAttributes(reader.text("Description"))));
    if (budget.allows(need))
        return Failure();
    return {FailureKind::TooLarge, tr("%1 × %2 pixels need %3 for the picture, its ink images and the display; a "
                                      "load may take %4 (%5).")
                                       .arg(size.width())
                                       .arg(size.height())
                                       .arg(memoryText(need), memoryText(budget.bytes), budget.source)};
}

// The program's readers give the reason of a failed read, in English, as the
// device's property "imageReadError"; Qt's readers give none.
QString readFailureReason(const QImageReader &reader)
{
    const QString reason = reader.device()->property("imageReadError").toString();
    return reason.isEmpty() ? reader.errorString() : tr(reason.toUtf8().constData());
}

void decode(QImageReader &reader, const QString &resourceDir, LoadOutcome &outcome)
{
    // The reader forgets its format once it has read.
    const QByteArray format = reader.format();
    outcome.failure = checkBeforeDecoding(reader);
    if (outcome.failure.kind == FailureKind::TooLarge)
        return;
    outcome.reach = LoadOutcome::Reach::ReaderFound;
    if (outcome.failure)
        return;
    outcome.image.picture = reader.read();
    if (outcome.image.picture.isNull()) {
        outcome.failure = {FailureKind::Undecodable, readFailureReason(reader)};
        return;
    }
    outcome.reach = LoadOutcome::Reach::PictureDecoded;
    outcome.failure = identify(reader, outcome.image, resourceDir, format);
}

} // namespace

LoadOutcome loadImageFile(const QString &fileName, const QString &resourceDir, WorkControl *control)
{
    LoadOutcome outcome;
    const QString notRegular = notRegularFileReason(fileName);
    if (!notRegular.isEmpty()) {
        outcome.failure = {FailureKind::NotAnImage, notRegular};
        return outcome;
    }
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
    try {
        decode(reader, resourceDir, outcome);
    } catch (const std::bad_alloc &) {
        outcome = LoadOutcome();
        outcome.reach = LoadOutcome::Reach::ReaderFound;
        outcome.failure = {FailureKind::Undecodable, tr("there is not enough memory to decode it")};
    }
    return outcome;
}
