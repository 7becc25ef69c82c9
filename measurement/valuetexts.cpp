#include "valuetexts.h"

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
