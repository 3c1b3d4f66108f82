#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/SamplingBar.h"
#include "acquisition/TriggerBar.h"

namespace tonewell {
namespace {

struct ItemLayout {
    int id;
    ToolbarControlKind kind;
    int width;
    std::string_view prompt;
    std::string_view tip;
};

void ExpectLayout(std::span<const ToolbarItem> items, const std::vector<ItemLayout>& expected) {
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        SCOPED_TRACE("position " + std::to_string(i + 1));
        EXPECT_EQ(items[i].id, expected[i].id);
        EXPECT_EQ(items[i].kind, expected[i].kind);
        EXPECT_EQ(items[i].width, expected[i].width);
        EXPECT_EQ(items[i].prompt(), expected[i].prompt);
        EXPECT_EQ(items[i].tip(), expected[i].tip);
        ASSERT_NE(items[i].control, nullptr);
        EXPECT_EQ(items[i].control->id(), expected[i].id);
    }
}

using Kind = ToolbarControlKind;

TEST(TriggerBar, LaysOutItsSevenControls) {
    TriggerBar bar;
    ExpectLayout(bar.items(), {
                                  {65010, Kind::DropDownList, 58, "Select trigger mode ", " Change trigger mode"},
                                  {65011, Kind::DropDownList, 28, "Select trigger source ", " Change trigger source"},
                                  {65012, Kind::DropDownList, 34, "Select trigger edge ", " Change trigger edge"},
                                  {65013, Kind::EditBox, 36, "Select trigger level ", " Change trigger level"},
                                  {65016, Kind::SpinButton, 10, "Select trigger level ", " Change trigger level"},
                                  {65014, Kind::EditBox, 37, "Select trigger delay ", " Change trigger delay"},
                                  {65015, Kind::SpinButton, 10, "Select trigger delay ", " Change trigger delay"},
                              });
    EXPECT_TRUE(bar.items()[3].centred);
    EXPECT_EQ(bar.levelSpin.buddy(), &bar.level);
    EXPECT_EQ(bar.delaySpin.buddy(), &bar.delay);
}

TEST(SamplingBar, LaysOutItsFourControls) {
    SamplingBar bar;
    ExpectLayout(bar.items(),
                 {
                     {65018, Kind::DropDownList, 61, "Select Sampling Frequency ", " Change Sampling Frequency"},
                     {65017, Kind::DropDownList, 42, "Select Sampling Channels ", " Change Sampling Channels"},
                     {65019, Kind::DropDownList, 41, "Select Sampling Resolution ", " Change Sampling Resolution"},
                     {65020, Kind::EditableList, 72, "Select record length ", " Change record length per scan"},
                 });
    EXPECT_TRUE(bar.point.editable());
}

class ParameterBarsFill : public ::testing::Test {
protected:
    void fill(int levelPercent = 0, int delayPercent = 0) {
        sampling.Fill(tables, acquisition);
        trigger.Fill(tables, levelPercent, delayPercent, sampling.bothChannels(tables), sampling.recordLengthValue(),
                     acquisition);
    }

    RangeTables tables;
    AcquisitionParameters acquisition;
    SamplingBar sampling;
    TriggerBar trigger;
};

TEST_F(ParameterBarsFill, BuiltInPanelGivesTheDefaultSelections) {
    acquisition.samplingBits = 8;
    acquisition.samplingRate = 8000;
    acquisition.triggerMode = 2;
    fill();
    EXPECT_EQ(sampling.frequency.text(), "44100H");
    EXPECT_EQ(sampling.channels.text(), "A");
    EXPECT_EQ(sampling.resolution.text(), "16B");
    EXPECT_EQ(sampling.point.text(), "441");
    EXPECT_EQ(sampling.point.count(), 8);
    EXPECT_EQ(trigger.mode.text(), "Repeat");
    EXPECT_EQ(trigger.source.text(), "A");
    EXPECT_EQ(trigger.edge.text(), "Up");
    EXPECT_EQ(trigger.level.text(), "0%");
    EXPECT_EQ(trigger.delay.text(), "0%");
    EXPECT_EQ(trigger.levelSpin.minimum(), -100);
    EXPECT_EQ(trigger.delaySpin.maximum(), 100);

    EXPECT_EQ(acquisition.samplingBits, 16);
    EXPECT_EQ(acquisition.samplingRate, 44100);
    EXPECT_EQ(acquisition.triggerMode, 1);
    EXPECT_EQ(acquisition.triggerLevelCode, 32768);
    // Channel A only: the source cannot be chosen; the rest of the bar can.
    EXPECT_FALSE(trigger.source.enabled());
    EXPECT_TRUE(trigger.edge.enabled());
    EXPECT_TRUE(trigger.levelSpin.enabled());
}

TEST_F(ParameterBarsFill, StoredSelectionsAndPercentagesAreShownAndTakenOver) {
    tables.setDefaultIndex(RangeTableId::SamplingChannels, 1);
    tables.setDefaultIndex(RangeTableId::SamplingResolution, 0);
    tables.setDefaultIndex(RangeTableId::SamplingFrequency, 6);
    tables.setDefaultIndex(RangeTableId::RecordLength, 1000);
    tables.setDefaultIndex(RangeTableId::TriggerMode, 2);
    tables.setDefaultIndex(RangeTableId::TriggerSource, 1);
    tables.setDefaultIndex(RangeTableId::TriggerEdge, 1);
    fill(-100, -50);
    EXPECT_EQ(sampling.point.text(), "1000");
    EXPECT_EQ(trigger.level.text(), "-100%");
    EXPECT_EQ(trigger.delay.text(), "-50%");
    EXPECT_EQ(acquisition.samplingBits, 8);
    EXPECT_EQ(acquisition.samplingRate, 48000);
    EXPECT_EQ(acquisition.triggerMode, 2);
    EXPECT_EQ(acquisition.triggerSource, 1);
    EXPECT_EQ(acquisition.triggerEdge, 1);
    EXPECT_EQ(acquisition.triggerLevelCode, 1);  // -100% at 8 bits
    EXPECT_EQ(acquisition.triggerDelaySamples, -500);
    EXPECT_TRUE(trigger.source.enabled());
}

TEST_F(ParameterBarsFill, PercentagesBeyondTheSpinRangeAreClamped) {
    fill(150, 250);
    EXPECT_EQ(trigger.levelSpin.position(), 100);
    EXPECT_EQ(trigger.level.text(), "100%");
    EXPECT_EQ(acquisition.triggerLevelCode, 65535);
    EXPECT_EQ(acquisition.triggerDelaySamples, 441);
}

TEST_F(ParameterBarsFill, ModeNoneDisablesTheTriggerControls) {
    tables.setDefaultIndex(RangeTableId::SamplingChannels, 1);
    tables.setDefaultIndex(RangeTableId::TriggerMode, 0);
    fill();
    for (const Control* control : std::initializer_list<const Control*>{
             &trigger.source, &trigger.edge, &trigger.level, &trigger.levelSpin, &trigger.delay, &trigger.delaySpin})
        EXPECT_FALSE(control->enabled()) << control->id();
    EXPECT_TRUE(trigger.mode.enabled());
    trigger.ApplyModeListEnabling(true);
    EXPECT_FALSE(trigger.mode.enabled());
    trigger.ApplyModeEnabling(1, true);
    EXPECT_TRUE(trigger.source.enabled());
    EXPECT_TRUE(trigger.delaySpin.enabled());
}

TEST_F(ParameterBarsFill, AStoredRowOutsideItsListSelectsNothing) {
    tables.setDefaultIndex(RangeTableId::SamplingFrequency, 8);
    tables.setDefaultIndex(RangeTableId::TriggerMode, -1);
    fill();
    EXPECT_FALSE(sampling.frequency.hasSelection());
    EXPECT_EQ(acquisition.samplingRate, 44100);  // kept
    EXPECT_EQ(acquisition.triggerMode, 0);
    EXPECT_FALSE(trigger.edge.enabled());
}

}  // namespace
}  // namespace tonewell
