#pragma once

#include "colourbarcheck.h"

#include <QString>

// What the report's head names besides the check itself.
struct ReportHeading {
    QString imageFile;
    QString referenceFile;
    QString toleranceSet;
    // The profile as the panel names it.
    QString profile;
    int intent = 1;
};

// A one-page PDF (QPdfWriter, A4): the heading, the verdict, every rule, and
// a table of the patches with the measured and the reference colour side by
// side (each converted from L*a*b* to sRGB by Little CMS). Rows shrink to
// keep the page single. False, with the reason in error, when the file cannot
// be written. Needs a QGuiApplication for its fonts.
bool writeCheckPdf(const ColourBarCheck &check, const ReportHeading &heading, const QString &path, QString *error);
