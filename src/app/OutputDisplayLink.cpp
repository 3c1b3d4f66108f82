#include "app/OutputDisplayLink.h"

#include <string>

#include "acquisition/TriggerBar.h"

namespace tonewell {

using Id = RangeTableId;

void OutputDisplayLink::stopInputMonitoring() {
    InputMonitoring* monitoring = targets_.effects.monitoring();
    if (monitoring != nullptr && targets_.inputRunning.load()) monitoring->RunStop();
}

void OutputDisplayLink::alignToOutput(const WaveFormat& format) {
    FrontPanel& panel = targets_.panel;
    AcquisitionParameters& acquisition = targets_.acquisition;
    const bool both = format.channels == 2;
    panel.SelectSamplingFrequency(format.samplesPerSecond);
    panel.SelectResolution(format.bitsPerSample);
    // The trigger source has nothing to choose while the mode is "None".
    panel.SelectChannels(both, false);
    // A record holds exactly one played second.
    panel.ShowRecordLength(std::to_string(format.samplesPerSecond));
    acquisition.recordLength = static_cast<std::int32_t>(format.samplesPerSecond);
    if (auto row = targets_.tables[Id::TriggerMode].rowOf(kTriggerModeNone)) panel.trigger.mode.setSelection(*row);
    acquisition.triggerMode = kTriggerModeNone;
    panel.trigger.ApplyModeEnabling(kTriggerModeNone, both);
    panel.trigger.ApplyModeListEnabling(true);
    panel.sampling.ApplyEnabling(targets_.configuration.enablePointEdit, true);
    if (!targets_.effects.Panes().scopeShown) {
        if (auto row = targets_.tables[Id::ScopeType].rowOf(kScopeTypeSeparate)) panel.scope.type.setSelection(*row);
        // The oscilloscope follows its type list, as when the user picks the type.
        targets_.effects.OnScopeTypeChanged();
        if (frame_) frame_->showScopePane();
    }
}

int OutputDisplayLink::scopeType() const {
    const RangeTable& table = targets_.tables[Id::ScopeType];
    return table.value(targets_.panel.scope.type.selection()).value_or(kScopeTypeSeparate);
}

void OutputDisplayLink::fitViewsToDocument() {
    // As for a record of this format opened from a file: the oscilloscope auto-ranges and sets
    // its selectors for the channels present, the spectrum view and its bars start afresh.
    targets_.takeRecordInViews();
}

void OutputDisplayLink::updateViews() {
    targets_.effects.RedrawAllViews();
}

void OutputDisplayLink::restoreDisplay() {
    targets_.panel.trigger.ApplyModeListEnabling(false);
    targets_.panel.sampling.ApplyEnabling(targets_.configuration.enablePointEdit, false);
    // The time range is free again.
    targets_.scopePanel.updateSelectorStates();
    targets_.effects.RedrawAllViews();
}

}  // namespace tonewell
