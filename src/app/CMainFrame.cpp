#include "app/CMainFrame.h"

#include "app/HelpFile.h"
#include "app/PanelSetting.h"
#include "scope/ScopeExport.h"
#include "spectrum/SpectrumExport.h"

#include <algorithm>

namespace tonewell {

bool AutoRunCaptureAtStartup(bool autoRunSetting, bool inputRunning, bool viewsUpdated, int productEdition,
                             bool documentFromFile) {
    return autoRunSetting && !inputRunning && viewsUpdated && EditionHasCapture(productEdition) && !documentFromFile;
}

CMainFrame::CMainFrame(FrameParts parts, FrameWindow& window, FrameDialogs& dialogs, int productEdition)
    : parts_(std::move(parts)),
      window_(window),
      dialogs_(dialogs),
      edition_(productEdition),
      documents_(parts_.documents, window),
      programFolder_(RunningProgramFolder()) {
    parts_.effects.attachViews(this);
    parts_.scope.setFrameHooks(this);
    parts_.outputDisplay.attachFrame(this);
    // The end of a sweep is signalled from the notification thread; the output stops here, on
    // the UI thread.
    setTimerHandler(kTimerSweepEnd, [this] { parts_.output.OnSweepEndTimer(); });
    // Capture's timers; its thread's "record ready" comes in as timer 3, so that the command
    // bar follows a Single record's stop at once.
    CaptureEngine& capture = parts_.capture;
    setTimerHandler(kTimerRecordRelease, [&capture] { capture.OnRecordRelease(); });
    setTimerHandler(kTimerCaptureRestart, [&capture] { capture.OnCaptureRestart(); });
    setTimerHandler(kTimerRecordReady, [&capture] { capture.OnRecordReady(); });
    setTimerHandler(kCaptureStartTimer, [&capture] { capture.OnCaptureStart(); });
    capture.setRecordReadyRoute([this] { OnTimer(kTimerRecordReady); });
    setOverrunCounter([&capture] { return capture.overrunCount(); });
}

CMainFrame::~CMainFrame() {
    parts_.capture.setRecordReadyRoute(nullptr);
    parts_.outputDisplay.attachFrame(nullptr);
    parts_.scope.setFrameHooks(nullptr);
    parts_.effects.attachViews(nullptr);
}

// ---- start-up -----------------------------------------------------------------------------

void CMainFrame::startUp(const std::optional<std::filesystem::path>& commandLineFile) {
    parts_.startUp(commandLineFile);
    // The frame's creation: the bars exist with their slot states; the client area shows both
    // panes in halves.
    runPressedAtStart_ = parts_.configuration.autoRunAtStartup;
    applyBarEnabling();
    window_.showPanes(parts_.panes.scopeShown, parts_.panes.spectrumShown);
    window_.recalcLayout();
    window_.setDocumentTitle(parts_.document.Title());
    window_.updateCommandBar();
}

void CMainFrame::OnSplashEnded() {
    window_.showWindow();
    const PanelSetting& loaded = parts_.panel.loadedPanel();
    ApplyViewVisibility(PaneFlags{loaded.scopeShown, loaded.spectrumShown, loaded.thirdPane, loaded.generatorShown});
    parts_.startup.splashEnded();
    window_.updateCommandBar();
}

// ---- command states -----------------------------------------------------------------------

FrameConditions CMainFrame::conditions() const {
    const FrameParts& in = parts_;
    FrameConditions c;
    c.productEdition = edition_;
    c.inputRunning = in.run.inputRunning.load();
    c.outputRunning = in.run.outputRunning.load();
    c.recordEmpty = in.document.sampleCount == 0;
    c.scopeShown = in.panes.scopeShown;
    c.spectrumShown = in.panes.spectrumShown;
    c.displayInScopeActive = in.run.displayInScopeActive.load();
    c.amplitudeSpectrum = in.panel.spectrum.selectedType(in.tables) == SpectrumType::Amplitude;
    c.trigSampBarState = slotState(BarSlot::TriggerSampling);
    c.scopeBarState = slotState(BarSlot::Scope);
    c.spectrumBarState = slotState(BarSlot::Spectrum);
    c.runPressedAtStart = runPressedAtStart_;
    return c;
}

// Run/Stop monitoring input needs capture; until it is attached the button stays disabled.
bool CMainFrame::engineAttached(int id) const {
    if (id == kCommandRunStopInput) return parts_.effects.monitoring() != nullptr;
    return true;
}

CommandState CMainFrame::commandState(int id) const {
    CommandState state = FrameCommandState(id, conditions());
    state.enabled = state.enabled && engineAttached(id);
    return state;
}

// ---- command dispatch ---------------------------------------------------------------------

void CMainFrame::OnCommand(int id) {
    if (id != kCommandFileClose && !commandState(id).enabled) return;
    switch (id) {
    case kCommandFileNew: documents_.fileNew(); break;
    case kCommandFileOpen: documents_.fileOpen(); break;
    case kCommandFileClose: OnFileClose(); break;
    case kCommandFileSave: documents_.fileSave(); break;
    case kCommandFileSaveAs: documents_.fileSaveAs(); break;
    case kCommandScopeExport: OnScopeExport(); break;
    case kCommandSpectrumExport: OnSpectrumExport(); break;
    case kCommandAppExit: OnAppExit(); break;
    case kCommandCalibration: dialogs_.calibrationSetting(); break;
    case kCommandDisplay: dialogs_.displaySetting(); break;
    case kCommandNotes: dialogs_.notes(); break;
    case kCommandSignalGenerator: OnSignalGenerator(); break;
    case kCommandAudioDevice: dialogs_.audioDevice(); break;
    case kCommandFrequencyResponse: dialogs_.frequencyResponse(); break;
    case kCommandSpectrumXScale: dialogs_.spectrumXScale(); break;
    case kCommandSpectrumYScale: dialogs_.spectrumYScale(); break;
    case kCommandTrigSampParameters: cycleSlot(BarSlot::TriggerSampling); break;
    case kCommandScopeParameters: cycleSlot(BarSlot::Scope); break;
    case kCommandSpectrumParameters: cycleSlot(BarSlot::Spectrum); break;
    case kCommandSavePanelDefault: parts_.saveDefaultPanel(); break;
    case kCommandSavePanel: documents_.savePanel(); break;
    case kCommandLoadPanel: documents_.loadPanel(); break;
    case kCommandHelpTopic: OnHelpTopic(); break;
    case kCommandAbout: dialogs_.about(); break;
    case kCommandRunStopInput: OnRunStopInput(); break;
    case kCommandScopePane: toggleScopePane(); break;
    case kCommandSpectrumPane: toggleSpectrumPane(); break;
    case kCommandRunStopOutput: OnRunStopOutput(); break;
    case kCommandShowSamplingBar: showSlotBar(BarSlot::TriggerSampling, 2); break;
    case kCommandShowTriggerBar: showSlotBar(BarSlot::TriggerSampling, 1); break;
    case kCommandShowScopeBar1: showSlotBar(BarSlot::Scope, 1); break;
    case kCommandShowScopeBar2: showSlotBar(BarSlot::Scope, 2); break;
    case kCommandShowSpectrumBar1: showSlotBar(BarSlot::Spectrum, 1); break;
    case kCommandShowSpectrumBar2: showSlotBar(BarSlot::Spectrum, 2); break;
    default: return;
    }
    if (!closing_) window_.updateCommandBar();
}

bool CMainFrame::OnDropFile(const std::filesystem::path& path) {
    if (!commandState(kCommandFileOpen).enabled) return false;
    const bool opened = documents_.openFile(path);
    if (!closing_) window_.updateCommandBar();
    return opened;
}

bool CMainFrame::OnClose() {
    if (closing_) return true;
    if (!parts_.document.SaveModified()) return false;
    closing_ = true;
    return true;
}

// ---- the document -------------------------------------------------------------------------

void CMainFrame::OnFileClose() {
    // In a program of one document, closing the document closes the window with it.
    if (!parts_.document.SaveModified()) return;
    closeProgram();
}

void CMainFrame::OnAppExit() {
    if (!parts_.document.SaveModified()) return;
    closeProgram();
}

void CMainFrame::closeProgram() {
    closing_ = true;
    window_.closeWindow();
}

void CMainFrame::OnScopeExport() {
    Shell& shell = parts_.shell;
    ExportView(
        shell, false, [&](const std::filesystem::path& path) { return WriteScopeExport(shell, path, parts_.document); },
        pictures_ ? ExportWriter([this](const std::filesystem::path& path) { return pictures_->writeScopePicture(path); })
                  : ExportWriter());
}

void CMainFrame::OnSpectrumExport() {
    Shell& shell = parts_.shell;
    ExportView(
        shell, true,
        [&](const std::filesystem::path& path) {
            return WriteSpectrumExport(shell, path, parts_.document, parts_.spectrumAnalysis);
        },
        pictures_ ? ExportWriter([this](const std::filesystem::path& path) { return pictures_->writeSpectrumPicture(path); })
                  : ExportWriter());
}

// ---- settings -----------------------------------------------------------------------------

void CMainFrame::OnSignalGenerator() {
    parts_.run.generatorShown = true;
    dialogs_.signalGenerator();
    parts_.run.generatorShown = false;
}

void CMainFrame::OnHelpTopic() {
    // The help is the program's own file, shown in its own viewer; a missing file or a viewer
    // that cannot show it gets the system's message.
    const std::optional<std::filesystem::path> file = FindHelpFile(programFolder_);
    if (!file || !dialogs_.help(*file, kHelpAnchor)) parts_.shell.showMessage(kHelpFailedMessage);
}

void CMainFrame::afterDisplaySetting() {
    parts_.effects.RedrawAllViews();
    applyBarEnabling();
}

void CMainFrame::applyBarEnabling() {
    const bool generatorInScope = parts_.run.displayInScopeActive.load();
    parts_.panel.trigger.ApplyModeListEnabling(generatorInScope);
    parts_.panel.sampling.ApplyEnabling(parts_.configuration.enablePointEdit, generatorInScope);
}

// ---- run and stop -------------------------------------------------------------------------

void CMainFrame::OnRunStopInput() {
    if (InputMonitoring* monitoring = parts_.effects.monitoring()) monitoring->RunStop();
}

// Through the generator dialog while it is open, so that a start takes its pages.
void CMainFrame::OnRunStopOutput() { parts_.output.RunStopCommand(); }

void CMainFrame::setTimerHandler(int timerId, std::function<void()> handler) {
    if (handler)
        timerHandlers_[timerId] = std::move(handler);
    else
        timerHandlers_.erase(timerId);
}

void CMainFrame::OnTimer(int timerId) {
    auto found = timerHandlers_.find(timerId);
    if (found == timerHandlers_.end()) return;
    std::function<void()> handler = found->second;  // the handler may replace itself
    handler();
    if (!closing_) window_.updateCommandBar();
}

std::string CMainFrame::runCountsText() const {
    std::string text;
    auto add = [&text](const char* label, std::uint64_t count) {
        if (!text.empty()) text += "  ";
        text += label + std::to_string(count);
    };
    if (parts_.run.outputRunning.load()) add("Output underruns: ", parts_.output.underrunCount());
    if (parts_.run.inputRunning.load() && overruns_) add("Input overruns: ", overruns_());
    return text;
}

// ---- slots and panes ----------------------------------------------------------------------

void CMainFrame::restoreSlotState(BarSlot slot, int state) {
    if (state < 0 || state > 2) return;
    // A bar the edition cannot show stays hidden, whatever another edition saved.
    static constexpr std::array<int, kBarSlotCount> kSlotCommands{kCommandTrigSampParameters, kCommandScopeParameters,
                                                                  kCommandSpectrumParameters};
    if (state != 0 && !commandState(kSlotCommands[static_cast<std::size_t>(slot)]).enabled) return;
    slots_[static_cast<std::size_t>(slot)] = state;
    window_.recalcLayout();
}

void CMainFrame::cycleSlot(BarSlot slot) {
    int& state = slots_[static_cast<std::size_t>(slot)];
    state = state == 0 ? 1 : 0;
    window_.recalcLayout();
}

void CMainFrame::showSlotBar(BarSlot slot, int state) {
    slots_[static_cast<std::size_t>(slot)] = state;
    window_.recalcLayout();
}

void CMainFrame::showScopeBar1() {
    slots_[static_cast<std::size_t>(BarSlot::Scope)] = 1;
    slots_[static_cast<std::size_t>(BarSlot::Spectrum)] = 0;
    window_.recalcLayout();
}

bool CMainFrame::giveScopeWholeHeight() {
    const PaneFlags& panes = parts_.panes;
    if (!parts_.startup.recordShown() || panes.spectrumShown || window_.lowerPaneHeight() <= 0) return false;
    window_.showPanes(panes.scopeShown, panes.spectrumShown);
    window_.recalcLayout();
    return true;
}

void CMainFrame::toggleScopePane() {
    PaneFlags& panes = parts_.panes;
    if (panes.scopeShown && !panes.spectrumShown) return;  // the only shown pane stays
    panes.scopeShown = !panes.scopeShown;
    panesChanged();
}

void CMainFrame::toggleSpectrumPane() {
    PaneFlags& panes = parts_.panes;
    if (panes.spectrumShown && !panes.scopeShown) return;  // the only shown pane stays
    panes.spectrumShown = !panes.spectrumShown;
    panesChanged();
}

void CMainFrame::panesChanged() {
    window_.showPanes(parts_.panes.scopeShown, parts_.panes.spectrumShown);
    parts_.effects.RedrawAllViews();
}

// ---- FrameViews ---------------------------------------------------------------------------

void CMainFrame::OpenSpectrumXScaleDialog() { dialogs_.spectrumXScale(); }

void CMainFrame::OpenSpectrumYScaleDialog() { dialogs_.spectrumYScale(); }

void CMainFrame::ApplyViewVisibility(const PaneFlags& panel) {
    FrameParts& in = parts_;
    if (in.panes.scopeShown != panel.scopeShown) toggleScopePane();
    const bool spectrumWanted = panel.spectrumShown && EditionHasSpectrum(edition_);
    if (in.panes.spectrumShown != spectrumWanted) toggleSpectrumPane();

    // Opened once the current step is done, so that a panel being applied is applied whole
    // before the dialog takes over.
    if ((panel.generatorShown || edition_ == kEditionGeneratorScope) && !in.run.generatorShown.load())
        in.shell.post([this] {
            if (!parts_.run.generatorShown.load()) OnSignalGenerator();
        });

    in.panel.trigger.ApplyModeEnabling(in.acquisition.triggerMode, in.panel.sampling.bothChannels(in.tables));
    applyBarEnabling();

    // Run as the button would be: only while it is enabled (a pane shown, the generator not in
    // the oscilloscope, capture attached).
    if (AutoRunCaptureAtStartup(in.configuration.autoRunAtStartup, in.run.inputRunning.load(), in.startup.viewsUpdated(),
                                edition_, !in.document.PathName().empty()) &&
        commandState(kCommandRunStopInput).enabled) {
        OnRunStopInput();
        window_.updateCommandBar();
    }
}

void CMainFrame::showScopePane() {
    if (!parts_.panes.scopeShown) toggleScopePane();
}

}  // namespace tonewell
