#include "filemeasurement.h"

#include "colourprofile.h"
#include "failuretext.h"
#include "measuringsession.h"
#include "patchsetfile.h"

#include <QCoreApplication>
#include <QImage>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("lumivant-measure", text);
}

// The average under the options' intent, through the options' profile when they name one.
SessionResult measureAsChosen(MeasuringSession &session, const MeasureOptions &options)
{
    if (!options.profile.isEmpty()) {
        const SessionResult chosen = session.apply(session.useHandLoadedProfile(options.profile));
        if (chosen.failure.kind == FailureKind::ProfileUnreadable ||
            chosen.failure.kind == FailureKind::ProfileMismatch)
            return chosen;
    }
    return session.setIntent(options.intent);
}

std::array<int, 3> srgbLevels(const AverageColour &average, int intent)
{
    const ColourProfile srgb = ColourProfile::srgb();
    return swatchLevels(average.lab, intent, srgb.handle()).value_or(std::array<int, 3>{});
}

// The whole picture measured into result, leaving the session with the image and the options' choices.
void measureWhole(MeasuringSession &session, const MeasureOptions &options, FileMeasurement *result)
{
    LoadJob load = session.loadJob(result->file);
    load.run();
    const SessionResult loaded = session.finishLoad(std::move(load));
    result->notes = loaded.notes;
    if (loaded.failure.refusesImage()) {
        result->error = FailureText::sentence(loaded.failure);
        return;
    }
    result->width = session.image().size.width();
    result->height = session.image().size.height();
    result->numberOfInks = session.numberOfInks();
    result->profile = session.profileText();

    const SessionResult measured = measureAsChosen(session, options);
    if (measured.failure.kind != FailureKind::NoTransform && measured.failure) {
        result->error = FailureText::sentence(measured.failure, options.profile);
        return;
    }
    result->profile = session.profileText();
    result->pixels = loaded.pixelsCounted;
    if (!measured.average) {
        result->error = FailureText::sentence(measured.failure);
        return;
    }
    result->average = *measured.average;
    result->srgb = srgbLevels(result->average, options.intent);
}

// The row of one patch, on a picture measured in whole; its notes are the
// file's reading notes and what became of the patch on this picture.
FileMeasurement patchRow(const MeasuringSession &session, const FileMeasurement &whole, const Patch &given,
                         const MeasureOptions &options)
{
    FileMeasurement row = whole;
    row.average = AverageColour();
    row.srgb = {};
    row.pixels = 0;
    row.notes = session.image().notes;
    const FittedPatches fitted = PatchSetFile::fitTo({given}, QRect(QPoint(), session.image().size));
    row.notes << fitted.warnings;
    row.patch = PatchRow{fitted.patches.first(), measurePatch(session, fitted.patches.first())};
    const PatchMeasurement &measured = row.patch->measurement;
    row.pixels = measured.pixels;
    if (measured.region.isEmpty()) {
        row.error = tr("The region lies outside the picture of %1 × %2 pixels.").arg(whole.width).arg(whole.height);
        return row;
    }
    if (!measured.average) {
        row.error = tr("No pixel counted in the region: every pixel there is masked or outside the shape.");
        return row;
    }
    row.average = *measured.average;
    row.srgb = srgbLevels(row.average, options.intent);
    return row;
}

} // namespace

QVector<FileMeasurement> measureFileRows(const QString &file, const MeasureOptions &options,
                                         const QString &resourceDir)
{
    FileMeasurement whole;
    whole.file = file;
    MeasuringSession session(resourceDir);
    measureWhole(session, options, &whole);
    if (options.patches.isEmpty())
        return {whole};
    QVector<FileMeasurement> rows;
    for (const Patch &patch : options.patches) {
        if (!whole.ok()) {
            FileMeasurement failed = whole;
            failed.patch = PatchRow{patch, PatchMeasurement()};
            rows << failed;
            continue;
        }
        rows << patchRow(session, whole, patch, options);
    }
    return rows;
}
