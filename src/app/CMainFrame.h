#pragma once
// The main frame's logic: the command table's handlers with their enable and check rules for the
// product edition, the three bar slots, the two panes, the start-up stages, the main-frame
// timers and the document and panel commands. The window it lives in (FrameWindow) and its
// dialogs (FrameDialogs) are the Qt skin's. It attaches itself to the instrument as the front
// panel's views. The views, the generator's output and input capture are the instrument's; the
// frame gives the views their first update with each document, is the frame they ask about
// their panes, runs the output's Run/Stop and its end-of-sweep timer, and capture's Run/Stop
// (the attached input monitoring) and its timers. UI thread; the references must outlive the
// frame.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "acquisition/CaptureEngine.h"
#include "acquisition/CaptureRestart.h"
#include "app/FrameBars.h"
#include "app/FrameCommands.h"
#include "app/FrameDialogs.h"
#include "app/FrameViews.h"
#include "app/FrameWindow.h"
#include "app/OutputDisplayLink.h"
#include "app/ViewExport.h"
#include "scope/ScopeFrameHooks.h"

namespace tonewell {

class Instrument;

// The main-frame timers: capture's (kTimerCaptureRestart, 10 ms after a parameter change, is
// capture's own name for timer 2) and the output's.
inline constexpr int kTimerRecordRelease = kRecordReleaseTimer;  // 30 ms while capture runs
inline constexpr int kTimerRecordReady = kRecordReadyTimer;      // posted by the capture thread
inline constexpr int kTimerSweepEnd = 100;                       // the end of a generator sweep

// Open filter of the document, with the framework's catch-all.
inline constexpr const char* kDocumentOpenFilter = "ADC (*.wav)|*.wav|All Files (*.*)|*.*|";

class CMainFrame : public FrameViews, public ScopeFrameHooks, public OutputDisplayFrame {
public:
    CMainFrame(Instrument& instrument, FrameWindow& window, FrameDialogs& dialogs, int productEdition);
    ~CMainFrame() override;
    CMainFrame(const CMainFrame&) = delete;
    CMainFrame& operator=(const CMainFrame&) = delete;

    int productEdition() const { return edition_; }
    Instrument& instrument() const { return instrument_; }

    // ---- start-up -------------------------------------------------------------------------
    // The program's start up to the splash: "default.psf"; the frame's creation ("Vorel.cfg",
    // the generator's files for waveform A, the auto-run setting); then the command line: the
    // file given is opened, otherwise (or when it cannot be opened) a new document is made. A
    // refused file has posted File Close, which ends the program.
    void startUp(const std::optional<std::filesystem::path>& commandLineFile);
    // The splash has closed: the main window appears, the panel's pane visibility is applied
    // and the start-up stage goes up by one.
    void OnSplashEnded();
    int startupStage() const;
    bool runPressedAtStart() const { return runPressedAtStart_; }

    // ---- commands -------------------------------------------------------------------------
    // The command's state now; no side effects.
    CommandState commandState(int id) const;
    // The state as the framework's update handler asks for it: the first update of "Run/Stop
    // monitoring input" also ends the pressed look of the start-up auto-run setting.
    CommandState updateCommand(int id);
    // Runs a command when it is enabled (the posted File Close always runs); the command bar
    // then takes the new states.
    void OnCommand(int id);
    // A file dropped on the window is opened as Open would; false when Open is disabled now or
    // the file was not opened.
    bool OnDropFile(const std::filesystem::path& path);
    // The window is asked to close (its close box): true when it may, after offering to save.
    bool OnClose();

    // ---- the document ---------------------------------------------------------------------
    // Offers to save, then opens the file into the document and gives the views their first
    // update; false when it was not opened.
    bool openDocumentFile(const std::filesystem::path& path);

    // ---- panes and bars -------------------------------------------------------------------
    bool scopeShown() const { return scopeShown_; }
    bool spectrumShown() const { return spectrumShown_; }
    // 0 hidden, 1 first bar, 2 second bar.
    int slotState(BarSlot slot) const { return slots_[static_cast<std::size_t>(slot)]; }
    // Restores a slot state (saved window settings); states outside 0..2, and bars of a slot the
    // edition disables, are ignored.
    void restoreSlotState(BarSlot slot, int state);
    // Whether a bar is shown under the current slot states.
    bool barShown(const FrameBar& bar) const { return slotState(bar.slot) == bar.shownInState; }

    // ---- ScopeFrameHooks: what the oscilloscope view asks of its frame -------------------
    bool scopePaneShown() const override { return scopeShown_; }
    // During start-up, with the spectrum pane hidden while its row still has height: the upper
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

    // ---- FrameViews: the views besides the oscilloscope, which the instrument drives itself
    // (the instrument adapts and redraws both views itself)
    void ApplyScopeRanges() override {}
    void AdaptViewToolbars() override {}
    void RedrawAllViews() override {}
    // Oscilloscope toggled to the panel's state; the spectrum likewise where the edition offers
    // it (else hidden); the generator dialog opened when the panel asks or in edition 3; the
    // trigger-mode enabling re-applied; then the start-up auto-run of capture.
    void ApplyViewVisibility() override;
    PaneFlags Panes() const override;
    // The spectrum view's double taps open the axis dialogs as commands 32813 and 32814 do.
    void OpenSpectrumXScaleDialog() override;
    void OpenSpectrumYScaleDialog() override;

    // ---- OutputDisplayFrame: the generator shows its output in the oscilloscope -----------
    // The hidden oscilloscope pane is shown.
    void showScopePane() override;
    // The document holds a new played second: every view draws it.
    void documentChanged() override;

private:
    FrameConditions conditions() const;
    bool engineAttached(int id) const;

    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    void OnFileClose();
    void OnAppExit();
    void OnScopeExport();
    void OnSpectrumExport();
    void OnSignalGenerator();
    void OnSavePanel();
    void OnLoadPanel();
    void OnHelpTopic();
    void OnRunStopInput();
    void OnRunStopOutput();

    void newDocument();
    void initialUpdateViews();
    void cycleSlot(BarSlot slot);
    void showSlotBar(BarSlot slot, int state);
    void toggleScopePane();
    void toggleSpectrumPane();
    void panesChanged();
    void applyBarEnabling();
    int currentScopeType() const;
    void closeProgram();

    Instrument& instrument_;
    FrameWindow& window_;
    FrameDialogs& dialogs_;
    int edition_;

    bool scopeShown_ = true;
    bool spectrumShown_ = true;
    std::array<int, kBarSlotCount> slots_{1, 1, 0};
    bool runPressedAtStart_ = false;
    bool closing_ = false;

    std::filesystem::path programFolder_;
    ViewPictures* pictures_ = nullptr;
    std::map<int, std::function<void()>> timerHandlers_;
    std::function<std::uint64_t()> overruns_;
};

// The start-up auto-run of capture: the Display Setting asks for it, capture is not running,
// the start-up stage is above 1 (the views have had their first updates) and the edition offers
// capture. A program started on a file shows that file instead: the first record would replace
// it at once.
bool AutoRunCaptureAtStartup(bool autoRunSetting, bool inputRunning, int startupStage, int productEdition,
                             bool documentFromFile);

}  // namespace tonewell
