#include "toleranceset.h"

#include "regularfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <map>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("ColourBar", text);
}

constexpr qint64 largestToleranceFile = 1024 * 1024;

const std::map<QString, Coverage> coverages{{"all", Coverage::All},
                                            {"paper", Coverage::Paper},
                                            {"solids", Coverage::Solids},
                                            {"overprints", Coverage::Overprints},
                                            {"greys", Coverage::Greys}};
const std::map<QString, ToleranceMetric> metrics{
    {"dE76", ToleranceMetric::DeltaE76}, {"dE00", ToleranceMetric::DeltaE00}, {"dH", ToleranceMetric::AbsoluteDeltaH}};
const std::map<QString, ToleranceStatistic> statistics{{"each", ToleranceStatistic::Each},
                                                       {"mean", ToleranceStatistic::Mean},
                                                       {"max", ToleranceStatistic::Max},
                                                       {"p95", ToleranceStatistic::P95}};

template <typename Choice>
QString keyOf(const std::map<QString, Choice> &choices, Choice choice)
{
    for (const auto &[key, value] : choices)
        if (value == choice)
            return key;
    return QString();
}

template <typename Choice>
QString choose(const std::map<QString, Choice> &choices, const QJsonValue &value, const QString &key, Choice *chosen)
{
    const auto found = choices.find(value.toString());
    if (found == choices.end()) {
        QStringList known;
        for (const auto &choice : choices)
            known << choice.first;
        return tr("\"%1\" must be one of %2").arg(key, known.join(", "));
    }
    *chosen = found->second;
    return QString();
}

QString unknownKey(const QJsonObject &object, const QStringList &known)
{
    for (const QString &key : object.keys())
        if (!known.contains(key))
            return tr("unknown key \"%1\" (known: %2)").arg(key, known.join(", "));
    return QString();
}

QString readCoverage(const QJsonValue &covers, ToleranceRule *rule)
{
    if (!covers.isArray()) {
        if (covers.toString() == "list")
            return tr("\"covers\" lists identifiers as an array");
        return choose(coverages, covers, "covers", &rule->coverage);
    }
    rule->coverage = Coverage::Listed;
    for (const QJsonValue &id : covers.toArray()) {
        if (!id.isString() || id.toString().isEmpty())
            return tr("\"covers\" lists identifiers, as strings");
        rule->listed << id.toString();
    }
    return rule->listed.isEmpty() ? tr("\"covers\" lists no identifier") : QString();
}

QString readRule(const QJsonObject &object, ToleranceRule *rule)
{
    const QStringList keys{"name", "covers", "metric", "statistic", "limit"};
    QString error = unknownKey(object, keys);
    for (const QString &key : keys)
        if (error.isEmpty() && !object.contains(key))
            error = tr("\"%1\" is missing").arg(key);
    if (!error.isEmpty())
        return error;
    rule->name = object.value("name").toString();
    if (rule->name.isEmpty())
        return tr("\"name\" must be a text");
    const QJsonValue limit = object.value("limit");
    rule->limit = limit.toDouble(-1.0);
    if (!limit.isDouble() || !(rule->limit >= 0.0) || !std::isfinite(rule->limit))
        return tr("\"limit\" must be a number, 0 or more");
    error = readCoverage(object.value("covers"), rule);
    if (error.isEmpty())
        error = choose(metrics, object.value("metric"), "metric", &rule->metric);
    if (error.isEmpty())
        error = choose(statistics, object.value("statistic"), "statistic", &rule->statistic);
    return error;
}

QString readSet(const QJsonObject &object, ToleranceSet *set)
{
    QString error = unknownKey(object, {"name", "comment", "rules"});
    if (!error.isEmpty())
        return error;
    set->name = object.value("name").toString();
    set->comment = object.value("comment").toString();
    const QJsonArray rules = object.value("rules").toArray();
    if (rules.isEmpty())
        return tr("\"rules\" must list at least one rule");
    for (int k = 0; k < rules.size(); ++k) {
        ToleranceRule rule;
        error = rules[k].isObject() ? readRule(rules[k].toObject(), &rule) : tr("it is not an object");
        if (!error.isEmpty())
            return tr("rule %1: %2").arg(k + 1).arg(error);
        set->rules << rule;
    }
    return QString();
}

} // namespace

QString metricKey(ToleranceMetric metric)
{
    return keyOf(metrics, metric);
}

QString statisticKey(ToleranceStatistic statistic)
{
    return keyOf(statistics, statistic);
}

QString coverageKey(Coverage coverage)
{
    return coverage == Coverage::Listed ? QString("list") : keyOf(coverages, coverage);
}

ToleranceReading readToleranceText(const QByteArray &json, const QString &fileName)
{
    ToleranceReading reading;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    QString reason;
    if (parseError.error != QJsonParseError::NoError) {
        const int line = json.left(parseError.offset).count('\n') + 1;
        reason = tr("line %1: %2").arg(line).arg(parseError.errorString());
    } else if (!document.isObject()) {
        reason = tr("it is not a JSON object");
    } else {
        reason = readSet(document.object(), &reading.set);
    }
    if (!reason.isEmpty()) {
        reading.set = ToleranceSet();
        reading.error = tr("The tolerance set %1 cannot be used: %2.").arg(fileName, reason);
    }
    return reading;
}

ToleranceReading readToleranceFile(const QString &path)
{
    QString reason = notRegularFileReason(path);
    QFile file(path);
    if (reason.isEmpty() && !file.open(QIODevice::ReadOnly))
        reason = file.errorString();
    else if (reason.isEmpty() && file.size() > largestToleranceFile)
        reason = tr("it is far too large for a tolerance set");
    if (reason.isEmpty())
        return readToleranceText(file.readAll(), path);
    ToleranceReading reading;
    reading.error = tr("The tolerance set %1 cannot be used: %2.").arg(path, reason);
    return reading;
}

QStringList shippedToleranceFiles(const QString &resourceDir)
{
    const QDir folder(resourceDir + "/tolerances");
    const QString first = "iso12647-7-proof.json";
    QStringList files{folder.filePath(first)};
    for (const QString &name : folder.entryList({"*.json"}, QDir::Files, QDir::Name))
        if (name != first)
            files << folder.filePath(name);
    return files;
}
