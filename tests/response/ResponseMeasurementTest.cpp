// The live measurement on the loopback cable, whose clock the test moves: a straight wire is
// flat at 0 dB with a latency of at most one clock step; lost sound, device errors and a cancel
// end it with the reason. And the sweep it plays.

#include "response/ResponseMeasurement.h"

#include "platform/audio/FaultInjectingBackend.h"
#include "platform/audio/LoopbackCable.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <utility>

namespace tonewell {
namespace {

constexpr std::uint32_t kRate = 48000;
constexpr std::uint64_t kStep = kRate / 50;  // 20 ms of cable time

LiveResponseSettings ShortSweep() {
    LiveResponseSettings settings;
    settings.sweep.seconds = 1.0;
    settings.sweep.sampleRate = kRate;
    return settings;
}

// The cable's devices, claiming the sound losses a test sets.
struct LossyBackend : AudioBackend {
    using Count = const std::atomic<std::uint64_t>&;
    struct Output : AudioOutput {
        std::unique_ptr<AudioOutput> d;
        Count lost;
        Output(std::unique_ptr<AudioOutput> d, Count lost) : d(std::move(d)), lost(lost) {}
        AudioResult open(const WaveFormat& f, DoneCallback c) override { return d->open(f, std::move(c)); }
        AudioResult prepare(WaveHeader& h) override { return d->prepare(h); }
        AudioResult unprepare(WaveHeader& h) override { return d->unprepare(h); }
        AudioResult write(WaveHeader& h) override { return d->write(h); }
        AudioResult reset() override { return d->reset(); }
        AudioResult close() override { return d->close(); }
        std::uint64_t underrunCount() const override { return lost; }
    };
    struct Input : AudioInput {
        std::unique_ptr<AudioInput> d;
        Count lost;
        Input(std::unique_ptr<AudioInput> d, Count lost) : d(std::move(d)), lost(lost) {}
        AudioResult open(const WaveFormat& f, InputNotificationQueue& q) override { return d->open(f, q); }
        AudioResult prepare(WaveHeader& h) override { return d->prepare(h); }
        AudioResult unprepare(WaveHeader& h) override { return d->unprepare(h); }
        AudioResult addBuffer(WaveHeader& h) override { return d->addBuffer(h); }
        AudioResult start() override { return d->start(); }
        AudioResult reset() override { return d->reset(); }
        AudioResult close() override { return d->close(); }
        std::uint64_t overrunCount() const override { return lost; }
    };
    explicit LossyBackend(AudioBackend& wrapped) : wrapped(wrapped) {}
    AudioBackendKind kind() const override { return wrapped.kind(); }
    std::string displayName() const override { return wrapped.displayName(); }
    std::unique_ptr<AudioOutput> createOutput() override { return std::make_unique<Output>(wrapped.createOutput(), underruns); }
    std::unique_ptr<AudioInput> createInput() override { return std::make_unique<Input>(wrapped.createInput(), overruns); }
    AudioBackend& wrapped;
    std::atomic<std::uint64_t> underruns{0}, overruns{0};
};

// The cable, with a wrapper that counts the calls, so that its clock moves only once the input
// has started.
struct Bench {
    LoopbackCable cable;
    FaultInjectingBackend backend{cable};
    LossyBackend lossy{backend};
    ResponseMeasurement measurement{lossy};

    std::uint32_t startsBefore = 0, writesBefore = 0;
    bool start() {
        startsBefore = backend.callCount(AudioCall::InputStart);
        writesBefore = backend.callCount(AudioCall::OutputWrite);
        return measurement.start(ShortSweep());
    }
    bool inputStarted() const { return backend.callCount(AudioCall::InputStart) > startsBefore; }
    bool outputStarted() const { return backend.callCount(AudioCall::OutputWrite) > writesBefore; }
    // Moves the clock a step at a time while the measurement records: one step until the output
    // starts, then never more than half a second ahead of what it took (its buffers hold 0.8 s),
    // until `enough` or its end.
    void drive(const std::function<bool()>& enough = {}) {
        const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        std::uint64_t advanced = 0;
        while (measurement.running() && !(enough && enough()) && std::chrono::steady_clock::now() < bound) {
            const bool recording = measurement.state() == MeasurementState::Running && inputStarted();
            const std::uint64_t ahead = outputStarted() ? measurement.framesArrived() + kRate / 2 : kStep;
            if (recording && advanced < ahead) {
                cable.advanceFrames(kStep, kRate);
                advanced += kStep;
            } else {
                measurement.waitForEnd(std::chrono::milliseconds(1));
            }
        }
    }
};

TEST(ResponseMeasurement, StraightWireIsFlatAtZeroDecibels) {
    Bench bench;
    ResponseMeasurement& measurement = bench.measurement;
    ASSERT_TRUE(bench.start());
    bench.drive();
    ASSERT_EQ(measurement.state(), MeasurementState::Finished) << measurement.result().problem;
    EXPECT_EQ(measurement.progress(), 1.0);
    const FrequencyResponse& r = measurement.result().response;
    EXPECT_EQ(r.fromHz, 20.0);
    EXPECT_EQ(r.toHz, 20000.0);
    for (std::size_t i = 0; i < r.frequencyHz.size(); ++i) {
        if (r.frequencyHz[i] < 100 || r.frequencyHz[i] > 10000) continue;
        EXPECT_NEAR(r.magnitudeDb[i], 0.0, 0.01) << r.frequencyHz[i];
        EXPECT_NEAR(r.phaseDegrees[i], 0.0, 1.0) << r.frequencyHz[i];
    }
    EXPECT_GE(r.latencySeconds, 0.0);
    EXPECT_LE(r.latencySeconds * kRate, static_cast<double>(kStep) + 0.5);
    EXPECT_EQ(measurement.underruns() + measurement.overruns(), 0u);
}

TEST(ResponseMeasurement, LostSoundOnEitherSideFailsTheMeasurement) {
    for (const bool output : {true, false}) {
        Bench bench;
        ResponseMeasurement& measurement = bench.measurement;
        ASSERT_TRUE(bench.start());
        bench.drive([&] { return measurement.progress() > 0.5; });
        (output ? bench.lossy.underruns : bench.lossy.overruns) = 2;
        bench.drive();
        EXPECT_EQ(measurement.state(), MeasurementState::Failed);
        EXPECT_NE(measurement.result().problem.find(output ? "ran dry 2 times during the sweep (underruns)"
                                                           : "lost sound 2 times during the sweep (overruns)"),
                  std::string::npos)
            << measurement.result().problem;
        EXPECT_EQ(output ? measurement.underruns() : measurement.overruns(), 2u);
        EXPECT_TRUE(measurement.result().soundLost);
    }
}

struct DeviceFault {
    AudioCall call;
    AudioResult result;
    const char* shown;
};

class MeasurementDeviceFaults : public ::testing::TestWithParam<DeviceFault> {};

TEST_P(MeasurementDeviceFaults, EndItWithTheErrorsName) {
    Bench bench;
    ResponseMeasurement& measurement = bench.measurement;
    bench.backend.failCall(GetParam().call, GetParam().result);
    ASSERT_TRUE(bench.start());
    bench.drive();
    EXPECT_EQ(measurement.state(), MeasurementState::Failed);
    EXPECT_EQ(measurement.result().problem, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Faults, MeasurementDeviceFaults,
                         ::testing::Values(DeviceFault{AudioCall::InputOpen, AudioResult::BadDeviceId, "MMSYSERR_BADDEVICEID"},
                                           DeviceFault{AudioCall::OutputOpen, AudioResult::Allocated, "MMSYSERR_ALLOCATED"},
                                           DeviceFault{AudioCall::OutputWrite, AudioResult::NoMemory, "MMSYSERR_NOMEM"}));

TEST(ResponseMeasurement, CancelEndsItAndAnotherCanStart) {
    Bench bench;
    ResponseMeasurement& measurement = bench.measurement;
    ASSERT_TRUE(bench.start());
    bench.drive([&] { return measurement.progress() > 0.2; });
    EXPECT_GT(measurement.progress(), 0.0);
    EXPECT_FALSE(measurement.start(ShortSweep()));  // one at a time
    measurement.cancel();
    ASSERT_TRUE(measurement.waitForEnd(std::chrono::seconds(10)));
    EXPECT_EQ(measurement.state(), MeasurementState::Cancelled);
    EXPECT_EQ(measurement.result().problem, "cancelled");
    ASSERT_TRUE(bench.start());
    bench.drive();
    EXPECT_EQ(measurement.state(), MeasurementState::Finished) << measurement.result().problem;
}

TEST(ExponentialSweep, HasItsLengthLevelQuietEndsAndPassesTheMiddleFrequencyHalfWay) {
    const SweepSettings settings{100, 10000, 2, -6, kRate};
    const std::vector<float> sweep = MakeExponentialSweep(settings);
    ASSERT_EQ(sweep.size(), 2u * kRate);
    float peak = 0;
    for (float v : sweep) peak = std::max(peak, std::fabs(v));
    EXPECT_NEAR(peak, std::pow(10.0, -6.0 / 20), 1e-3);
    EXPECT_EQ(sweep.front(), 0.0f);
    EXPECT_NEAR(sweep.back(), 0.0f, 1e-6);
    // Rising zero crossings over 20 ms around the middle: 1 kHz, the band's geometric middle.
    int crossings = 0;
    for (std::size_t i = kRate - kRate / 100; i < kRate + kRate / 100; ++i) crossings += sweep[i - 1] < 0 && sweep[i] >= 0;
    EXPECT_NEAR(crossings / 0.02, 1000.0, 60.0);
}

}  // namespace
}  // namespace tonewell
