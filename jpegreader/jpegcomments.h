#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

// The texts Qt's own JPEG reader gives an image for these COM markers, in
// order: a comment "key: value" (no blank before the colon) is that key,
// any other comment the key "Description"; values as they stand.
QList<QPair<QString, QString>> qtJpegTexts(const QList<QByteArray> &comments);

// Qt's own reader's Description option for these comments: the texts as
// "key: value" with blanks simplified, separated by blank lines.
QString qtJpegDescriptionOption(const QList<QByteArray> &comments);

// The "Description" text that QImageReader gives for these comments through
// Qt's own reader: the last description, blanks simplified. Empty when
// there is none.
QString qtJpegDescription(const QList<QByteArray> &comments);

// The attribute text of a four-ink frame: "NumberOfInks:4;Photometric:5",
// then the comment's description. What the frame holds wins: a part of the
// comment that gives another NumberOfInks or Photometric is left out, with a
// sentence in notes.
QString fourInkAttributeText(const QList<QByteArray> &comments, QStringList *notes);

struct JpegHeader;

// The sentences for the status bar about what reading this header set
// aside: contradicting parts of a four-ink comment, a damaged profile.
QStringList jpegReadingNotes(const JpegHeader &header);

// The attribute text a reader gives as "Description" for this header.
QString jpegAttributeText(const JpegHeader &header);
