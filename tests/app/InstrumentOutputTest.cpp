// The instrument's output with "Display in Oscilloscope": capture stops, the front panel's
// sampling and trigger bars follow the output's format and stay locked while it plays, the
// hidden oscilloscope pane is shown with type 0, and the stop releases the bars.

#include "app/Instrument.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/RecordingShell.h"
#include "platform/audio/LoopbackCable.h"

namespace tonewell {
namespace {

using Id = RangeTableId;

class FrameDouble : public FrameViews, public OutputDisplayFrame {
public:
    explicit FrameDouble(PaneFlags& panes) : panes_(panes) {}
    std::vector<std::string> calls;
    // FrameViews
    void ApplyViewVisibility(const PaneFlags&) override {}
    // OutputDisplayFrame
    void showScopePane() override {
        calls.push_back("show scope");
        panes_.scopeShown = true;
    }

private:
    PaneFlags& panes_;
};

class Monitoring : public InputMonitoring {
public:
    explicit Monitoring(std::atomic<bool>& running) : running_(running) {}
    void RunStop() override {
        ++calls;
        running_ = !running_;
    }
    int calls = 0;

private:
    std::atomic<bool>& running_;
};

class StreamingInstrument : public ::testing::Test {
protected:
    StreamingInstrument() {
        instrument.effects.attachViews(&frame);
        instrument.panes.scopeShown = false;
        instrument.scope.setRepaintHandler([this] { ++repaints; });
        instrument.effects.attachInputMonitoring(&monitoring);
        instrument.outputDisplay.attachFrame(&frame);
    }
    ~StreamingInstrument() override {
        instrument.scope.setRepaintHandler({});
        instrument.outputDisplay.attachFrame(nullptr);
        instrument.effects.attachViews(nullptr);
        instrument.effects.attachInputMonitoring(nullptr);
    }
    std::string selected(const ListControl& list, Id id) const {
        return std::string(instrument.tables[id].names[static_cast<std::size_t>(list.selection())]);
    }

    RecordingShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
    FrameDouble frame{instrument.panes};
    int repaints = 0;
    Monitoring monitoring{instrument.run.inputRunning};
};

TEST_F(StreamingInstrument, DisplayInOscilloscopeAlignsTheBarsAndTheStopReleasesThem) {
    FrontPanel& panel = instrument.panel;
    GeneratorSettings& generator = instrument.generator;
    generator.displayInScope = true;
    generator.sampleRateIndex = 3;  // 48000 Hz
    generator.resolutionIndex = 0;  // 8 bit
    generator.channelsIndex = 1;    // A&B
    instrument.configuration.outputFullScale8 = 2000.0f;
    instrument.run.inputRunning = true;
    // A panel with the oscilloscope pane hidden and a type other than 0.
    panel.scope.type.setSelection(2);

    instrument.output.RunStop();
    ASSERT_TRUE(instrument.run.outputRunning.load());
    EXPECT_TRUE(instrument.run.displayInScopeActive.load());
    EXPECT_EQ(monitoring.calls, 1);
    EXPECT_FALSE(instrument.run.inputRunning.load());

    EXPECT_EQ(selected(panel.sampling.frequency, Id::SamplingFrequency), "48000H");
    EXPECT_EQ(selected(panel.sampling.resolution, Id::SamplingResolution), "8B");
    EXPECT_EQ(selected(panel.sampling.channels, Id::SamplingChannels), "A&B");
    EXPECT_EQ(panel.sampling.point.text(), "48000");
    EXPECT_EQ(instrument.acquisition.samplingRate, 48000);
    EXPECT_EQ(instrument.acquisition.samplingBits, 8);
    EXPECT_EQ(instrument.acquisition.recordLength, 48000);
    EXPECT_EQ(selected(panel.trigger.mode, Id::TriggerMode), "None");
    EXPECT_EQ(instrument.acquisition.triggerMode, kTriggerModeNone);
    EXPECT_FALSE(panel.trigger.mode.enabled());
    EXPECT_FALSE(panel.trigger.source.enabled());
    EXPECT_FALSE(panel.sampling.point.enabled());
    // The hidden pane came up with type 0, whose statistics the document then took.
    EXPECT_EQ(panel.scope.type.selection(), 0);
    EXPECT_EQ(frame.calls, (std::vector<std::string>{"show scope"}));
    EXPECT_GT(repaints, 0);
    // The document holds the first second with the output calibration's range (2 V).
    const CSignalDoc& document = instrument.document;
    EXPECT_EQ(document.sampleCount, 48000u);
    EXPECT_EQ(document.samplingType, kSamplingTypeAB);
    EXPECT_EQ(document.rangeMaxA, 2000);
    EXPECT_EQ(document.rangeExponentA, 9);
    // 1000 mV of a 2000 mV full scale: the top code 127 + 63 (190) lies 62 codes above the zero level 128, of 4 V / 256 each.
    EXPECT_FLOAT_EQ(document.maxA, 62 * 4.0f / 256);

    const int shown = repaints;
    instrument.output.RunStop();
    EXPECT_FALSE(instrument.run.outputRunning.load());
    EXPECT_FALSE(instrument.run.displayInScopeActive.load());
    EXPECT_TRUE(panel.trigger.mode.enabled());
    EXPECT_FALSE(panel.sampling.point.enabled());  // record-length editing is off in the configuration
    EXPECT_GT(repaints, shown);  // the views show the document again
    // Capture is not started again by the output.
    EXPECT_EQ(monitoring.calls, 1);
}

// The views meet the output's format as a newly opened record of it: B shown for two channels
// and "Off" for one, the type list only for two; while it plays, the time range and the sampling
// lists are locked, and the stop frees them.
TEST_F(StreamingInstrument, DisplayedOutputBringsTheViewsToItsChannelsAndLocksTheSamplingLists) {
    FrontPanel& panel = instrument.panel;
    GeneratorSettings& generator = instrument.generator;
    generator.displayInScope = true;
    // the splash has ended after the first record
    instrument.startup.scopeKeepsPanel();
    instrument.startup.spectrumKeepsPanel();
    instrument.startup.splashEnded();
    for (int channelsIndex : {1, 0, 1}) {
        const bool both = channelsIndex == 1;
        generator.channelsIndex = channelsIndex;
        instrument.output.RunStop();
        ASSERT_TRUE(instrument.run.displayInScopeActive.load());
        EXPECT_EQ(panel.scope.rangeB.enabled(), both);
        EXPECT_EQ(panel.scope.rangeB.selection() != 0, both);
        EXPECT_EQ(panel.scope.type.enabled(), both);
        EXPECT_NE(panel.scope.rangeA.selection(), 0);
        EXPECT_FALSE(panel.scope.timeRange.enabled());
        for (const ListControl* list : {&panel.sampling.frequency, &panel.sampling.channels, &panel.sampling.resolution})
            EXPECT_FALSE(list->enabled());
        EXPECT_EQ(instrument.document.samplingType, both ? kSamplingTypeAB : kSamplingTypeA);

        instrument.output.RunStop();
        EXPECT_TRUE(panel.scope.timeRange.enabled());
        for (const ListControl* list : {&panel.sampling.frequency, &panel.sampling.channels, &panel.sampling.resolution})
            EXPECT_TRUE(list->enabled());
    }
}

TEST_F(StreamingInstrument, OutputWithoutTheDisplayLeavesThePanelAlone) {
    instrument.output.RunStop();
    ASSERT_TRUE(instrument.run.outputRunning.load());
    EXPECT_FALSE(instrument.run.displayInScopeActive.load());
    EXPECT_TRUE(instrument.panel.trigger.mode.enabled());
    EXPECT_TRUE(frame.calls.empty());
    EXPECT_EQ(instrument.output.underrunCount(), 0u);
    instrument.output.RunStop();
    EXPECT_TRUE(shell.messages().empty());
}

}  // namespace
}  // namespace tonewell
