// Input capture as the instrument wires it: the front panel's bars feed it, a change on them
// restarts it, and its records reach the document and the oscilloscope.

#include "app/Instrument.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "acquisition/CaptureRestart.h"
#include "platform/RecordingShell.h"
#include "platform/audio/LoopbackCable.h"

namespace tonewell {
namespace {

using Id = RangeTableId;

class InstrumentCapture : public ::testing::Test {
protected:
    InstrumentCapture() {
        instrument.capture.startClickPause = std::chrono::milliseconds(0);
        instrument.scope.setRepaintHandler([this] { ++repaints; });
    }
    ~InstrumentCapture() override {
        if (instrument.run.inputRunning.load()) instrument.capture.RunStop();
    }

    int rowNamed(Id id, std::string_view name) { return instrument.tables[id].rowNamed(name).value(); }

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

    RecordingShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
    int repaints = 0;
};

TEST_F(InstrumentCapture, FreeRunRecordReachesTheDocumentAndTheShownOscilloscope) {
    instrument.panel.trigger.mode.userSelect(rowNamed(Id::TriggerMode, "None"));
    instrument.panel.sampling.channels.userSelect(rowNamed(Id::SamplingChannels, "A&B"));
    instrument.capture.RunStop();
    ASSERT_TRUE(instrument.run.inputRunning.load());
    EXPECT_EQ(instrument.document.riffHeader.format.channels, 2);
    EXPECT_EQ(shell.clicks, 1);

    advanceOneBuffer();
    advanceOneBuffer();
    shell.runPosted();
    ASSERT_EQ(instrument.capture.recordsHandedOver(), 1u);
    EXPECT_EQ(instrument.document.sampleCount, 441u);
    // Silence is mid-scale on both channels.
    EXPECT_EQ(instrument.document.dataA[0], 32768);
    EXPECT_EQ(instrument.document.dataB[440], 32768);
    EXPECT_EQ(instrument.redraw.scopePendingDraws.load(), 1);  // the loaded panel shows it
    EXPECT_GE(repaints, 1);
}

TEST_F(InstrumentCapture, ATriggerBarChangeRestartsCaptureSilentlyWithTheNewEdge) {
    instrument.capture.RunStop();
    ASSERT_TRUE(instrument.run.inputRunning.load());
    EXPECT_EQ(instrument.acquisition.triggerEdge, 0);

    instrument.panel.trigger.edge.userSelect(rowNamed(Id::TriggerEdge, "Dn"));
    EXPECT_FALSE(instrument.run.inputRunning.load());
    EXPECT_EQ(instrument.acquisition.restartPending.load(), 2);
    ASSERT_TRUE(instrument.capture.OnTimer(kTimerCaptureRestart));
    EXPECT_TRUE(instrument.run.inputRunning.load());
    EXPECT_EQ(instrument.acquisition.triggerEdge, 1);
    EXPECT_EQ(shell.clicks, 1);
}

TEST_F(InstrumentCapture, ARecordLengthTypedWhileRunningIsTakenAtTheRestart) {
    instrument.capture.RunStop();
    instrument.panel.sampling.point.setEnabled(true);
    instrument.panel.sampling.point.userEditText("1000");
    EXPECT_EQ(instrument.acquisition.restartPending.load(), 2);
    instrument.capture.OnTimer(kTimerCaptureRestart);
    ASSERT_TRUE(instrument.run.inputRunning.load());
    EXPECT_EQ(instrument.acquisition.recordLength, 1000);
    EXPECT_TRUE(shell.messages().empty());
}

TEST_F(InstrumentCapture, StartsWithTheValuesTheBarsShowAndARefusedLengthPutsOneInPoint) {
    FrontPanel& panel = instrument.panel;
    panel.sampling.frequency.userSelect(rowNamed(Id::SamplingFrequency, "22050H"));
    panel.sampling.point.setText("0");
    panel.trigger.mode.userSelect(rowNamed(Id::TriggerMode, "Single"));
    panel.trigger.edge.userSelect(rowNamed(Id::TriggerEdge, "Dn"));
    panel.trigger.level.setText("25%");
    panel.trigger.delay.setText("-30%");
    const CaptureSettings s = instrument.captureLink.SettingsFromBars();
    EXPECT_EQ(std::vector<int>({s.sampling.samplesPerSecond, s.sampling.recordLength, s.triggerMode, s.triggerEdge,
                                s.triggerLevelPercent, s.triggerDelayPercent}),
              std::vector<int>({22050, 0, 2, 1, 25, -30}));
    instrument.capture.RunStop();
    EXPECT_EQ(panel.sampling.point.text(), "1");
}

}  // namespace
}  // namespace tonewell
