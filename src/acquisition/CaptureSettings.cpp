#include "acquisition/CaptureSettings.h"

#include "shared/LeadingInteger.h"

namespace tonewell {

void ReadTriggerBar(const TriggerBar& bar, const RangeTables& tables, const AcquisitionParameters& inUse,
                    CaptureSettings& settings) {
    settings.triggerMode = bar.selectedMode(tables);
    settings.triggerSource = tables[RangeTableId::TriggerSource].value(bar.source.selection()).value_or(inUse.triggerSource);
    settings.triggerEdge = tables[RangeTableId::TriggerEdge].value(bar.edge.selection()).value_or(inUse.triggerEdge);
    settings.triggerLevelPercent = LeadingInteger(bar.level.text());
    settings.triggerDelayPercent = LeadingInteger(bar.delay.text());
}

}  // namespace tonewell
