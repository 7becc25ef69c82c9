#pragma once

#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>

class QWidget;

// The raw ICC profile that the platform's colour management associates with
// the monitor showing widget; empty when there is none. One source file per
// platform implements it.
QByteArray monitorProfileBytes(const QWidget *widget);

// Calls changed whenever the platform's colour management publishes another
// monitor profile, for as long as the returned object lives; null where the
// platform publishes no profiles to watch.
std::unique_ptr<QObject> watchPublishedProfiles(std::function<void()> changed);
