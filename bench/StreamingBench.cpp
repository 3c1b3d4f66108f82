// The generator's output at 96000 Hz stereo, 16 bit:
// - StreamingSweepRefillCpu: CPU time of one done notification of a logarithmic sweep on the
//   notification thread (refill: synthesis of one second, prepare and write), on the loopback
//   cable; the target is at most 20 ms, 2 % of the second the buffer holds;
// - StreamingFirstBufferDelay: from Run (RunStop) to the first sound on a PulseAudio null sink's
//   monitor, received in 5 ms input buffers (so an upper bound by up to the input's own
//   delivery; AudioRoundTripDelay measures that alone);
// - StreamingLongRunUnderruns: a logarithmic sweep played on the null sink for
//   TONEWELL_BENCH_STREAM_SECONDS seconds (default 60; 600 for the ten-minute run): the device's
//   underruns (target 0) and the refill CPU time on the real notification thread.
// The null-sink benchmarks skip, saying why, where the daemon cannot start.

#include "NullSink.h"

#include <benchmark/benchmark.h>

#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "acquisition/SignalDoc.h"
#include "generator/GeneratorOutput.h"
#include "platform/RecordingShell.h"
#include "platform/audio/LoopbackCable.h"
#include "platform/audio/portaudio/PortAudioBackend.h"

namespace {

using tonewell::bench::NullSink;

using namespace tonewell;
using Clock = std::chrono::steady_clock;

constexpr std::int32_t kRate96000Row = 4;
constexpr std::int32_t kStereoRow = 1;

double ThreadCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// CPU seconds of each done handler, measured on the thread that runs it.
struct HandlerTimes {
    std::atomic<std::uint64_t> count{0};
    std::atomic<double> last{0};
    std::atomic<double> total{0};
    std::atomic<double> longest{0};
    void add(double seconds) {
        last = seconds;
        total = total + seconds;  // one notification thread adds
        longest = std::max(longest.load(), seconds);
        ++count;
    }
};

// An output whose done callback is timed, around any backend's output.
class TimedOutput final : public AudioOutput {
public:
    TimedOutput(std::unique_ptr<AudioOutput> wrapped, HandlerTimes& times) : wrapped_(std::move(wrapped)), times_(times) {}
    ~TimedOutput() override { wrapped_.reset(); }
    AudioResult open(const WaveFormat& format, DoneCallback onDone) override {
        return wrapped_->open(format, [this, onDone = std::move(onDone)](WaveHeader& header) {
            const double before = ThreadCpuSeconds();
            onDone(header);
            times_.add(ThreadCpuSeconds() - before);
        });
    }
    AudioResult prepare(WaveHeader& header) override { return wrapped_->prepare(header); }
    AudioResult unprepare(WaveHeader& header) override { return wrapped_->unprepare(header); }
    AudioResult write(WaveHeader& header) override { return wrapped_->write(header); }
    AudioResult reset() override { return wrapped_->reset(); }
    AudioResult close() override { return wrapped_->close(); }
    std::uint64_t underrunCount() const override { return wrapped_->underrunCount(); }

private:
    std::unique_ptr<AudioOutput> wrapped_;
    HandlerTimes& times_;
};

class TimedBackend final : public AudioBackend {
public:
    explicit TimedBackend(AudioBackend& wrapped) : wrapped_(wrapped) {}
    AudioBackendKind kind() const override { return wrapped_.kind(); }
    std::string displayName() const override { return wrapped_.displayName(); }
    std::unique_ptr<AudioOutput> createOutput() override {
        return std::make_unique<TimedOutput>(wrapped_.createOutput(), times);
    }
    std::unique_ptr<AudioInput> createInput() override { return wrapped_.createInput(); }
    HandlerTimes times;

private:
    AudioBackend& wrapped_;
};

// The generator and what it reads: 96000 Hz stereo, 16 bit, Sine on both channels.
struct Generator {
    explicit Generator(AudioBackend& backend) : output(parts(backend)) {
        settings.sampleRateIndex = kRate96000Row;
        settings.channelsIndex = kStereoRow;
        settings.waveformIndexB = 1;  // Sine
        settings.frequencyB = 1500;
    }
    GeneratorOutputParts parts(AudioBackend& backend) {
        return GeneratorOutputParts{settings, tones, library, [] { return OutputCalibration{}; }, clock, shell, run,
                                    &backend, nullptr};
    }
    void logSweep(std::uint32_t seconds) {
        settings.sweepEnabled = true;
        settings.sweepDuration = seconds;
        settings.sweepStartA = settings.sweepStartB = 20;
        settings.sweepEndA = settings.sweepEndB = 20000;
        settings.sweepLinearA = settings.sweepLinearB = false;
    }
    bool sweepEnded() const {
        const std::vector<int> timers = shell.activeTimers();
        return std::find(timers.begin(), timers.end(), kSweepEndTimer) != timers.end();
    }

    GeneratorSettings settings;
    ToneLists tones{};
    WaveformLibrary library;
    FixedSeedClock clock{1};
    RecordingShell shell;
    RunState run;
    GeneratorOutput output;
};

void StreamingSweepRefillCpu(benchmark::State& state) {
    LoopbackCable cable;
    TimedBackend timed(cable);
    Generator generator(timed);
    generator.logSweep(1000000);
    generator.output.RunStop();
    if (!generator.run.outputRunning) {
        state.SkipWithError("the output did not start");
        return;
    }
    for (auto _ : state) {
        const std::uint64_t before = timed.times.count;
        cable.advance(std::chrono::seconds(1));
        if (timed.times.count != before + 1) {
            state.SkipWithError("one second did not give one done notification");
            break;
        }
        state.SetIterationTime(timed.times.last);
    }
    state.counters["longest_refill_ms"] = timed.times.longest * 1e3;
    state.counters["share_of_second_pct"] = timed.times.total / static_cast<double>(timed.times.count) * 100;
    generator.output.RunStop();
}
BENCHMARK(StreamingSweepRefillCpu)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// ---- on the null sink ---------------------------------------------------------------------------

// The sink's monitor in 5 ms buffers, re-queued as they arrive.
class Monitor {
public:
    explicit Monitor(PortAudioBackend& backend) : input_(backend.createInput()) {
        const WaveFormat format = MakePcmFormat(2, 96000, 16);
        ok_ = input_->open(format, notifications_) == AudioResult::NoError;
        for (auto& buffer : buffers_) {
            buffer.bytes.assign(format.samplesPerSecond / 200 * format.blockAlign, 0);
            buffer.header.data = buffer.bytes.data();
            buffer.header.bufferLength = static_cast<std::uint32_t>(buffer.bytes.size());
            ok_ = ok_ && input_->prepare(buffer.header) == AudioResult::NoError &&
                  input_->addBuffer(buffer.header) == AudioResult::NoError;
        }
        ok_ = ok_ && input_->start() == AudioResult::NoError;
    }
    ~Monitor() {
        input_->reset();
        for (auto& buffer : buffers_) input_->unprepare(buffer.header);
        input_->close();
    }
    bool ok() const { return ok_; }
    // The next buffer: whether it held sound; nothing when none came within the bound.
    std::optional<bool> next(std::chrono::milliseconds bound) {
        auto got = notifications_.waitPop(bound);
        if (!got) return std::nullopt;
        if (got->kind != InputNotificationKind::Data) return false;
        WaveHeader& header = *got->header;
        bool sound = false;
        const std::uint32_t bytes = header.bytesRecorded.load();
        for (std::uint32_t i = 0; i + 1 < bytes && !sound; i += 2) {
            const auto v = static_cast<std::int16_t>(header.data[i] | (header.data[i + 1] << 8));
            sound = v > 8000 || v < -8000;
        }
        header.bytesRecorded.store(0);
        input_->addBuffer(header);
        return sound;
    }
    // Takes buffers until ten in a row were silent.
    void waitForSilence() {
        int quiet = 0;
        const auto limit = Clock::now() + std::chrono::seconds(5);
        while (quiet < 10 && Clock::now() < limit) {
            auto sound = next(std::chrono::milliseconds(200));
            if (sound) quiet = *sound ? 0 : quiet + 1;
        }
    }

private:
    struct Buffer {
        std::vector<std::uint8_t> bytes;
        WaveHeader header;
    };
    InputNotificationQueue notifications_;
    std::unique_ptr<AudioInput> input_;
    std::array<Buffer, 40> buffers_;
    bool ok_ = false;
};

void StreamingFirstBufferDelay(benchmark::State& state) {
    NullSink sink;
    if (!sink.running()) {
        state.SkipWithError(sink.reason().c_str());
        return;
    }
    PortAudioBackend backend;
    Monitor monitor(backend);
    if (!monitor.ok()) {
        state.SkipWithError("the null sink's monitor did not open");
        return;
    }
    Generator generator(backend);
    monitor.waitForSilence();
    for (auto _ : state) {
        const auto run = Clock::now();
        generator.output.RunStop();
        if (!generator.run.outputRunning) {
            state.SkipWithError("the output did not start");
            break;
        }
        Clock::time_point heard{};
        const auto limit = run + std::chrono::seconds(5);
        while (heard == Clock::time_point{} && Clock::now() < limit) {
            auto sound = monitor.next(std::chrono::milliseconds(200));
            if (sound && *sound) heard = Clock::now();
        }
        generator.output.RunStop();
        if (heard == Clock::time_point{}) {
            state.SkipWithError("the output was never heard");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(heard - run).count());
        monitor.waitForSilence();
    }
}
BENCHMARK(StreamingFirstBufferDelay)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

std::uint32_t LongRunSeconds() {
    const char* text = std::getenv("TONEWELL_BENCH_STREAM_SECONDS");
    const long seconds = text ? std::strtol(text, nullptr, 10) : 0;
    return seconds > 0 ? static_cast<std::uint32_t>(seconds) : 60;
}

void StreamingLongRunUnderruns(benchmark::State& state) {
    NullSink sink;
    if (!sink.running()) {
        state.SkipWithError(sink.reason().c_str());
        return;
    }
    PortAudioBackend backend;
    TimedBackend timed(backend);
    const std::uint32_t seconds = LongRunSeconds();
    for (auto _ : state) {
        Generator generator(timed);
        generator.logSweep(seconds);
        const auto started = Clock::now();
        generator.output.RunStop();
        if (!generator.run.outputRunning) {
            state.SkipWithError("the output did not start");
            break;
        }
        // The UI thread's part: the sweep's end arrives as timer 100. A daemon starved of CPU
        // plays slower than real time, so the wait allows twice the sweep.
        const auto limit = started + std::chrono::seconds(2 * seconds + 30);
        while (!generator.sweepEnded() && Clock::now() < limit) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const bool ended = generator.sweepEnded();
        const double played = std::chrono::duration<double>(Clock::now() - started).count();
        const std::uint64_t underruns = generator.output.underrunCount();
        const std::uint32_t done = generator.output.buffersDone();
        if (ended) generator.output.OnSweepEndTimer();
        else generator.output.RunStop();
        state.counters["seconds"] = played;
        // Below 1 when the sink consumed sound slower than real time.
        state.counters["played_per_wall_second"] = done / played;
        state.counters["underruns"] = static_cast<double>(underruns);
        state.counters["done_notifications"] = done;
        state.counters["sweep_ended"] = ended ? 1 : 0;
    }
    const double count = static_cast<double>(std::max<std::uint64_t>(timed.times.count, 1));
    state.counters["refill_ms_mean"] = timed.times.total / count * 1e3;
    state.counters["refill_ms_longest"] = timed.times.longest * 1e3;
}
BENCHMARK(StreamingLongRunUnderruns)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
