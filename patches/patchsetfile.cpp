#include "patchsetfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cmath>
#include <tuple>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("PatchSetFile", text);
}

int lineAt(const QByteArray &bytes, int offset)
{
    return int(bytes.left(offset).count('\n')) + 1;
}

QString errorAt(const QString &fileName, int line, const QString &problem)
{
    return tr("%1, line %2: %3").arg(fileName).arg(line).arg(problem);
}

// Where each element of the top-level "patches" array starts, in bytes; the
// text is known to be valid JSON. Qt's reader keeps no positions.
QVector<int> patchOffsets(const QByteArray &bytes)
{
    QVector<int> offsets;
    int depth = 0;
    int arrayDepth = -1;
    QByteArray lastKey;
    for (int i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '"') {
            if (depth == arrayDepth)
                offsets << i;
            const int start = i + 1;
            for (++i; i < bytes.size() && bytes[i] != '"'; ++i)
                i += bytes[i] == '\\' ? 1 : 0;
            lastKey = depth == 1 ? bytes.mid(start, i - start) : QByteArray();
        } else if (c == '{' || c == '[') {
            if (depth == arrayDepth)
                offsets << i;
            if (c == '[' && depth == 1 && lastKey == "patches" && arrayDepth < 0)
                arrayDepth = depth + 1;
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
            if (depth + 1 == arrayDepth && c == ']')
                return offsets;
        } else if (depth == arrayDepth && c != ',' && !QChar(c).isSpace()) {
            offsets << i;
            for (; i + 1 < bytes.size() && bytes[i + 1] != ',' && bytes[i + 1] != ']'; ++i) {
            }
        }
    }
    return offsets;
}

// A whole number of pixels within [lowest, largestCoordinate], or why not.
QString coordinateProblem(const QJsonObject &object, const QString &key, int lowest, int *value)
{
    const QJsonValue field = object.value(key);
    const double number = field.toDouble();
    if (!field.isDouble() || number != std::floor(number) || number < lowest ||
        number > PatchSetFile::largestCoordinate)
        return tr("\"%1\" must be a whole number of pixels from %2 to %3")
            .arg(key)
            .arg(lowest)
            .arg(PatchSetFile::largestCoordinate);
    *value = int(number);
    return QString();
}

QString patchProblem(const QJsonValue &value, int index, Patch *patch)
{
    if (!value.isObject())
        return tr("a patch must be an object");
    const QJsonObject object = value.toObject();
    patch->name = object.value("name").toString(tr("Patch %1").arg(index + 1));
    const QString shape = object.value("shape").toString("rect");
    if (shape != "rect" && shape != "ellipse")
        return tr("\"shape\" must be \"rect\" or \"ellipse\"");
    patch->shape = shape == "ellipse" ? PatchShape::Ellipse : PatchShape::Rect;
    int x = 0, y = 0, width = 0, height = 0;
    for (const auto &[key, lowest, target] :
         {std::tuple<const char *, int, int *>{"x", 0, &x}, {"y", 0, &y}, {"width", 1, &width},
          {"height", 1, &height}}) {
        const QString problem = coordinateProblem(object, key, lowest, target);
        if (!problem.isEmpty())
            return problem;
    }
    patch->rect = QRect(x, y, width, height);
    return QString();
}

} // namespace

PatchSetReading PatchSetFile::parse(const QByteArray &bytes, const QString &fileName)
{
    PatchSetReading reading;
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        reading.error = errorAt(fileName, lineAt(bytes, parseError.offset), parseError.errorString());
        return reading;
    }
    const QJsonValue list = document.object().value("patches");
    if (!document.isObject() || !list.isArray()) {
        reading.error = errorAt(fileName, 1, tr("the file holds no \"patches\" list"));
        return reading;
    }
    const QJsonArray patches = list.toArray();
    const QVector<int> offsets = patchOffsets(bytes);
    for (int i = 0; i < patches.size(); ++i) {
        Patch patch;
        const QString problem = patchProblem(patches[i], i, &patch);
        if (!problem.isEmpty()) {
            reading.patches.clear();
            reading.error = errorAt(fileName, lineAt(bytes, i < offsets.size() ? offsets[i] : 0), problem);
            return reading;
        }
        reading.patches << patch;
    }
    return reading;
}

PatchSetReading PatchSetFile::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        PatchSetReading reading;
        reading.error = tr("%1: %2").arg(path, file.errorString());
        return reading;
    }
    return parse(file.readAll(), path);
}

QByteArray PatchSetFile::toJson(const QVector<Patch> &patches)
{
    QJsonArray list;
    for (const Patch &patch : patches)
        list.append(QJsonObject{{"name", patch.name},
                                {"shape", patch.shape == PatchShape::Ellipse ? "ellipse" : "rect"},
                                {"x", patch.rect.x()},
                                {"y", patch.rect.y()},
                                {"width", patch.rect.width()},
                                {"height", patch.rect.height()}});
    return QJsonDocument(QJsonObject{{"patches", list}}).toJson(QJsonDocument::Indented);
}

bool PatchSetFile::write(const QString &path, const QVector<Patch> &patches, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(toJson(patches)) >= 0 && file.commit())
        return true;
    *error = tr("%1: %2").arg(path, file.errorString());
    return false;
}

FittedPatches PatchSetFile::fitTo(const QVector<Patch> &patches, const QRect &picture)
{
    FittedPatches fitted;
    for (Patch patch : patches) {
        patch.clipped = !picture.contains(patch.rect);
        if (patch.clipped && !picture.intersects(patch.rect))
            fitted.warnings << tr("The patch \"%1\" lies outside the picture; nothing of it is measured.")
                                   .arg(patch.name);
        else if (patch.clipped)
            fitted.warnings << tr("The patch \"%1\" reaches beyond the picture; only its part inside is measured.")
                                   .arg(patch.name);
        fitted.patches << patch;
    }
    return fitted;
}
