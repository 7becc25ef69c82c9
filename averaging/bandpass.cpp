#include "bandpass.h"

#include "bandcounter.h"
#include "boxaverages.h"
#include "keptsamples.h"
#include "workcontrol.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace {

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
    // Whether the counter is ahead of the reader: no band waits, and more will come.
    bool counterAhead()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return waiting.empty() && !closed;
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

// The picture's first drawing is gathered from the samples kept so far while
// the counting waits for the reader, so that it never holds up the values;
// what is left is gathered when the picture is drawn. Bands that are not kept are
// gathered as they come.
void gatherFirstDrawing(BoxAverages &averages, const PixelSources &band, int top, const KeptSamples &kept,
                        BandQueue &queue)
{
    if (kept.rowsKept() == 0) {
        averages.take(band, top);
        return;
    }
    constexpr int rowsAtATime = 16;
    const PixelSources keptSoFar = kept.result();
    while (queue.counterAhead() && averages.gatherKept(keptSoFar, kept.rowsKept(), rowsAtATime)) {
    }
}

} // namespace

BandPassResult passOverBands(const PictureRows &rows, qint64 keepBudget, WorkControl *control,
                             BoxAverages *averages)
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
            if (averages)
                gatherFirstDrawing(*averages, band->sources, band->top, kept, queue);
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
