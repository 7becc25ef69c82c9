#pragma once

#include <QImage>

#include <atomic>
#include <thread>
#include <vector>

// Gets the memory of images just allocated ready for writing, from their last
// row up, on a thread of its own, until it meets the rows already written from
// the top. The system clears a fresh page the first time it is written, which
// here is about as costly as decoding the rows that fill it; this way the
// clearing runs on a core the decoding leaves free instead of holding up the
// thread that copies the rows in. Where the system cannot be asked to, nothing is done.
class PagePreparation
{
public:
    // The images must outlive the preparation, at their addresses; all as high as height rows.
    PagePreparation(const std::vector<const QImage *> &images, int height);
    ~PagePreparation();
    PagePreparation(const PagePreparation &) = delete;
    PagePreparation &operator=(const PagePreparation &) = delete;

    // Rows above rows are written: they need no preparing.
    void rowsWritten(int rows) { written.store(rows, std::memory_order_relaxed); }

private:
    struct Rows {
        const uchar *first;
        qsizetype stride;
    };

    void prepare(const std::vector<Rows> &images, int height);

    std::atomic<int> written{0};
    std::atomic<bool> stopping{false};
    std::thread thread;
};
