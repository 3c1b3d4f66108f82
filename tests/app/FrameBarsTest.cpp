#include "app/FrameBars.h"

#include <gtest/gtest.h>

#include <set>

#include "app/FrameCommands.h"
#include "app/Instrument.h"
#include "platform/RecordingShell.h"
#include "platform/audio/LoopbackCable.h"

namespace tonewell {
namespace {

class FrameBarsTest : public ::testing::Test {
protected:
    RecordingShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
    std::vector<FrameBar> bars = MakeFrameBars(instrument.panel);
};

TEST_F(FrameBarsTest, SixBarsInTheirSlotsEachSwitchingToItsPartner) {
    ASSERT_EQ(bars.size(), 6u);
    const std::vector<std::pair<BarSlot, int>> places{
        {BarSlot::TriggerSampling, 1}, {BarSlot::TriggerSampling, 2}, {BarSlot::Scope, 1},
        {BarSlot::Scope, 2},           {BarSlot::Spectrum, 1},        {BarSlot::Spectrum, 2}};
    const std::vector<int> switches{kCommandShowSamplingBar, kCommandShowTriggerBar,   kCommandShowScopeBar2,
                                    kCommandShowScopeBar1,   kCommandShowSpectrumBar2, kCommandShowSpectrumBar1};
    for (std::size_t i = 0; i < bars.size(); ++i) {
        EXPECT_EQ(bars[i].slot, places[i].first) << i;
        EXPECT_EQ(bars[i].shownInState, places[i].second) << i;
        EXPECT_EQ(bars[i].switchCommand, switches[i]) << i;
        ASSERT_NE(FindFrameCommand(bars[i].switchCommand), nullptr);
    }
}

TEST_F(FrameBarsTest, EveryControlOfThePanelOnceWithANameAndAPrompt) {
    std::set<const Control*> models;
    for (const FrameBar& bar : bars)
        for (const FrameBarControl& control : bar.controls) {
            EXPECT_FALSE(control.name.empty()) << bar.title;
            EXPECT_EQ(control.name.front() == ' ' || control.name.back() == ' ', false) << control.name;
            if (control.item.control == nullptr) continue;  // a label
            EXPECT_FALSE(control.prompt.empty()) << control.name;
            EXPECT_TRUE(models.insert(control.item.control).second) << control.name;
        }
    const FrontPanel& p = instrument.panel;
    for (const Control* model : std::initializer_list<const Control*>{
             &p.trigger.mode, &p.trigger.source, &p.trigger.edge, &p.trigger.level, &p.trigger.levelSpin,
             &p.trigger.delay, &p.trigger.delaySpin, &p.sampling.frequency, &p.sampling.channels,
             &p.sampling.resolution, &p.sampling.point, &p.scope.timeRange, &p.scope.timeMultiplier, &p.scope.rangeA,
             &p.scope.multiplierA, &p.scope.rangeB, &p.scope.multiplierB, &p.scope.type, &p.spectrum.type,
             &p.spectrum.xRange, &p.spectrum.xMultiplier, &p.spectrum.rangeA, &p.spectrum.multiplierA,
             &p.spectrum.rangeB, &p.spectrum.multiplierB, &p.spectrum.fftPoints, &p.spectrum.window})
        EXPECT_EQ(models.count(model), 1u) << model->id();
    EXPECT_EQ(models.size(), 27u);
}

TEST_F(FrameBarsTest, TheStringTableTextSplitsIntoPromptAndName) {
    const FrameBarControl& mode = bars[0].controls[0];
    EXPECT_EQ(mode.prompt, "Select trigger mode");
    EXPECT_EQ(mode.name, "Change trigger mode");
    const FrameBarControl& timeRange = bars[2].controls[0];
    EXPECT_EQ(timeRange.name, "Time range");
    EXPECT_EQ(bars[2].controls[2].item.kind, ToolbarControlKind::Label);
    EXPECT_EQ(bars[2].controls[2].name, "A");
}

}  // namespace
}  // namespace tonewell
