#pragma once

#include <QImage>
#include <QSize>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>

// Memory for the samples a picture keeps, taken back when the picture goes
// and handed to the next one. The system clears a page the first time it is
// written, and on a virtual machine the host may have to find the page
// first: for a picture's samples that can cost more than decoding them.
// Memory written once costs nothing more, so what pictures let go of is kept
// (up to a limit) for the next, and a first reserve can be made ready in the
// background, while the user chooses a file.
class SampleMemory
{
public:
    // What the shared memory keeps when no picture uses it, and what a window
    // makes ready: the samples of a 24-megapixel photograph or press separation.
    static constexpr qint64 reserveBytes = qint64(128) << 20;

    // The memory every kept picture's samples come from, for the whole program.
    static SampleMemory &shared();

    // keptFreeBytes: the most memory kept when no picture uses it.
    explicit SampleMemory(qint64 keptFreeBytes);
    ~SampleMemory();
    SampleMemory(const SampleMemory &) = delete;
    SampleMemory &operator=(const SampleMemory &) = delete;

    // Makes a reserve of bytes ready on a thread of its own, which runs only
    // on a core nobody else wants and stops once a picture takes memory.
    // Nothing is done when that much is free already or being made ready.
    void prepare(qint64 bytes);
    // Ends the preparation; what it made ready stays.
    void stopPreparing();

    // An image of size and format whose rows lie in this memory, at the
    // stride QImage gives; an image of its own when the system has no memory
    // to map, a null one when it has none at all. Its memory comes back once
    // it and every copy of it are gone.
    QImage image(QSize size, QImage::Format format);

    // Memory kept that no image uses.
    qint64 freeBytes() const;

private:
    struct Block {
        qsizetype size;
        bool free;
    };
    struct Lease {
        SampleMemory *memory;
        uchar *at;
    };

    qint64 freeBytesHeld() const;
    uchar *take(qsizetype bytes);
    uchar *takeFree(qsizetype bytes);
    uchar *mapNew(qsizetype bytes);
    void giveBack(uchar *at);
    void mergeWithNext(std::map<uchar *, Block>::iterator block);
    void trim();
    void populate(uchar *from, qsizetype bytes);

    const qint64 keptFree;
    mutable std::mutex mutex;
    // Every block of mapped memory, by address, so that free neighbours join.
    std::map<uchar *, Block> blocks;
    std::atomic<bool> stopping{false};
    std::atomic<bool> preparationDone{true};
    std::thread preparation;
};
