#pragma once

#include <QByteArray>

class QWidget;

// The raw ICC profile that the platform's colour management associates with
// the monitor showing widget; empty when there is none. One source file per
// platform implements it.
QByteArray monitorProfileBytes(const QWidget *widget);
