#include "reporttext.h"

#include <QRegularExpression>

QString twoDecimals(double value)
{
    const QString text = QString::number(value, 'f', 2);
    return text == "-0.00" ? QString("0.00") : text;
}

QString jsonText(const QString &text)
{
    QString quoted = "\"";
    for (const QChar c : text) {
        const ushort unit = c.unicode();
        if (c == '"' || c == '\\')
            quoted += QString("\\") + c;
        else if (unit < 0x20 || (unit >= 0x7f && unit <= 0x9f) || unit == 0x2028 || unit == 0x2029)
            quoted += QString("\\u%1").arg(unit, 4, 16, QChar('0'));
        else
            quoted += c;
    }
    return quoted + "\"";
}

QString csvText(const QString &text)
{
    static const QRegularExpression special("[\",\r\n]");
    if (!text.contains(special))
        return text;
    return "\"" + QString(text).replace("\"", "\"\"") + "\"";
}

QString jsonLab(const std::array<double, 3> &lab)
{
    return QString("{\"L\":%1,\"a\":%2,\"b\":%3}").arg(twoDecimals(lab[0]), twoDecimals(lab[1]), twoDecimals(lab[2]));
}
