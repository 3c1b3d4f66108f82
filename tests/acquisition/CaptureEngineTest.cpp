// Input capture on the loopback cable: where records are cut, what reaches the document, the
// latch between the capture thread and the UI thread, stop and restart at every moment of the
// cycle, and every device call failing. The trigger ring's own rules (the first buffer's search,
// the lowest level, the exchange with the spares) are driven without a thread in TriggerRingTest.

#include "acquisition/CaptureEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "acquisition/CaptureHarness.h"
#include "acquisition/CaptureRestart.h"

namespace tonewell {
namespace {

using testing::CaptureHarness;
using testing::CaptureSetup;
using testing::CaptureSignal;
using testing::SineSignal;

// The first frame j >= from of the stream at which the channel's code crosses the threshold
// code in the direction of the edge: the reference the engine's records are held to.
std::int64_t FirstCrossing(const CaptureHarness& h, int channel, std::int64_t from, bool rising, int threshold,
                           bool inverted = false) {
    for (std::int64_t j = std::max<std::int64_t>(from, 1);; ++j) {
        const int before = h.streamCode(j - 1, channel, inverted), now = h.streamCode(j, channel, inverted);
        if (rising ? before < threshold && threshold <= now : before >= threshold && threshold > now) return j;
    }
}

constexpr int kMidScale16 = 32768;

bool HasTimer(const RecordingShell& shell, int id) {
    auto timers = shell.activeTimers();
    return std::find(timers.begin(), timers.end(), id) != timers.end();
}

// ---- where a triggered record starts ------------------------------------------------------

struct DelayCase {
    const char* edge;
    int delayPercent;
};

void PrintTo(const DelayCase& c, std::ostream* out) { *out << c.edge << " delay " << c.delayPercent << "%"; }

class CaptureTriggerDelay : public ::testing::TestWithParam<DelayCase> {};

TEST_P(CaptureTriggerDelay, RecordStartsDelaySamplesFromTheFirstCrossingTheFirstBufferMaySearch) {
    const DelayCase& c = GetParam();
    CaptureHarness h;
    CaptureSetup setup;
    setup.edge = c.edge;
    setup.delayPercent = c.delayPercent;
    h.configure(setup);
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    ASSERT_TRUE(h.run.inputRunning.load());
    ASSERT_TRUE(HasTimer(h.shell, kRecordReleaseTimer));

    const int n = setup.points;
    const int delay = c.delayPercent * n / 100;
    // The first buffer searches from frame -1 - delay on when the delay is negative.
    const std::int64_t searchFrom = delay < 0 ? -delay : 1;
    const std::int64_t trigger = FirstCrossing(h, 0, searchFrom, std::string(c.edge) == "Up", kMidScale16);
    // The record is complete once the buffers holding its trigger and its last frame are in.
    const int buffersNeeded = static_cast<int>(std::max(trigger / n, (trigger + delay + n - 1) / n)) + 1;
    h.advanceBuffers(buffersNeeded - 1);
    EXPECT_EQ(h.deliver(), 0u) << "handed over before its last frame was recorded";
    h.advanceBuffers(1);
    ASSERT_EQ(h.deliver(), 1u);

    EXPECT_EQ(h.document.sampleCount, static_cast<std::uint32_t>(n));
    EXPECT_EQ(h.record(0), h.expected(trigger + delay, 0));
    EXPECT_EQ(h.record(1), h.expected(trigger + delay, 1));
    EXPECT_EQ(h.engine.overrunCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(EdgesAndDelays, CaptureTriggerDelay,
                         ::testing::Values(DelayCase{"Up", -100}, DelayCase{"Up", -50}, DelayCase{"Up", 0},
                                           DelayCase{"Up", 50}, DelayCase{"Up", 100}, DelayCase{"Dn", -100},
                                           DelayCase{"Dn", -50}, DelayCase{"Dn", 0}, DelayCase{"Dn", 50},
                                           DelayCase{"Dn", 100}));

TEST(CaptureTrigger, RisingEdgeAtLevelZeroStartsWhereTheSignalCrossesMidScaleUpwards) {
    CaptureHarness h;
    h.configure(CaptureSetup{});
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    h.advanceBuffers(3);
    ASSERT_EQ(h.deliver(), 1u);
    const auto a = h.record(0);
    // Delay 0: the record begins with the first sample at or above mid-scale, just above it, and
    // rises on; the frame before it was below.
    EXPECT_GE(a[0], kMidScale16);
    EXPECT_LT(a[0], kMidScale16 + 1200);
    EXPECT_GT(a[3], a[0]);
    const std::int64_t trigger = FirstCrossing(h, 0, 1, true, kMidScale16);
    EXPECT_LT(h.streamCode(trigger - 1, 0), kMidScale16);
    EXPECT_EQ(a[0], h.streamCode(trigger, 0));
}

TEST(CaptureTrigger, SourceBTriggersOnTheSecondSampleOfEachFrame) {
    CaptureHarness h;
    CaptureSetup setup;
    setup.source = "B";
    h.configure(setup);
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    h.advanceBuffers(3);
    ASSERT_EQ(h.deliver(), 1u);
    const std::int64_t trigger = FirstCrossing(h, 1, 1, true, kMidScale16);
    EXPECT_NE(trigger, FirstCrossing(h, 0, 1, true, kMidScale16));
    EXPECT_EQ(h.record(1), h.expected(trigger, 1));
    EXPECT_EQ(h.record(0), h.expected(trigger, 0));
}

// ---- formats and inversion ----------------------------------------------------------------

struct FormatCase {
    int bits;
    bool stereo;
    bool invert;
};

void PrintTo(const FormatCase& c, std::ostream* out) {
    *out << c.bits << " bit " << (c.stereo ? "A&B" : "A") << (c.invert ? " inverted" : "");
}

class CaptureRecordCodes : public ::testing::TestWithParam<FormatCase> {};

TEST_P(CaptureRecordCodes, RecordHoldsTheCodesOfItsFormatComplementedWhenInverted) {
    const FormatCase& c = GetParam();
    CaptureHarness h;
    h.configuration.invertInput = c.invert;
    CaptureSetup setup;
    setup.bits = c.bits;
    setup.stereo = c.stereo;
    setup.levelPercent = 30;
    setup.delayPercent = -30;
    h.configure(setup);
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    h.advanceBuffers(4);
    ASSERT_EQ(h.deliver(), 1u);

    // The search runs on the complemented codes as well: a rising edge of the inverted input is
    // a falling edge of the signal.
    const int n = setup.points;
    const int level = c.bits == 8 ? static_cast<int>(30 * 1.27f + 128.0f) : static_cast<int>(30 * 327.67f + 32768.0f);
    const std::int64_t trigger = FirstCrossing(h, 0, 30 * n / 100, true, level, c.invert);
    const std::int64_t start = trigger - 30 * n / 100;
    EXPECT_EQ(h.record(0), h.expected(start, 0, c.invert));
    if (c.stereo) {
        EXPECT_EQ(h.record(1), h.expected(start, 1, c.invert));
    }
    EXPECT_EQ(h.document.samplingType, c.stereo ? kSamplingTypeAB : kSamplingTypeA);
    EXPECT_EQ(h.document.resolutionA, c.bits);
}

INSTANTIATE_TEST_SUITE_P(BitsChannelsInversion, CaptureRecordCodes,
                         ::testing::Values(FormatCase{16, true, false}, FormatCase{16, false, false},
                                           FormatCase{8, true, false}, FormatCase{8, false, false},
                                           FormatCase{16, true, true}, FormatCase{8, false, true}));

// ---- modes and the latch ------------------------------------------------------------------

TEST(CaptureModes, NoneCutsTheHeldBufferFromFrameZeroOnceItHoldsSoundOfThisRun) {
    CaptureHarness h;
    CaptureSetup setup;
    setup.mode = "None";
    setup.delayPercent = -50;  // free run ignores the delay
    h.configure(setup);
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    h.advanceBuffers(1);
    EXPECT_EQ(h.deliver(), 0u) << "the held buffer has not recorded anything yet";
    h.advanceBuffers(1);
    ASSERT_EQ(h.deliver(), 1u);
    EXPECT_EQ(h.record(0), h.expected(0, 0));

    // Drawn and released, the next record is again a whole buffer filled after the hand-over.
    h.redraw.scopePendingDraws = 0;
    EXPECT_EQ(h.releaseRecord(), kRecordReleaseTicks + 1);
    h.advanceBuffers(2);
    ASSERT_EQ(h.deliver(), 1u);
    EXPECT_EQ(h.record(0), h.expected(2 * setup.points, 0));
}

TEST(CaptureModes, SingleDeliversExactlyOneRecordAndStops) {
    CaptureHarness h;
    CaptureSetup setup;
    setup.mode = "Single";
    h.configure(setup);
    h.play(SineSignal(4000, 37.1, 12000));  // several triggers in every buffer
    h.engine.RunStop();
    h.advanceBuffers(6);  // triggers keep coming before the UI thread takes the first record
    ASSERT_EQ(h.deliver(), 1u);
    EXPECT_FALSE(h.run.inputRunning.load());
    EXPECT_FALSE(HasTimer(h.shell, kRecordReleaseTimer));
    EXPECT_EQ(h.record(0), h.expected(FirstCrossing(h, 0, 1, true, kMidScale16), 0));
    EXPECT_EQ(h.deliver(), 0u);
    EXPECT_EQ(h.engine.recordsHandedOver(), 1u);
}

TEST(CaptureModes, RepeatDropsTriggersWhileARecordIsPendingAndTheRingKeepsCirculating) {
    CaptureHarness h;
    h.configure(CaptureSetup{});
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    h.advanceBuffers(3);
    ASSERT_EQ(h.deliver(), 1u);
    const auto first = h.record(0);
    ASSERT_TRUE(h.redraw.recordPending.load());
    EXPECT_EQ(h.redraw.scopePendingDraws.load(), 1);  // the shown oscilloscope
    EXPECT_EQ(h.redraw.spectrumPendingDraws.load(), 0);  // the hidden spectrum view

    const std::uint64_t taken = h.engine.buffersTaken();
    h.advanceBuffers(12);
    EXPECT_EQ(h.engine.buffersTaken(), taken + 12);
    EXPECT_EQ(h.deliver(), 0u);
    EXPECT_EQ(h.record(0), first);
    EXPECT_EQ(h.engine.overrunCount(), 0u) << "the device ran out of queued buffers";

    // The oscilloscope has not drawn: the record stays however long the ticks go on.
    EXPECT_EQ(h.releaseRecord(30), -1);
    h.redraw.scopePendingDraws = 0;
    EXPECT_EQ(h.releaseRecord(), 1);
    h.advanceBuffers(3);
    EXPECT_EQ(h.deliver(), 1u);
    EXPECT_NE(h.record(0), first);
}

TEST(CaptureModes, HandOverTellsTheViewsAndComputesTheStatistics) {
    CaptureHarness h;
    h.spectrumShown = true;
    h.configure(CaptureSetup{});
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    h.document.SetModifiedFlag(false);
    const std::uint64_t revision = h.document.revision();
    h.advanceBuffers(3);
    ASSERT_EQ(h.deliver(), 1u);
    EXPECT_TRUE(h.document.IsModified());
    EXPECT_GT(h.document.revision(), revision);  // the views derive their pictures again
    EXPECT_EQ(h.redraws, 1);
    EXPECT_EQ(h.redraw.scopePendingDraws.load(), 1);
    EXPECT_EQ(h.redraw.spectrumPendingDraws.load(), 1);
    EXPECT_EQ(h.redraw.releaseTicks.load(), 1);
    // About +-0.37 V of a 1 V full scale.
    EXPECT_NEAR(h.document.maxA, 12000.0 / 32768.0, 0.01);
    EXPECT_NEAR(h.document.minA, -12000.0 / 32768.0, 0.01);
}

TEST(CaptureModes, ReleaseWaitsSixTicksThenForEveryShownViewToDraw) {
    CaptureHarness h;
    h.spectrumShown = true;
    h.configure(CaptureSetup{});
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    h.engine.OnRecordRelease();  // no record yet: nothing counts
    EXPECT_EQ(h.redraw.releaseTicks.load(), 0);
    h.advanceBuffers(3);
    ASSERT_EQ(h.deliver(), 1u);
    h.redraw.scopePendingDraws = 0;
    EXPECT_EQ(h.releaseRecord(12), -1) << "the spectrum view has not drawn";
    h.spectrumShown = false;  // hiding a view lets the record go without its draw
    EXPECT_EQ(h.releaseRecord(), 1);
    EXPECT_EQ(h.redraw.releaseTicks.load(), 0);
}

// How much sound the device can take while the capture thread queues nothing: what it was
// given at the start (the re-queue fails from then on). `frames` frames pass at 48 kHz; the
// overruns are returned.
std::uint64_t OverrunsWithoutRequeue(CaptureHarness& h, int points, std::uint64_t frames) {
    CaptureSetup setup;
    setup.points = points;
    h.configure(setup);
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    h.faults.failCall(AudioCall::InputAddBuffer, AudioResult::NoDriver);
    h.cable.advanceFrames(frames, 48000);
    return h.engine.overrunCount();
}

struct RingCase {
    int points;
    std::uint64_t framesHeld;  // what the queued buffers hold at 48 kHz
};

class CaptureRing : public ::testing::TestWithParam<RingCase> {};

TEST_P(CaptureRing, QueuesTwoRecordsOrAQuarterSecondWhicheverIsLonger) {
    const RingCase& c = GetParam();
    {
        CaptureHarness h;
        EXPECT_EQ(OverrunsWithoutRequeue(h, c.points, c.framesHeld), 0u);
    }
    CaptureHarness h;
    EXPECT_EQ(OverrunsWithoutRequeue(h, c.points, c.framesHeld + 1), 1u);
}

INSTANTIATE_TEST_SUITE_P(RecordLengths, CaptureRing,
                         ::testing::Values(RingCase{200, 60 * 200},     // 4 ms records: 60 queued
                                           RingCase{4800, 3 * 4800},    // 100 ms records: 3 queued
                                           RingCase{6000, 2 * 6000},    // 125 ms: the least, 2
                                           RingCase{24000, 2 * 24000},  // 500 ms records: 2 queued
                                           RingCase{1, 255}));          // 255 at most

// ---- "Point" -------------------------------------------------------------------------------

class CapturePoints : public ::testing::TestWithParam<const char*> {};

TEST_P(CapturePoints, IsRefusedWithTheMessageAndTheBoxSetTo1) {
    CaptureHarness h;
    h.configure(CaptureSetup{});
    h.sampling.point.setText(GetParam());
    h.engine.RunStop();
    EXPECT_FALSE(h.run.inputRunning.load());
    // Nothing or 0 is "zero"; the rest names the lengths a record can have.
    const bool zero = std::string(GetParam()).empty() || GetParam() == std::string("0") || GetParam() == std::string("Point");
    EXPECT_EQ(h.shell.messages(), std::vector<std::string>{zero ? kZeroPointsMessage : kPointsOutOfRangeMessage});
    EXPECT_EQ(h.sampling.point.text(), "1");
    EXPECT_EQ(h.faults.callCount(AudioCall::InputOpen), 0u);
    EXPECT_EQ(h.configurations, 0);
    EXPECT_EQ(h.shell.clicks, 1);

    // "1" then starts.
    h.engine.RunStop();
    EXPECT_TRUE(h.run.inputRunning.load());
    EXPECT_EQ(h.document.sampleCount, 0u);
}

INSTANTIATE_TEST_SUITE_P(EmptyZeroNegativeHuge, CapturePoints,
                         ::testing::Values("", "0", "-1", "-441", "48000001", "99999999999", "Point"));

TEST(CaptureStart, WithoutTheFramesLinkSaysThereIsNoActiveDocument) {
    CaptureHarness h;
    h.configure(CaptureSetup{});
    h.engine.attachHooks(nullptr);
    h.engine.RunStop();
    EXPECT_FALSE(h.run.inputRunning.load());
    EXPECT_EQ(h.shell.messages(), std::vector<std::string>{kNoActiveDocumentMessage});
    EXPECT_EQ(h.faults.callCount(AudioCall::InputOpen), 0u);
}

TEST(CaptureStart, ClickPlaysAtEveryStartButTheRestartAfterAChange) {
    CaptureHarness h;
    h.configure(CaptureSetup{});
    h.engine.RunStop();
    EXPECT_EQ(h.shell.clicks, 1);
    h.engine.RunStop();
    h.engine.RunStop();
    EXPECT_EQ(h.shell.clicks, 2);
    CaptureRestart(h.run.inputRunning, h.acquisition, h.engine, h.shell).RestartIfRunning();
    h.engine.OnCaptureRestart();
    EXPECT_TRUE(h.run.inputRunning.load());
    EXPECT_EQ(h.shell.clicks, 2);
    EXPECT_TRUE(h.engine.playStartClick);
}

TEST(CaptureStart, TheInputOpensOnceTheClickHasSoundedAndAStopOrAChangeInThePauseOpensNothing) {
    CaptureHarness h;
    h.engine.startClickPause = std::chrono::milliseconds(200);
    h.configure(CaptureSetup{});
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    // Run/Stop has returned: the click played, the input waits for timer 4.
    EXPECT_EQ(h.shell.clicks, 1);
    EXPECT_TRUE(h.run.inputRunning.load());
    EXPECT_TRUE(HasTimer(h.shell, kCaptureStartTimer));
    EXPECT_EQ(h.faults.callCount(AudioCall::InputOpen), 0u);
    // Stopped in the pause: nothing opens, even for a tick already on its way.
    h.engine.RunStop();
    EXPECT_FALSE(HasTimer(h.shell, kCaptureStartTimer));
    EXPECT_TRUE(h.engine.OnTimer(kCaptureStartTimer));
    EXPECT_EQ(h.faults.callCount(AudioCall::InputOpen), 0u);
    EXPECT_FALSE(h.run.inputRunning.load());

    // A parameter change in the pause: the start is dropped and the restart opens at once.
    h.engine.RunStop();
    CaptureRestart(h.run.inputRunning, h.acquisition, h.engine, h.shell).RestartIfRunning();
    EXPECT_FALSE(HasTimer(h.shell, kCaptureStartTimer));
    h.engine.OnCaptureRestart();
    EXPECT_EQ(h.faults.callCount(AudioCall::InputOpen), 1u);
    EXPECT_EQ(h.shell.clicks, 2);
    h.engine.RunStop();

    h.engine.RunStop();
    h.engine.OnTimer(kCaptureStartTimer);
    EXPECT_FALSE(HasTimer(h.shell, kCaptureStartTimer));
    EXPECT_EQ(h.faults.callCount(AudioCall::InputOpen), 2u);
    EXPECT_TRUE(HasTimer(h.shell, kRecordReleaseTimer));
    h.advanceBuffers(3);
    EXPECT_EQ(h.deliver(), 1u);
}

// ---- parameter changes at every moment of the cycle ---------------------------------------

enum class Moment { Searching, WaitingForFurtherBuffers, RecordPosted, RecordLatched, DuringRestart };

struct MomentCase {
    Moment moment;
    const char* name;
};

class CaptureParameterChange : public ::testing::TestWithParam<MomentCase> {};

TEST_P(CaptureParameterChange, StopsWaitsForTheCloseAndRestartsSilentlyWithTheNewSettings) {
    CaptureHarness h;
    CaptureSetup setup;
    setup.delayPercent = 100;  // a trigger needs two further buffers
    h.configure(setup);
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    const int clicks = h.shell.clicks;

    switch (GetParam().moment) {
        case Moment::Searching: break;
        case Moment::WaitingForFurtherBuffers: h.advanceBuffers(1); break;
        case Moment::RecordPosted: h.advanceBuffers(3); break;  // timer 3 posted, not yet run
        case Moment::RecordLatched:
            h.advanceBuffers(3);
            ASSERT_EQ(h.deliver(), 1u);
            break;
        case Moment::DuringRestart: break;
    }
    const std::uint64_t handed = h.engine.recordsHandedOver();

    // The change: a falling edge, applied as every bar change applies.
    h.trigger.edge.setSelection(testing::RowNamed(h.tables, RangeTableId::TriggerEdge, "Dn"));
    h.trigger.delay.setText("0%");
    CaptureRestart restart(h.run.inputRunning, h.acquisition, h.engine, h.shell);
    restart.RestartIfRunning();
    EXPECT_FALSE(h.run.inputRunning.load());
    EXPECT_EQ(h.acquisition.restartPending.load(), 2) << "the close notification has come";
    EXPECT_TRUE(HasTimer(h.shell, kTimerCaptureRestart));
    EXPECT_FALSE(HasTimer(h.shell, kRecordReleaseTimer));
    EXPECT_EQ(h.faults.callCount(AudioCall::InputClose), 1u);
    if (GetParam().moment == Moment::DuringRestart) {
        // A second change before timer 2 fires: capture is not running, nothing more to stop.
        restart.RestartIfRunning();
        EXPECT_EQ(h.faults.callCount(AudioCall::InputClose), 1u);
    }

    // A record posted before the stop went with its buffers.
    EXPECT_EQ(h.deliver(), 0u);
    EXPECT_EQ(h.engine.recordsHandedOver(), handed);

    h.engine.OnCaptureRestart();
    EXPECT_TRUE(h.run.inputRunning.load());
    EXPECT_EQ(h.shell.clicks, clicks);
    EXPECT_EQ(h.acquisition.restartPending.load(), 0);
    EXPECT_FALSE(HasTimer(h.shell, kTimerCaptureRestart));
    EXPECT_TRUE(HasTimer(h.shell, kRecordReleaseTimer));
    EXPECT_EQ(h.acquisition.triggerEdge, 1);
    EXPECT_FALSE(h.redraw.recordPending.load());

    // The new run: falling edge, delay 0; its first frame is the output's frame at the restart.
    const std::int64_t origin = h.framesPlayed();
    const std::uint64_t taken = h.engine.buffersTaken();
    h.advanceBuffers(3);
    ASSERT_EQ(h.engine.buffersTaken(), taken + 3);
    ASSERT_EQ(h.deliver(), 1u);
    EXPECT_EQ(h.record(0), h.expected(FirstCrossing(h, 0, origin + 1, false, kMidScale16), 0));
}

INSTANTIATE_TEST_SUITE_P(
    Moments, CaptureParameterChange,
    ::testing::Values(MomentCase{Moment::Searching, "Searching"},
                      MomentCase{Moment::WaitingForFurtherBuffers, "WaitingForFurtherBuffers"},
                      MomentCase{Moment::RecordPosted, "RecordPosted"},
                      MomentCase{Moment::RecordLatched, "RecordLatched"},
                      MomentCase{Moment::DuringRestart, "DuringRestart"}),
    [](const ::testing::TestParamInfo<MomentCase>& info) { return std::string(info.param.name); });

TEST(CaptureRestartTimer, WaitsForTheCloseAndEndsWhenNothingIsPending) {
    CaptureHarness h;
    h.configure(CaptureSetup{});
    h.acquisition.restartPending = 1;
    h.shell.setTimer(kTimerCaptureRestart, 10);
    h.engine.OnCaptureRestart();
    EXPECT_TRUE(HasTimer(h.shell, kTimerCaptureRestart)) << "the device has not closed yet";
    EXPECT_FALSE(h.run.inputRunning.load());
    // The user started capture in between: the restart has nothing left to do.
    h.engine.RunStop();
    h.engine.OnCaptureRestart();
    EXPECT_FALSE(HasTimer(h.shell, kTimerCaptureRestart));
    EXPECT_TRUE(h.run.inputRunning.load());
}

TEST(CaptureRestartTimer, RoutesCapturesTimersOnly) {
    CaptureHarness h;
    EXPECT_TRUE(h.engine.OnTimer(kRecordReleaseTimer));
    EXPECT_TRUE(h.engine.OnTimer(kTimerCaptureRestart));
    EXPECT_TRUE(h.engine.OnTimer(kRecordReadyTimer));
    EXPECT_TRUE(h.engine.OnTimer(kCaptureStartTimer));
    EXPECT_FALSE(h.engine.OnTimer(100));
}

// ---- device faults ------------------------------------------------------------------------

struct FaultCase {
    AudioCall call;
    AudioResult result;
    bool runningAfterStart;  // inputRunning as the failed start leaves it
};

void PrintTo(const FaultCase& c, std::ostream* out) {
    *out << "call " << static_cast<int>(c.call) << " answers " << AudioResultName(c.result);
}

class CaptureStartFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CaptureStartFault, IsShownByNameAndTheNextRunStopsOrStartsCleanly) {
    const FaultCase& c = GetParam();
    CaptureHarness h;
    h.configure(CaptureSetup{});
    h.play(SineSignal(4000, 97.3, 12000));
    h.faults.failCall(c.call, c.result, 1);
    h.engine.RunStop();
    EXPECT_EQ(h.shell.messages(), std::vector<std::string>{std::string(AudioResultName(c.result))});
    EXPECT_EQ(h.run.inputRunning.load(), c.runningAfterStart);
    EXPECT_FALSE(HasTimer(h.shell, kRecordReleaseTimer));
    h.shell.clear();

    if (c.runningAfterStart) {
        h.engine.RunStop();  // closes the device
        EXPECT_FALSE(h.run.inputRunning.load());
        EXPECT_TRUE(h.shell.messages().empty());
    }
    // The device is free again and capture works.
    h.engine.RunStop();
    EXPECT_TRUE(h.run.inputRunning.load());
    EXPECT_TRUE(h.shell.messages().empty());
    h.advanceBuffers(3);
    EXPECT_EQ(h.deliver(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStartCall, CaptureStartFault,
    ::testing::Values(FaultCase{AudioCall::InputOpen, AudioResult::NoDriver, false},
                      FaultCase{AudioCall::InputOpen, AudioResult::BadDeviceId, false},
                      FaultCase{AudioCall::InputOpen, AudioResult::Allocated, false},
                      FaultCase{AudioCall::InputOpen, AudioResult::NoMemory, false},
                      FaultCase{AudioCall::InputOpen, AudioResult::BadFormat, false},
                      FaultCase{AudioCall::InputPrepare, AudioResult::InvalidHandle, true},
                      FaultCase{AudioCall::InputPrepare, AudioResult::NoMemory, true},
                      FaultCase{AudioCall::InputAddBuffer, AudioResult::NoDriver, true},
                      FaultCase{AudioCall::InputAddBuffer, AudioResult::Unprepared, true},
                      FaultCase{AudioCall::InputStart, AudioResult::NoDriver, true},
                      FaultCase{AudioCall::InputStart, AudioResult::InvalidHandle, true}));

class CaptureStopFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(CaptureStopFault, IsShownByNameAndTheStopGoesOn) {
    const FaultCase& c = GetParam();
    CaptureHarness h;
    h.configure(CaptureSetup{});
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    h.advanceBuffers(2);
    h.faults.failCall(c.call, c.result, 1);
    h.engine.RunStop();
    h.faults.clearFaults();
    EXPECT_FALSE(h.run.inputRunning.load());
    EXPECT_FALSE(HasTimer(h.shell, kRecordReleaseTimer));
    const auto messages = h.shell.messages();
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.front(), AudioResultName(c.result));
    h.shell.clear();
    // Whatever the device said, it was closed: capture starts again.
    h.engine.RunStop();
    EXPECT_TRUE(h.run.inputRunning.load());
    EXPECT_TRUE(h.shell.messages().empty());
    h.advanceBuffers(3);
    EXPECT_EQ(h.deliver(), 1u);
}

INSTANTIATE_TEST_SUITE_P(ResetAndClose, CaptureStopFault,
                         ::testing::Values(FaultCase{AudioCall::InputReset, AudioResult::InvalidHandle, false},
                                           FaultCase{AudioCall::InputReset, AudioResult::NoDriver, false},
                                           FaultCase{AudioCall::InputReset, AudioResult::NoMemory, false},
                                           FaultCase{AudioCall::InputClose, AudioResult::NoMemory, false},
                                           FaultCase{AudioCall::InputClose, AudioResult::InvalidHandle, false},
                                           FaultCase{AudioCall::InputClose, AudioResult::NoDriver, false},
                                           FaultCase{AudioCall::InputClose, AudioResult::StillPlaying, false}));

TEST(CaptureStopFault, UnprepareFailingAtStopIsNotShown) {
    CaptureHarness h;
    h.configure(CaptureSetup{});
    h.engine.RunStop();
    h.faults.failCall(AudioCall::InputUnprepare, AudioResult::InvalidHandle);
    h.engine.RunStop();
    h.faults.clearFaults();
    EXPECT_TRUE(h.shell.messages().empty());
    EXPECT_FALSE(h.run.inputRunning.load());
}

TEST(CaptureDeviceFault, AFailingRequeueOnTheCaptureThreadIsShownOnceAndStopStillCloses) {
    CaptureHarness h;
    h.configure(CaptureSetup{});
    h.play(SineSignal(4000, 97.3, 12000));
    h.engine.RunStop();
    h.faults.failCall(AudioCall::InputAddBuffer, AudioResult::NoDriver);
    h.advanceBuffers(2);
    h.shell.runPosted();
    EXPECT_EQ(h.shell.messages(), std::vector<std::string>{"MMSYSERR_NODRIVER"});
    // Once the buffers queued before are full the device has nothing left to record into: what
    // it misses is counted.
    h.cable.advanceFrames(96000, 48000);
    EXPECT_GE(h.engine.overrunCount(), 1u);
    h.faults.clearFaults();
    h.engine.RunStop();
    EXPECT_EQ(h.shell.messages().size(), 1u);
    EXPECT_FALSE(h.run.inputRunning.load());
    EXPECT_GE(h.engine.overrunCount(), 1u) << "kept after the stop";
}

TEST(CaptureDeviceFault, DeviceThatVanishesWhileRecordingLeavesCaptureStoppable) {
    auto h = std::make_unique<CaptureHarness>();
    h->configure(CaptureSetup{});
    h->play(SineSignal(4000, 97.3, 12000));
    h->engine.RunStop();
    h->advanceBuffers(1);
    // From now on the device answers nothing but "invalid handle", as one that was unplugged.
    for (AudioCall call : {AudioCall::InputPrepare, AudioCall::InputUnprepare, AudioCall::InputAddBuffer,
                           AudioCall::InputReset, AudioCall::InputClose})
        h->faults.failCall(call, AudioResult::InvalidHandle);
    h->advanceBuffers(2);
    h->engine.RunStop();
    EXPECT_FALSE(h->run.inputRunning.load());
    const auto messages = h->shell.messages();
    EXPECT_NE(std::find(messages.begin(), messages.end(), "MMSYSERR_INVALHANDLE"), messages.end());
    h->faults.clearFaults();
    h.reset();  // and nothing is left running
}

}  // namespace
}  // namespace tonewell
