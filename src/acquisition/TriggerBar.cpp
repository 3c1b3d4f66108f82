#include "acquisition/TriggerBar.h"

#include <algorithm>
#include <string>

#include "acquisition/TriggerConversions.h"

namespace tonewell {

namespace {

constexpr std::string_view kModeText = "Select trigger mode \n Change trigger mode";
constexpr std::string_view kSourceText = "Select trigger source \n Change trigger source";
constexpr std::string_view kEdgeText = "Select trigger edge \n Change trigger edge";
constexpr std::string_view kLevelText = "Select trigger level \n Change trigger level";
constexpr std::string_view kDelayText = "Select trigger delay \n Change trigger delay";

}  // namespace

TriggerBar::TriggerBar()
    : items_{{
          ToolbarItem::Of(kTriggerModeId, ToolbarControlKind::DropDownList, 58, kModeText, &mode),
          ToolbarItem::Of(kTriggerSourceId, ToolbarControlKind::DropDownList, 28, kSourceText, &source),
          ToolbarItem::Of(kTriggerEdgeId, ToolbarControlKind::DropDownList, 34, kEdgeText, &edge),
          ToolbarItem::Of(kTriggerLevelId, ToolbarControlKind::EditBox, 36, kLevelText, &level, true),
          ToolbarItem::Of(kTriggerLevelSpinId, ToolbarControlKind::SpinButton, 10, kLevelText, &levelSpin),
          ToolbarItem::Of(kTriggerDelayId, ToolbarControlKind::EditBox, 37, kDelayText, &delay),
          ToolbarItem::Of(kTriggerDelaySpinId, ToolbarControlKind::SpinButton, 10, kDelayText, &delaySpin),
      }} {
    levelSpin.setBuddy(&level);
    delaySpin.setBuddy(&delay);
}

void TriggerBar::Fill(const RangeTables& tables, int levelPercent, int delayPercent, bool bothChannels,
                      std::int32_t recordLength, AcquisitionParameters& acquisition) {
    mode.fill(tables[RangeTableId::TriggerMode]);
    source.fill(tables[RangeTableId::TriggerSource]);
    edge.fill(tables[RangeTableId::TriggerEdge]);

    for (SpinControl* spin : {&levelSpin, &delaySpin}) spin->setRange(-kTriggerPercentLimit, kTriggerPercentLimit);
    levelSpin.setPosition(levelPercent);
    delaySpin.setPosition(delayPercent);
    // The boxes show their percentage with its sign, as after their own rewrite.
    level.setText(std::to_string(levelSpin.position()) + "%");
    delay.setText(std::to_string(delaySpin.position()) + "%");

    acquisition.triggerMode = selectedMode(tables);
    acquisition.triggerSource = tables[RangeTableId::TriggerSource].value(source.selection()).value_or(0);
    acquisition.triggerEdge = tables[RangeTableId::TriggerEdge].value(edge.selection()).value_or(0);
    acquisition.triggerLevelCode = TriggerLevelCode(levelSpin.position(), acquisition.samplingBits);
    acquisition.triggerDelaySamples = TriggerDelaySamples(delaySpin.position(), recordLength);

    ApplyModeEnabling(acquisition.triggerMode, bothChannels);
}

std::int32_t TriggerBar::selectedMode(const RangeTables& tables) const {
    return tables[RangeTableId::TriggerMode].value(mode.selection()).value_or(kTriggerModeNone);
}

void TriggerBar::ApplyModeEnabling(std::int32_t triggerMode, bool bothChannels) {
    bool triggered = triggerMode != kTriggerModeNone;
    for (Control* control : std::initializer_list<Control*>{&edge, &level, &levelSpin, &delay, &delaySpin})
        control->setEnabled(triggered);
    source.setEnabled(triggered && bothChannels);
}

}  // namespace tonewell
