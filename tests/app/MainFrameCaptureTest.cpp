// Input capture as the main frame runs it: the start-up auto-run, "Run/Stop monitoring input",
// the capture thread's record arriving as timer 3, its release on timer 1 once both views have
// drawn it, the restart on timer 2, and the overrun count in the status bar.

#include "app/CMainFrame.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "acquisition/WavBytes.h"
#include "app/Instrument.h"
#include "platform/RecordingCanvas.h"
#include "platform/RecordingShell.h"
#include "platform/audio/LoopbackCable.h"
#include "support/ProgramHome.h"
#include "support/TempDir.h"

namespace tonewell {
namespace {

using namespace testing;
using Id = RangeTableId;

class CountingWindow : public FrameWindow {
public:
    void showPanes(bool, bool spectrum) override { lowerHeight = spectrum ? 100 : 0; }
    int lowerPaneHeight() const override { return lowerHeight; }
    void recalcLayout() override {}
    void updateCommandBar() override { ++commandBarUpdates; }
    void showWindow() override {}
    void closeWindow() override {}
    void setDocumentTitle(const std::string&) override {}

    int lowerHeight = 100;
    int commandBarUpdates = 0;
};

class NoDialogs : public FrameDialogs {
public:
    void calibrationSetting() override {}
    void displaySetting() override {}
    void notes() override {}
    void signalGenerator() override {}
    void audioDevice() override {}
    void spectrumXScale() override {}
    void spectrumYScale() override {}
    void about() override {}
};

bool HasTimer(const RecordingShell& shell, int id) {
    const std::vector<int> timers = shell.activeTimers();
    return std::find(timers.begin(), timers.end(), id) != timers.end();
}

class FrameCapture : public ::testing::TestWithParam<int> {
protected:
    FrameCapture() { instrument.capture.startClickPause = std::chrono::milliseconds(0); }
    ~FrameCapture() override {
        if (instrument.run.inputRunning.load()) instrument.capture.RunStop();
    }

    int rowNamed(Id id, std::string_view name) { return instrument.tables[id].rowNamed(name).value(); }

    // The program's start with the auto-run setting as given; the main window has appeared.
    void start(bool autoRun, const std::optional<std::filesystem::path>& file = std::nullopt) {
        frame.startUp(file);
        instrument.configuration.autoRunAtStartup = autoRun;
        frame.OnSplashEnded();
        frame.commandBarRefreshed();  // the window's first showing of the buttons
    }

    // One record length of silence on the cable, taken by the capture thread.
    void advanceOneBuffer() {
        const std::uint64_t before = instrument.capture.buffersTaken();
        cable.advanceFrames(static_cast<std::uint64_t>(instrument.acquisition.recordLength),
                            static_cast<std::uint32_t>(instrument.acquisition.samplingRate));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (instrument.capture.buffersTaken() == before && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        ASSERT_GT(instrument.capture.buffersTaken(), before);
    }

    // Capture free-running until the capture thread has posted its first record.
    void runUntilARecordIsPosted() {
        instrument.panel.trigger.mode.userSelect(rowNamed(Id::TriggerMode, "None"));
        frame.OnCommand(kCommandRunStopInput);
        ASSERT_TRUE(instrument.run.inputRunning.load());
        advanceOneBuffer();
        advanceOneBuffer();
    }

    TempDir dir;
    ProgramHome home{dir / "home"};
    RecordingShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
    CountingWindow window;
    NoDialogs dialogs;
    CMainFrame frame{instrument.frameParts(), window, dialogs, GetParam()};
};

TEST_P(FrameCapture, TheStartUpAutoRunStartsCaptureWhenTheWindowAppearsWhereTheEditionHasIt) {
    start(true);
    const bool capture = EditionHasCapture(GetParam());
    EXPECT_EQ(instrument.run.inputRunning.load(), capture);
    EXPECT_EQ(shell.clicks, capture ? 1 : 0);
    EXPECT_EQ(HasTimer(shell, kTimerRecordRelease), capture);
    EXPECT_EQ(frame.commandState(kCommandRunStopInput).checked, capture);
    EXPECT_EQ(frame.runCountsText(), capture ? "Input overruns: 0" : "");
    EXPECT_TRUE(shell.messages().empty()) << ::testing::PrintToString(shell.messages());

    // Stopped by hand, capture stays stopped: the auto-run belongs to the start-up alone.
    if (capture) frame.OnCommand(kCommandRunStopInput);
    EXPECT_FALSE(instrument.run.inputRunning.load());
    frame.OnCommand(kCommandFileNew);
    EXPECT_FALSE(instrument.run.inputRunning.load());
    EXPECT_EQ(frame.runCountsText(), "");
}

TEST_P(FrameCapture, NoAutoRunWhenTheSettingIsOffOrTheProgramStartedOnAFile) {
    start(false);
    EXPECT_FALSE(instrument.run.inputRunning.load());

    TempDir files;
    const auto take = files / "take.wav";
    writeFileBytes(take, riff(chunk("fmt ", fmtBody(1, 11025, 8)) + chunk("data", std::string(200, '\x90'))));
    RecordingShell otherShell;
    Instrument other{otherShell, cable};
    CMainFrame otherFrame{other.frameParts(), window, dialogs, GetParam()};
    otherFrame.startUp(take);
    ASSERT_TRUE(other.configuration.autoRunAtStartup);
    otherFrame.OnSplashEnded();
    EXPECT_FALSE(other.run.inputRunning.load());
    EXPECT_EQ(other.document.sampleCount, 200u) << "the file stays shown";
}

TEST_P(FrameCapture, TheStartClicksPauseEndsOnTheFramesTimer4) {
    if (!EditionHasCapture(GetParam())) GTEST_SKIP() << "no capture in this edition";
    start(false);
    instrument.capture.startClickPause = std::chrono::milliseconds(200);
    frame.OnCommand(kCommandRunStopInput);
    EXPECT_TRUE(frame.commandState(kCommandRunStopInput).checked);
    EXPECT_FALSE(HasTimer(shell, kTimerRecordRelease));
    frame.OnTimer(kCaptureStartTimer);
    EXPECT_TRUE(HasTimer(shell, kTimerRecordRelease));
    EXPECT_FALSE(HasTimer(shell, kCaptureStartTimer));
}

TEST_P(FrameCapture, ARecordArrivesAsTimer3AndIsReleasedOnTimer1OnceBothViewsHaveDrawnIt) {
    if (!EditionHasCapture(GetParam())) GTEST_SKIP() << "no capture in this edition";
    start(false);
    runUntilARecordIsPosted();
    const int updatesBefore = window.commandBarUpdates;
    shell.runPosted();
    ASSERT_EQ(instrument.capture.recordsHandedOver(), 1u);
    EXPECT_GT(window.commandBarUpdates, updatesBefore) << "the record came in through the frame's timers";
    EXPECT_TRUE(instrument.redraw.recordPending.load());
    EXPECT_EQ(instrument.document.sampleCount, static_cast<std::uint32_t>(instrument.acquisition.recordLength));
    const bool spectrum = frame.spectrumShown();
    EXPECT_EQ(spectrum, EditionHasSpectrum(GetParam()));
    EXPECT_EQ(instrument.redraw.scopePendingDraws.load(), 1);
    EXPECT_EQ(instrument.redraw.spectrumPendingDraws.load(), spectrum ? 1 : 0);

    // Only the oscilloscope has drawn it: the record stays well past its six ticks.
    RecordingCanvas canvas(640, 300);
    instrument.scope.OnDraw(canvas);
    for (int tick = 0; tick < 10; ++tick) frame.OnTimer(kTimerRecordRelease);
    EXPECT_EQ(instrument.redraw.recordPending.load(), spectrum);
    if (!spectrum) return;
    instrument.spectrum.OnDraw(canvas);
    EXPECT_FALSE(instrument.spectrumAnalysis.spectrumDirty.load());
    frame.OnTimer(kTimerRecordRelease);
    EXPECT_FALSE(instrument.redraw.recordPending.load());

    // The next record has the spectrum recomputed at the next drawing pass.
    const std::uint64_t revision = instrument.document.revision();
    for (int buffer = 0; buffer < 4 && instrument.capture.recordsHandedOver() == 1; ++buffer) {
        advanceOneBuffer();
        shell.runPosted();
    }
    ASSERT_EQ(instrument.capture.recordsHandedOver(), 2u);
    EXPECT_GT(instrument.document.revision(), revision);
}

TEST_P(FrameCapture, ATriggerBarChangeRestartsCaptureSilentlyOnTimer2) {
    if (!EditionHasCapture(GetParam())) GTEST_SKIP() << "no capture in this edition";
    start(false);
    frame.OnCommand(kCommandRunStopInput);
    ASSERT_TRUE(instrument.run.inputRunning.load());
    instrument.panel.trigger.edge.userSelect(rowNamed(Id::TriggerEdge, "Dn"));
    EXPECT_FALSE(instrument.run.inputRunning.load());
    ASSERT_EQ(instrument.acquisition.restartPending.load(), 2);
    EXPECT_TRUE(HasTimer(shell, kTimerCaptureRestart));
    frame.OnTimer(kTimerCaptureRestart);
    EXPECT_TRUE(instrument.run.inputRunning.load());
    EXPECT_FALSE(HasTimer(shell, kTimerCaptureRestart));
    EXPECT_EQ(instrument.acquisition.triggerEdge, 1);
    EXPECT_EQ(shell.clicks, 1) << "the restart is silent";
}

// The generator's sine through the cable triggers a Single record; capture stops with it and
// the button is released in the same turn of the event loop.
TEST_P(FrameCapture, SingleStopsAfterTheGeneratorsFirstTriggerAndTheButtonFollowsAtOnce) {
    if (!EditionHasCapture(GetParam()) || !EditionHasOutput(GetParam())) GTEST_SKIP() << "needs input and output";
    start(false);
    frame.OnCommand(kCommandRunStopOutput);
    ASSERT_TRUE(instrument.run.outputRunning.load());
    instrument.panel.trigger.mode.userSelect(rowNamed(Id::TriggerMode, "Single"));
    frame.OnCommand(kCommandRunStopInput);
    ASSERT_TRUE(instrument.run.inputRunning.load());
    int updatesBefore = window.commandBarUpdates;
    for (int buffer = 0; buffer < 40 && instrument.capture.recordsHandedOver() == 0; ++buffer) {
        advanceOneBuffer();
        updatesBefore = window.commandBarUpdates;
        shell.runPosted();
    }
    ASSERT_EQ(instrument.capture.recordsHandedOver(), 1u);
    EXPECT_GT(window.commandBarUpdates, updatesBefore);
    EXPECT_FALSE(instrument.run.inputRunning.load());
    EXPECT_FALSE(frame.commandState(kCommandRunStopInput).checked);
    EXPECT_FALSE(HasTimer(shell, kTimerRecordRelease));
    EXPECT_EQ(frame.runCountsText().find("Input overruns"), std::string::npos);
    frame.OnCommand(kCommandRunStopOutput);
    EXPECT_TRUE(shell.messages().empty()) << ::testing::PrintToString(shell.messages());
}

INSTANTIATE_TEST_SUITE_P(Editions, FrameCapture, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return "Edition" + std::to_string(info.param); });

}  // namespace
}  // namespace tonewell
