#include "jpegiccchunks.h"

#include <QVector>

namespace {

const QByteArray signature("ICC_PROFILE\0", 12);
constexpr int chunkHeader = 14;

QString misnumbered(int sequence, int count)
{
    return QString("one of its chunks is numbered %1 of %2").arg(sequence).arg(count);
}

} // namespace

QByteArray joinIccChunks(const QList<QByteArray> &app2Payloads, QString *problem)
{
    QVector<QByteArray> chunks;
    QVector<bool> seen;
    int count = 0;
    for (const QByteArray &payload : app2Payloads) {
        if (payload.size() < chunkHeader || !payload.startsWith(signature))
            continue;
        const int sequence = uchar(payload[12]);
        if (count == 0) {
            count = uchar(payload[13]);
            chunks.resize(count);
            seen.resize(count);
        }
        if (sequence < 1 || sequence > count || uchar(payload[13]) != count) {
            *problem = misnumbered(sequence, uchar(payload[13]));
            return QByteArray();
        }
        if (seen[sequence - 1]) {
            *problem = QString("its chunk %1 of %2 is there twice").arg(sequence).arg(count);
            return QByteArray();
        }
        seen[sequence - 1] = true;
        chunks[sequence - 1] = payload.mid(chunkHeader);
    }
    QByteArray profile;
    for (int i = 0; i < chunks.size(); ++i) {
        if (!seen[i]) {
            *problem = QString("its chunk %1 of %2 is missing").arg(i + 1).arg(count);
            return QByteArray();
        }
        profile += chunks[i];
    }
    return profile;
}
