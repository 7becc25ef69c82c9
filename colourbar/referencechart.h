#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <optional>

// One patch of a reference: what it should measure, and how it was printed.
struct ReferencePatch {
    // From SAMPLE_ID, or SAMPLE_NAME when there is no SAMPLE_ID.
    QString id;
    // The aim, L*a*b* under D50.
    std::array<double, 3> lab{};
    // C, M, Y, K in per cent, when the reference gives them.
    std::optional<std::array<double, 4>> tones;
};

// The aims of a colour bar, read from a CGATS.17 / IT8.7 file.
struct ReferenceChart {
    QString file;
    QVector<ReferencePatch> patches;

    // Whether every patch carries its tone values, which the categories need.
    bool hasTones() const;
    QStringList identifiers() const;
};
