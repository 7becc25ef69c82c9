#pragma once

#include <QString>

// Why a step of a measurement did not give its result: what went wrong, and
// the reason in words (what the file announced, what the reader said).
enum class FailureKind {
    None,
    NotAnImage,        // no reader takes the file
    Undecodable,       // a reader takes it, but its picture cannot be decoded
    Unsupported,       // decoded, but not an image the tool can measure
    TooLarge,          // it would take more memory than a load may
    ProfileUnreadable, // a hand-loaded profile that does not open (the reason says why)
    ProfileMismatch,   // a hand-loaded profile that cannot describe the image
    NoProfile,         // the image has no profile, embedded or default, to show it through
    NoTransform,       // no conversion from the image's profile to L*a*b*
};

struct Failure {
    FailureKind kind = FailureKind::None;
    QString reason;

    explicit operator bool() const { return kind != FailureKind::None; }
    // Whether the file's image was not taken in at all, so that nothing of it can be shown.
    bool refusesImage() const
    {
        return kind == FailureKind::NotAnImage || kind == FailureKind::Undecodable ||
               kind == FailureKind::Unsupported || kind == FailureKind::TooLarge;
    }
};
