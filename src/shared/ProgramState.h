#pragma once
// The program-wide run and redraw state, owned by the composition root (as `run` and `redraw`)
// and handed by reference to the parts that read or set it. Values that the output's
// notification thread or the capture thread touch are atomics; the hand-over between the
// capture thread and the UI thread is ordered by recordPending (release when set, acquire when
// read) and the pending-draw counters.

#include <atomic>
#include <cstdint>

namespace tonewell {

struct RunState {
    std::atomic<bool> outputRunning{false};         // the generator plays
    std::atomic<bool> inputRunning{false};          // input monitoring runs
    std::atomic<bool> displayInScopeActive{false};  // each played second lands in the document
    std::atomic<bool> generatorShown{false};        // the generator dialog is open
};

// Which panes the main window shows (the generator dialog counts as one). The instrument holds
// the one value; the frame changes it.
struct PaneFlags {
    bool scopeShown = true;
    bool spectrumShown = true;
    bool thirdPane = false;
    bool generatorShown = false;
};

struct RedrawState {
    // A record has been handed to the UI thread and not yet released.
    std::atomic<bool> recordPending{false};
    // Records not yet drawn by each shown view; each view's drawing pass counts its own down.
    std::atomic<std::int32_t> scopePendingDraws{0};
    std::atomic<std::int32_t> spectrumPendingDraws{0};
    std::atomic<std::int32_t> releaseTicks{0};  // 30 ms ticks since the last record arrived
};

}  // namespace tonewell
