#include "pagepreparation.h"

#include <algorithm>
#include <cstdint>

#ifdef __linux__
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#endif

namespace {

// Rows prepared at a time: small enough to stop soon after meeting the written rows.
constexpr int chunkRows = 16;

// Faults in the whole pages of [from, to) for writing; false when the system cannot.
bool prepareBytes(uintptr_t from, uintptr_t to)
{
#ifdef MADV_POPULATE_WRITE
    const uintptr_t page = 4096;
    from = (from + page - 1) & ~(page - 1);
    to &= ~(page - 1);
    return to <= from || madvise(reinterpret_cast<void *>(from), to - from, MADV_POPULATE_WRITE) == 0;
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
    return false;
#endif
}

} // namespace

PagePreparation::PagePreparation(const std::vector<const QImage *> &images, int height)
{
    std::vector<Rows> rows;
    for (const QImage *image : images)
        if (!image->isNull())
            rows.push_back({image->constBits(), image->bytesPerLine()});
    thread = std::thread([this, rows, height] { prepare(rows, height); });
}

PagePreparation::~PagePreparation()
{
    stopping = true;
    thread.join();
}

void PagePreparation::prepare(const std::vector<Rows> &images, int height)
{
#ifdef SCHED_IDLE
    // Only on a core nobody else wants: when the clearing is slow, the decoding comes first.
    const sched_param idle{};
    pthread_setschedparam(pthread_self(), SCHED_IDLE, &idle);
#endif
    for (int end = height; end > 0 && !stopping; end -= chunkRows) {
        const int top = std::max(0, end - chunkRows);
        // The rows being written are near: they are the writer's to fault in.
        if (top < written.load(std::memory_order_relaxed) + chunkRows)
            return;
        for (const Rows &image : images) {
            const auto at = [&image](int row) { return reinterpret_cast<uintptr_t>(image.first + row * image.stride); };
            if (!prepareBytes(at(top), at(end)))
                return;
        }
    }
}
