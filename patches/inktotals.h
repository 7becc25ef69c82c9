#pragma once

#include <QtGlobal>

#include <map>
#include <vector>

// The total ink of every counted pixel of a four-ink patch (the four
// coverages in per cent, as the record sees them, added up): the largest and
// a percentile, exact over all pixels without a value kept per pixel. The
// first pass counts the pixels by the sum of their 16-bit levels, which
// orders the totals: one level is worth far more than the rounding of the
// four per cents. The second pass keeps the totals of the one level sum the
// percentile falls in.
class InkTotals
{
public:
    // percent: the percentile wanted, by nearest rank.
    explicit InkTotals(double percent);

    // First pass, every counted pixel.
    void count(const quint16 levels[4]);
    // Second pass, every counted pixel again.
    void collect(const quint16 levels[4]);
    // The first pass of pixels counted elsewhere.
    void add(const InkTotals &other);
    // The second pass of pixels collected elsewhere, by a copy of this one made after its first pass.
    void addCollected(const InkTotals &other);

    double largest() const { return maximum; }
    double percentile() const;

private:
    // The level sum the percentile's pixel has, and its rank among the pixels of that sum.
    void findRank();
    static int levelSum(const quint16 levels[4]);
    static double total(const quint16 levels[4]);

    double percent;
    std::vector<qint64> pixelsBySum;
    qint64 pixels = 0;
    double maximum = 0.0;
    int largestSum = 0;
    int rankSum = -1;
    qint64 rankWithinSum = 0;
    std::map<double, qint64> totalsAtRankSum;
};
