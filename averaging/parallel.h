#pragma once

#include <algorithm>
#include <thread>
#include <vector>

// Runs work(firstRow, endRow) on consecutive blocks of rows, one block per core.
template <typename Work>
void forRowBlocks(int height, Work work)
{
    const int threads = std::max(1, std::min<int>(int(std::thread::hardware_concurrency()), height / 16));
    if (threads <= 1) {
        work(0, height);
        return;
    }
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work, height * t / threads, height * (t + 1) / threads);
    work(0, height / threads);
    for (std::thread &thread : pool)
        thread.join();
}

// Runs work() once on every core and waits for all.
template <typename Work>
void runOnAllCores(Work work)
{
    std::vector<std::thread> pool;
    for (unsigned t = 1; t < std::max(1u, std::thread::hardware_concurrency()); ++t)
        pool.emplace_back(work);
    work();
    for (std::thread &thread : pool)
        thread.join();
}
