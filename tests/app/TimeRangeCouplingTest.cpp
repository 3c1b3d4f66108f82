#include "app/TimeRangeCoupling.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tonewell {
namespace {

using Id = RangeTableId;

class RecordingEffects : public PanelEffects {
public:
    RangeCode scopeTimeRange;
    std::vector<std::string> calls;

    RangeCode ScopeTimeRange() const override { return scopeTimeRange; }
    void ConfigureDocumentFormat() override { calls.push_back("configure"); }
    void ApplyScopeRanges() override { calls.push_back("apply ranges"); }
    void RestartCaptureIfRunning() override { calls.push_back("restart"); }
    void RedrawAllViews() override { calls.push_back("redraw"); }
};

class TimeRangeCouplingTest : public ::testing::Test {
protected:
    TimeRangeCouplingTest() {
        fill(timeRange, Id::ScopeTimeRange);
        fill(samplingFrequency, Id::SamplingFrequency);
        fill(recordLength, Id::RecordLength);
        recordLength.setText("441");
        fill(spectrumType, Id::SpectrumType);
        fill(spectrumFrequencyRange, Id::SpectrumFrequencyRange);
        triggerDelay.setText("50%");
        effects.scopeTimeRange = *tables[Id::ScopeTimeRange].code(6);
    }

    void fill(ListControl& list, Id id) {
        list.setItems(tables[id]);
        list.setSelection(tables[id].editable ? ListControl::kNoSelection : tables[id].defaultIndex);
    }

    void pick(ListControl& list, std::string_view name, Id id) {
        auto row = tables[id].rowNamed(name);
        ASSERT_TRUE(row) << name;
        list.userSelect(*row);
    }

    std::string selectedName(const ListControl& list) const { return list.hasSelection() ? list.text() : "(none)"; }

    RangeTables tables;
    ListControl timeRange{65021};
    ListControl samplingFrequency{65018};
    ListControl recordLength{65020, true};
    ListControl spectrumType{65030};
    ListControl spectrumFrequencyRange{65033};
    EditControl triggerDelay{65014};
    TimeRangeCouplingControls controls{timeRange,    samplingFrequency,      recordLength,
                                       spectrumType, spectrumFrequencyRange, triggerDelay};
    AcquisitionParameters acquisition;
    RecordingEffects effects;
};

TEST_F(TimeRangeCouplingTest, ANewTimeRangeCarriesRecordLengthSpectrumRangeAndDelay) {
    pick(samplingFrequency, "48000H", Id::SamplingFrequency);
    spectrumFrequencyRange.setSelection(9);  // "100H"
    timeRange.setSelectionHandler([&](int) { OnTimeRangeChanged(tables, controls, acquisition, effects); });

    pick(timeRange, "20ms", Id::ScopeTimeRange);

    EXPECT_EQ(acquisition.samplingRate, 48000);
    EXPECT_EQ(recordLength.text(), "960");
    EXPECT_EQ(selectedName(spectrumFrequencyRange), "50kH");
    EXPECT_EQ(acquisition.triggerDelaySamples, 480);
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"configure", "apply ranges", "restart", "redraw"}));
}

TEST_F(TimeRangeCouplingTest, TheCurrentTimeRangeOnlyRescalesAndRedraws) {
    recordLength.setText("1234");
    acquisition.triggerDelaySamples = 7;
    spectrumFrequencyRange.setSelection(9);
    pick(samplingFrequency, "8000H", Id::SamplingFrequency);

    timeRange.setSelection(6);  // the oscilloscope already draws "10ms"
    OnTimeRangeChanged(tables, controls, acquisition, effects);

    EXPECT_EQ(recordLength.text(), "1234");
    EXPECT_EQ(acquisition.triggerDelaySamples, 7);
    EXPECT_EQ(acquisition.samplingRate, 44100);
    EXPECT_EQ(selectedName(spectrumFrequencyRange), "100H");
    EXPECT_EQ(effects.calls, (std::vector<std::string>{"apply ranges", "restart", "redraw"}));
}

TEST_F(TimeRangeCouplingTest, CorrelationSpectraKeepTheirRangeList) {
    pick(spectrumType, "ACR", Id::SpectrumType);
    spectrumFrequencyRange.setSelection(4);
    timeRange.setSelection(3);  // "1ms"
    OnTimeRangeChanged(tables, controls, acquisition, effects);
    EXPECT_EQ(recordLength.text(), "44");
    EXPECT_EQ(spectrumFrequencyRange.selection(), 4);
}

TEST_F(TimeRangeCouplingTest, ATimeRangeShorterThanOneSampleStillRecordsOne) {
    pick(samplingFrequency, "2000H", Id::SamplingFrequency);
    timeRange.setSelection(0);  // "100μs": 0.2 samples
    OnTimeRangeChanged(tables, controls, acquisition, effects);
    EXPECT_EQ(recordLength.text(), "1");
    EXPECT_EQ(acquisition.triggerDelaySamples, 0);
    EXPECT_EQ(selectedName(spectrumFrequencyRange), "1kH");
}

TEST_F(TimeRangeCouplingTest, AFrequencyChangeRecomputesTheRecordLength) {
    // "10ms" then "48000H" puts 480 into "Point".
    EXPECT_EQ(RecordLengthFollowsTimeRange(tables, controls, 48000), 480);
    EXPECT_EQ(recordLength.text(), "480");
    timeRange.setSelection(ListControl::kNoSelection);
    recordLength.setText("777");
    EXPECT_EQ(RecordLengthFollowsTimeRange(tables, controls, 96000), 777);
    EXPECT_EQ(recordLength.text(), "777");
}

TEST_F(TimeRangeCouplingTest, TheTimeRangeFollowsARecordLength) {
    TimeRangeFollowsRecordLength(tables, timeRange, 1000, 44100);  // 22.7 ms
    EXPECT_EQ(selectedName(timeRange), "50ms");
    TimeRangeFollowsRecordLength(tables, timeRange, 48000000, 96000);
    EXPECT_EQ(selectedName(timeRange), "500s");
    TimeRangeFollowsRecordLength(tables, timeRange, 48000001, 96000);  // longer than "500s"
    EXPECT_FALSE(timeRange.hasSelection());
}

TEST_F(TimeRangeCouplingTest, NoFrequencySelectedKeepsTheRate) {
    samplingFrequency.setSelection(ListControl::kNoSelection);
    EXPECT_EQ(SelectedSamplingRate(tables, samplingFrequency, 22050), 22050);
    samplingFrequency.setSelection(7);
    EXPECT_EQ(SelectedSamplingRate(tables, samplingFrequency, 22050), 96000);
}

}  // namespace
}  // namespace tonewell
