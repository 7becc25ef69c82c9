#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>

// A CGATS.17 data table written through Little CMS's IT8 functions: one
// column per field, one row per sample, values given as the texts to write.
class CgatsWriter
{
public:
    explicit CgatsWriter(QStringList fields) : fieldNames(std::move(fields)) {}

    void addRow(const QStringList &values) { rows << values; }
    // The whole file; empty when Little CMS refuses it.
    QByteArray bytes() const;

private:
    QStringList fieldNames;
    QVector<QStringList> rows;
};
