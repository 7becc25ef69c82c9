#include "bandpass.h"

#include "bandcounter.h"
#include "workcontrol.h"

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace {

// Pages the size of a picture are filled a few megabytes at a time: in huge
// pages the system clears them with a few hundred faults instead of tens of thousands.
void adviseHugePages(uchar *bytes, size_t size)
{
#ifdef MADV_HUGEPAGE
    const uintptr_t huge = uintptr_t(1) << 21;
    const uintptr_t first = (reinterpret_cast<uintptr_t>(bytes) + huge - 1) & ~(huge - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(bytes) + size) & ~(huge - 1);
    if (end > first)
        madvise(reinterpret_cast<void *>(first), end - first, MADV_HUGEPAGE);
#else
    Q_UNUSED(bytes);
    Q_UNUSED(size);
#endif
}

// The samples of the bands, copied into images as tall as the picture.
class KeptSamples
{
public:
    KeptSamples(QSize size, qint64 budget) : size(size), budget(budget) {}

    void keep(const PixelSources &band, int top)
    {
        if (top == 0)
            start(band);
        if (!keeping)
            return;
        copyRows(band.picture, whole.picture, top);
        if (band.channelCount >= 4) {
            copyRows(band.inkPage2, whole.inkPage2, top);
            // The picture of a four-ink band is its first ink image.
            if (!band.inkPage1.isNull() && band.inkPage1.constBits() != band.picture.constBits())
                copyRows(band.inkPage1, whole.inkPage1, top);
        }
    }

    PixelSources result() const
    {
        if (!keeping)
            return {};
        PixelSources kept = whole;
        if (kept.channelCount >= 4 && kept.inkPage1.isNull())
            kept.inkPage1 = kept.picture;
        return kept;
    }

private:
    // A band that is the whole picture is kept as it is; other bands are
    // copied into images allocated at the first band.
    void start(const PixelSources &band)
    {
        const bool inksShared = band.inkPage1.constBits() == band.picture.constBits();
        const qint64 need =
            pageBytes(band.picture) + pageBytes(band.inkPage2) + (inksShared ? 0 : pageBytes(band.inkPage1));
        if (need > budget)
            return;
        whole = band;
        if (band.picture.height() >= size.height()) {
            wholeBand = true;
            keeping = true;
            return;
        }
        whole = {};
        whole.channelCount = band.channelCount;
        keeping = allocateLike(band.picture, whole.picture) &&
                  (band.channelCount < 4 || allocateLike(band.inkPage2, whole.inkPage2)) &&
                  (band.channelCount < 4 || inksShared || allocateLike(band.inkPage1, whole.inkPage1));
        if (!keeping)
            whole = {};
    }

    qint64 pageBytes(const QImage &page) const
    {
        return page.isNull() ? 0 : qint64(page.bytesPerLine()) * size.height();
    }

    bool allocateLike(const QImage &band, QImage &page) const
    {
        if (band.isNull())
            return true;
        page = QImage(size, band.format());
        page.setColorTable(band.colorTable());
        if (page.isNull())
            return false;
        adviseHugePages(page.bits(), size_t(page.sizeInBytes()));
        return true;
    }

    void copyRows(const QImage &band, QImage &page, int top)
    {
        if (wholeBand || band.isNull() || page.isNull())
            return;
        const qsizetype bytes = std::min(band.bytesPerLine(), page.bytesPerLine());
        for (int y = 0; y < band.height() && top + y < page.height(); ++y)
            std::memcpy(page.scanLine(top + y), band.constScanLine(y), size_t(bytes));
    }

    QSize size;
    qint64 budget;
    PixelSources whole;
    bool keeping = false;
    bool wholeBand = false;
};

struct QueuedBand {
    PixelSources sources;
    int top;
};

// Bands handed from the reader to the counter; at most two wait, so the
// reader stays one band ahead and the memory stays that of a few bands.
class BandQueue
{
public:
    void put(QueuedBand band)
    {
        std::unique_lock<std::mutex> lock(mutex);
        roomLeft.wait(lock, [this] { return waiting.size() < 2; });
        waiting.push_back(std::move(band));
        bandReady.notify_one();
    }
    // The next band; nothing once the reader is done and every band was taken.
    std::optional<QueuedBand> take()
    {
        std::unique_lock<std::mutex> lock(mutex);
        bandReady.wait(lock, [this] { return closed || !waiting.empty(); });
        if (waiting.empty())
            return std::nullopt;
        QueuedBand band = std::move(waiting.front());
        waiting.pop_front();
        roomLeft.notify_one();
        return band;
    }
    void close()
    {
        std::lock_guard<std::mutex> lock(mutex);
        closed = true;
        bandReady.notify_one();
    }

private:
    std::mutex mutex;
    std::condition_variable bandReady;
    std::condition_variable roomLeft;
    std::deque<QueuedBand> waiting;
    bool closed = false;
};

} // namespace

BandPassResult passOverBands(const PictureRows &rows, qint64 keepBudget, WorkControl *control)
{
    BandPassResult result;
    BandCounter counter(rows.channelCount());
    KeptSamples kept(rows.size(), keepBudget);
    BandQueue queue;
    // The bands are counted on their own thread while the reader decodes the next.
    std::thread counting([&] {
        while (const std::optional<QueuedBand> band = queue.take()) {
            counter.count(band->sources, control);
            kept.keep(band->sources, band->top);
        }
    });
    result.complete = rows.read(
        0, rows.size().height(), [&](const PixelSources &band, int top) { queue.put({band, top}); }, control);
    queue.close();
    counting.join();
    result.complete = result.complete && !workCancelled(control);
    result.totals = counter.totals();
    if (result.complete)
        result.kept = kept.result();
    return result;
}
