#include "orderedbands.h"

#include "workcontrol.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <new>
#include <optional>
#include <thread>
#include <vector>

namespace {

// Where a decoding thread leaves its band for the taker.
struct Mailbox {
    std::optional<PixelSources> band;
    bool failed = false;
};

// The mailboxes of the decoding threads, and the word that they stop.
struct Handover {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Mailbox> boxes;
    bool stop = false;

    void decodeAll(int thread, int count, const BandDecode &decode, WorkControl *control)
    {
        const int threads = int(boxes.size());
        for (int band = thread; band < count; band += threads) {
            PixelSources decoded;
            bool ok = false;
            try {
                ok = !workCancelled(control) && decode(thread, band, &decoded);
            } catch (const std::bad_alloc &) {
                ok = false;
            }
            std::unique_lock<std::mutex> lock(mutex);
            if (stop)
                return;
            boxes[size_t(thread)] = {std::move(decoded), !ok};
            changed.notify_all();
            // The next band waits until this one is taken.
            changed.wait(lock, [&] { return stop || !boxes[size_t(thread)].band; });
            if (stop || !ok)
                return;
        }
    }

    // The band the thread of its number leaves; nothing when it failed.
    std::optional<PixelSources> takeBand(int band)
    {
        std::unique_lock<std::mutex> lock(mutex);
        Mailbox &box = boxes[size_t(band) % boxes.size()];
        changed.wait(lock, [&] { return box.band.has_value(); });
        std::optional<PixelSources> taken = box.failed ? std::nullopt : std::move(box.band);
        box.band.reset();
        changed.notify_all();
        return taken;
    }

    void stopAll()
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
        changed.notify_all();
    }
};

} // namespace

bool decodeBandsInOrder(int count, int threads, const BandDecode &decode, const OrderedBandTaker &take,
                        WorkControl *control)
{
    if (count <= 0)
        return !workCancelled(control);
    Handover handover;
    handover.boxes.resize(size_t(std::clamp(threads, 1, count)));
    std::vector<std::thread> pool;
    for (int t = 0; t < int(handover.boxes.size()); ++t)
        pool.emplace_back([&handover, t, count, &decode, control] { handover.decodeAll(t, count, decode, control); });
    bool complete = true;
    for (int band = 0; band < count && complete; ++band) {
        const std::optional<PixelSources> decoded = handover.takeBand(band);
        complete = decoded && !workCancelled(control);
        if (complete)
            take(band, *decoded);
    }
    handover.stopAll();
    for (std::thread &thread : pool)
        thread.join();
    return complete;
}
