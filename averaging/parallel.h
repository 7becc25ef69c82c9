#pragma once

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

// The threads a pass runs on: one per core, unless set otherwise (0 goes back to one per core).
inline std::atomic<int> &workerThreadSetting()
{
    static std::atomic<int> setting{0};
    return setting;
}

inline void setWorkerThreads(int threads)
{
    workerThreadSetting() = threads;
}

inline int workerThreads()
{
    // Asked once: the system reads a file to answer, and a pass asks for every band.
    static const int cores = std::max(1, int(std::thread::hardware_concurrency()));
    const int set = workerThreadSetting();
    return set > 0 ? set : cores;
}

// How many blocks forRowBlocks splits height rows into: one per thread, of 16 rows at least.
inline int rowBlockCount(int height)
{
    return std::max(1, std::min(workerThreads(), height / 16));
}

// Runs work(block, firstRow, endRow) on consecutive blocks of rows, one block per core.
template <typename Work>
void forNumberedRowBlocks(int height, Work work)
{
    const int blocks = rowBlockCount(height);
    std::vector<std::thread> pool;
    for (int b = 1; b < blocks; ++b)
        pool.emplace_back(work, b, height * b / blocks, height * (b + 1) / blocks);
    work(0, 0, height / blocks);
    for (std::thread &thread : pool)
        thread.join();
}

// Runs work(firstRow, endRow) on consecutive blocks of rows, one block per core.
template <typename Work>
void forRowBlocks(int height, Work work)
{
    forNumberedRowBlocks(height, [&work](int, int first, int end) { work(first, end); });
}

// Runs work() once on every worker thread and waits for all.
template <typename Work>
void runOnAllCores(Work work)
{
    std::vector<std::thread> pool;
    for (int t = 1; t < workerThreads(); ++t)
        pool.emplace_back(work);
    work();
    for (std::thread &thread : pool)
        thread.join();
}

// Runs work(first, end) over [0, count) in chunks taken by all cores in turn.
template <typename Work>
void runInParallelChunks(size_t count, Work work, size_t chunk = 4096)
{
    std::atomic<size_t> next{0};
    runOnAllCores([&] {
        for (size_t first = next.fetch_add(chunk); first < count; first = next.fetch_add(chunk))
            work(first, std::min(count, first + chunk));
    });
}
