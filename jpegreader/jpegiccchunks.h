#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The ICC profile of a JPEG from the payloads of its APP2 markers, in file
// order: the "ICC_PROFILE" chunks joined by their sequence numbers. Empty
// when there are none; empty with the reason in problem when a chunk is
// missing, repeated or misnumbered, since such a profile is not the one
// the file was made with.
QByteArray joinIccChunks(const QList<QByteArray> &app2Payloads, QString *problem);
