#include "inktotals.h"

#include "displaybytes.h"

#include <cmath>

InkTotals::InkTotals(double percent) : percent(percent), pixelsBySum(4 * 65535 + 1, 0) {}

int InkTotals::levelSum(const quint16 levels[4])
{
    return int(levels[0]) + levels[1] + levels[2] + levels[3];
}

double InkTotals::total(const quint16 levels[4])
{
    const auto &perCent = levelsFor(4);
    double sum = 0.0;
    for (int c = 0; c < 4; ++c)
        sum += double(perCent[levels[c]]);
    return sum;
}

void InkTotals::count(const quint16 levels[4])
{
    const int sum = levelSum(levels);
    ++pixelsBySum[size_t(sum)];
    ++pixels;
    // A smaller level sum never has the larger total.
    if (sum >= largestSum) {
        largestSum = sum;
        maximum = std::max(maximum, total(levels));
    }
}

void InkTotals::add(const InkTotals &other)
{
    for (size_t sum = 0; sum < pixelsBySum.size(); ++sum)
        pixelsBySum[sum] += other.pixelsBySum[sum];
    pixels += other.pixels;
    maximum = std::max(maximum, other.maximum);
    largestSum = std::max(largestSum, other.largestSum);
}

void InkTotals::addCollected(const InkTotals &other)
{
    if (rankSum < 0)
        findRank();
    for (const auto &[value, count] : other.totalsAtRankSum)
        totalsAtRankSum[value] += count;
}

// Nearest rank: the smallest total that at least percent per cent of the pixels do not exceed.
void InkTotals::findRank()
{
    const qint64 rank = std::max<qint64>(1, qint64(std::ceil(percent / 100.0 * double(pixels))));
    qint64 below = 0;
    for (size_t sum = 0; sum < pixelsBySum.size(); ++sum) {
        if (below + pixelsBySum[sum] >= rank) {
            rankSum = int(sum);
            rankWithinSum = rank - below;
            return;
        }
        below += pixelsBySum[sum];
    }
}

void InkTotals::collect(const quint16 levels[4])
{
    if (rankSum < 0)
        findRank();
    if (levelSum(levels) == rankSum)
        ++totalsAtRankSum[total(levels)];
}

double InkTotals::percentile() const
{
    qint64 reached = 0;
    for (const auto &[value, count] : totalsAtRankSum) {
        reached += count;
        if (reached >= rankWithinSum)
            return value;
    }
    return 0.0;
}
