#pragma once
// A live frequency-response measurement: an exponential sweep played on an output device while
// an input device of the same backend records at the same rate, then the response computed
// from the two. It runs on a thread of its own, so that the caller (the UI thread of a window,
// or a tool) only starts it, watches its progress, may cancel it, and takes the result when it
// has ended. Sound lost on either side (output underruns, input overruns, or a gap or jump the
// recording shows where the devices counted nothing, as a sound server loses sound) fails it,
// marked as lost sound so that the caller may measure again: a response with a hole in it is
// worse than none. The output starts once the input delivers sound, and
// the recording analysed starts with the frame that arrived as the output was started, so the
// latency is the time from starting the output (opening it and sending the sweep) until the
// sweep came back: the round trip through the devices and whatever lies between them.

#include "platform/audio/AudioBackend.h"
#include "response/ExponentialSweep.h"
#include "response/FrequencyResponse.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace tonewell {

struct LiveResponseSettings {
    SweepSettings sweep;
    int inputChannel = 0;  // the channel recorded: 0 A (left), 1 B (right)
};

enum class MeasurementState { Idle, Running, Computing, Finished, Failed, Cancelled };

// Quiet after the sweep on the output, and recording beyond the sweep, in seconds: room for the
// device's latency and the system's ringing.
inline constexpr double kMeasurementOutputTail = 0.5;
inline constexpr double kMeasurementRecordingTail = 1.0;

class ResponseMeasurement {
public:
    // The backend must outlive the measurement.
    explicit ResponseMeasurement(AudioBackend& backend) : backend_(backend) {}
    // Cancels a measurement that still runs and waits for its thread.
    ~ResponseMeasurement();
    ResponseMeasurement(const ResponseMeasurement&) = delete;
    ResponseMeasurement& operator=(const ResponseMeasurement&) = delete;

    // Starts a measurement unless one runs; false when it cannot start (bad settings, one
    // already running): then result().problem says why. Owner's thread.
    bool start(const LiveResponseSettings& settings);
    // Asks the measurement to stop; it ends Cancelled soon after, its devices closed. Any thread.
    void cancel() { cancelRequested_ = true; }

    // Any thread.
    MeasurementState state() const { return state_.load(std::memory_order_acquire); }
    bool running() const {
        const MeasurementState s = state();
        return s == MeasurementState::Running || s == MeasurementState::Computing;
    }
    // 0 … 1: the share of the recording taken so far (1 once it is computing or has ended).
    double progress() const;
    // Frames the input has handed over so far, the sweep's and those before it.
    std::uint64_t framesArrived() const { return arrivedFrames_.load(std::memory_order_relaxed); }

    // Waits until the measurement has ended, at most `bound`; true when it has.
    bool waitForEnd(std::chrono::milliseconds bound);

    // Once it has ended (not running): the response, or the problem that ended it (a device
    // error by its name, lost sound, "cancelled", or why no response came out). Owner's thread.
    const ResponseResult& result() const { return result_; }
    const LiveResponseSettings& settings() const { return settings_; }
    // Sound lost during the last measurement, as the devices counted it.
    std::uint64_t underruns() const { return underruns_.load(); }
    std::uint64_t overruns() const { return overruns_.load(); }

private:
    void run();
    ResponseResult measure();
    void finish(MeasurementState state);

    AudioBackend& backend_;
    LiveResponseSettings settings_;
    std::unique_ptr<AudioOutput> output_;
    std::unique_ptr<AudioInput> input_;
    ResponseResult result_;
    std::thread thread_;
    std::atomic<MeasurementState> state_{MeasurementState::Idle};
    std::atomic<bool> cancelRequested_{false};
    std::atomic<std::uint64_t> recordedFrames_{0};
    std::atomic<std::uint64_t> arrivedFrames_{0};
    std::atomic<std::uint64_t> targetFrames_{0};
    std::atomic<std::size_t> playedBuffers_{0};  // output buffers done
    std::atomic<std::uint64_t> underruns_{0};
    std::atomic<std::uint64_t> overruns_{0};
    std::mutex endMutex_;
    std::condition_variable ended_;
};

}  // namespace tonewell
