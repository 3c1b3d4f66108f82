#include "app/InstrumentEffects.h"

#include "acquisition/CaptureRestart.h"
#include "acquisition/DocumentFormat.h"
#include "app/FrontPanel.h"

namespace tonewell {

InstrumentEffects::InstrumentEffects(EffectTargets targets, const FrontPanel& panel)
    : targets_(targets), panel_(panel) {}

void InstrumentEffects::takeScopeTimeRange() {
    // A bar without a selected row leaves the oscilloscope at the range it has.
    auto code = targets_.tables[RangeTableId::ScopeTimeRange].code(panel_.scope.timeRange.selection());
    if (code) scopeTimeRange_ = *code;
}

void InstrumentEffects::ConfigureDocumentFormat() {
    tonewell::ConfigureDocumentFormat(targets_.document, panel_.samplingSelection(), targets_.configuration,
                                      targets_.acquisition, targets_.inputRunning, targets_.shell);
}

void InstrumentEffects::ApplyScopeRanges() {
    takeScopeTimeRange();
    if (scope_) scope_->ApplyRanges();
    if (views_) views_->ApplyScopeRanges();
}

void InstrumentEffects::OnScopeTypeChanged() {
    if (scope_) scope_->OnTypeChanged();
}

void InstrumentEffects::ApplySpectrumControls() {
    if (spectrum_) spectrum_->ApplySpectrumControls();
}

void InstrumentEffects::OnSpectrumTypeChanged() {
    if (spectrum_) spectrum_->OnSpectrumTypeChange();
}

void InstrumentEffects::AdaptViewToolbars() {
    // Only a shown view adapts its selectors to the channels.
    if (scope_ && Panes().scopeShown) scope_->UpdateSelectorStates();
    if (spectrum_ && Panes().spectrumShown) spectrum_->SyncSpectrumToolbar();
    if (views_) views_->AdaptViewToolbars();
}

void InstrumentEffects::RestartCaptureIfRunning() {
    if (monitoring_ == nullptr) return;
    CaptureRestart(targets_.inputRunning, targets_.acquisition, *monitoring_, targets_.shell).RestartIfRunning();
}

void InstrumentEffects::RedrawAllViews() {
    if (scope_) scope_->invalidate();
    if (spectrum_) spectrum_->invalidate();
    if (views_) views_->RedrawAllViews();
}

PaneFlags InstrumentEffects::Panes() const {
    if (views_) return views_->Panes();
    const PanelSetting& loaded = panel_.loadedPanel();
    return PaneFlags{loaded.scopeShown, loaded.spectrumShown, loaded.thirdPane, loaded.generatorShown};
}

std::optional<SpectrumScales> InstrumentEffects::ShownSpectrumScales() const {
    if (!spectrum_ || !Panes().spectrumShown) return std::nullopt;
    const SpectrumScaleModes modes = spectrum_->scaleModes();
    return SpectrumScales{static_cast<int>(modes.xScale), static_cast<int>(modes.yScale), modes.normalized};
}

int InstrumentEffects::scopeType() const { return scope_ ? scope_->scopeType() : kScopeTypeSeparate; }

SpectrumScaleModes InstrumentEffects::panelScaleModes() const {
    const PanelSetting& loaded = panel_.loadedPanel();
    return {loaded.spectrumXScale == 1 ? SpectrumXScale::Log : SpectrumXScale::Linear,
            loaded.spectrumYScale == 1 ? SpectrumYScale::Db : SpectrumYScale::Volt, loaded.spectrumNormalized};
}

void InstrumentEffects::openXScaleDialog() {
    if (views_) views_->OpenSpectrumXScaleDialog();
}

void InstrumentEffects::openYScaleDialog() {
    if (views_) views_->OpenSpectrumYScaleDialog();
}

void InstrumentEffects::ApplyViewVisibility() {
    if (views_) views_->ApplyViewVisibility();
}

}  // namespace tonewell
