#pragma once

#include <lcms2.h>

#include <QByteArray>
#include <QString>

// Test profiles made with Little CMS; each call returns a new handle the caller owns.

// An RGB profile with very wide primaries, linear tone curves and the given description.
cmsHPROFILE makeWideRgbProfile(const char *description);

// A D50 gamma-2.2 grey profile with the given description.
cmsHPROFILE makeGrayProfile(const char *description);

// An RGB profile that opens and converts black, but whose curves overflow
// a float for any other level, as a damaged one may.
cmsHPROFILE makeOverflowingRgbProfile(const char *description);

// The serialised bytes of a profile.
QByteArray profileBytes(cmsHPROFILE profile);

// Saves a profile to dir/name and returns the path; closes the profile.
QString saveProfile(cmsHPROFILE profile, const QString &dir, const QString &name);

// Replaces the description tag (empty text: removes it).
void setDescription(cmsHPROFILE profile, const char *description);

// The default CMYK profile installed beside the executable.
cmsHPROFILE openDefaultCmyk();
