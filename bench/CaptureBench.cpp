// Input capture at 96000 Hz stereo, 16 bit:
// - CaptureTriggerSearch: the capture thread's trigger search through one second of sound that
//   never reaches the level, so every frame is read; counters: frames searched per second and
//   the multiple of real time (target at least 500);
// - CaptureTriggerToDocument: on a PulseAudio null sink, a 1 kHz sine played through PortAudio
//   and captured from the sink's monitor ("Repeat", rising edge at 0 %, delay 0, records of 4800
//   frames): from the trigger sample's arrival to the record being in the document. The arrival
//   is reckoned back from the instant the capture thread took the buffer that completed the
//   record, less the frames recorded after the trigger; so the figure is the wait for the
//   record's remaining frames plus the hand-over (capture thread, post, UI thread, copy and
//   statistics), both also given alone, and leaves out the sound system's own input delay
//   (AudioRoundTripDelay measures that);
// - CaptureLongRunOverruns: the same capture for TONEWELL_BENCH_CAPTURE_SECONDS seconds (default
//   60; 600 for the ten-minute run) with records of TONEWELL_BENCH_CAPTURE_POINTS frames
//   (default 960, the 10 ms time range): the input's overruns (target 0), the records handed
//   over, and the capture thread's CPU time per second of sound.
// The null-sink benchmarks skip, saying why, where the daemon cannot start.

#include "NullSink.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "acquisition/CaptureEngine.h"
#include "acquisition/TriggerSearch.h"
#include "app/Instrument.h"
#include "platform/ConsoleShell.h"
#include "platform/audio/portaudio/PortAudioBackend.h"

namespace {

using tonewell::bench::NullSink;

using namespace tonewell;
using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kRate = 96000;
const WaveFormat kFormat = MakePcmFormat(2, kRate, 16);

// One second of both channels as 16-bit frames, from a function of the frame index.
template <typename Sample>
std::vector<std::uint8_t> SecondOf(Sample sample) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kRate) * kFormat.blockAlign);
    for (std::uint32_t j = 0; j < kRate; ++j) {
        const auto value = static_cast<std::uint16_t>(sample(j));
        for (int channel = 0; channel < 2; ++channel) {
            bytes[j * 4 + channel * 2] = static_cast<std::uint8_t>(value & 0xFF);
            bytes[j * 4 + channel * 2 + 1] = static_cast<std::uint8_t>(value >> 8);
        }
    }
    return bytes;
}

void CaptureTriggerSearch(benchmark::State& state) {
    // Noise of +-2000 around mid-scale against a level of 50 %: no trigger anywhere.
    std::uint32_t seed = 1;
    const std::vector<std::uint8_t> second = SecondOf([&](std::uint32_t) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::int16_t>(static_cast<int>(seed >> 20) - 2048);
    });
    TriggerSearchSetup setup;
    setup.level = 49151;
    setup.bits = 16;
    setup.blockAlign = kFormat.blockAlign;
    setup.sampleOffset = state.range(0) == 0 ? 0 : 2;
    std::int64_t found = 0;
    for (auto _ : state) {
        found += FindTriggerFrame(second.data(), 0, kRate, 32768, setup);
        benchmark::DoNotOptimize(found);
    }
    if (found != -static_cast<std::int64_t>(state.iterations())) state.SkipWithError("a trigger was found");
    state.SetItemsProcessed(state.iterations() * kRate);
    state.counters["realtime_multiple"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(CaptureTriggerSearch)->Arg(0)->Arg(1)->ArgName("sourceB")->Unit(benchmark::kMicrosecond);

// ---- on the null sink ---------------------------------------------------------------------

// The benchmark's main thread is the UI thread: posted work wakes it.
class BenchShell : public ConsoleShell {
public:
    BenchShell() : ConsoleShell(messages_) {}
    void post(std::function<void()> work) override {
        ConsoleShell::post(std::move(work));
        {
            std::lock_guard lock(mutex_);
            pending_ = true;
        }
        woken_.notify_all();
    }
    void waitForWork(std::chrono::milliseconds bound) {
        std::unique_lock lock(mutex_);
        woken_.wait_for(lock, bound, [this] { return pending_; });
        pending_ = false;
    }
    std::string shown() const { return messages_.str(); }

private:
    std::ostringstream messages_;
    std::mutex mutex_;
    std::condition_variable woken_;
    bool pending_ = false;
};

// Nanoseconds the capture thread has run.
double CaptureThreadCpuNanoseconds() {
    double total = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream commFile(task.path() / "comm");
        std::string name;
        std::getline(commFile, name);
        if (name != "tw-capture") continue;
        std::ifstream schedstat(task.path() / "schedstat");
        double ns = 0;
        schedstat >> ns;
        total += ns;
    }
    return total;
}

// A 1 kHz sine at half full scale looping on the null sink, and capture of its monitor at 96 kHz
// stereo ("Repeat", rising edge at 0 %, delay 0) with records of `points` frames.
class SinkCapture {
public:
    explicit SinkCapture(int points) : headless_(instrument_.captureLink) {
        const std::vector<std::uint8_t> sine = SecondOf([](std::uint32_t j) {
            return static_cast<std::int16_t>(std::lround(16384 * std::sin(2 * M_PI * 1000.0 * j / kRate)));
        });
        tone_ = sine;
        header_.data = tone_.data();
        header_.bufferLength = static_cast<std::uint32_t>(tone_.size());
        header_.flags = kWaveHeaderBeginLoop | kWaveHeaderEndLoop;
        header_.loops = kLoopUntilReset;
        output_ = backend_.createOutput();
        if (output_->open(kFormat, [](WaveHeader&) {}) != AudioResult::NoError ||
            output_->prepare(header_) != AudioResult::NoError || output_->write(header_) != AudioResult::NoError) {
            problem_ = "the null sink's output did not open";
            return;
        }
        const RangeTables& tables = instrument_.tables;
        auto row = [&](RangeTableId id, const char* name) { return tables[id].rowNamed(name).value_or(0); };
        FrontPanel& panel = instrument_.panel;
        panel.sampling.frequency.setSelection(row(RangeTableId::SamplingFrequency, "96000H"));
        panel.sampling.channels.setSelection(row(RangeTableId::SamplingChannels, "A&B"));
        panel.sampling.resolution.setSelection(row(RangeTableId::SamplingResolution, "16B"));
        panel.sampling.point.setText(std::to_string(points));
        panel.trigger.mode.setSelection(row(RangeTableId::TriggerMode, "Repeat"));
        panel.trigger.edge.setSelection(row(RangeTableId::TriggerEdge, "Up"));
        panel.trigger.level.setText("0%");
        panel.trigger.delay.setText("0%");
        capture().attachHooks(&headless_);
        capture().startClickPause = std::chrono::milliseconds(0);
        capture().RunStop();
        if (!instrument_.run.inputRunning.load() || !shell_.shown().empty())
            problem_ = "capture did not start: " + shell_.shown();
    }
    ~SinkCapture() {
        if (instrument_.run.inputRunning.load()) capture().RunStop();
        if (output_) {
            output_->reset();
            output_->unprepare(header_);
            output_->close();
        }
    }

    const std::string& problem() const { return problem_; }
    CaptureEngine& capture() { return instrument_.capture; }
    std::string shown() const { return shell_.shown(); }

    // Runs the UI thread's part until `until`: posted work (timer 3) and timer 1 every 30 ms.
    // `onRecord` is called right after each hand-over.
    template <typename OnRecord>
    void runUntil(Clock::time_point until, OnRecord onRecord) {
        auto nextRelease = Clock::now() + std::chrono::milliseconds(kRecordReleaseMilliseconds);
        while (Clock::now() < until) {
            shell_.waitForWork(std::chrono::milliseconds(5));
            const std::uint64_t before = capture().recordsHandedOver();
            shell_.runPosted();
            if (capture().recordsHandedOver() != before) onRecord(Clock::now());
            if (Clock::now() >= nextRelease) {
                capture().OnRecordRelease();
                nextRelease += std::chrono::milliseconds(kRecordReleaseMilliseconds);
            }
        }
    }

private:
    BenchShell shell_;
    PortAudioBackend backend_;
    Instrument instrument_{shell_, backend_};
    HeadlessCaptureHooks headless_;
    std::vector<std::uint8_t> tone_;
    WaveHeader header_;
    std::unique_ptr<AudioOutput> output_;
    std::string problem_;
};

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

void CaptureTriggerToDocument(benchmark::State& state) {
    NullSink sink;
    if (!sink.running()) {
        state.SkipWithError(sink.reason().c_str());
        return;
    }
    constexpr int kPoints = 4800;
    std::vector<double> totals, handOvers;
    double wait = 0;
    for (auto _ : state) {
        SinkCapture capture(kPoints);
        if (!capture.problem().empty()) {
            state.SkipWithError(capture.problem().c_str());
            return;
        }
        CaptureEngine& engine = capture.capture();
        capture.runUntil(Clock::now() + std::chrono::seconds(10), [&](Clock::time_point inDocument) {
            const double handOver = std::chrono::duration<double>(inDocument - engine.lastRecordTakenAt()).count();
            wait = static_cast<double>(engine.lastRecordFramesAfterTrigger()) / kRate;
            handOvers.push_back(handOver);
            totals.push_back(handOver + wait);
        });
        state.counters["input_overruns"] = static_cast<double>(engine.overrunCount());
    }
    state.counters["records"] = static_cast<double>(totals.size());
    state.counters["trigger_to_document_ms_median"] = 1000 * Percentile(totals, 0.5);
    state.counters["trigger_to_document_ms_p95"] = 1000 * Percentile(totals, 0.95);
    state.counters["remaining_frames_ms"] = 1000 * wait;
    state.counters["hand_over_ms_median"] = 1000 * Percentile(handOvers, 0.5);
    state.counters["hand_over_ms_p95"] = 1000 * Percentile(handOvers, 0.95);
    state.counters["hand_over_ms_max"] = 1000 * Percentile(handOvers, 1.0);
}
BENCHMARK(CaptureTriggerToDocument)->Unit(benchmark::kSecond)->Iterations(1);

int EnvironmentNumber(const char* name, int fallback) {
    const char* text = std::getenv(name);
    const int value = text ? std::atoi(text) : 0;
    return value > 0 ? value : fallback;
}

void CaptureLongRunOverruns(benchmark::State& state) {
    NullSink sink;
    if (!sink.running()) {
        state.SkipWithError(sink.reason().c_str());
        return;
    }
    const int seconds = EnvironmentNumber("TONEWELL_BENCH_CAPTURE_SECONDS", 60);
    const int points = EnvironmentNumber("TONEWELL_BENCH_CAPTURE_POINTS", 960);
    for (auto _ : state) {
        SinkCapture capture(points);
        if (!capture.problem().empty()) {
            state.SkipWithError(capture.problem().c_str());
            return;
        }
        const double cpuBefore = CaptureThreadCpuNanoseconds();
        const std::uint64_t takenBefore = capture.capture().buffersTaken();
        capture.runUntil(Clock::now() + std::chrono::seconds(seconds), [](Clock::time_point) {});
        const double cpu = CaptureThreadCpuNanoseconds() - cpuBefore;
        CaptureEngine& engine = capture.capture();
        state.counters["seconds"] = seconds;
        state.counters["record_frames"] = points;
        state.counters["input_overruns"] = static_cast<double>(engine.overrunCount());
        state.counters["records"] = static_cast<double>(engine.recordsHandedOver());
        state.counters["buffers_per_s"] = static_cast<double>(engine.buffersTaken() - takenBefore) / seconds;
        state.counters["capture_thread_ms_per_s"] = cpu / 1e6 / seconds;
        if (!capture.shown().empty()) state.SkipWithError(("the device failed: " + capture.shown()).c_str());
    }
}
BENCHMARK(CaptureLongRunOverruns)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
