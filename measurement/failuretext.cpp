#include "failuretext.h"

#include <QCoreApplication>
#include <QDir>

namespace {

struct FailureWords {
    FailureKind kind;
    const char *heading;
    const char *sentence;
};

// The sentences take the reason for %1; an unreadable profile's sentence takes the file first.
const FailureWords table[] = {
    {FailureKind::NotAnImage, QT_TRANSLATE_NOOP("Failures", "noImage"),
     QT_TRANSLATE_NOOP("Failures", "The file could not be read as an image: %1.")},
    {FailureKind::Undecodable, QT_TRANSLATE_NOOP("Failures", "imageReadFail"),
     QT_TRANSLATE_NOOP("Failures", "The image in the file could not be decoded: %1.")},
    {FailureKind::Unsupported, QT_TRANSLATE_NOOP("Failures", "This image is not supported!"),
     QT_TRANSLATE_NOOP("Failures", "This image is not supported: %1")},
    {FailureKind::TooLarge, QT_TRANSLATE_NOOP("Failures", "imageTooLarge"),
     QT_TRANSLATE_NOOP("Failures", "The image is too large for the memory a load may take: %1")},
    {FailureKind::ProfileUnreadable, "", QT_TRANSLATE_NOOP("Failures", "The profile %1 could not be read: %2.")},
    {FailureKind::ProfileMismatch, QT_TRANSLATE_NOOP("Failures", "The ICC Profile does not match!"),
     QT_TRANSLATE_NOOP("Failures", "The ICC profile does not match: %1")},
    {FailureKind::NoProfile, QT_TRANSLATE_NOOP("Failures", "noProfile"),
     QT_TRANSLATE_NOOP("Failures", "The image has no profile to be shown through: %1")},
    {FailureKind::NoTransform, QT_TRANSLATE_NOOP("Failures", "noTransform"),
     QT_TRANSLATE_NOOP("Failures", "The average colour cannot be measured: %1")},
};

QString tr(const char *text)
{
    return QCoreApplication::translate("Failures", text);
}

const FailureWords *wordsFor(FailureKind kind)
{
    for (const FailureWords &words : table)
        if (words.kind == kind)
            return &words;
    return nullptr;
}

} // namespace

QString FailureText::heading(FailureKind kind)
{
    const FailureWords *words = wordsFor(kind);
    return words && *words->heading ? tr(words->heading) : QString();
}

QString FailureText::details(const Failure &failure, const QString &imageFile)
{
    if (failure.kind != FailureKind::NotAnImage && failure.kind != FailureKind::Undecodable)
        return failure.reason;
    return tr("File: %1\nReason: %2").arg(QDir::toNativeSeparators(imageFile), failure.reason);
}

QString FailureText::sentence(const Failure &failure, const QString &profilePath)
{
    const FailureWords *words = wordsFor(failure.kind);
    if (!words)
        return QString();
    if (failure.kind == FailureKind::ProfileUnreadable)
        return tr(words->sentence).arg(QDir::toNativeSeparators(profilePath), failure.reason);
    return tr(words->sentence).arg(failure.reason);
}

QString FailureText::profileKeptNote(const QString &profilePath)
{
    return tr("The profile %1 could not be read; the profile in force is kept.")
        .arg(QDir::toNativeSeparators(profilePath));
}
