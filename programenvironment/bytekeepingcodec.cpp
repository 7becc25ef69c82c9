#include "bytekeepingcodec.h"

namespace {

constexpr ushort keptBase = 0xDC00;

// The length of the well-formed UTF-8 sequence at in (at most left bytes), or 0.
int sequenceLength(const uchar *in, int left)
{
    const uchar lead = in[0];
    if (lead < 0x80)
        return 1;
    int length = 0;
    uchar low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF)
        length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4)
        length = 4;
    else
        return 0;
    // No overlong forms, no surrogates, nothing beyond U+10FFFF.
    if (lead == 0xE0)
        low = 0xA0;
    else if (lead == 0xED)
        high = 0x9F;
    else if (lead == 0xF0)
        low = 0x90;
    else if (lead == 0xF4)
        high = 0x8F;
    if (left < length || in[1] < low || in[1] > high)
        return 0;
    for (int i = 2; i < length; ++i)
        if (in[i] < 0x80 || in[i] > 0xBF)
            return 0;
    return length;
}

} // namespace

void ByteKeepingCodec::useForLocaleWhenUtf8()
{
    if (QTextCodec::codecForLocale()->mibEnum() != 106)
        return;
    // Qt keeps every codec made until the program ends.
    static ByteKeepingCodec *codec = new ByteKeepingCodec;
    QTextCodec::setCodecForLocale(codec);
}

int ByteKeepingCodec::keptByteAt(const QString &text, int i)
{
    const ushort unit = text.at(i).unicode();
    if (unit < keptBase + 0x80 || unit > keptBase + 0xFF)
        return -1;
    if (i > 0 && text.at(i - 1).isHighSurrogate())
        return -1;
    return unit - keptBase;
}

QByteArray ByteKeepingCodec::name() const
{
    return "UTF-8 keeping bytes";
}

int ByteKeepingCodec::mibEnum() const
{
    // Private use: not a registered character set.
    return -106;
}

// Names come whole, so no sequence is left over for a following call.
QString ByteKeepingCodec::convertToUnicode(const char *in, int length, ConverterState *) const
{
    const auto *bytes = reinterpret_cast<const uchar *>(in);
    QString text;
    int runStart = 0;
    for (int i = 0; i < length;) {
        const int sequence = sequenceLength(bytes + i, length - i);
        if (sequence > 0) {
            i += sequence;
            continue;
        }
        text += QString::fromUtf8(in + runStart, i - runStart);
        text += QChar(ushort(keptBase + bytes[i]));
        runStart = ++i;
    }
    return text + QString::fromUtf8(in + runStart, length - runStart);
}

QByteArray ByteKeepingCodec::convertFromUnicode(const QChar *in, int length, ConverterState *) const
{
    const QString text = QString::fromRawData(in, length);
    QByteArray bytes;
    bytes.reserve(length);
    int runStart = 0;
    for (int i = 0; i < length; ++i) {
        const int kept = keptByteAt(text, i);
        if (kept < 0)
            continue;
        bytes += text.mid(runStart, i - runStart).toUtf8();
        bytes += char(kept);
        runStart = i + 1;
    }
    return bytes + text.mid(runStart).toUtf8();
}
