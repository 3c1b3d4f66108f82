#include "app/TimeRangeCoupling.h"

#include <string>

#include "acquisition/TriggerConversions.h"
#include "shared/LeadingInteger.h"
#include "shared/RangeCouplings.h"

namespace tonewell {

std::int32_t SelectedSamplingRate(const RangeTables& tables, const ListControl& samplingFrequency,
                                  std::int32_t fallback) {
    return tables[RangeTableId::SamplingFrequency].value(samplingFrequency.selection()).value_or(fallback);
}

std::int32_t RecordLengthFollowsTimeRange(const RangeTables& tables, const TimeRangeCouplingControls& controls,
                                          std::int32_t samplingRate) {
    auto code = tables[RangeTableId::ScopeTimeRange].code(controls.timeRange.selection());
    std::int32_t length = LeadingInteger(controls.recordLength.text());
    if (code) {
        length = RecordLengthForTimeRange(*code, samplingRate);
        controls.recordLength.setText(std::to_string(length));
    }
    // The spectrum follows the rate whether or not a time range is selected. The X range list
    // is asked rather than the type list: a row is chosen only in the list it belongs to.
    if (controls.spectrum.xRangeTable() == RangeTableId::SpectrumFrequencyRange) {
        auto row = SpectrumFrequencyRowForRate(tables[RangeTableId::SpectrumFrequencyRange], samplingRate);
        if (row) controls.spectrum.xRange.setSelection(*row);
    }
    return length;
}

void TimeRangeFollowsRecordLength(const RangeTables& tables, ListControl& timeRange, std::int32_t recordLength,
                                  std::int32_t samplingRate) {
    auto row = TimeRangeRowForRecordLength(tables[RangeTableId::ScopeTimeRange], recordLength, samplingRate);
    if (row) timeRange.setSelection(*row);
}

void OnTimeRangeChanged(const RangeTables& tables, const TimeRangeCouplingControls& controls,
                        AcquisitionParameters& acquisition, PanelEffects& effects) {
    auto code = tables[RangeTableId::ScopeTimeRange].code(controls.timeRange.selection());
    if (code && *code != effects.ScopeTimeRange()) {
        acquisition.samplingRate = SelectedSamplingRate(tables, controls.samplingFrequency, acquisition.samplingRate);
        std::int32_t length = RecordLengthFollowsTimeRange(tables, controls, acquisition.samplingRate);
        acquisition.triggerDelaySamples = TriggerDelaySamples(LeadingInteger(controls.triggerDelay.text()), length);
        effects.ConfigureDocumentFormat();
    }
    effects.ApplyScopeRanges();
    effects.RestartCaptureIfRunning();
    effects.RedrawAllViews();
}

}  // namespace tonewell
