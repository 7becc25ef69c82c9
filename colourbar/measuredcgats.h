#pragma once

#include "colourbarcheck.h"

#include <QString>

// Writes the measured L*a*b* of the checked patches as a CGATS.17 file
// through Little CMS (cmsIT8SaveToFile), for other colour tools: SAMPLE_ID
// and SAMPLE_NAME (the reference's identifiers), LAB_L, LAB_A, LAB_B, and the
// reference's CMYK_C … CMYK_K when it gives them. False, with the reason in
// error, when the file cannot be written.
bool saveMeasuredCgats(const ColourBarCheck &check, const QString &path, QString *error);
