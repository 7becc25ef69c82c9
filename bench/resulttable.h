#pragma once

#include <QString>

#include <vector>

// What a user waits for on one input, in ms; below 0 where not measured.
struct UserWaits {
    QString input;
    double decodeMs = -1;
    double valuesMs = -1;
    double pictureMs = -1;
    double measureMs = -1;
    double windowPeakMiB = -1;
    double measurePeakMiB = -1;
};

// The compact table printed at the end of the benchmark, times also as multiples of the decode.
class ResultTable
{
public:
    void add(const UserWaits &waits);
    void print() const;

private:
    std::vector<UserWaits> rows;
};
