#include "samplememory.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#endif

namespace {

constexpr qsizetype systemPage = 4096;
// Memory is mapped in whole huge pages: the system then clears it with a few
// hundred faults instead of tens of thousands.
constexpr qsizetype hugePage = qsizetype(1) << 21;

qsizetype roundedUp(qsizetype bytes, qsizetype unit)
{
    return (bytes + unit - 1) / unit * unit;
}

} // namespace

SampleMemory &SampleMemory::shared()
{
    // Never destroyed: pictures may give memory back while the program ends.
    static SampleMemory *memory = new SampleMemory(reserveBytes);
    return *memory;
}

SampleMemory::SampleMemory(qint64 keptFreeBytes) : keptFree(keptFreeBytes) {}

SampleMemory::~SampleMemory()
{
    stopPreparing();
#ifdef __linux__
    for (const auto &block : blocks)
        munmap(block.first, size_t(block.second.size));
#endif
}

void SampleMemory::prepare(qint64 bytes)
{
    std::lock_guard<std::mutex> lock(mutex);
    const qsizetype size = roundedUp(std::min(bytes, keptFree), hugePage);
    if (size <= 0 || !preparationDone || freeBytesHeld() >= size)
        return;
    if (preparation.joinable())
        preparation.join();
    uchar *at = mapNew(size);
    if (!at)
        return;
    stopping = false;
    preparationDone = false;
    preparation = std::thread([this, at, size] {
        populate(at, size);
        preparationDone = true;
    });
}

void SampleMemory::stopPreparing()
{
    stopping = true;
    std::lock_guard<std::mutex> lock(mutex);
    if (preparation.joinable())
        preparation.join();
}

QImage SampleMemory::image(QSize size, QImage::Format format)
{
    // QImage's own bits per pixel, padding included (QPixelFormat counts only the channels').
    const int depth = QImage(1, 1, format).depth();
    const qint64 stride = (qint64(size.width()) * depth + 31) / 32 * 4;
    if (size.isEmpty() || depth == 0 || stride > std::numeric_limits<qsizetype>::max() / size.height())
        return QImage(size, format);
    uchar *at = take(roundedUp(stride * size.height(), systemPage));
    if (!at)
        return QImage(size, format);
    auto *lease = new Lease{this, at};
    const auto giveLeaseBack = [](void *info) {
        const std::unique_ptr<Lease> ended(static_cast<Lease *>(info));
        ended->memory->giveBack(ended->at);
    };
    QImage image(at, size.width(), size.height(), qsizetype(stride), format, giveLeaseBack, lease);
    if (image.isNull())
        giveLeaseBack(lease);
    return image;
}

qint64 SampleMemory::freeBytes() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return freeBytesHeld();
}

qint64 SampleMemory::freeBytesHeld() const
{
    qint64 free = 0;
    for (const auto &block : blocks)
        if (block.second.free)
            free += block.second.size;
    return free;
}

uchar *SampleMemory::take(qsizetype bytes)
{
    std::lock_guard<std::mutex> lock(mutex);
    // A picture is being kept: its own preparation gets its pages ready now.
    stopping = true;
    if (uchar *at = takeFree(bytes))
        return at;
    return mapNew(bytes) ? takeFree(bytes) : nullptr;
}

// The smallest free block that holds bytes; what it has over stays free.
uchar *SampleMemory::takeFree(qsizetype bytes)
{
    auto best = blocks.end();
    for (auto block = blocks.begin(); block != blocks.end(); ++block)
        if (block->second.free && block->second.size >= bytes &&
            (best == blocks.end() || block->second.size < best->second.size))
            best = block;
    if (best == blocks.end())
        return nullptr;
    if (best->second.size > bytes)
        blocks[best->first + bytes] = {best->second.size - bytes, true};
    best->second = {bytes, false};
    return best->first;
}

// A new free block of at least bytes, on a huge page boundary.
uchar *SampleMemory::mapNew(qsizetype bytes)
{
#ifdef __linux__
    const qsizetype size = roundedUp(bytes, hugePage);
    void *mapped = mmap(nullptr, size_t(size + hugePage), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    // Mapped a huge page longer than needed, then cut to a huge page boundary at both ends.
    auto *start = static_cast<uchar *>(mapped);
    uchar *at = start + (hugePage - qsizetype(reinterpret_cast<uintptr_t>(start) % hugePage)) % hugePage;
    if (at > start)
        munmap(start, size_t(at - start));
    munmap(at + size, size_t(start + hugePage - at));
    madvise(at, size_t(size), MADV_HUGEPAGE);
    blocks[at] = {size, true};
    return at;
#else
    Q_UNUSED(bytes);
    return nullptr;
#endif
}

void SampleMemory::giveBack(uchar *at)
{
    std::lock_guard<std::mutex> lock(mutex);
    const auto block = blocks.find(at);
    if (block == blocks.end())
        return;
    block->second.free = true;
    mergeWithNext(block);
    if (block != blocks.begin())
        mergeWithNext(std::prev(block));
    trim();
}

void SampleMemory::mergeWithNext(std::map<uchar *, Block>::iterator block)
{
    const auto next = std::next(block);
    if (next == blocks.end() || !block->second.free || !next->second.free ||
        block->first + block->second.size != next->first)
        return;
    block->second.size += next->second.size;
    blocks.erase(next);
}

// Gives the system back what is free beyond the limit, from the ends of the largest free blocks.
void SampleMemory::trim()
{
#ifdef __linux__
    for (qint64 excess = freeBytesHeld() - keptFree; excess > 0;) {
        auto largest = blocks.end();
        for (auto block = blocks.begin(); block != blocks.end(); ++block)
            if (block->second.free && (largest == blocks.end() || block->second.size > largest->second.size))
                largest = block;
        const qsizetype cut = std::min(roundedUp(qsizetype(excess), systemPage), largest->second.size);
        largest->second.size -= cut;
        munmap(largest->first + largest->second.size, size_t(cut));
        if (largest->second.size == 0)
            blocks.erase(largest);
        excess -= cut;
    }
#endif
}

void SampleMemory::populate(uchar *from, qsizetype bytes)
{
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    // Only on a core nobody else wants: whatever the user starts comes first.
    const sched_param idle{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
    for (qsizetype done = 0; done < bytes && !stopping; done += hugePage)
        if (madvise(from + done, size_t(std::min(hugePage, bytes - done)), MADV_POPULATE_WRITE) != 0)
            return;
#else
    Q_UNUSED(from);
    Q_UNUSED(bytes);
#endif
}
