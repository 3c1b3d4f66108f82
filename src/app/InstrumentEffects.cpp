#include "app/InstrumentEffects.h"

#include "acquisition/CaptureRestart.h"
#include "acquisition/DocumentFormat.h"
#include "app/FrontPanel.h"

namespace tonewell {

InstrumentEffects::InstrumentEffects(EffectTargets targets, const FrontPanel& panel)
    : targets_(targets), panel_(panel) {}

RangeCode InstrumentEffects::ScopeTimeRange() const {
    return instrumentViews_.scopePanel ? instrumentViews_.scopePanel->timeRange() : RangeCode();
}

void InstrumentEffects::ConfigureDocumentFormat() {
    tonewell::ConfigureDocumentFormat(targets_.document, panel_.samplingSelection(), targets_.configuration,
                                      targets_.acquisition, targets_.inputRunning, targets_.shell);
}

void InstrumentEffects::ApplyScopeRanges() {
    if (instrumentViews_.scopePanel) instrumentViews_.scopePanel->applyRanges();
    if (views_) views_->ApplyScopeRanges();
}

void InstrumentEffects::OnScopeTypeChanged() {
    if (instrumentViews_.scopePanel) instrumentViews_.scopePanel->typeChanged();
}

void InstrumentEffects::ApplySpectrumControls() {
    if (instrumentViews_.spectrumPanel) instrumentViews_.spectrumPanel->applyControls();
}

void InstrumentEffects::OnSpectrumTypeChanged() {
    if (instrumentViews_.spectrumPanel) instrumentViews_.spectrumPanel->typeChanged();
}

void InstrumentEffects::AdaptViewToolbars() {
    // Only a shown view adapts its selectors to the channels.
    if (instrumentViews_.scopePanel && Panes().scopeShown) instrumentViews_.scopePanel->updateSelectorStates();
    if (instrumentViews_.spectrumPanel && Panes().spectrumShown) instrumentViews_.spectrumPanel->syncToolbar();
    if (views_) views_->AdaptViewToolbars();
}

void InstrumentEffects::RestartCaptureIfRunning() {
    if (monitoring_ == nullptr) return;
    CaptureRestart(targets_.inputRunning, targets_.acquisition, *monitoring_, targets_.shell).RestartIfRunning();
}

void InstrumentEffects::RedrawAllViews() {
    if (instrumentViews_.scope) instrumentViews_.scope->invalidate();
    if (instrumentViews_.spectrum) instrumentViews_.spectrum->invalidate();
    if (views_) views_->RedrawAllViews();
}

PaneFlags InstrumentEffects::Panes() const {
    if (views_) return views_->Panes();
    const PanelSetting& loaded = panel_.loadedPanel();
    return PaneFlags{loaded.scopeShown, loaded.spectrumShown, loaded.thirdPane, loaded.generatorShown};
}

std::optional<SpectrumScales> InstrumentEffects::ShownSpectrumScales() const {
    if (!instrumentViews_.spectrumPanel || !Panes().spectrumShown) return std::nullopt;
    const SpectrumScaleModes modes = instrumentViews_.spectrumPanel->settings().scales;
    return SpectrumScales{static_cast<int>(modes.xScale), static_cast<int>(modes.yScale), modes.normalized};
}

int InstrumentEffects::scopeType() const {
    return instrumentViews_.scopePanel ? instrumentViews_.scopePanel->settings().type : kScopeTypeSeparate;
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
