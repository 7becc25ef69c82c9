#pragma once

#include <algorithm>
#include <atomic>

// Lets the thread that started a long piece of work follow its progress and
// stop it. The work checks cancelled() between steps and reports how far it
// got within the phase the caller has set.
class WorkControl
{
public:
    void cancel() { stop.store(true); }
    bool cancelled() const { return stop.load(std::memory_order_relaxed); }

    // Progress of the whole work, 0 to 1000.
    int progress() const { return permille.load(std::memory_order_relaxed); }

    // The next steps cover [first, last] of the whole, in thousandths.
    void setPhase(int first, int last)
    {
        phaseFirst = first;
        phaseLast = last;
        permille.store(first, std::memory_order_relaxed);
    }
    // fraction (0..1) of the current phase is done. A reader may go back in
    // its file (a TIFF's directory often sits at the end, a JPEG's end is
    // checked after decoding), but the progress never goes back.
    void reportPhase(double fraction)
    {
        const double clamped = std::clamp(fraction, 0.0, 1.0);
        const int reached = phaseFirst + int(clamped * (phaseLast - phaseFirst));
        int shown = permille.load(std::memory_order_relaxed);
        while (reached > shown && !permille.compare_exchange_weak(shown, reached, std::memory_order_relaxed)) {
        }
    }

private:
    std::atomic<bool> stop{false};
    std::atomic<int> permille{0};
    std::atomic<int> phaseFirst{0};
    std::atomic<int> phaseLast{1000};
};

// The same for work that may run without a control.
inline bool workCancelled(const WorkControl *control)
{
    return control && control->cancelled();
}

inline void reportWork(WorkControl *control, double fraction)
{
    if (control)
        control->reportPhase(fraction);
}
