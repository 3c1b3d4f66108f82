#include "app/AcquisitionPanel.h"

#include <algorithm>

#include "acquisition/TriggerConversions.h"
#include "shared/LeadingInteger.h"

namespace tonewell {

namespace {

bool EndsWithPercent(const std::string& text) { return !text.empty() && text.back() == '%'; }

int ClampedPercent(const std::string& text) {
    return std::clamp<std::int32_t>(LeadingInteger(text), -kTriggerPercentLimit, kTriggerPercentLimit);
}

}  // namespace

AcquisitionPanel::AcquisitionPanel(const RangeTables& tables, TriggerBar& trigger, SamplingBar& sampling,
                                   ScopeBars& scope, SpectrumSelectors& spectrum, AcquisitionParameters& acquisition,
                                   const SignalRecord& document, PanelEffects& effects)
    : tables_(tables),
      trigger_(trigger),
      sampling_(sampling),
      scope_(scope),
      spectrum_(spectrum),
      acquisition_(acquisition),
      document_(document),
      effects_(effects) {}

void AcquisitionPanel::Connect() {
    trigger_.mode.setSelectionHandler([this](int) { OnTriggerModeChanged(); });
    trigger_.source.setSelectionHandler([this](int) { OnTriggerSourceChanged(); });
    trigger_.edge.setSelectionHandler([this](int) { OnTriggerEdgeChanged(); });
    trigger_.level.setTextHandler([this](const std::string& text) { OnTriggerLevelText(text); });
    trigger_.delay.setTextHandler([this](const std::string& text) { OnTriggerDelayText(text); });
    // Values change only through the spin buttons: a box refuses typing while it has the focus.
    for (EditControl* box : {&trigger_.level, &trigger_.delay})
        box->setFocusHandler([box](bool gained) { box->setReadOnly(gained); });
    sampling_.channels.setSelectionHandler([this](int) { OnChannelsChanged(); });
    sampling_.resolution.setSelectionHandler([this](int) { OnResolutionChanged(); });
    sampling_.frequency.setSelectionHandler([this](int) { OnSamplingFrequencyChanged(); });
    sampling_.point.setSelectionHandler([this](int row) { OnRecordLengthPicked(row); });
    sampling_.point.setTextHandler([this](const std::string& text) { OnRecordLengthTyped(text); });
    scope_.timeRange.setSelectionHandler([this](int) { OnTimeRangeChanged(); });
}

void AcquisitionPanel::ApplyStep() {
    effects_.RestartCaptureIfRunning();
    effects_.RedrawAllViews();
}

bool AcquisitionPanel::bothChannelsSelected() const { return sampling_.bothChannels(tables_); }

SamplingSelection AcquisitionPanel::samplingSelection() const { return sampling_.selection(tables_, acquisition_); }

TimeRangeCouplingControls AcquisitionPanel::couplingControls() const {
    return {scope_.timeRange, sampling_.frequency, sampling_.point, spectrum_, trigger_.delay};
}

void AcquisitionPanel::OnTriggerModeChanged() {
    acquisition_.triggerMode = trigger_.selectedMode(tables_);
    trigger_.ApplyModeEnabling(acquisition_.triggerMode, bothChannelsSelected());
    ApplyStep();
}

void AcquisitionPanel::OnTriggerSourceChanged() {
    auto source = tables_[RangeTableId::TriggerSource].value(trigger_.source.selection());
    if (source) acquisition_.triggerSource = *source;
    ApplyStep();
}

void AcquisitionPanel::OnTriggerEdgeChanged() {
    auto edge = tables_[RangeTableId::TriggerEdge].value(trigger_.edge.selection());
    if (edge) acquisition_.triggerEdge = *edge;
    ApplyStep();
}

void AcquisitionPanel::OnTriggerLevelText(const std::string& text) {
    if (EndsWithPercent(text)) {
        ApplyStep();
        return;
    }
    // A bare number comes from the user's spin button; the panel writes the box with "%".
    acquisition_.levelEdited = true;
    int level = ClampedPercent(text);
    trigger_.level.setText(std::to_string(level) + "%");
    ApplyStep();
    acquisition_.triggerLevelCode = TriggerLevelCode(level, acquisition_.samplingBits);
}

void AcquisitionPanel::OnTriggerDelayText(const std::string& text) {
    if (!EndsWithPercent(text)) {
        int delay = ClampedPercent(text);
        trigger_.delay.setText(std::to_string(delay) + "%");
        acquisition_.triggerDelaySamples = TriggerDelaySamples(delay, sampling_.recordLengthValue());
    }
    ApplyStep();
}

void AcquisitionPanel::OnChannelsChanged() {
    bool both = bothChannelsSelected();
    // A record of B alone matches neither choice.
    bool same = both ? document_.samplingType == kSamplingTypeAB : document_.samplingType == kSamplingTypeA;
    if (same) return;
    if (acquisition_.triggerMode != kTriggerModeNone) {
        if (!both) {
            trigger_.source.setSelection(0);
            acquisition_.triggerSource = 0;
        }
        trigger_.source.setEnabled(both);
    }
    effects_.ConfigureDocumentFormat();
    effects_.AdaptViewToolbars();
    ApplyStep();
}

void AcquisitionPanel::OnResolutionChanged() {
    auto bits = tables_[RangeTableId::SamplingResolution].value(sampling_.resolution.selection());
    if (bits) {
        acquisition_.samplingBits = *bits;
        if (*bits != document_.resolutionA) {
            acquisition_.triggerLevelCode = TriggerLevelCode(ClampedPercent(trigger_.level.text()), *bits);
            effects_.ConfigureDocumentFormat();
        }
    }
    ApplyStep();
}

void AcquisitionPanel::OnSamplingFrequencyChanged() {
    auto rate = tables_[RangeTableId::SamplingFrequency].value(sampling_.frequency.selection());
    if (rate && static_cast<std::uint32_t>(*rate) != document_.riffHeader.format.samplesPerSecond) {
        acquisition_.samplingRate = *rate;
        std::int32_t length = RecordLengthFollowsTimeRange(tables_, couplingControls(), *rate);
        acquisition_.triggerDelaySamples = TriggerDelaySamples(ClampedPercent(trigger_.delay.text()), length);
        effects_.ConfigureDocumentFormat();
    }
    ApplyStep();
}

void AcquisitionPanel::OnRecordLengthPicked(int row) {
    auto length = tables_[RangeTableId::RecordLength].value(row);
    if (length) RecordLengthChosen(*length);
}

void AcquisitionPanel::OnRecordLengthTyped(const std::string& text) { RecordLengthChosen(LeadingInteger(text)); }

void AcquisitionPanel::RecordLengthChosen(std::int32_t length) {
    acquisition_.samplingRate = SelectedSamplingRate(tables_, sampling_.frequency, acquisition_.samplingRate);
    TimeRangeFollowsRecordLength(tables_, scope_.timeRange, length, acquisition_.samplingRate);
    acquisition_.triggerDelaySamples = TriggerDelaySamples(ClampedPercent(trigger_.delay.text()), length);
    effects_.ConfigureDocumentFormat();
    effects_.ApplyScopeRanges();
    ApplyStep();
}

void AcquisitionPanel::OnTimeRangeChanged() {
    tonewell::OnTimeRangeChanged(tables_, couplingControls(), acquisition_, effects_);
}

}  // namespace tonewell
