#pragma once

#include "failure.h"

#include <QString>

// The words for every failure, once for the window and lumivant-measure,
// in the "Failures" translation context: the heading of the window's
// warning box (a key the message catalogue turns into a sentence), the
// reason under it, and the one sentence of a report.
class FailureText
{
public:
    static QString heading(FailureKind kind);
    // The reason under the heading; imageFile names the image a load failed on.
    static QString details(const Failure &failure, const QString &imageFile);
    // The failure as one sentence; profilePath names the hand-loaded profile when that did not open.
    static QString sentence(const Failure &failure, const QString &profilePath = QString());
    // A hand-loaded profile that does not open changes nothing in the window, which says so.
    static QString profileKeptNote(const QString &profilePath);
};
