#pragma once
// The notifications of the trigger and sampling bars (and of the oscilloscope time range, which
// the record length follows) with their effects on the acquisition values, on the other
// controls, and through PanelEffects on the document, the views and capture. UI thread; the
// references must outlive the panel.

#include <string>

#include "acquisition/AcquisitionParameters.h"
#include "acquisition/DocumentFormat.h"
#include "acquisition/SamplingBar.h"
#include "acquisition/SignalRecord.h"
#include "acquisition/TriggerBar.h"
#include "app/PanelEffects.h"
#include "shared/RangeTables.h"
#include "scope/ScopeBars.h"
#include "spectrum/SpectrumSelectors.h"
#include "app/TimeRangeCoupling.h"

namespace tonewell {

class AcquisitionPanel {
public:
    AcquisitionPanel(const RangeTables& tables, TriggerBar& trigger, SamplingBar& sampling, ScopeBars& scope,
                     SpectrumSelectors& spectrum, AcquisitionParameters& acquisition, const SignalRecord& document,
                     PanelEffects& effects);
    AcquisitionPanel(const AcquisitionPanel&) = delete;
    AcquisitionPanel& operator=(const AcquisitionPanel&) = delete;

    // Installs the handlers below on the controls.
    void Connect();

    // Every trigger and sampling change ends with it: running capture restarts, views redraw.
    void ApplyStep();

    void OnTriggerModeChanged();
    void OnTriggerSourceChanged();
    void OnTriggerEdgeChanged();
    // Text of the level box changed: a bare integer (from the spin button) is clamped, rewritten
    // with "%" and becomes triggerLevelCode; the handler's own rewrite only applies.
    void OnTriggerLevelText(const std::string& text);
    // As the level, for triggerDelaySamples of the "Point" length.
    void OnTriggerDelayText(const std::string& text);
    void OnChannelsChanged();
    void OnResolutionChanged();
    void OnSamplingFrequencyChanged();
    void OnRecordLengthPicked(int row);
    void OnRecordLengthTyped(const std::string& text);
    void OnTimeRangeChanged();

    // The sampling bar's selections (the current values where nothing is selected).
    SamplingSelection samplingSelection() const;

private:
    bool bothChannelsSelected() const;
    void RecordLengthChosen(std::int32_t length);
    TimeRangeCouplingControls couplingControls() const;

    const RangeTables& tables_;
    TriggerBar& trigger_;
    SamplingBar& sampling_;
    ScopeBars& scope_;
    SpectrumSelectors& spectrum_;
    AcquisitionParameters& acquisition_;
    const SignalRecord& document_;
    PanelEffects& effects_;
};

}  // namespace tonewell
