#include "valuetexts.h"

#include <QCoreApplication>

#include <cmath>

namespace {

QString levelText(float level)
{
    return QString::number(double(level), 'f', std::floor(level) == level ? 0 : 2);
}

} // namespace

QString sourceValuesText(const PixelValues &values, int numberOfInks)
{
    const float *v = values.channel;
    switch (numberOfInks) {
    case 4:
        return QString("C %1% M %2% Y %3% K %4%")
            .arg(double(v[0]), 0, 'f', 1)
            .arg(double(v[1]), 0, 'f', 1)
            .arg(double(v[2]), 0, 'f', 1)
            .arg(double(v[3]), 0, 'f', 1);
    case 3:
        return QString("R %1 G %2 B %3").arg(levelText(v[0]), levelText(v[1]), levelText(v[2]));
    case 1:
        return QCoreApplication::translate("CVCImageWindow", "Grey %1").arg(levelText(v[0]));
    default:
        return QCoreApplication::translate("CVCImageWindow", "Levels %1 %2").arg(levelText(v[0]), levelText(v[1]));
    }
}

QStringList colourValueTexts(const AverageColour &average, bool lch)
{
    const std::array<float, 3> &values = lch ? average.lch : average.lab;
    QStringList texts;
    for (size_t i = 0; i < 3; ++i) {
        const QString text = QString::number(double(values[i]), 'f', 2);
        texts << (!lch && i > 0 && text == "-0.00" ? QString("0.00") : text);
    }
    return texts;
}
