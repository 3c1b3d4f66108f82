#include "app/FrontPanel.h"

namespace tonewell {

namespace {

using Id = RangeTableId;

// The selected row of a list, or the remembered one when nothing is selected.
std::int32_t SelectedOr(const ListControl& list, std::int32_t remembered) {
    return list.hasSelection() ? list.selection() : remembered;
}

}  // namespace

FrontPanel::FrontPanel(PanelHomes homes, CSignalDoc& document, PanelEffects& effects, Shell& shell)
    : homes_(homes),
      document_(document),
      effects_(effects),
      shell_(shell),
      handlers_(homes.tables, trigger, sampling, scope, spectrum, homes.acquisition, document, effects) {}

void FrontPanel::fillBars() {
    sampling.Fill(homes_.tables, homes_.acquisition);
    trigger.Fill(homes_.tables, panel_.triggerLevelPercent, panel_.triggerDelayPercent,
                 sampling.bothChannels(homes_.tables), sampling.recordLengthValue(), homes_.acquisition);
    scope.Fill(homes_.tables);
    spectrum.fill(homes_.tables, panel_.spectrumNormalized);
}

void FrontPanel::createBars() {
    fillBars();
    handlers_.Connect();
    connectScopeBars();
    connectSpectrumBars();
}

void FrontPanel::connectSpectrumBars() {
    // Every spectrum list but the type (65033..65038, 65041, 65042) makes the view re-read the
    // bars; the type list (65030) changes its type.
    for (ListControl* list : {&spectrum.xRange, &spectrum.rangeA, &spectrum.rangeB, &spectrum.multiplierB,
                              &spectrum.multiplierA, &spectrum.xMultiplier, &spectrum.fftPoints, &spectrum.window})
        list->setSelectionHandler([this](int) { effects_.ApplySpectrumControls(); });
    spectrum.type.setSelectionHandler([this](int) { effects_.OnSpectrumTypeChanged(); });
}

void FrontPanel::connectScopeBars() {
    // The time range (65021) goes through the record-length coupling of the acquisition handlers;
    // the other ranges and multipliers rescale the oscilloscope, the type list changes its type.
    for (ListControl* list : {&scope.rangeA, &scope.timeMultiplier, &scope.multiplierA, &scope.rangeB, &scope.multiplierB})
        list->setSelectionHandler([this](int) { effects_.ApplyScopeRanges(); });
    scope.type.setSelectionHandler([this](int) { effects_.OnScopeTypeChanged(); });
}

void FrontPanel::storePanel() {
    StorePanelSetting(panel_, homes_.tables, homes_.generator, homes_.toneFilePath);
}

void FrontPanel::resetPanel() {
    panel_ = BuiltInPanelSetting();
    storePanel();
}

bool FrontPanel::loadPanel(const std::filesystem::path& path) {
    if (!ReadPanelSettingFile(path, panel_, shell_)) return false;
    storePanel();
    return true;
}

PanelSetting FrontPanel::currentPanel() const {
    PanelSetting current = panel_;
    auto take = [&](Id id, const ListControl& list) { current.setRow(id, SelectedOr(list, panel_.row(id))); };

    take(Id::ScopeTimeRange, scope.timeRange);
    take(Id::ScopeTimeMultiplier, scope.timeMultiplier);
    take(Id::ScopeRangeA, scope.rangeA);
    take(Id::ScopeMultiplierA, scope.multiplierA);
    take(Id::ScopeType, scope.type);
    take(Id::ScopeRangeB, scope.rangeB);
    take(Id::ScopeMultiplierB, scope.multiplierB);

    // The X range list stands for the frequency range or the time lag, whichever it was filled
    // with (the type list may already show another type); the other one keeps its remembered row.
    take(Id::SpectrumType, spectrum.type);
    take(spectrum.xRangeTable(), spectrum.xRange);
    take(Id::SpectrumFrequencyMultiplier, spectrum.xMultiplier);
    take(Id::FftPoints, spectrum.fftPoints);
    take(Id::WindowFunction, spectrum.window);
    std::optional<SpectrumScales> scales = effects_.ShownSpectrumScales();
    if (scales) {
        // The Y lists count only while the pane shows them.
        take(spectrum.yRangeTable(0), spectrum.rangeA);
        take(spectrum.yRangeTable(1), spectrum.rangeB);
        take(Id::SpectrumMultiplierA, spectrum.multiplierA);
        take(Id::SpectrumMultiplierB, spectrum.multiplierB);
        current.spectrumXScale = scales->xScale;
        current.spectrumYScale = scales->yScale;
        current.spectrumNormalized = scales->normalized;
    }

    take(Id::TriggerMode, trigger.mode);
    take(Id::TriggerSource, trigger.source);
    take(Id::TriggerEdge, trigger.edge);
    current.triggerLevelPercent = trigger.levelSpin.position();
    current.triggerDelayPercent = trigger.delaySpin.position();
    current.setRow(Id::RecordLength, sampling.recordLengthValue());
    take(Id::SamplingFrequency, sampling.frequency);
    take(Id::SamplingChannels, sampling.channels);
    take(Id::SamplingResolution, sampling.resolution);

    PaneFlags panes = effects_.Panes();
    current.scopeShown = panes.scopeShown;
    current.spectrumShown = panes.spectrumShown;
    current.thirdPane = panes.thirdPane;
    current.generatorShown = panes.generatorShown;
    current.generator = homes_.generator;
    current.toneFilePath = homes_.toneFilePath;
    return current;
}

bool FrontPanel::savePanel(const std::filesystem::path& path, const ToneLists& toneLists,
                           const std::filesystem::path& programDir) {
    return WritePanelSettingFile(path, currentPanel(), toneLists, programDir, homes_.toneFilePath, shell_);
}

void FrontPanel::applyPanel() {
    fillBars();
    homes_.startup.panelApplied();
    PaneFlags panes = effects_.Panes();
    if ((panes.scopeShown || panes.spectrumShown) && document_.IsModified()) document_.SaveModified();
    document_.skipSavePrompt = true;
    effects_.ApplyViewVisibility(PaneFlags{panel_.scopeShown, panel_.spectrumShown, panel_.thirdPane, panel_.generatorShown});
    effects_.ConfigureDocumentFormat();
    effects_.AdaptViewToolbars();
    trigger.ApplyModeEnabling(homes_.acquisition.triggerMode, sampling.bothChannels(homes_.tables));
}

void FrontPanel::ApplyNewDocumentPanel(CSignalDoc& document) {
    if (homes_.startup.recordShown()) {
        document.EmptyNote();
        resetPanel();
        applyPanel();
    } else if (homes_.startup.stage() == StartupStage::PanelLoaded) {
        document.EmptyNote();
        applyPanel();
    }
}

void FrontPanel::ShowRecordLength(std::string_view text) { sampling.point.setText(std::string(text)); }

void FrontPanel::SelectChannels(bool bothChannels, bool triggerSourceEnabled) {
    auto row = homes_.tables[Id::SamplingChannels].rowOf(bothChannels ? 1 : 0);
    if (row) sampling.channels.setSelection(*row);
    trigger.source.setEnabled(triggerSourceEnabled);
}

bool FrontPanel::SelectResolution(int bits) {
    auto row = homes_.tables[Id::SamplingResolution].rowOf(bits);
    if (!row) return false;
    sampling.resolution.setSelection(*row);
    homes_.acquisition.samplingBits = bits;
    return true;
}

bool FrontPanel::SelectSamplingFrequency(std::uint32_t samplesPerSecond) {
    if (samplesPerSecond > static_cast<std::uint32_t>(std::numeric_limits<std::int32_t>::max())) return false;
    auto rate = static_cast<std::int32_t>(samplesPerSecond);
    auto row = homes_.tables[Id::SamplingFrequency].rowOf(rate);
    if (!row) return false;
    sampling.frequency.setSelection(*row);
    homes_.acquisition.samplingRate = rate;
    return true;
}

}  // namespace tonewell
