#include "filemeasurement.h"

#include "colourprofile.h"
#include "measuringsession.h"

#include <QDir>
#include <QImage>

QString failureSentence(const Failure &failure, const QString &profilePath)
{
    switch (failure.kind) {
    case FailureKind::NotAnImage:
        return QString("The file could not be read as an image: %1.").arg(failure.reason);
    case FailureKind::Undecodable:
        return QString("The image in the file could not be decoded: %1.").arg(failure.reason);
    case FailureKind::Unsupported:
        return QString("This image is not supported: %1").arg(failure.reason);
    case FailureKind::TooLarge:
        return QString("The image is too large for the memory a load may take: %1").arg(failure.reason);
    case FailureKind::ProfileUnreadable:
        return QString("The profile %1 could not be read: %2.")
            .arg(QDir::toNativeSeparators(profilePath), failure.reason);
    case FailureKind::ProfileMismatch:
        return QString("The ICC profile does not match: %1").arg(failure.reason);
    case FailureKind::NoTransform:
        return QString("The average colour cannot be measured: %1").arg(failure.reason);
    case FailureKind::None:
        break;
    }
    return QString();
}

FileMeasurement measureFile(const QString &file, const MeasureOptions &options, const QString &resourceDir)
{
    FileMeasurement result;
    result.file = file;
    MeasuringSession session(resourceDir);
    LoadOutcome outcome = session.read(file);
    const Failure refused = outcome.failure;
    session.adopt(std::move(outcome));
    result.notes = session.image().notes;
    if (refused) {
        result.error = failureSentence(refused);
        return result;
    }
    result.width = session.image().picture.width();
    result.height = session.image().picture.height();
    result.numberOfInks = session.numberOfInks();
    result.profile = session.image().sourceProfileText;
    const bool useEmbedded = options.profile.isEmpty();
    if (!useEmbedded) {
        const Failure unfit = session.chooseImageProfile(options.profile);
        if (unfit) {
            result.error = failureSentence(unfit, options.profile);
            return result;
        }
        result.profile = session.imageProfile().descriptionOr(options.profile.section('/', -1));
    }

    session.takeTotals(session.count());
    result.pixels = session.pixelTotals().pixelCount;
    if (result.pixels == 0)
        result.notes << MeasuringSession::nothingCountedNote();
    const std::optional<AverageColour> average = session.measure(useEmbedded, options.intent);
    if (!average) {
        result.error = failureSentence({FailureKind::NoTransform, session.noTransformReason(result.profile)});
        return result;
    }
    result.average = *average;
    const ColourProfile srgb = ColourProfile::srgb();
    result.srgb = swatchLevels(average->lab, options.intent, srgb.handle()).value_or(std::array<int, 3>{});
    return result;
}
