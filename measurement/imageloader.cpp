#include "imageloader.h"

#include "defaultprofiles.h"
#include "memorybudget.h"
#include "progressfile.h"

#include <QColorSpace>
#include <QCoreApplication>
#include <QImageReader>

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

// Everything after the picture: attributes, profile, refusals, ink images.
Failure identify(QImageReader &reader, LoadedImage &image, const QString &resourceDir)
{
    image.attributes = parseAttributes(reader.text("Description"));
    image.notes << image.picture.text("Notes").split('\n', Qt::SkipEmptyParts);
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

// What the load of a picture of this size will hold at once: the picture,
// the ink images of a separation, the display and its pixmap, and the pass.
qint64 loadNeed(QSize size, int numberOfInks)
{
    const qint64 pixels = qint64(size.width()) * size.height();
    return pixels * (4 + (numberOfInks >= 4 ? 16 : 0) + 8 + 4);
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
    outcome.failure = identify(reader, outcome.image, resourceDir);
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
    try {
        decode(reader, resourceDir, outcome);
    } catch (const std::bad_alloc &) {
        outcome = LoadOutcome();
        outcome.reach = LoadOutcome::Reach::ReaderFound;
        outcome.failure = {FailureKind::Undecodable, tr("there is not enough memory to decode it")};
    }
    return outcome;
}
