#include "measuringsession.h"

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

LoadJob MeasuringSession::loadJob(const QString &fileName, std::optional<ColourProfile> monitor,
                                  FirstDrawingSize firstDrawing) const
{
    return LoadJob(fileName, resourceDir, std::move(monitor), std::move(firstDrawing));
}

SessionResult MeasuringSession::finishLoad(LoadJob &&job)
{
    SessionResult result;
    result.failure = job.outcome.failure;
    if (result.failure.kind == FailureKind::TooLarge)
        return result;
    embedded = true;
    intent = INTENT_RELATIVE_COLORIMETRIC;
    adopt(std::move(job.outcome));
    result.notes = current.notes;
    if (result.failure)
        return result;
    if (job.monitor) {
        takeDisplay(std::move(job.rendered), &result);
    } else {
        takeTotals(job.rendered.totals, &result);
    }
    measure(&result);
    return result;
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
        totals = outcome.totals;
        handLoaded = ColourProfile();
        handLoadedText.clear();
        return;
    }
}

ProfileChoice MeasuringSession::useEmbeddedProfile(bool embedded, std::optional<ColourProfile> monitor) const
{
    return choiceOf(embedded, std::move(monitor));
}

ProfileChoice MeasuringSession::useHandLoadedProfile(const QString &path, std::optional<ColourProfile> monitor) const
{
    Failure refused;
    ColourProfile candidate = openHandLoadedProfile(path, &refused);
    if (refused) {
        ProfileChoice choice;
        choice.refused = refused;
        return choice;
    }
    ProfileChoice choice = choiceOf(false, std::move(monitor));
    choice.handLoadedText = candidate.descriptionOr(path.section('/', -1));
    choice.handLoaded = std::move(candidate);
    return choice;
}

ProfileChoice MeasuringSession::redraw(ColourProfile monitor) const
{
    ProfileChoice choice = choiceOf(embedded, std::move(monitor));
    choice.redraw = true;
    return choice;
}

ProfileChoice MeasuringSession::choiceOf(bool embedded, std::optional<ColourProfile> monitor) const
{
    ProfileChoice choice;
    choice.embedded = embedded;
    if (monitor)
        choice.rendered = RenderedDisplay{totals};
    return choice;
}

SessionResult MeasuringSession::apply(ProfileChoice &&choice)
{
    SessionResult result;
    if (choice.refused) {
        result.failure = choice.refused;
        return result;
    }
    embedded = choice.embedded;
    if (choice.handLoaded) {
        handLoaded = std::move(choice.handLoaded);
        handLoadedText = choice.handLoadedText;
    }
    if (choice.rendered)
        takeDisplay(std::move(*choice.rendered), &result);
    if (!choice.redraw)
        measure(&result);
    return result;
}

SessionResult MeasuringSession::setIntent(int chosen)
{
    intent = chosen;
    SessionResult result;
    measure(&result);
    return result;
}

ColourProfile MeasuringSession::openHandLoadedProfile(const QString &path, Failure *failure) const
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

QString MeasuringSession::profileText() const
{
    return embedded ? current.sourceProfileText : handLoadedText;
}

cmsHPROFILE MeasuringSession::displayProfile() const
{
    return !embedded && handLoaded ? handLoaded.handle() : current.sourceProfile.handle();
}

cmsHPROFILE MeasuringSession::measuringProfile() const
{
    return embedded ? current.sourceProfile.handle() : handLoaded.handle();
}

void MeasuringSession::takeTotals(const PixelTotals &counted, SessionResult *result)
{
    totals = counted;
    result->pixelsCounted = totals.pixelCount;
    if (totals.pixelCount == 0)
        result->notes << tr("No pixel counted: every pixel is masked");
}

void MeasuringSession::takeDisplay(RenderedDisplay &&rendered, SessionResult *result)
{
    takeTotals(rendered.totals, result);
    if (!current.sourceProfile)
        result->profileMissing = {FailureKind::NoProfile, noTransformReason(QString())};
    result->display = std::move(rendered);
}

void MeasuringSession::measure(SessionResult *result)
{
    result->average = averageColour(totals, numberOfInks(), measuringProfile(), intent);
    if (!result->average) {
        result->failure = {FailureKind::NoTransform, noTransformReason(profileText())};
        return;
    }
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

std::optional<PixelReading> MeasuringSession::readPixel(int x, int y) const
{
    if (!current.picture.rect().contains(x, y))
        return std::nullopt;
    PixelReading reading;
    const int inks = numberOfInks();
    reading.values = readPixelValues(current.pixelSources(), x, y);
    reading.mask = maskOf(reading.values, inks);
    // A left-out pixel has no colour to tell; the pointer moves on often enough.
    if (reading.mask != PixelMask::Counted)
        return reading;
    // A pixel is the average of itself alone.
    PixelTotals one;
    one.pixelCount = 1;
    for (size_t i = 0; i < 4; ++i)
        one.channelSums[i] = double(reading.values.channel[i]);
    if (const std::optional<AverageColour> colour = averageColour(one, inks, measuringProfile(), intent))
        reading.lab = colour->lab;
    return reading;
}
