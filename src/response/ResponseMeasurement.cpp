#include "response/ResponseMeasurement.h"

#include "platform/audio/InputNotificationQueue.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <optional>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

namespace tonewell {

namespace {

// Both devices run in stereo at 16 bits; the sweep plays on both channels.
constexpr std::uint16_t kChannels = 2;
constexpr std::uint32_t kFrameBytes = 4;
constexpr double kFullScale = 32768.0;
// The output's buffers, all queued at the start; the input's, re-queued as they come back.
constexpr double kOutputBufferSeconds = 0.25;
constexpr double kInputBufferSeconds = 0.1;
constexpr int kInputBuffers = 8;
// How long past its length the measurement waits for the devices before it gives up.
constexpr auto kDeviceGrace = std::chrono::seconds(10);

struct Buffer {
    std::vector<std::uint8_t> bytes;
    WaveHeader header;

    explicit Buffer(std::size_t size) : bytes(size) {
        header.data = bytes.data();
        header.bufferLength = static_cast<std::uint32_t>(size);
    }
};

std::int16_t SampleCode(double value) {
    return static_cast<std::int16_t>(std::clamp(std::lrint(value * kFullScale), -32768L, 32767L));
}

std::string Times(std::uint64_t count) { return std::to_string(count) + (count == 1 ? " time" : " times"); }

// Stops and closes both devices when the measurement leaves, however it leaves; the buffers and
// the notification queue must outlive it.
class DeviceShutdown {
public:
    DeviceShutdown(AudioOutput& output, AudioInput& input, std::vector<std::unique_ptr<Buffer>>& played,
                   std::vector<std::unique_ptr<Buffer>>& recording)
        : output_(output), input_(input), played_(played), recording_(recording) {}
    ~DeviceShutdown() { now(); }
    void outputOpened() { outputOpen_ = true; }
    void inputOpened() { inputOpen_ = true; }
    void now() {
        if (inputOpen_) {
            input_.reset();
            for (auto& buffer : recording_) input_.unprepare(buffer->header);
            input_.close();
            inputOpen_ = false;
        }
        if (outputOpen_) {
            output_.reset();
            for (auto& buffer : played_) output_.unprepare(buffer->header);
            output_.close();
            outputOpen_ = false;
        }
    }

private:
    AudioOutput& output_;
    AudioInput& input_;
    std::vector<std::unique_ptr<Buffer>>& played_;
    std::vector<std::unique_ptr<Buffer>>& recording_;
    bool outputOpen_ = false;
    bool inputOpen_ = false;
};

}  // namespace

ResponseMeasurement::~ResponseMeasurement() {
    cancel();
    if (thread_.joinable()) thread_.join();
}

bool ResponseMeasurement::start(const LiveResponseSettings& settings) {
    if (running()) {
        result_ = {"a measurement is already running", {}};
        return false;
    }
    if (thread_.joinable()) thread_.join();
    std::string problem = SweepSettingsProblem(settings.sweep);
    if (problem.empty() && settings.inputChannel != 0 && settings.inputChannel != 1)
        problem = "the input channel must be A or B";
    if (!problem.empty()) {
        result_ = {problem, {}};
        return false;
    }
    settings_ = settings;
    result_ = {};
    cancelRequested_ = false;
    recordedFrames_ = 0;
    arrivedFrames_ = 0;
    targetFrames_ = 0;
    underruns_ = 0;
    overruns_ = 0;
    output_ = backend_.createOutput();
    input_ = backend_.createInput();
    state_.store(MeasurementState::Running, std::memory_order_release);
    try {
        thread_ = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        output_.reset();
        input_.reset();
        state_.store(MeasurementState::Idle, std::memory_order_release);
        result_ = {"the measurement cannot start: no thread for it", {}};
        return false;
    }
    return true;
}

double ResponseMeasurement::progress() const {
    const MeasurementState s = state();
    if (s == MeasurementState::Idle) return 0.0;
    if (s != MeasurementState::Running) return 1.0;
    const std::uint64_t target = targetFrames_.load();
    return target == 0 ? 0.0 : std::min(1.0, static_cast<double>(recordedFrames_.load()) / static_cast<double>(target));
}

bool ResponseMeasurement::waitForEnd(std::chrono::milliseconds bound) {
    std::unique_lock lock(endMutex_);
    return ended_.wait_for(lock, bound, [this] { return !running(); });
}

void ResponseMeasurement::finish(MeasurementState state) {
    {
        std::lock_guard lock(endMutex_);
        state_.store(state, std::memory_order_release);
    }
    ended_.notify_all();
}

void ResponseMeasurement::run() {
    ResponseResult outcome;
    try {
        outcome = measure();
    } catch (const std::bad_alloc&) {
        outcome = {"not enough memory for the measurement", {}};
    }
    output_.reset();
    input_.reset();
    result_ = std::move(outcome);
    if (cancelRequested_ && !result_.ok()) {
        result_.problem = "cancelled";
        result_.soundLost = false;
        finish(MeasurementState::Cancelled);
    } else {
        finish(result_.ok() ? MeasurementState::Finished : MeasurementState::Failed);
    }
}

ResponseResult ResponseMeasurement::measure() {
    const SweepSettings& sweep = settings_.sweep;
    const std::uint32_t rate = sweep.sampleRate;
    // The stimulus as it is played, to the last bit, is what the recording is divided by.
    std::vector<float> stimulus = MakeExponentialSweep(sweep);
    const auto tailFrames = static_cast<std::size_t>(kMeasurementOutputTail * rate);
    const std::size_t playedFrames = stimulus.size() + tailFrames;
    std::vector<std::unique_ptr<Buffer>> played;
    const auto chunkFrames = static_cast<std::size_t>(kOutputBufferSeconds * rate);
    for (std::size_t first = 0; first < playedFrames; first += chunkFrames) {
        const std::size_t frames = std::min(chunkFrames, playedFrames - first);
        auto buffer = std::make_unique<Buffer>(frames * kFrameBytes);
        for (std::size_t i = 0; i < frames; ++i) {
            std::int16_t code = 0;
            if (first + i < stimulus.size()) {
                code = SampleCode(stimulus[first + i]);
                stimulus[first + i] = static_cast<float>(code / kFullScale);
            }
            for (std::uint16_t c = 0; c < kChannels; ++c) {
                buffer->bytes[i * kFrameBytes + 2 * c] = static_cast<std::uint8_t>(code & 0xFF);
                buffer->bytes[i * kFrameBytes + 2 * c + 1] = static_cast<std::uint8_t>((code >> 8) & 0xFF);
            }
        }
        played.push_back(std::move(buffer));
    }
    const auto target = stimulus.size() + static_cast<std::size_t>(kMeasurementRecordingTail * rate);
    targetFrames_ = target;
    std::vector<std::unique_ptr<Buffer>> recording;
    const auto recordingFrames = static_cast<std::size_t>(kInputBufferSeconds * rate);
    for (int i = 0; i < kInputBuffers; ++i) recording.push_back(std::make_unique<Buffer>(recordingFrames * kFrameBytes));
    std::vector<float> recorded;  // from the output's first sample on
    recorded.reserve(target);

    const WaveFormat format = MakePcmFormat(kChannels, rate, 16);
    InputNotificationQueue notifications;
    playedBuffers_ = 0;
    DeviceShutdown shutdown(*output_, *input_, played, recording);
    auto failed = [](AudioResult result) { return ResponseResult{std::string(AudioResultName(result)), {}}; };

    AudioResult result = input_->open(format, notifications);
    if (result != AudioResult::NoError) return failed(result);
    shutdown.inputOpened();
    std::deque<WaveHeader*> queued;  // in the order the input fills them
    for (auto& buffer : recording) {
        if ((result = input_->prepare(buffer->header)) != AudioResult::NoError) return failed(result);
        if ((result = input_->addBuffer(buffer->header)) != AudioResult::NoError) return failed(result);
        queued.push_back(&buffer->header);
    }
    if ((result = input_->start()) != AudioResult::NoError) return failed(result);

    // The frames the input has handed over, and how many had come when the output was started:
    // the recording kept starts there, so the peak's lag is the time from starting the output
    // (opening it and sending the sweep) until the sweep came back.
    std::uint64_t arrived = 0;
    std::optional<std::uint64_t> outputStart;
    const std::size_t offset = 2 * static_cast<std::size_t>(settings_.inputChannel);
    auto takeNotification = [&]() -> AudioResult {
        const auto notification = notifications.waitPop(std::chrono::milliseconds(20));
        if (!notification || notification->kind != InputNotificationKind::Data) return AudioResult::NoError;
        WaveHeader& header = *notification->header;
        const std::uint32_t bytes = header.bytesRecorded.load();
        for (std::uint32_t at = 0; at + kFrameBytes <= bytes; at += kFrameBytes, ++arrived) {
            if (!outputStart || arrived < *outputStart || recorded.size() >= target) continue;
            const auto code = static_cast<std::int16_t>(header.data[at + offset] | (header.data[at + offset + 1] << 8));
            recorded.push_back(static_cast<float>(code / kFullScale));
        }
        recordedFrames_ = recorded.size();
        arrivedFrames_ = arrived;
        // Re-queued even when enough has come, so that the input never runs dry.
        if (!queued.empty() && queued.front() == &header) queued.pop_front();
        header.bytesRecorded = 0;
        queued.push_back(&header);
        return input_->addBuffer(header);
    };
    auto arrivedSoFar = [&] { return arrived + (queued.empty() ? 0 : queued.front()->bytesRecorded.load() / kFrameBytes); };

    // The output starts once sound flows in, so that the recording holds the sweep's start.
    const auto flowDeadline = std::chrono::steady_clock::now() + kDeviceGrace;
    while (arrivedSoFar() == 0) {
        if (cancelRequested_) return {"cancelled", {}};
        if ((result = takeNotification()) != AudioResult::NoError) return failed(result);
        if (std::chrono::steady_clock::now() > flowDeadline) return {"the input delivered no sound", {}};
    }
    outputStart = arrivedSoFar();
    // Counted in the measurement itself, which outlives the device and any late notification.
    result = output_->open(format, [this](WaveHeader&) { playedBuffers_.fetch_add(1); });
    if (result != AudioResult::NoError) return failed(result);
    shutdown.outputOpened();
    for (auto& buffer : played) {
        if ((result = output_->prepare(buffer->header)) != AudioResult::NoError) return failed(result);
        if ((result = output_->write(buffer->header)) != AudioResult::NoError) return failed(result);
    }

    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(static_cast<std::int64_t>(1000.0 * target / rate)) + kDeviceGrace;
    for (;;) {
        if (cancelRequested_) return {"cancelled", {}};
        if ((result = takeNotification()) != AudioResult::NoError) return failed(result);
        underruns_ = output_->underrunCount();
        overruns_ = input_->overrunCount();
        if (underruns_ > 0)
            return {"the output ran dry " + Times(underruns_) + " during the sweep (underruns): measure again", {}, true};
        if (overruns_ > 0)
            return {"the input lost sound " + Times(overruns_) + " during the sweep (overruns): measure again", {}, true};
        if (recorded.size() >= target && playedBuffers_.load() == played.size()) break;
        if (std::chrono::steady_clock::now() > deadline)
            return {"the devices stopped before the sweep was through", {}};
    }
    shutdown.now();

    state_.store(MeasurementState::Computing, std::memory_order_release);
    ResponseAnalysisSettings analysis;
    analysis.fromHz = sweep.fromHz;
    analysis.toHz = sweep.toHz;
    ResponseResult response = ComputeResponse(stimulus, recorded, rate, analysis);
    // The recording starts as the output does, so the sweep cannot come back before it: an
    // answer earlier than that (by more than the peak's interpolation) means frames went
    // missing on the way in, unannounced.
    if (response.ok() && response.response.latencySeconds < -1.0 / rate)
        return {"the input lost sound before the sweep came back: measure again", {}, true};
    return response;
}

}  // namespace tonewell
