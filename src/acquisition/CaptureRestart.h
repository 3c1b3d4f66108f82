#pragma once
// The first half of every sampling or trigger change: running capture is stopped and marked for
// restart (restartPending = 1), and the main frame's timer 2 (10 ms) restarts it once the input
// device has closed. UI thread; the references must outlive the object.

#include <atomic>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/InputMonitoring.h"
#include "platform/Shell.h"

namespace tonewell {

inline constexpr int kTimerCaptureRestart = 2;
inline constexpr int kCaptureRestartMilliseconds = 10;

class CaptureRestart {
public:
    CaptureRestart(std::atomic<bool>& inputRunning, AcquisitionParameters& acquisition, InputMonitoring& monitoring,
                   Shell& shell)
        : inputRunning_(inputRunning), acquisition_(acquisition), monitoring_(monitoring), shell_(shell) {}

    // Does nothing while capture is stopped.
    void RestartIfRunning();

private:
    std::atomic<bool>& inputRunning_;
    AcquisitionParameters& acquisition_;
    InputMonitoring& monitoring_;
    Shell& shell_;
};

}  // namespace tonewell
