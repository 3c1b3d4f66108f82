#include "app/CMainFrame.h"

#include "app/HelpFile.h"
#include "app/Instrument.h"
#include "app/PanelSetting.h"
#include "scope/ScopeExport.h"
#include "spectrum/SpectrumExport.h"

#include <algorithm>

namespace tonewell {

namespace {

// A chosen save path without an extension takes the default one.
std::filesystem::path WithExtension(std::filesystem::path path, const char* extension) {
    if (!path.has_extension()) path += std::string(".") + extension;
    return path;
}

}  // namespace

bool AutoRunCaptureAtStartup(bool autoRunSetting, bool inputRunning, int startupStage, int productEdition,
                             bool documentFromFile) {
    return autoRunSetting && !inputRunning && startupStage > 1 && EditionHasCapture(productEdition) &&
           !documentFromFile;
}

CMainFrame::CMainFrame(Instrument& instrument, FrameWindow& window, FrameDialogs& dialogs, int productEdition)
    : instrument_(instrument), window_(window), dialogs_(dialogs), edition_(productEdition),
      programFolder_(RunningProgramFolder()) {
    instrument_.effects.attachViews(this);
    instrument_.scope.setFrameHooks(this);
    instrument_.outputDisplay.attachFrame(this);
    // The end of a sweep is signalled from the notification thread; the output stops here, on
    // the UI thread.
    setTimerHandler(kTimerSweepEnd, [this] { instrument_.output.OnSweepEndTimer(); });
    // Capture's timers; its thread's "record ready" comes in as timer 3, so that the command
    // bar follows a Single record's stop at once.
    CaptureEngine& capture = instrument_.capture;
    setTimerHandler(kTimerRecordRelease, [&capture] { capture.OnRecordRelease(); });
    setTimerHandler(kTimerCaptureRestart, [&capture] { capture.OnCaptureRestart(); });
    setTimerHandler(kTimerRecordReady, [&capture] { capture.OnRecordReady(); });
    setTimerHandler(kCaptureStartTimer, [&capture] { capture.OnCaptureStart(); });
    capture.setRecordReadyRoute([this] { OnTimer(kTimerRecordReady); });
    setOverrunCounter([&capture] { return capture.overrunCount(); });
}

CMainFrame::~CMainFrame() {
    instrument_.capture.setRecordReadyRoute(nullptr);
    instrument_.outputDisplay.attachFrame(nullptr);
    instrument_.scope.setFrameHooks(nullptr);
    instrument_.effects.attachViews(nullptr);
}

// ---- start-up -----------------------------------------------------------------------------

void CMainFrame::startUp(const std::optional<std::filesystem::path>& commandLineFile) {
    instrument_.readDefaultPanel();
    instrument_.readConfiguration();
    instrument_.loadGeneratorFiles();

    // The frame's creation: the bars exist with their slot states; the client area shows both
    // panes in halves.
    runPressedAtStart_ = instrument_.configuration.autoRunAtStartup;
    applyBarEnabling();
    window_.showPanes(scopeShown_, spectrumShown_);
    window_.recalcLayout();

    // The command line: the first document, made with the selections and calibration just read;
    // the views have their first update with it.
    instrument_.makeFreshDocument();
    if (!commandLineFile || !openDocumentFile(*commandLineFile)) newDocument();
    window_.updateCommandBar();
}

void CMainFrame::OnSplashEnded() {
    window_.showWindow();
    ApplyViewVisibility();
    ++instrument_.startupStage;
    window_.updateCommandBar();
}

int CMainFrame::startupStage() const { return instrument_.startupStage; }

// ---- command states -----------------------------------------------------------------------

FrameConditions CMainFrame::conditions() const {
    const Instrument& in = instrument_;
    FrameConditions c;
    c.productEdition = edition_;
    c.inputRunning = in.run.inputRunning.load();
    c.outputRunning = in.run.outputRunning.load();
    c.recordEmpty = in.document.sampleCount == 0;
    c.scopeShown = scopeShown_;
    c.spectrumShown = spectrumShown_;
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
    if (id == kCommandRunStopInput) return instrument_.effects.monitoring() != nullptr;
    return true;
}

CommandState CMainFrame::commandState(int id) const {
    CommandState state = FrameCommandState(id, conditions());
    state.enabled = state.enabled && engineAttached(id);
    return state;
}

CommandState CMainFrame::updateCommand(int id) {
    CommandState state = commandState(id);
    if (id == kCommandRunStopInput) runPressedAtStart_ = false;
    return state;
}

// ---- command dispatch ---------------------------------------------------------------------

void CMainFrame::OnCommand(int id) {
    if (id != kCommandFileClose && !commandState(id).enabled) return;
    switch (id) {
    case kCommandFileNew: OnFileNew(); break;
    case kCommandFileOpen: OnFileOpen(); break;
    case kCommandFileClose: OnFileClose(); break;
    case kCommandFileSave: OnFileSave(); break;
    case kCommandFileSaveAs: OnFileSaveAs(); break;
    case kCommandScopeExport: OnScopeExport(); break;
    case kCommandSpectrumExport: OnSpectrumExport(); break;
    case kCommandAppExit: OnAppExit(); break;
    case kCommandCalibration: dialogs_.calibrationSetting(); break;
    case kCommandDisplay: dialogs_.displaySetting(); break;
    case kCommandNotes: dialogs_.notes(); break;
    case kCommandSignalGenerator: OnSignalGenerator(); break;
    case kCommandAudioDevice: dialogs_.audioDevice(); break;
    case kCommandSpectrumXScale: dialogs_.spectrumXScale(); break;
    case kCommandSpectrumYScale: dialogs_.spectrumYScale(); break;
    case kCommandTrigSampParameters: cycleSlot(BarSlot::TriggerSampling); break;
    case kCommandScopeParameters: cycleSlot(BarSlot::Scope); break;
    case kCommandSpectrumParameters: cycleSlot(BarSlot::Spectrum); break;
    case kCommandSavePanelDefault: instrument_.saveDefaultPanel(); break;
    case kCommandSavePanel: OnSavePanel(); break;
    case kCommandLoadPanel: OnLoadPanel(); break;
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
    const bool opened = openDocumentFile(path);
    if (!closing_) window_.updateCommandBar();
    return opened;
}

bool CMainFrame::OnClose() {
    if (closing_) return true;
    if (!instrument_.document.SaveModified()) return false;
    closing_ = true;
    return true;
}

// ---- the document -------------------------------------------------------------------------

void CMainFrame::initialUpdateViews() {
    instrument_.scope.OnInitialUpdate();
    instrument_.spectrum.OnInitialUpdate();
    window_.setDocumentTitle(instrument_.document.Title());
}

void CMainFrame::newDocument() {
    instrument_.document.OnNewDocument();
    initialUpdateViews();
}

bool CMainFrame::openDocumentFile(const std::filesystem::path& path) {
    CSignalDoc& document = instrument_.document;
    if (!document.SaveModified()) return false;
    if (!document.OnOpenDocument(path, currentScopeType())) return false;
    initialUpdateViews();
    return true;
}

int CMainFrame::currentScopeType() const { return instrument_.scope.scopeType(); }

void CMainFrame::OnFileNew() {
    if (!instrument_.document.SaveModified()) return;
    newDocument();
}

void CMainFrame::OnFileOpen() {
    FileDialogRequest request;
    request.filter = kDocumentOpenFilter;
    request.defaultExtension = kDocumentExtension;
    std::optional<std::string> path = instrument_.shell.chooseOpenFile(request);
    if (path) openDocumentFile(*path);
}

void CMainFrame::OnFileSave() {
    if (instrument_.document.DoFileSave()) window_.setDocumentTitle(instrument_.document.Title());
}

void CMainFrame::OnFileSaveAs() {
    CSignalDoc& document = instrument_.document;
    FileDialogRequest request;
    request.filter = kDocumentFilter;
    request.defaultExtension = kDocumentExtension;
    request.initialPath = document.PathName().empty() ? document.Title() + "." + kDocumentExtension
                                                      : document.PathName().string();
    request.promptOverwrite = true;
    std::optional<std::string> chosen = instrument_.shell.chooseSaveFile(request);
    if (!chosen) return;
    if (document.OnSaveDocument(WithExtension(*chosen, kDocumentExtension))) window_.setDocumentTitle(document.Title());
}

void CMainFrame::OnFileClose() {
    // In a program of one document, closing the document closes the window with it.
    if (!instrument_.document.SaveModified()) return;
    closeProgram();
}

void CMainFrame::OnAppExit() {
    if (!instrument_.document.SaveModified()) return;
    closeProgram();
}

void CMainFrame::closeProgram() {
    closing_ = true;
    window_.closeWindow();
}

void CMainFrame::OnScopeExport() {
    Shell& shell = instrument_.shell;
    ExportView(
        shell, false, [&](const std::filesystem::path& path) { return WriteScopeExport(shell, path, instrument_.document); },
        pictures_ ? ExportWriter([this](const std::filesystem::path& path) { return pictures_->writeScopePicture(path); })
                  : ExportWriter());
}

void CMainFrame::OnSpectrumExport() {
    Shell& shell = instrument_.shell;
    ExportView(
        shell, true,
        [&](const std::filesystem::path& path) {
            return WriteSpectrumExport(shell, path, instrument_.document, instrument_.spectrum.analysis());
        },
        pictures_ ? ExportWriter([this](const std::filesystem::path& path) { return pictures_->writeSpectrumPicture(path); })
                  : ExportWriter());
}

// ---- settings -----------------------------------------------------------------------------

void CMainFrame::OnSignalGenerator() {
    instrument_.run.generatorShown = true;
    dialogs_.signalGenerator();
    instrument_.run.generatorShown = false;
}

void CMainFrame::OnSavePanel() {
    FileDialogRequest request;
    request.filter = kPanelFileFilter;
    request.defaultExtension = kPanelFileExtension;
    request.promptOverwrite = true;
    std::optional<std::string> chosen = instrument_.shell.chooseSaveFile(request);
    if (!chosen) return;
    instrument_.panel.savePanel(WithExtension(*chosen, kPanelFileExtension), instrument_.toneLists,
                                instrument_.programDir);
}

void CMainFrame::OnLoadPanel() {
    FileDialogRequest request;
    request.filter = kPanelFileFilter;
    request.defaultExtension = kPanelFileExtension;
    std::optional<std::string> chosen = instrument_.shell.chooseOpenFile(request);
    if (!chosen) return;
    // A refused file has shown its message; the panel stays as it is rather than going back
    // to the panel loaded before.
    if (!instrument_.panel.loadPanel(*chosen)) return;
    instrument_.startupStage = -1;
    OnFileNew();
}

void CMainFrame::OnHelpTopic() {
    // The help is the program's own file, shown in its own viewer; a missing file or a viewer
    // that cannot show it gets the system's message.
    const std::optional<std::filesystem::path> file = FindHelpFile(programFolder_);
    if (!file || !dialogs_.help(*file, kHelpAnchor)) instrument_.shell.showMessage(kHelpFailedMessage);
}

void CMainFrame::afterDisplaySetting() {
    instrument_.effects.RedrawAllViews();
    applyBarEnabling();
}

void CMainFrame::applyBarEnabling() {
    const bool generatorInScope = instrument_.run.displayInScopeActive.load();
    instrument_.panel.trigger.ApplyModeListEnabling(generatorInScope);
    instrument_.panel.sampling.ApplyEnabling(instrument_.configuration.enablePointEdit, generatorInScope);
}

// ---- run and stop -------------------------------------------------------------------------

void CMainFrame::OnRunStopInput() {
    if (InputMonitoring* monitoring = instrument_.effects.monitoring()) monitoring->RunStop();
}

// Through the generator dialog while it is open, so that a start takes its pages.
void CMainFrame::OnRunStopOutput() { instrument_.output.RunStopCommand(); }

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
    if (instrument_.run.outputRunning.load()) add("Output underruns: ", instrument_.output.underrunCount());
    if (instrument_.run.inputRunning.load() && overruns_) add("Input overruns: ", overruns_());
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
    if (instrument_.startupStage <= 0 || spectrumShown_ || window_.lowerPaneHeight() <= 0) return false;
    window_.showPanes(scopeShown_, spectrumShown_);
    window_.recalcLayout();
    return true;
}

void CMainFrame::toggleScopePane() {
    if (scopeShown_) {
        if (!spectrumShown_) return;  // the only shown pane stays
        scopeShown_ = false;
    } else {
        scopeShown_ = true;
    }
    panesChanged();
}

void CMainFrame::toggleSpectrumPane() {
    if (spectrumShown_) {
        if (!scopeShown_) return;
        spectrumShown_ = false;
    } else {
        spectrumShown_ = true;
    }
    panesChanged();
}

void CMainFrame::panesChanged() {
    instrument_.redraw.scopeRelayout = true;
    instrument_.redraw.redrawAll = true;
    window_.showPanes(scopeShown_, spectrumShown_);
    instrument_.effects.RedrawAllViews();
}

// ---- FrameViews ---------------------------------------------------------------------------

void CMainFrame::OpenSpectrumXScaleDialog() { dialogs_.spectrumXScale(); }

void CMainFrame::OpenSpectrumYScaleDialog() { dialogs_.spectrumYScale(); }

void CMainFrame::ApplyViewVisibility() {
    Instrument& in = instrument_;
    const PanelSetting& panel = in.panel.loadedPanel();
    if (scopeShown_ != panel.scopeShown) toggleScopePane();
    const bool spectrumWanted = panel.spectrumShown && EditionHasSpectrum(edition_);
    if (spectrumShown_ != spectrumWanted) toggleSpectrumPane();

    // Opened once the current step is done, so that a panel being applied is applied whole
    // before the dialog takes over.
    if ((panel.generatorShown || edition_ == kEditionGeneratorScope) && !in.run.generatorShown.load())
        in.shell.post([this] {
            if (!instrument_.run.generatorShown.load()) OnSignalGenerator();
        });

    in.panel.trigger.ApplyModeEnabling(in.acquisition.triggerMode, in.panel.sampling.bothChannels(in.tables));
    applyBarEnabling();

    // Run as the button would be: only while it is enabled (a pane shown, the generator not in
    // the oscilloscope, capture attached).
    if (AutoRunCaptureAtStartup(in.configuration.autoRunAtStartup, in.run.inputRunning.load(), in.startupStage,
                                edition_, !in.document.PathName().empty()) &&
        commandState(kCommandRunStopInput).enabled) {
        OnRunStopInput();
        window_.updateCommandBar();
    }
}

void CMainFrame::showScopePane() {
    if (!scopeShown_) toggleScopePane();
}

void CMainFrame::documentChanged() {
    instrument_.spectrum.markSpectrumDirty();
    instrument_.redraw.scopeRelayout = true;
    instrument_.redraw.redrawAll = true;
    instrument_.effects.RedrawAllViews();
}

PaneFlags CMainFrame::Panes() const {
    return PaneFlags{scopeShown_, spectrumShown_, false, instrument_.run.generatorShown.load()};
}


}  // namespace tonewell
