#pragma once
// The Run/Stop entry of the generator's output: starts the output when it is stopped and stops
// it when it plays (outputRunning follows). Implemented by output streaming; UI thread.

namespace tonewell {

class OutputRunStop {
public:
    virtual ~OutputRunStop() = default;
    virtual void RunStop() = 0;
};

}  // namespace tonewell
