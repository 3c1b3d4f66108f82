#include "app/InstrumentEffects.h"

#include "acquisition/CaptureRestart.h"
#include "acquisition/DocumentFormat.h"

namespace tonewell {

InstrumentEffects::InstrumentEffects(EffectTargets targets) : targets_(targets) {}

RangeCode InstrumentEffects::ScopeTimeRange() const {
    return instrumentViews_.scopePanel ? instrumentViews_.scopePanel->timeRange() : RangeCode();
}

void InstrumentEffects::ConfigureDocumentFormat() {
    if (sampling_ == nullptr) return;
    tonewell::ConfigureDocumentFormat(targets_.document, sampling_->selection(targets_.tables, targets_.acquisition),
                                      targets_.configuration, targets_.acquisition, targets_.inputRunning,
                                      targets_.shell);
}

void InstrumentEffects::ApplyScopeRanges() {
    if (instrumentViews_.scopePanel) instrumentViews_.scopePanel->applyRanges();
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
}

void InstrumentEffects::RestartCaptureIfRunning() {
    if (monitoring_ == nullptr) return;
    CaptureRestart(targets_.inputRunning, targets_.acquisition, *monitoring_, targets_.shell).RestartIfRunning();
}

void InstrumentEffects::RedrawAllViews() {
    if (instrumentViews_.readouts) instrumentViews_.readouts->refresh();
    if (instrumentViews_.scope) instrumentViews_.scope->invalidate();
    if (instrumentViews_.spectrum) instrumentViews_.spectrum->invalidate();
}

PaneFlags InstrumentEffects::Panes() const {
    PaneFlags panes = targets_.panes;
    panes.generatorShown = targets_.generatorShown.load();
    return panes;
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

void InstrumentEffects::ApplyViewVisibility(const PaneFlags& wanted) {
    if (views_) {
        views_->ApplyViewVisibility(wanted);
        return;
    }
    // Without a frame the panes are the panel's.
    targets_.panes.scopeShown = wanted.scopeShown;
    targets_.panes.spectrumShown = wanted.spectrumShown;
    targets_.panes.thirdPane = wanted.thirdPane;
}

}  // namespace tonewell
