#pragma once
// The main frame's logic: the command table's handlers with their enable and check rules for the
// product edition, the three bar slots, the panes, the main-frame timers and the document and
// panel commands (DocumentCommands). The window it lives in (FrameWindow) and its dialogs
// (FrameDialogs) are the Qt skin's. It takes the parts of the instrument it commands
// (FrameParts), attaches itself to the front panel's effects for the panes and the spectrum's
// dialogs, is the frame the oscilloscope asks for the start-up split and its first bar, runs the
// output's Run/Stop and its end-of-sweep timer, and capture's Run/Stop (the attached input
// monitoring) and its timers. UI thread; the references must outlive the frame.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "acquisition/CaptureEngine.h"
#include "acquisition/CaptureRestart.h"
#include "app/DocumentCommands.h"
#include "app/FrameParts.h"
#include "app/FrameBars.h"
#include "app/FrameCommands.h"
#include "app/FrameDialogs.h"
#include "app/FrameViews.h"
#include "app/FrameWindow.h"
#include "app/InstrumentEffects.h"
#include "app/OutputDisplayLink.h"
#include "app/ScopePanel.h"
#include "app/Startup.h"
#include "app/ViewExport.h"
#include "generator/GeneratorOutput.h"
#include "scope/CScopeView.h"
#include "scope/ScopeFrameHooks.h"
#include "spectrum/SpectrumAnalysis.h"

namespace tonewell {

class CMainFrame : public FrameViews, public ScopeFrameHooks, public OutputDisplayFrame {
public:
    CMainFrame(FrameParts parts, FrameWindow& window, FrameDialogs& dialogs, int productEdition);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    int productEdition() const { return edition_; }

    // ---- start-up -------------------------------------------------------------------------
    // The program's start up to the splash: the instrument's start-up ("default.psf",
    // "Vorel.cfg", the generator's files for waveform A, then the command line: the file given
    // is opened, otherwise (or when it is refused, after its message) a new document is made),
    // then the frame's creation (the auto-run setting, the bars' enabling, both panes in halves)
    // and the document's title.
    void startUp(const std::optional<std::filesystem::path>& commandLineFile);
    // The splash has closed: the main window appears, the panel's pane visibility is applied
    // and the start-up stage moves on.
    void OnSplashEnded();
    StartupStage startupStage() const { return parts_.startup.stage(); }
    bool runPressedAtStart() const { return runPressedAtStart_; }

    // ---- commands -------------------------------------------------------------------------
    // The command's state now; no side effects.
    CommandState commandState(int id) const;
    // The window has shown the commands' states: the first time ends the pressed look of "Run/Stop
    // monitoring input" that the start-up auto-run setting gives it.
    void commandBarRefreshed() { runPressedAtStart_ = false; }
    // Runs a command when it is enabled (the posted File Close always runs); the command bar
    // then takes the new states.
    void OnCommand(int id);
    // A file dropped on the window is opened as Open would; false when Open is disabled now or
    // the file was not opened.
    bool OnDropFile(const std::filesystem::path& path);
    // The window is asked to close (its close box): true when it may, after offering to save.
    bool OnClose();

    // ---- panes and bars -------------------------------------------------------------------
    bool scopeShown() const { return parts_.panes.scopeShown; }
    bool spectrumShown() const { return parts_.panes.spectrumShown; }
    // 0 hidden, 1 first bar, 2 second bar.
    int slotState(BarSlot slot) const { return slots_[static_cast<std::size_t>(slot)]; }
    // Restores a slot state (saved window settings); states outside 0..2, and bars of a slot the
    // edition disables, are ignored.
    void restoreSlotState(BarSlot slot, int state);
    // Whether a bar is shown under the current slot states.
    bool barShown(const FrameBar& bar) const { return slotState(bar.slot) == bar.shownInState; }

    // ---- ScopeFrameHooks: what the oscilloscope view asks of its frame -------------------
    // Once a record was shown, with the spectrum pane hidden while its row still has height: the upper
    // row takes the whole height; true when something had to change.
    bool giveScopeWholeHeight() override;
    // A tap on the oscilloscope: oscilloscope bar 1 shows, bar 2 and the spectrum bars hide.
    void showScopeBar1() override;

    // ---- what attaches to the frame -------------------------------------------------------
    // Timers 1, 2 and 3 go to the instrument's capture and timer 100 to its output from the
    // frame's construction; the capture thread's "record ready" arrives as timer 3. A handler
    // set here replaces the one for its timer; nullptr removes one.
    void setTimerHandler(int timerId, std::function<void()> handler);
    // A main-frame timer fired (or was posted); a timer nobody registered is ignored.
    void OnTimer(int timerId);
    // The input device's overruns, which the status bar shows while capture runs (the
    // instrument's capture counts them from the frame's construction).
    void setOverrunCounter(std::function<std::uint64_t()> counter) { overruns_ = std::move(counter); }
    // "Output underruns: N" while output runs, "Input overruns: N" while capture runs (both
    // when both run, empty when neither runs or nothing counts them).
    std::string runCountsText() const;

    // The folder of the program file, where the help is looked for (the running program's
    // unless set).
    void setProgramFolder(std::filesystem::path folder) { programFolder_ = std::move(folder); }

    // The panes' pictures for the exports' PNG type; nullptr offers the text type only.
    void setViewPictures(ViewPictures* pictures) { pictures_ = pictures; }

    // The Display Setting was stored: views redraw, the trigger-mode list and "Point" take their
    // enabling again.
    void afterDisplaySetting();

    // ---- FrameViews ----------------------------------------------------------------------
    // Oscilloscope toggled to the panel's state; the spectrum likewise where the edition offers
    // it (else hidden); the generator dialog opened when the panel asks or in edition 3; the
    // trigger-mode enabling re-applied; then the start-up auto-run of capture.
    void ApplyViewVisibility(const PaneFlags& wanted) override;
    // The spectrum view's double taps open the axis dialogs as commands 32813 and 32814 do.
    void OpenSpectrumXScaleDialog() override;
    void OpenSpectrumYScaleDialog() override;

    // ---- OutputDisplayFrame: the generator shows its output in the oscilloscope -----------
    // The hidden oscilloscope pane is shown.
    void showScopePane() override;

private:
    FrameConditions conditions() const;
    bool engineAttached(int id) const;

    void OnFileClose();
    void OnAppExit();
    void OnScopeExport();
    void OnSpectrumExport();
    void OnSignalGenerator();
    void OnHelpTopic();
    void OnRunStopInput();
    void OnRunStopOutput();

    void cycleSlot(BarSlot slot);
    void showSlotBar(BarSlot slot, int state);
    void toggleScopePane();
    void toggleSpectrumPane();
    void panesChanged();
    void applyBarEnabling();
    void closeProgram();

    FrameParts parts_;
    FrameWindow& window_;
    FrameDialogs& dialogs_;
    int edition_;
    DocumentCommands documents_;

    std::array<int, kBarSlotCount> slots_{1, 1, 0};
    bool runPressedAtStart_ = false;
    bool closing_ = false;

    std::filesystem::path programFolder_;
    ViewPictures* pictures_ = nullptr;
    std::map<int, std::function<void()>> timerHandlers_;
    std::function<std::uint64_t()> overruns_;
};

// The start-up auto-run of capture: the Display Setting asks for it, capture is not running,
// the views have had their first record and the edition offers capture. A program started on a
// file shows that file instead: the first record would replace it at once.
bool AutoRunCaptureAtStartup(bool autoRunSetting, bool inputRunning, bool viewsUpdated, int productEdition,
                             bool documentFromFile);

}  // namespace tonewell
