#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The "Description" text that Qt's own JPEG reader gives for these COM
// markers: a comment "key: value" (no blank before the colon) sets that key,
// any other comment is a description; blanks are simplified, and a later
// description replaces an earlier one. Empty when there is none.
QString qtJpegDescription(const QList<QByteArray> &comments);
