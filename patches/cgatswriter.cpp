#include "cgatswriter.h"

#include "lcmshandles.h"

#include <QRegularExpression>

namespace {

// Little CMS writes a value in quotes only when it holds a space, and reads
// one line per row: quotes and line ends in a name would break the file,
// and a bare word could be read as a keyword or a malformed number. So every
// value but a plain decimal number is quoted here when Little CMS would not quote it.
QByteArray writableValue(const QString &text)
{
    QString plain = text.left(200);
    for (QChar &c : plain)
        if (c == '"' || c.category() == QChar::Other_Control || c.unicode() == 0x2028 || c.unicode() == 0x2029)
            c = c == '"' ? QChar('\'') : QChar(' ');
    // Little CMS reads an empty quoted value as the text before it.
    if (plain.isEmpty())
        plain = " ";
    static const QRegularExpression decimal("^-?[0-9]+(\\.[0-9]+)?$");
    if (!decimal.match(plain).hasMatch() && !plain.contains(' '))
        plain = '"' + plain + '"';
    return plain.toUtf8();
}

} // namespace

QByteArray CgatsWriter::bytes() const
{
    const It8Handle it8(cmsIT8Alloc(nullptr));
    if (!it8)
        return QByteArray();
    bool ok = cmsIT8SetSheetType(it8.get(), "CGATS.17") &&
              cmsIT8SetPropertyDbl(it8.get(), "NUMBER_OF_FIELDS", fieldNames.size()) &&
              cmsIT8SetPropertyDbl(it8.get(), "NUMBER_OF_SETS", rows.size());
    for (int c = 0; ok && c < fieldNames.size(); ++c)
        ok = cmsIT8SetDataFormat(it8.get(), c, fieldNames[c].toLatin1().constData());
    for (int r = 0; ok && r < rows.size(); ++r)
        for (int c = 0; ok && c < fieldNames.size(); ++c)
            ok = cmsIT8SetDataRowCol(it8.get(), r, c, writableValue(rows[r].value(c)).constData());
    cmsUInt32Number size = 0;
    if (!ok || !cmsIT8SaveToMem(it8.get(), nullptr, &size))
        return QByteArray();
    QByteArray file(int(size), '\0');
    if (!cmsIT8SaveToMem(it8.get(), file.data(), &size))
        return QByteArray();
    // The size counts the closing NUL.
    file.truncate(int(qstrnlen(file.constData(), size)));
    return file;
}
