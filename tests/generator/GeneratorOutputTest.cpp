// The generator's output on the loopback cable with a hand-driven clock: what is queued when,
// what the cable hears, how a sweep ends, each device error and the state it leaves, "Display in
// Oscilloscope", and a stop that meets a refill on the notification thread.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "generator/GeneratorExport.h"
#include "generator/GeneratorOutput.h"
#include "generator/GeneratorTables.h"
#include "generator/Synthesizer.h"
#include "platform/AudioTestBackends.h"
#include "platform/RecordingShell.h"
#include "platform/audio/FaultInjectingBackend.h"
#include "platform/audio/LoopbackCable.h"
#include "support/CableRecorder.h"
#include "support/TempDir.h"

namespace tonewell {
namespace {

using namespace std::chrono_literals;
using testing::CableRecorder;

// Rows of the generator's tables.
constexpr int kRate11025 = 0, kRate22050 = 1, kRate44100 = 2, kRate48000 = 3;
constexpr int kBits8 = 0, kBits16 = 1;
constexpr int kMono = 0, kStereo = 1;

// The dialog's window as the output sees it: what it was told, and a click that, as the
// dialog's button does, hands the pages over before a start and runs the output's Run/Stop.
class FakeWindow : public GeneratorWindow {
public:
    void applyEnabling() override { ++enablingApplied; }
    void setRunButtonText(std::string_view text) override { buttonText = text; }
    void activate() override { ++activated; }
    void clickRunStop() override {
        ++clicks;
        if (!output) return;
        if (!output->running()) ++pagesRead;
        output->RunStop();
    }

    GeneratorOutput* output = nullptr;
    int pagesRead = 0, enablingApplied = 0, activated = 0, clicks = 0;
    std::string buttonText = "Run";
};

// The frame's part of the display, as a list of what was asked in order.
class FakeDisplay : public OutputDisplay {
public:
    void stopInputMonitoring() override { calls.push_back("stopInputMonitoring"); }
    void alignToOutput(const WaveFormat& format) override {
        calls.push_back("alignToOutput");
        aligned = format;
    }
    void fitViewsToDocument() override { calls.push_back("fitViewsToDocument"); }
    int scopeType() const override { return type; }
    void updateViews() override { ++updates; }
    void restoreDisplay() override { calls.push_back("restoreDisplay"); }

    std::vector<std::string> calls;
    WaveFormat aligned{};
    int type = kScopeTypeSeparate;
    int updates = 0;
};

class StreamingFixture : public ::testing::Test {
protected:
    StreamingFixture() {
        window.output = &output;
        cable.setHandlerWait(2s);
    }

    WaveFormat format() const { return OutputFormatFor(settings); }
    std::uint32_t rate() const { return SamplingFrequency(settings); }
    // One second of cable time, to the frame.
    void playSecond() { cable.advanceFrames(rate(), rate()); }
    std::uint32_t writes() const { return faults.callCount(AudioCall::OutputWrite); }
    bool timerStarted() const {
        for (int id : shell.activeTimers())
            if (id == kSweepEndTimer) return true;
        return false;
    }
    // The data chunk of the export of the same settings, `seconds` long.
    std::string exportedData(std::uint32_t seconds) {
        GeneratorSettings copy = settings;
        ToneLists tonesCopy = tones;
        RecordingShell exportShell;
        GeneratorSources sources{copy, tonesCopy, library, calibration, clock, exportShell};
        auto path = dir / "same.wav";
        EXPECT_EQ(ExportGeneratedSignal(sources, path, ExportFileType::Wave, seconds), ExportOutcome::Written);
        return testing::readFileBytes(path).substr(44, static_cast<std::size_t>(format().averageBytesPerSecond) * seconds);
    }
    // Another output can open the cable: the generator's device is closed.
    bool cableFree() {
        auto other = cable.createOutput();
        const bool free = other->open(format(), [](WaveHeader&) {}) == AudioResult::NoError;
        if (free) other->close();
        return free;
    }
    void sweep(std::uint32_t seconds, bool linear = false) {
        settings.sweepEnabled = true;
        settings.sweepDuration = seconds;
        settings.sweepStartA = settings.sweepStartB = 100;
        settings.sweepEndA = settings.sweepEndB = 10000;
        settings.sweepLinearA = settings.sweepLinearB = linear;
    }

    LoopbackCable cable{LoopbackClock::Manual};
    FaultInjectingBackend faults{cable};
    RecordingShell shell;
    GeneratorSettings settings;
    ToneLists tones{};
    WaveformLibrary library;
    OutputCalibration calibration;
    FixedSeedClock clock{1234567};
    RunState run;
    InstrumentConfiguration configuration;
    CSignalDoc document{shell, configuration, run.inputRunning, FreshDocumentSelection{}};
    FakeWindow window;
    FakeDisplay display;
    testing::TempDir dir;
    GeneratorOutput output{GeneratorOutputParts{settings, tones, library, [this] { return calibration; }, clock, shell,
                                                run, &faults, &document}};
};

// ---- continuous output and sweeps ---------------------------------------------------------------

using StreamingLoopback = StreamingFixture;

TEST_F(StreamingLoopback, ContinuousSineIsOneBufferThatTheDeviceRepeats) {
    settings.frequencyA = 441;
    CableRecorder recorder(cable, format(), 3);
    output.RunStop();
    ASSERT_TRUE(run.outputRunning.load());
    EXPECT_EQ(writes(), 1u);
    EXPECT_EQ(output.buffersGenerated(), 1u);
    for (int i = 0; i < 3; ++i) playSecond();
    ASSERT_TRUE(recorder.full());
    // Nothing was synthesised or queued again, and the device never reported the buffer done.
    EXPECT_EQ(writes(), 1u);
    EXPECT_EQ(output.buffersGenerated(), 1u);
    EXPECT_EQ(output.buffersDone(), 0u);
    const std::string first = recorder.second(0);
    EXPECT_EQ(first, exportedData(1));
    EXPECT_EQ(recorder.second(1), first);
    EXPECT_EQ(recorder.second(2), first);
    EXPECT_EQ(output.underrunCount(), 0u);

    output.RunStop();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_TRUE(cableFree());
    EXPECT_TRUE(shell.messages().empty());
}

// Seconds of a sweep: what is queued at the start and after each done notification, and the
// notification after which it ends.
class StreamingSweepSchedule : public StreamingFixture, public ::testing::WithParamInterface<std::uint32_t> {};

TEST_P(StreamingSweepSchedule, QueuesTwoAheadAndEndsAfterTheLastDoneThroughTimer100) {
    const std::uint32_t seconds = GetParam();
    sweep(seconds);
    output.RunStop();
    ASSERT_TRUE(run.outputRunning.load());
    EXPECT_EQ(writes(), std::min(seconds, 2u));
    EXPECT_EQ(output.buffersGenerated(), std::min(seconds, 2u));
    for (std::uint32_t done = 1; done <= seconds; ++done) {
        SCOPED_TRACE("after done notification " + std::to_string(done));
        playSecond();
        EXPECT_EQ(output.buffersDone(), done);
        EXPECT_EQ(writes(), std::min(seconds, done + 2));
        EXPECT_EQ(output.buffersGenerated(), std::min(seconds, done + 2));
        // The notification thread never stops the output itself.
        EXPECT_TRUE(run.outputRunning.load());
        EXPECT_EQ(timerStarted(), done == seconds);
    }
    output.OnSweepEndTimer();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_FALSE(timerStarted());
    EXPECT_TRUE(cableFree());
    EXPECT_EQ(output.buffersGenerated(), seconds);
    EXPECT_TRUE(shell.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Durations, StreamingSweepSchedule, ::testing::Values(1u, 2u, 3u, 5u),
                         [](const auto& info) { return std::to_string(info.param) + "s"; });

TEST_F(StreamingLoopback, SweepEndClicksRunStopOfTheOpenDialogOnTheUiThread) {
    sweep(2);
    run.generatorShown = true;
    output.attachWindow(&window);
    // The frame's Run/Stop with the dialog open goes through its button, which hands the pages over.
    output.RunStopCommand();
    EXPECT_EQ(window.pagesRead, 1);
    EXPECT_EQ(window.buttonText, "Stop");
    playSecond();
    playSecond();
    EXPECT_TRUE(run.outputRunning.load());
    EXPECT_EQ(window.clicks, 1);
    EXPECT_FALSE(timerStarted());
    shell.runPosted();
    EXPECT_EQ(window.clicks, 2);
    EXPECT_EQ(window.pagesRead, 1);
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_EQ(window.buttonText, "Run");
}

TEST_F(StreamingLoopback, SweepEndWithTheDialogGoneStopsThroughThePostedWork) {
    sweep(1);
    run.generatorShown = true;
    output.RunStop();
    playSecond();
    EXPECT_TRUE(run.outputRunning.load());
    shell.runPosted();
    EXPECT_FALSE(run.outputRunning.load());
}

TEST_F(StreamingLoopback, AStaleSweepTimerDoesNotStopTheNextRun) {
    sweep(1);
    output.RunStop();
    playSecond();
    ASSERT_TRUE(timerStarted());
    // The user stops and starts again before the timer fires.
    output.RunStop();
    settings.sweepEnabled = false;
    output.RunStop();
    output.OnSweepEndTimer();
    EXPECT_TRUE(run.outputRunning.load());
    output.RunStop();
}

// What reaches the cable is what the export writes for the same settings.
struct SignalCase {
    const char* name;
    int rateIndex, bitsIndex, channelsIndex;
    std::int32_t waveformA, waveformB;
    std::uint32_t sweepSeconds;  // 0: continuous, played for 2 seconds
    bool linear;
};

void PrintTo(const SignalCase& c, std::ostream* out) { *out << c.name; }

class StreamingMatchesExport : public StreamingFixture, public ::testing::WithParamInterface<SignalCase> {};

TEST_P(StreamingMatchesExport, CableBytesEqualTheExportedWav) {
    const SignalCase& c = GetParam();
    settings.sampleRateIndex = c.rateIndex;
    settings.resolutionIndex = c.bitsIndex;
    settings.channelsIndex = c.channelsIndex;
    settings.waveformIndexA = c.waveformA;
    settings.waveformIndexB = c.waveformB;
    settings.frequencyA = 1000;
    settings.frequencyB = 1500;
    settings.phaseDifference = 90;
    if (c.sweepSeconds > 0) sweep(c.sweepSeconds, c.linear);
    const std::uint32_t seconds = c.sweepSeconds > 0 ? c.sweepSeconds : 2;
    CableRecorder recorder(cable, format(), seconds);
    output.RunStop();
    ASSERT_TRUE(run.outputRunning.load());
    for (std::uint32_t k = 0; k < seconds; ++k) playSecond();
    ASSERT_TRUE(recorder.full());
    const std::string expected = exportedData(seconds);
    const std::string heard = recorder.all();
    ASSERT_EQ(heard.size(), expected.size());
    for (std::uint32_t k = 0; k < seconds; ++k)
        EXPECT_TRUE(heard.compare(k * format().averageBytesPerSecond, format().averageBytesPerSecond, expected,
                                  k * format().averageBytesPerSecond, format().averageBytesPerSecond) == 0)
            << "second " << k << " differs";
    EXPECT_EQ(output.underrunCount(), 0u);
    if (c.sweepSeconds > 0) output.OnSweepEndTimer();
    else output.RunStop();
    EXPECT_FALSE(run.outputRunning.load());
}

INSTANTIATE_TEST_SUITE_P(
    Signals, StreamingMatchesExport,
    ::testing::Values(SignalCase{"LogSweepStereo16bit48000", kRate48000, kBits16, kStereo, kWaveformSine, kWaveformSine, 4, false},
                      SignalCase{"LinearSquareSweepMono8bit11025", kRate11025, kBits8, kMono, kWaveformSquare, kWaveformNone, 3, true},
                      SignalCase{"PinkNoiseSweepStereo8bit22050", kRate22050, kBits8, kStereo, kWaveformPinkNoise, kWaveformWhiteNoise, 2, false},
                      SignalCase{"ContinuousTriangleStereo16bit44100", kRate44100, kBits16, kStereo, kWaveformTriangle, kWaveformSawTooth, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- refusals ---------------------------------------------------------------------------------

using StreamingRefusals = StreamingFixture;

TEST_F(StreamingRefusals, SweepDurationZeroBecomesOneAndNothingStarts) {
    output.attachWindow(&window);
    output.attachDisplay(&display);
    settings.displayInScope = true;
    sweep(0);
    output.RunStop();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_EQ(settings.sweepDuration, 1u);
    EXPECT_EQ(faults.callCount(AudioCall::OutputOpen), 0u);
    EXPECT_TRUE(shell.messages().empty());
    // Neither capture nor the document was touched.
    EXPECT_TRUE(display.calls.empty());
    EXPECT_FALSE(run.displayInScopeActive.load());
}

TEST_F(StreamingRefusals, MultiTonesAboveTheSamplingFrequencyNamesTheRange) {
    settings.waveformIndexA = kWaveformMultiTones;
    tones[0].append(kWaveformSine, 1000, 1.0f);
    tones[0].append(kWaveformSine, 44101, 0.5f);
    output.RunStop();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_EQ(shell.messages(),
              std::vector<std::string>{"The multitone file contains fundamental frequency outside the range 1~44100 Hz"});
    EXPECT_EQ(faults.callCount(AudioCall::OutputOpen), 0u);
}

TEST_F(StreamingRefusals, LibraryWaveformWithoutALibraryClosesTheDevice) {
    output.attachWindow(&window);
    settings.waveformIndexA = kWaveformLibrary;
    output.RunStop();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_EQ(shell.messages(), std::vector<std::string>{kLibraryNotLoadedMessage});
    EXPECT_EQ(writes(), 0u);
    EXPECT_TRUE(cableFree());
    EXPECT_EQ(window.activated, 1);
}

TEST_F(StreamingRefusals, BuffersThatCannotBeAllocatedLeaveTheOutputStopped) {
    output.attachWindow(&window);
    output.attachDisplay(&display);
    settings.displayInScope = true;
    document.sampleCount = 1;  // a record the failed start must not take away
    int allocations = 0;
    output.setBufferAllocator([&](std::vector<std::uint8_t>& bytes, std::size_t size) {
        if (++allocations == 2) throw std::bad_alloc();
        bytes.assign(size, 0);
    });
    output.RunStop();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_FALSE(run.displayInScopeActive.load());
    EXPECT_EQ(shell.messages(), std::vector<std::string>{kOutputOutOfMemoryMessage});
    EXPECT_EQ(window.activated, 1);
    EXPECT_EQ(window.buttonText, "Run");
    EXPECT_EQ(writes(), 0u);
    EXPECT_TRUE(cableFree());
    EXPECT_EQ(document.sampleCount, 1u);

    // Memory back: the next start plays.
    output.setBufferAllocator([](std::vector<std::uint8_t>& bytes, std::size_t size) { bytes.assign(size, 0); });
    output.RunStop();
    EXPECT_TRUE(run.outputRunning.load());
    output.RunStop();
}

// ---- device errors ------------------------------------------------------------------------------

struct ErrorCase {
    AudioCall call;
    AudioResult result;
    bool duringStop;  // else during the start
};

void PrintTo(const ErrorCase& c, std::ostream* out) {
    *out << static_cast<int>(c.call) << " " << AudioResultName(c.result);
}

std::string CallName(AudioCall call) {
    switch (call) {
        case AudioCall::OutputOpen: return "Open";
        case AudioCall::OutputPrepare: return "Prepare";
        case AudioCall::OutputWrite: return "Write";
        case AudioCall::OutputReset: return "Reset";
        case AudioCall::OutputClose: return "Close";
        default: return "Other";
    }
}

class StreamingDeviceErrors : public StreamingFixture, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(StreamingDeviceErrors, ShowTheNameAndLeaveTheStateAsTheCallDecides) {
    const ErrorCase& c = GetParam();
    output.attachWindow(&window);
    sweep(3);
    if (c.duringStop) {
        output.RunStop();
        ASSERT_TRUE(run.outputRunning.load());
        faults.failCall(c.call, c.result, 1);
        output.RunStop();
    } else {
        faults.failCall(c.call, c.result, 1);
        output.RunStop();
    }
    const std::vector<std::string> messages = shell.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front(), AudioResultName(c.result));
    // A start error leaves the output stopped; a stop stops whatever the device says.
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_EQ(window.activated, 1);
    EXPECT_EQ(window.buttonText, "Run");
    // The device is closed in either case, and nothing plays on.
    EXPECT_TRUE(cableFree());
    const std::uint32_t queued = writes();
    cable.advance(3s);
    EXPECT_EQ(writes(), queued);
    EXPECT_FALSE(timerStarted());

    // The next start plays normally.
    shell.clear();
    output.RunStop();
    EXPECT_TRUE(run.outputRunning.load());
    EXPECT_TRUE(shell.messages().empty());
    output.RunStop();
}

INSTANTIATE_TEST_SUITE_P(
    Calls, StreamingDeviceErrors,
    ::testing::Values(ErrorCase{AudioCall::OutputOpen, AudioResult::BadDeviceId, false},
                      ErrorCase{AudioCall::OutputOpen, AudioResult::Allocated, false},
                      ErrorCase{AudioCall::OutputOpen, AudioResult::NoDriver, false},
                      ErrorCase{AudioCall::OutputOpen, AudioResult::NoMemory, false},
                      ErrorCase{AudioCall::OutputOpen, AudioResult::BadFormat, false},
                      ErrorCase{AudioCall::OutputOpen, AudioResult::Sync, false},
                      ErrorCase{AudioCall::OutputPrepare, AudioResult::InvalidHandle, false},
                      ErrorCase{AudioCall::OutputPrepare, AudioResult::NoDriver, false},
                      ErrorCase{AudioCall::OutputPrepare, AudioResult::NoMemory, false},
                      ErrorCase{AudioCall::OutputWrite, AudioResult::InvalidHandle, false},
                      ErrorCase{AudioCall::OutputWrite, AudioResult::NoDriver, false},
                      ErrorCase{AudioCall::OutputWrite, AudioResult::NoMemory, false},
                      ErrorCase{AudioCall::OutputWrite, AudioResult::Unprepared, false},
                      ErrorCase{AudioCall::OutputReset, AudioResult::InvalidHandle, true},
                      ErrorCase{AudioCall::OutputReset, AudioResult::NoDriver, true},
                      ErrorCase{AudioCall::OutputReset, AudioResult::NoMemory, true},
                      ErrorCase{AudioCall::OutputReset, AudioResult::NotSupported, true},
                      ErrorCase{AudioCall::OutputClose, AudioResult::InvalidHandle, true},
                      ErrorCase{AudioCall::OutputClose, AudioResult::NoDriver, true},
                      ErrorCase{AudioCall::OutputClose, AudioResult::NoMemory, true},
                      ErrorCase{AudioCall::OutputClose, AudioResult::StillPlaying, true}),
    [](const auto& info) {
        return CallName(info.param.call) + std::string(AudioResultName(info.param.result));
    });

// A refill that fails on the notification thread is only shown; the output plays on and stops
// when asked.
class StreamingRefillErrors : public StreamingFixture, public ::testing::WithParamInterface<AudioCall> {};

TEST_P(StreamingRefillErrors, AreShownOnTheUiThreadAndTheOutputStaysStoppable) {
    output.attachWindow(&window);
    sweep(6);
    output.RunStop();
    faults.failCall(GetParam(), AudioResult::NoDriver, 1);
    playSecond();
    // Shown by the UI thread, not by the notification thread.
    EXPECT_TRUE(shell.messages().empty());
    shell.runPosted();
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"MMSYSERR_NODRIVER"});
    EXPECT_TRUE(run.outputRunning.load());
    EXPECT_EQ(window.activated, 0);
    // The next refills go on.
    const std::uint32_t queued = writes();
    playSecond();
    EXPECT_EQ(writes(), queued + 1);
    output.RunStop();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_TRUE(cableFree());
    EXPECT_EQ(shell.messages().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Calls, StreamingRefillErrors, ::testing::Values(AudioCall::OutputPrepare, AudioCall::OutputWrite),
                         [](const auto& info) { return CallName(info.param); });

// ---- Display in Oscilloscope -------------------------------------------------------------------

using StreamingDisplay = StreamingFixture;

// The codes the document should hold for one second of PCM bytes.
std::vector<std::uint16_t> Codes(const std::string& second, const WaveFormat& format, int channel) {
    std::vector<std::uint16_t> codes;
    for (std::size_t at = 0; at + format.blockAlign <= second.size(); at += format.blockAlign) {
        const auto* frame = reinterpret_cast<const std::uint8_t*>(second.data() + at);
        if (format.bitsPerSample == 8) {
            codes.push_back(frame[channel]);
        } else {
            const auto value = static_cast<std::int16_t>(frame[2 * channel] | (frame[2 * channel + 1] << 8));
            codes.push_back(static_cast<std::uint16_t>(value + 32768));
        }
    }
    return codes;
}

std::vector<std::uint16_t> Held(const SampleArray& data, std::uint32_t count) {
    return std::vector<std::uint16_t>(data.begin(), data.begin() + count);
}

TEST_F(StreamingDisplay, EveryPlayedSecondOfASweepLandsInTheDocument) {
    settings.sampleRateIndex = kRate11025;
    settings.resolutionIndex = kBits8;
    settings.channelsIndex = kStereo;
    settings.waveformIndexB = kWaveformSquare;
    settings.amplitudeA = settings.amplitudeB = 500;
    settings.displayInScope = true;
    calibration.outputFullScale8 = 500.0f;
    sweep(3);
    output.attachDisplay(&display);
    const std::string expected = exportedData(3);
    const WaveFormat f = format();
    auto secondOf = [&](std::uint32_t k) { return expected.substr(k * f.averageBytesPerSecond, f.averageBytesPerSecond); };

    output.RunStop();
    ASSERT_TRUE(run.outputRunning.load());
    EXPECT_TRUE(run.displayInScopeActive.load());
    EXPECT_EQ(display.calls, (std::vector<std::string>{"stopInputMonitoring", "alignToOutput", "fitViewsToDocument"}));
    EXPECT_EQ(display.aligned, f);
    // The document takes the output's format and the output calibration's range.
    EXPECT_EQ(document.samplingType, kSamplingTypeAB);
    EXPECT_EQ(document.riffHeader.format, f);
    EXPECT_EQ(document.resolutionA, 8);
    EXPECT_EQ(document.rangeMaxA, 500);
    EXPECT_EQ(document.rangeMinB, -500);
    EXPECT_EQ(document.rangeExponentA, 9);
    EXPECT_EQ(document.zeroA, 128);
    EXPECT_EQ(document.intervalMantissa, NormaliseInterval(11025).mantissa);
    EXPECT_EQ(document.dataA.size(), 11025u);
    EXPECT_TRUE(document.IsModified());
    // Second 0 is shown at once, with its statistics.
    ASSERT_EQ(document.sampleCount, 11025u);
    EXPECT_EQ(Held(document.dataA, 11025), Codes(secondOf(0), f, 0));
    EXPECT_EQ(Held(document.dataB, 11025), Codes(secondOf(0), f, 1));
    // The square on B at full amplitude: codes 254 and 0 around the zero level 128, of 1/256 V.
    EXPECT_FLOAT_EQ(document.maxB, 126.0f / 256);
    EXPECT_FLOAT_EQ(document.minB, -128.0f / 256);
    EXPECT_EQ(display.updates, 1);

    for (std::uint32_t k = 1; k < 3; ++k) {
        SCOPED_TRACE("second " + std::to_string(k));
        playSecond();
        // The copy waits for the UI thread.
        EXPECT_EQ(Held(document.dataA, 11025), Codes(secondOf(k - 1), f, 0));
        shell.runPosted();
        EXPECT_EQ(Held(document.dataA, 11025), Codes(secondOf(k), f, 0));
        EXPECT_EQ(Held(document.dataB, 11025), Codes(secondOf(k), f, 1));
        EXPECT_EQ(display.updates, static_cast<int>(k) + 1);
    }
    playSecond();
    shell.runPosted();
    output.OnSweepEndTimer();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_FALSE(run.displayInScopeActive.load());
    EXPECT_EQ(display.calls.back(), "restoreDisplay");
    EXPECT_EQ(display.updates, 3);
}

TEST_F(StreamingDisplay, ContinuousSixteenBitOutputShowsItsSecondOnceWithTheScopeTypeStatistics) {
    settings.displayInScope = true;
    settings.channelsIndex = kStereo;
    settings.waveformIndexB = kWaveformSine;
    settings.amplitudeB = 500;
    display.type = kScopeTypeSum;
    output.attachDisplay(&display);
    const std::string second = exportedData(1);
    output.RunStop();
    ASSERT_EQ(document.sampleCount, 44100u);
    EXPECT_EQ(Held(document.dataA, 44100), Codes(second, format(), 0));
    EXPECT_EQ(Held(document.dataB, 44100), Codes(second, format(), 1));
    // A+B of two sines in phase, 1 V and 0.5 V.
    EXPECT_NEAR(document.maxA, 1.5f, 0.01f);
    EXPECT_EQ(document.maxB, 0.0f);
    cable.advance(2s);
    EXPECT_EQ(shell.runPosted(), 0);
    EXPECT_EQ(display.updates, 1);
    output.RunStop();
    EXPECT_EQ(display.calls.back(), "restoreDisplay");
}

TEST_F(StreamingDisplay, ASecondTheUiThreadCopiedTooLateIsDroppedForTheNewerOne) {
    settings.displayInScope = true;
    sweep(5);
    output.attachDisplay(&display);
    const std::string expected = exportedData(5);
    const WaveFormat f = format();
    output.RunStop();
    // Three notifications pass before the UI thread gets round to the copies: the copy of second
    // 1 lost its buffer to the refill of second 4 and is dropped.
    playSecond();
    playSecond();
    playSecond();
    shell.runPosted();
    EXPECT_EQ(Held(document.dataA, 44100), Codes(expected.substr(3 * f.averageBytesPerSecond, f.averageBytesPerSecond), f, 0));
    EXPECT_EQ(display.updates, 1 + 2);
    output.RunStop();
}

TEST_F(StreamingDisplay, ExportNeverTouchesTheDisplay) {
    settings.displayInScope = true;
    output.attachDisplay(&display);
    EXPECT_EQ(output.exportSignal(dir / "x.wav", ExportFileType::Wave, 1), ExportOutcome::Written);
    EXPECT_TRUE(display.calls.empty());
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_FALSE(run.displayInScopeActive.load());
    EXPECT_EQ(faults.callCount(AudioCall::OutputOpen), 0u);
}

// ---- threads -------------------------------------------------------------------------------------

// A seed clock that, once armed, holds the next synthesis on the thread that reads it until
// released: a refill on the notification thread can be caught half done.
class GateClock : public SeedClock {
public:
    std::uint32_t nowSeconds() const override {
        if (armed_.exchange(false)) {
            std::unique_lock lock(mutex_);
            entered_ = true;
            changed_.notify_all();
            changed_.wait_for(lock, 10s, [this] { return released_; });
        }
        return 99;
    }
    void arm() { armed_ = true; }
    bool waitEntered() {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [this] { return entered_; });
    }
    void release() {
        std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

private:
    mutable std::atomic<bool> armed_{false};
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    mutable bool entered_ = false;
    bool released_ = false;
};

TEST(StreamingThreads, StopDuringARefillWaitsForItAndLeavesNothingQueued) {
    LoopbackCable cable;
    FaultInjectingBackend faults(cable);
    RecordingShell shell;
    GeneratorSettings settings;
    settings.waveformIndexA = kWaveformPinkNoise;
    settings.sweepEnabled = true;
    settings.sweepDuration = 10;
    ToneLists tones{};
    WaveformLibrary library;
    GateClock clock;
    RunState run;
    GeneratorOutput output(GeneratorOutputParts{settings, tones, library, [] { return OutputCalibration{}; }, clock,
                                                shell, run, &faults, nullptr});
    output.RunStop();
    ASSERT_TRUE(run.outputRunning.load());
    clock.arm();
    std::thread player([&] { cable.advance(1s); });
    ASSERT_TRUE(clock.waitEntered());
    // The refill is under way on the notification thread; its release comes while (or before)
    // the stop waits for it.
    std::thread releaser([&] {
        std::this_thread::sleep_for(20ms);
        clock.release();
    });
    output.RunStop();
    releaser.join();
    player.join();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_TRUE(shell.messages().empty());
    // The refill finished its write before the reset, which returned it.
    EXPECT_EQ(faults.callCount(AudioCall::OutputWrite), 3u);
    EXPECT_EQ(faults.callCount(AudioCall::OutputReset), 1u);
    auto other = cable.createOutput();
    EXPECT_EQ(other->open(MakePcmFormat(1, 44100, 16), [](WaveHeader&) {}), AudioResult::NoError);
    EXPECT_EQ(other->close(), AudioResult::NoError);
}

TEST(StreamingThreads, ARefillLaterThanTheQueuedSoundCountsOneUnderrun) {
    LoopbackCable cable;
    RecordingShell shell;
    GeneratorSettings settings;
    settings.waveformIndexA = kWaveformPinkNoise;
    settings.sweepEnabled = true;
    settings.sweepDuration = 5;
    ToneLists tones{};
    WaveformLibrary library;
    GateClock clock;
    RunState run;
    GeneratorOutput output(GeneratorOutputParts{settings, tones, library, [] { return OutputCalibration{}; }, clock,
                                                shell, run, &cable, nullptr});
    output.RunStop();
    // The cable's time goes on without waiting for a held handler.
    cable.setHandlerWait(1ms);
    clock.arm();
    cable.advance(1s);
    ASSERT_TRUE(clock.waitEntered());
    // Second 1 plays out and half a second of silence follows while the refill is held.
    cable.advance(1500ms);
    EXPECT_EQ(output.underrunCount(), 0u);
    clock.release();
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (output.buffersGenerated() < 4 && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
    ASSERT_EQ(output.buffersGenerated(), 4u);
    cable.setHandlerWait(2s);
    cable.advance(1s);
    EXPECT_EQ(output.underrunCount(), 1u);
    output.RunStop();
    EXPECT_EQ(output.underrunCount(), 1u);
    EXPECT_TRUE(shell.messages().empty());
}

TEST(StreamingThreads, RealTimeSweepWithDisplayEndsByItself) {
    // The cable's own clock: notifications, copies and the stop meet as they come.
    LoopbackCable cable(LoopbackClock::RealTime);
    RecordingShell shell;
    GeneratorSettings settings;
    settings.sampleRateIndex = kRate11025;
    settings.sweepEnabled = true;
    settings.sweepDuration = 2;
    settings.displayInScope = true;
    ToneLists tones{};
    WaveformLibrary library;
    FixedSeedClock clock(1);
    RunState run;
    InstrumentConfiguration configuration;
    CSignalDoc document(shell, configuration, run.inputRunning, FreshDocumentSelection{});
    FakeDisplay display;
    GeneratorOutput output(GeneratorOutputParts{settings, tones, library, [] { return OutputCalibration{}; }, clock,
                                                shell, run, &cable, &document});
    output.attachDisplay(&display);
    output.RunStop();
    ASSERT_TRUE(run.outputRunning.load());
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < deadline) {
        shell.runPosted();
        bool ended = false;
        for (int id : shell.activeTimers()) ended |= id == kSweepEndTimer;
        if (ended) break;
        std::this_thread::sleep_for(5ms);
    }
    shell.runPosted();
    output.OnSweepEndTimer();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_EQ(output.buffersDone(), 2u);
    EXPECT_EQ(display.updates, 2);
    EXPECT_EQ(document.sampleCount, 11025u);
}

}  // namespace
}  // namespace tonewell
