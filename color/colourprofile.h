#pragma once

#include "lcmshandles.h"

#include <QByteArray>
#include <QString>

// One ICC profile, the sole owner of its Little CMS handle: the handle is
// closed when the profile is destroyed or replaced. The raw handle is handed
// out only to build transforms. Profiles from outside (bytes, files) are read
// with Little CMS's single allocations held to a sane size.
class ColourProfile
{
public:
    ColourProfile() = default;

    static ColourProfile fromBytes(const QByteArray &icc);
    // Null for anything but a regular file, which alone is opened.
    static ColourProfile fromFile(const QString &path);
    static ColourProfile srgb();
    // L*a*b* under D50, version 2 encoding.
    static ColourProfile lab();
    // Takes ownership of a handle made elsewhere.
    static ColourProfile adopt(cmsHPROFILE handle);
    // A profile of its own with the same contents, for work on another thread.
    static ColourProfile copyOf(cmsHPROFILE handle);
    // The profile as a file holds it; empty when Little CMS cannot write it.
    static QByteArray savedBytes(cmsHPROFILE handle);
    // A copy that measures exactly as this one: Little CMS's built-in profiles
    // are built again, since saving one rounds its numbers to the file's precision.
    ColourProfile exactCopy() const;
    // Gives the handle up to an owner elsewhere.
    cmsHPROFILE release();

    bool isNull() const { return !owned; }
    explicit operator bool() const { return bool(owned); }
    cmsHPROFILE handle() const { return owned.get(); }

    // The English description, empty when there is none.
    QString description() const;
    // The description, or fallback (such as the file name) when there is none.
    QString descriptionOr(const QString &fallback) const;
    // Signatures as plain numbers: a damaged profile may carry any value.
    cmsUInt32Number colourSpace() const;
    cmsUInt32Number connectionSpace() const;
    // Colour channels of the profile's space; 3 for a null profile and for
    // spaces without a channel count of their own (RGB, Lab, XYZ, unknown).
    int channelCount() const;

private:
    enum class BuiltIn { None, Srgb, Lab };

    explicit ColourProfile(cmsHPROFILE handle, BuiltIn builtIn = BuiltIn::None) : owned(handle), builtIn(builtIn) {}

    ProfileHandle owned;
    BuiltIn builtIn = BuiltIn::None;
};
