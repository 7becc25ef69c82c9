#pragma once

#include <lcms2.h>

#include <memory>
#include <type_traits>

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
struct ContextDeleter {
    void operator()(cmsContext context) const { cmsDeleteContext(context); }
};

using ProfileHandle = std::unique_ptr<void, ProfileCloser>;
using TransformHandle = std::unique_ptr<void, TransformDeleter>;
using It8Handle = std::unique_ptr<void, It8Closer>;
using ContextHandle = std::unique_ptr<std::remove_pointer_t<cmsContext>, ContextDeleter>;
