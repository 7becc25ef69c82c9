#pragma once

#include <QTextCodec>

// UTF-8 for the names the system gives, keeping bytes that are not UTF-8: Qt's
// own codec turns each into U+FFFD, so a file whose name holds one could not
// be opened again. Here such a byte b becomes the lone low surrogate
// U+DC00 + b (b is 0x80..0xFF) and turns back into b on the way out. It is
// put in place of the locale's codec only where that codec is UTF-8; a
// single-byte locale codec keeps every byte already.
class ByteKeepingCodec : public QTextCodec
{
public:
    // Once, before the command line is read.
    static void useForLocaleWhenUtf8();
    // The byte kept at position i of text, or -1 when there is none.
    static int keptByteAt(const QString &text, int i);

    QByteArray name() const override;
    int mibEnum() const override;

protected:
    QString convertToUnicode(const char *in, int length, ConverterState *state) const override;
    QByteArray convertFromUnicode(const QChar *in, int length, ConverterState *state) const override;
};
