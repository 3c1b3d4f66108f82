#pragma once
// The Run/Stop entry of input monitoring: starts capture when it is stopped and stops it when it
// runs (inputRunning follows). Implemented by capture; UI thread.

namespace tonewell {

class InputMonitoring {
public:
    virtual ~InputMonitoring() = default;
    virtual void RunStop() = 0;
};

}  // namespace tonewell
