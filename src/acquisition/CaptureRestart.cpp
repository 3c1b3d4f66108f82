#include "acquisition/CaptureRestart.h"

namespace tonewell {

void CaptureRestart::RestartIfRunning() {
    if (!inputRunning_.load()) return;
    // Marked before stopping: the close notification that stopping causes moves it on to 2.
    acquisition_.restartPending.store(1);
    monitoring_.RunStop();
    shell_.setTimer(kTimerCaptureRestart, kCaptureRestartMilliseconds);
}

}  // namespace tonewell
