#include "acquisition/SamplingBar.h"

#include <string>

#include "shared/LeadingInteger.h"

namespace tonewell {

namespace {

constexpr std::string_view kFrequencyText = "Select Sampling Frequency \n Change Sampling Frequency";
constexpr std::string_view kChannelsText = "Select Sampling Channels \n Change Sampling Channels";
constexpr std::string_view kResolutionText = "Select Sampling Resolution \n Change Sampling Resolution";
constexpr std::string_view kPointText = "Select record length \n Change record length per scan";

constexpr std::int32_t kBothChannels = 1;

}  // namespace

SamplingBar::SamplingBar()
    : items_{{
          ToolbarItem::Of(kSamplingFrequencyId, ToolbarControlKind::DropDownList, 61, kFrequencyText, &frequency),
          ToolbarItem::Of(kSamplingChannelsId, ToolbarControlKind::DropDownList, 42, kChannelsText, &channels),
          ToolbarItem::Of(kSamplingResolutionId, ToolbarControlKind::DropDownList, 41, kResolutionText, &resolution),
          ToolbarItem::Of(kRecordLengthId, ToolbarControlKind::EditableList, 72, kPointText, &point),
      }} {}

void SamplingBar::Fill(const RangeTables& tables, AcquisitionParameters& acquisition) {
    frequency.fill(tables[RangeTableId::SamplingFrequency]);
    channels.fill(tables[RangeTableId::SamplingChannels]);
    resolution.fill(tables[RangeTableId::SamplingResolution]);
    point.fill(tables[RangeTableId::RecordLength]);  // shows the stored length

    auto bits = tables[RangeTableId::SamplingResolution].value(resolution.selection());
    if (bits) acquisition.samplingBits = *bits;
    auto rate = tables[RangeTableId::SamplingFrequency].value(frequency.selection());
    if (rate) acquisition.samplingRate = *rate;
}

void SamplingBar::ApplyEnabling(bool pointEditingOn, bool generatorInScope) {
    point.setEnabled(pointEditingOn && !generatorInScope);
    frequency.setEnabled(!generatorInScope);
    channels.setEnabled(!generatorInScope);
    resolution.setEnabled(!generatorInScope);
}

bool SamplingBar::bothChannels(const RangeTables& tables) const {
    return tables[RangeTableId::SamplingChannels].value(channels.selection()) == kBothChannels;
}

SamplingSelection SamplingBar::selection(const RangeTables& tables, const AcquisitionParameters& acquisition) const {
    SamplingSelection selection;
    selection.bothChannels = bothChannels(tables);
    selection.samplesPerSecond =
        tables[RangeTableId::SamplingFrequency].value(frequency.selection()).value_or(acquisition.samplingRate);
    selection.bits = tables[RangeTableId::SamplingResolution].value(resolution.selection()).value_or(acquisition.samplingBits);
    selection.recordLength = recordLengthValue();
    return selection;
}

std::int32_t SamplingBar::recordLengthValue() const { return LeadingInteger(point.text()); }

}  // namespace tonewell
