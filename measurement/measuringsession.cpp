#include "measuringsession.h"

#include "fastpass.h"
#include "profilefit.h"
#include "regularfile.h"

#include "defaultprofiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("CVCImageWindow", text);
}

// Why a profile file does not open, in words.
QString unreadableReason(const QString &path)
{
    const QString notRegular = notRegularFileReason(path);
    if (!notRegular.isEmpty())
        return notRegular;
    if (!QFileInfo::exists(path))
        return tr("there is no such file");
    return tr("Little CMS cannot read it as an ICC profile");
}

} // namespace

LoadOutcome MeasuringSession::read(const QString &fileName, WorkControl *control) const
{
    return loadImageFile(fileName, resourceDir, control);
}

void MeasuringSession::adopt(LoadOutcome &&outcome)
{
    switch (outcome.reach) {
    case LoadOutcome::Reach::NoReader:
        return;
    case LoadOutcome::Reach::ReaderFound:
        current = LoadedImage();
        return;
    case LoadOutcome::Reach::PictureDecoded:
        current = std::move(outcome.image);
        handLoaded = ColourProfile();
        return;
    }
}

Failure MeasuringSession::chooseImageProfile(const QString &path)
{
    Failure failure;
    ColourProfile candidate = openImageProfile(path, &failure);
    if (candidate)
        replaceImageProfile(std::move(candidate));
    return failure;
}

ColourProfile MeasuringSession::openImageProfile(const QString &path, Failure *failure) const
{
    ColourProfile candidate = ColourProfile::fromFile(path);
    if (!candidate) {
        *failure = {FailureKind::ProfileUnreadable, unreadableReason(path)};
        return candidate;
    }
    const QString mismatch = profileMismatch(current.attributes, candidate);
    if (!mismatch.isEmpty()) {
        *failure = {FailureKind::ProfileMismatch, mismatch};
        return ColourProfile();
    }
    // A profile that opens may still be cut short or damaged inside.
    if (!averageColour(PixelTotals(), numberOfInks(), candidate.handle(), INTENT_RELATIVE_COLORIMETRIC)) {
        *failure = {FailureKind::ProfileMismatch,
                    tr("Little CMS cannot convert through this profile: it is damaged or incomplete.")};
        return ColourProfile();
    }
    return candidate;
}

ColourProfile MeasuringSession::replaceImageProfile(ColourProfile profile)
{
    std::swap(handLoaded, profile);
    return profile;
}

cmsHPROFILE MeasuringSession::displayProfile(bool useEmbedded) const
{
    return !useEmbedded && handLoaded ? handLoaded.handle() : current.sourceProfile.handle();
}

cmsHPROFILE MeasuringSession::measuringProfile(bool useEmbedded) const
{
    return useEmbedded ? current.sourceProfile.handle() : handLoaded.handle();
}

PixelTotals MeasuringSession::count(WorkControl *control) const
{
    QImage noDisplay;
    return fastPass(current.pixelSources(), nullptr, 1.0f, &noDisplay, control);
}

QString MeasuringSession::noTransformReason(const QString &profileText) const
{
    if (!current.missingProfileReason.isEmpty())
        return current.missingProfileReason;
    if (!current.sourceProfile)
        return tr("The default profile %1 could not be opened.")
            .arg(QDir::toNativeSeparators(defaultProfileFile(resourceDir, numberOfInks())));
    return tr("Little CMS cannot convert %1 channels through the profile \"%2\" to L*a*b*.")
        .arg(numberOfInks())
        .arg(profileText);
}

std::optional<PixelReading> MeasuringSession::readPixel(int x, int y, bool useEmbedded, int intent) const
{
    if (!current.picture.rect().contains(x, y))
        return std::nullopt;
    PixelReading reading;
    const int inks = numberOfInks();
    reading.values = readPixelValues(current.pixelSources(), x, y);
    reading.mask = maskOf(reading.values, inks);
    // A pixel is the average of itself alone.
    PixelTotals one;
    one.pixelCount = 1;
    for (size_t i = 0; i < 4; ++i)
        one.channelSums[i] = double(reading.values.channel[i]);
    if (const std::optional<AverageColour> colour = averageColour(one, inks, measuringProfile(useEmbedded), intent))
        reading.lab = colour->lab;
    return reading;
}

QString MeasuringSession::nothingCountedNote()
{
    return tr("No pixel counted: every pixel is masked");
}

std::optional<AverageColour> MeasuringSession::measure(bool useEmbedded, int intent)
{
    const std::optional<AverageColour> average =
        averageColour(totals, numberOfInks(), measuringProfile(useEmbedded), intent);
    if (average && totals.pixelCount == 0)
        totals.pixelCount = 1;
    return average;
}
