#include "acquisition/SamplingBar.h"

#include <string>

#include "app/LeadingInteger.h"

namespace tonewell {

namespace {

constexpr std::string_view kFrequencyText = "Select Sampling Frequency \n Change Sampling Frequency";
constexpr std::string_view kChannelsText = "Select Sampling Channels \n Change Sampling Channels";
constexpr std::string_view kResolutionText = "Select Sampling Resolution \n Change Sampling Resolution";
constexpr std::string_view kPointText = "Select record length \n Change record length per scan";

constexpr std::int32_t kBothChannels = 1;

void FillList(ListControl& list, const RangeTable& table) {
    list.setItems(table);
    list.setSelection(table.defaultIndex);
}

}  // namespace

SamplingBar::SamplingBar()
    : items_{{
          ToolbarItem::Of(kSamplingFrequencyId, ToolbarControlKind::DropDownList, 61, kFrequencyText, &frequency),
          ToolbarItem::Of(kSamplingChannelsId, ToolbarControlKind::DropDownList, 42, kChannelsText, &channels),
          ToolbarItem::Of(kSamplingResolutionId, ToolbarControlKind::DropDownList, 41, kResolutionText, &resolution),
          ToolbarItem::Of(kRecordLengthId, ToolbarControlKind::EditableList, 72, kPointText, &point),
      }} {}

void SamplingBar::Fill(const RangeTables& tables, AcquisitionParameters& acquisition) {
    FillList(frequency, tables[RangeTableId::SamplingFrequency]);
    FillList(channels, tables[RangeTableId::SamplingChannels]);
    FillList(resolution, tables[RangeTableId::SamplingResolution]);
    // The record-length list stores the length itself, not a row.
    const RangeTable& lengths = tables[RangeTableId::RecordLength];
    point.setItems(lengths);
    point.setText(std::to_string(lengths.defaultIndex));

    auto bits = tables[RangeTableId::SamplingResolution].value(resolution.selection());
    if (bits) acquisition.samplingBits = *bits;
    auto rate = tables[RangeTableId::SamplingFrequency].value(frequency.selection());
    if (rate) acquisition.samplingRate = *rate;
}

void SamplingBar::ApplyPointEnabling(bool pointEditingOn, bool generatorInScope) {
    point.setEnabled(pointEditingOn && !generatorInScope);
}

bool SamplingBar::bothChannels(const RangeTables& tables) const {
    return tables[RangeTableId::SamplingChannels].value(channels.selection()) == kBothChannels;
}

std::int32_t SamplingBar::recordLengthValue() const { return LeadingInteger(point.text()); }

}  // namespace tonewell
