#pragma once

#include <lcms2.h>

#include <memory>

// Sole owners of Little CMS handles: resetting one closes the handle it held,
// so a replaced or forgotten handle is released at that very moment.
struct ProfileCloser {
    void operator()(void *profile) const { cmsCloseProfile(profile); }
};
struct TransformDeleter {
    void operator()(void *transform) const { cmsDeleteTransform(transform); }
};
struct It8Closer {
    void operator()(void *it8) const { cmsIT8Free(it8); }
};

using ProfileHandle = std::unique_ptr<void, ProfileCloser>;
using TransformHandle = std::unique_ptr<void, TransformDeleter>;
using It8Handle = std::unique_ptr<void, It8Closer>;
