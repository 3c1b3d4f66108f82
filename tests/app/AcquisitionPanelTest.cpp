#include "app/AcquisitionPanel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace tonewell {
namespace {

using Id = RangeTableId;

class RecordingEffects : public PanelEffects {
public:
    RangeCode scopeTimeRange{0x300A};
    std::vector<std::string> calls;

    RangeCode ScopeTimeRange() const override { return scopeTimeRange; }
    void ConfigureDocumentFormat() override { calls.push_back("configure"); }
    void ApplyScopeRanges() override { calls.push_back("apply ranges"); }
    void OnScopeTypeChanged() override { calls.push_back("type changed"); }
    void ApplySpectrumControls() override { calls.push_back("spectrum controls"); }
    void OnSpectrumTypeChanged() override { calls.push_back("spectrum type"); }
    void AdaptViewToolbars() override { calls.push_back("adapt toolbars"); }
    void RestartCaptureIfRunning() override { calls.push_back("restart"); }
    void RedrawAllViews() override { calls.push_back("redraw"); }
    PaneFlags Panes() const override { return {}; }
    std::optional<SpectrumScales> ShownSpectrumScales() const override { return std::nullopt; }
    void ApplyViewVisibility(const PaneFlags&) override { calls.push_back("visibility"); }

    int count(const std::string& call) const { return static_cast<int>(std::count(calls.begin(), calls.end(), call)); }
};

class AcquisitionPanelTest : public ::testing::Test {
protected:
    AcquisitionPanelTest() {
        document.samplingType = kSamplingTypeA;
        document.resolutionA = 16;
        document.riffHeader.format.samplesPerSecond = 44100;
    }

    void create() {
        sampling.Fill(tables, acquisition);
        trigger.Fill(tables, 0, 0, sampling.bothChannels(tables), sampling.recordLengthValue(), acquisition);
        scope.Fill(tables);
        spectrum.fill(tables, true);
        panel.Connect();
        effects.calls.clear();
    }

    void pick(ListControl& list, std::string_view name) {
        auto at = std::find(list.items().begin(), list.items().end(), name);
        ASSERT_NE(at, list.items().end()) << name;
        list.userSelect(static_cast<int>(at - list.items().begin()));
    }

    RangeTables tables;
    TriggerBar trigger;
    SamplingBar sampling;
    ScopeBars scope;
    SpectrumSelectors spectrum;
    AcquisitionParameters acquisition;
    SignalRecord document;
    RecordingEffects effects;
    AcquisitionPanel panel{tables, trigger, sampling, scope, spectrum, acquisition, document, effects};
};

TEST_F(AcquisitionPanelTest, ALevelBeyondTheScaleIsClampedAndRewritten) {
    create();
    trigger.level.setText("150");
    EXPECT_EQ(trigger.level.text(), "100%");
    EXPECT_EQ(acquisition.triggerLevelCode, 65535);
    EXPECT_GE(effects.count("restart"), 1);
    EXPECT_EQ(effects.count("restart"), effects.count("redraw"));
}

TEST_F(AcquisitionPanelTest, TheSpinButtonSetsTheLevelAtTheCurrentResolution) {
    create();
    EXPECT_FALSE(acquisition.levelEdited);  // filling the bar writes "0%", which is no edit
    acquisition.samplingBits = 8;
    trigger.levelSpin.setPosition(-99);
    trigger.levelSpin.userStep(-1);
    EXPECT_TRUE(acquisition.levelEdited);  // the oscilloscope marks the level from now on
    EXPECT_EQ(trigger.level.text(), "-100%");
    EXPECT_EQ(acquisition.triggerLevelCode, 1);
    acquisition.samplingBits = 16;
    trigger.levelSpin.setPosition(-100);  // rewrites "-100", which the handler turns back
    EXPECT_EQ(trigger.level.text(), "-100%");
    EXPECT_EQ(acquisition.triggerLevelCode, 0);
}

TEST_F(AcquisitionPanelTest, LevelAndDelayBoxesRefuseTypingWhileFocused) {
    create();
    trigger.level.userFocus(true);
    trigger.level.userType("42");
    EXPECT_EQ(trigger.level.text(), "0%");
    trigger.level.userFocus(false);
    EXPECT_FALSE(trigger.level.readOnly());
    trigger.delay.userFocus(true);
    EXPECT_TRUE(trigger.delay.readOnly());
}

TEST_F(AcquisitionPanelTest, ModeNoneDisablesTheTriggerControlsAndAnyOtherEnablesThem) {
    tables.setDefaultIndex(Id::SamplingChannels, 1);
    document.samplingType = kSamplingTypeAB;
    create();
    pick(trigger.mode, "None");
    EXPECT_EQ(acquisition.triggerMode, 0);
    EXPECT_FALSE(trigger.source.enabled());
    EXPECT_FALSE(trigger.levelSpin.enabled());
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"restart", "redraw"}));
    pick(trigger.mode, "Single");
    EXPECT_EQ(acquisition.triggerMode, 2);
    EXPECT_TRUE(trigger.source.enabled());
    EXPECT_TRUE(trigger.delay.enabled());
}

TEST_F(AcquisitionPanelTest, ChoosingChannelAUnderRepeatForcesAndDisablesTheSource) {
    tables.setDefaultIndex(Id::SamplingChannels, 1);
    tables.setDefaultIndex(Id::TriggerSource, 1);
    document.samplingType = kSamplingTypeAB;
    create();
    ASSERT_EQ(acquisition.triggerSource, 1);
    ASSERT_TRUE(trigger.source.enabled());
    pick(sampling.channels, "A");
    EXPECT_EQ(trigger.source.text(), "A");
    EXPECT_EQ(acquisition.triggerSource, 0);
    EXPECT_FALSE(trigger.source.enabled());
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"configure", "adapt toolbars", "restart", "redraw"}));
}

TEST_F(AcquisitionPanelTest, ChannelsMatchingTheDocumentChangeNothing) {
    create();
    pick(sampling.channels, "A");
    EXPECT_TRUE(effects.calls.empty());
    document.samplingType = kSamplingTypeB;  // a record of B alone matches neither choice
    pick(sampling.channels, "A");
    EXPECT_EQ(effects.count("configure"), 1);
}

TEST_F(AcquisitionPanelTest, ResolutionRecomputesTheLevelOnlyWhenTheDocumentDiffers) {
    create();
    trigger.levelSpin.setPosition(50);
    ASSERT_EQ(acquisition.triggerLevelCode, 49151);
    effects.calls.clear();
    pick(sampling.resolution, "8B");
    EXPECT_EQ(acquisition.samplingBits, 8);
    EXPECT_EQ(acquisition.triggerLevelCode, 191);
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"configure", "restart", "redraw"}));
    effects.calls.clear();
    pick(sampling.resolution, "16B");  // the document still holds 16 bits
    EXPECT_EQ(acquisition.samplingBits, 16);
    EXPECT_EQ(acquisition.triggerLevelCode, 191);
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"restart", "redraw"}));
}

TEST_F(AcquisitionPanelTest, TenMillisecondsAt48000HzPutsFourHundredEightyIntoPoint) {
    create();
    trigger.delaySpin.setPosition(-25);
    effects.calls.clear();
    pick(sampling.frequency, "48000H");
    EXPECT_EQ(sampling.point.text(), "480");
    EXPECT_EQ(acquisition.samplingRate, 48000);
    EXPECT_EQ(acquisition.triggerDelaySamples, -120);
    EXPECT_EQ(spectrum.xRange.text(), "50kH");
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"configure", "restart", "redraw"}));
}

TEST_F(AcquisitionPanelTest, AFrequencyChangeWithoutATimeRangeStillChoosesTheSpectrumRange) {
    create();
    trigger.delaySpin.setPosition(50);
    sampling.point.userEditText("50000000");  // longer than "500s"
    scope.timeRange.setSelection(ListControl::kNoSelection);
    effects.calls.clear();
    pick(sampling.frequency, "8000H");
    EXPECT_EQ(spectrum.xRange.text(), "5kH");
    EXPECT_EQ(sampling.point.text(), "50000000");  // the length stays as typed
    EXPECT_EQ(acquisition.triggerDelaySamples, 25000000);
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"configure", "restart", "redraw"}));

    // Correlations keep their time-lag range.
    sampling.frequency.setSelection(5);  // "44100H", without its handler
    tables.setDefaultIndex(Id::SpectrumType, 2);  // "ACR"
    spectrum.fill(tables, true);
    const std::string lag = spectrum.xRange.text();
    pick(sampling.frequency, "8000H");
    EXPECT_EQ(spectrum.xRange.text(), lag);
}

TEST_F(AcquisitionPanelTest, TheSpectrumRangeFollowsTheRateOnlyWhileTheXListShowsFrequencies) {
    tables.setDefaultIndex(Id::SpectrumType, 2);  // "ACR": the X list shows time lags
    create();
    const std::string lag = spectrum.xRange.text();
    pick(spectrum.type, "AMS");  // the X list is refilled by the view, not by the bar
    pick(sampling.frequency, "8000H");
    EXPECT_EQ(spectrum.xRange.text(), lag);
    pick(scope.timeRange, "20ms");
    EXPECT_EQ(spectrum.xRange.text(), lag);

    tables.setDefaultIndex(Id::SpectrumType, 0);
    spectrum.fill(tables, true);  // now refilled for "AMS"
    ASSERT_EQ(spectrum.xRangeTable(), Id::SpectrumFrequencyRange);
    pick(sampling.frequency, "22050H");
    EXPECT_EQ(spectrum.xRange.text(), "20kH");
}

TEST_F(AcquisitionPanelTest, TheDocumentsOwnFrequencyOnlyRestartsAndRedraws) {
    sampling.Fill(tables, acquisition);
    create();
    sampling.point.setText("777");
    pick(sampling.frequency, "44100H");
    EXPECT_EQ(sampling.point.text(), "777");
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"restart", "redraw"}));
}

TEST_F(AcquisitionPanelTest, ATypedLengthSelectsTheShortestTimeRangeHoldingIt) {
    create();
    sampling.point.userEditText("1000");  // 22.7 ms at 44100 Hz
    EXPECT_EQ(scope.timeRange.text(), "50ms");
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"configure", "apply ranges", "restart", "redraw"}));
    sampling.point.userEditText("50000000");  // longer than "500s": the selection stays
    EXPECT_EQ(scope.timeRange.text(), "50ms");
}

TEST_F(AcquisitionPanelTest, APickedLengthCarriesTheDelay) {
    create();
    trigger.delaySpin.setPosition(10);
    pick(sampling.point, "5000");
    EXPECT_EQ(scope.timeRange.text(), "200ms");
    EXPECT_EQ(acquisition.triggerDelaySamples, 500);
}

TEST_F(AcquisitionPanelTest, ANewTimeRangeCarriesRecordLengthSpectrumRangeAndDelay) {
    create();
    sampling.frequency.setSelection(6);  // "48000H"
    spectrum.xRange.setSelection(9);     // "100H"
    trigger.delaySpin.setPosition(50);
    effects.calls.clear();
    pick(scope.timeRange, "20ms");
    EXPECT_EQ(acquisition.samplingRate, 48000);
    EXPECT_EQ(sampling.point.text(), "960");
    EXPECT_EQ(spectrum.xRange.text(), "50kH");
    EXPECT_EQ(acquisition.triggerDelaySamples, 480);
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"configure", "apply ranges", "restart", "redraw"}));
}

TEST_F(AcquisitionPanelTest, TheCurrentTimeRangeOnlyRescalesAndRedraws) {
    create();
    sampling.point.setText("1234");
    sampling.frequency.setSelection(2);  // "8000H"
    acquisition.triggerDelaySamples = 7;
    pick(scope.timeRange, "10ms");  // what the oscilloscope already draws
    EXPECT_EQ(sampling.point.text(), "1234");
    EXPECT_EQ(acquisition.triggerDelaySamples, 7);
    EXPECT_EQ(acquisition.samplingRate, 44100);
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"apply ranges", "restart", "redraw"}));
}

TEST_F(AcquisitionPanelTest, ATimeRangeShorterThanOneSampleStillRecordsOne) {
    create();
    sampling.frequency.setSelection(0);  // "2000H"
    pick(scope.timeRange, "100μs");      // 0.2 samples
    EXPECT_EQ(sampling.point.text(), "1");
    EXPECT_EQ(spectrum.xRange.text(), "1kH");
}

}  // namespace
}  // namespace tonewell
