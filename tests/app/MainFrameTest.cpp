#include "app/CMainFrame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/WavBytes.h"
#include "app/Instrument.h"
#include "app/PanelSetting.h"
#include "platform/RecordingShell.h"
#include "platform/audio/LoopbackCable.h"
#include "support/ProgramHome.h"
#include "support/TempDir.h"

namespace tonewell {
namespace {

using namespace testing;

class WindowDouble : public FrameWindow {
public:
    void showPanes(bool scope, bool spectrum) override {
        panes.emplace_back(scope, spectrum);
        lowerHeight = spectrum ? 100 : 0;
    }
    int lowerPaneHeight() const override { return lowerHeight; }
    void recalcLayout() override { ++layouts; }
    void updateCommandBar() override { ++commandBarUpdates; }
    void showWindow() override { shown = true; }
    void closeWindow() override { closed = true; }
    void setDocumentTitle(const std::string& t) override { title = t; }

    std::vector<std::pair<bool, bool>> panes;
    int lowerHeight = 100;
    int layouts = 0;
    int commandBarUpdates = 0;
    bool shown = false;
    bool closed = false;
    std::string title;
};

class DialogsDouble : public FrameDialogs {
public:
    explicit DialogsDouble(const RunState& run) : run_(run) {}
    void calibrationSetting() override { calls.push_back("calibration"); }
    void displaySetting() override { calls.push_back("display"); }
    void notes() override { calls.push_back("notes"); }
    void signalGenerator() override {
        calls.push_back("generator");
        generatorShownWhileOpen = run_.generatorShown.load();
    }
    void audioDevice() override { calls.push_back("audio device"); }
    void frequencyResponse() override { calls.push_back("frequency response"); }
    void spectrumXScale() override { calls.push_back("x scale"); }
    void spectrumYScale() override { calls.push_back("y scale"); }
    void about() override { calls.push_back("about"); }
    bool help(const std::filesystem::path& file, const std::string& anchor) override {
        helpShown.emplace_back(file, anchor);
        return helpViewerWorks;
    }

    std::vector<std::string> calls;
    std::vector<std::pair<std::filesystem::path, std::string>> helpShown;
    bool helpViewerWorks = true;
    bool generatorShownWhileOpen = false;

private:
    const RunState& run_;
};

class MonitoringDouble : public InputMonitoring {
public:
    explicit MonitoringDouble(std::atomic<bool>& running) : running_(running) {}
    void RunStop() override {
        running_ = !running_;
        ++runStops;
    }
    int runStops = 0;

private:
    std::atomic<bool>& running_;
};

std::string MonoWav(int frames) {
    return riff(chunk("fmt ", fmtBody(1, 11025, 8)) + chunk("data", std::string(static_cast<std::size_t>(frames), '\x80')));
}

class MainFrameTest : public ::testing::TestWithParam<int> {
protected:
    int edition() const { return GetParam(); }
    std::filesystem::path writeFile(const std::string& name, const std::string& bytes) {
        auto path = dir / name;
        writeFileBytes(path, bytes);
        return path;
    }

    TempDir dir;
    ProgramHome programHome{dir / "home"};
    RecordingShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
    WindowDouble window;
    DialogsDouble dialogs{instrument.run};
    CMainFrame frame{instrument.frameParts(), window, dialogs, GetParam()};
};

// ---- start-up -----------------------------------------------------------------------------

TEST_P(MainFrameTest, StartsWithANewDocumentAndTheStageGoesUpWhenTheSplashEnds) {
    frame.startUp(std::nullopt);
    // The views' first updates with the new document count the stage up from 0, one each.
    EXPECT_EQ(frame.startupStage(), StartupStage::ViewsKept);
    EXPECT_EQ(window.title, "Untitled");
    EXPECT_FALSE(window.shown);
    EXPECT_EQ(window.panes.front(), std::make_pair(true, true));  // the client area in halves

    frame.OnSplashEnded();
    EXPECT_TRUE(window.shown);
    EXPECT_EQ(frame.startupStage(), StartupStage::SplashEnded);
    EXPECT_TRUE(shell.messages().empty()) << ::testing::PrintToString(shell.messages());
}

TEST_P(MainFrameTest, TheFileOnTheCommandLineIsOpened) {
    frame.startUp(writeFile("take.wav", MonoWav(300)));
    EXPECT_EQ(instrument.document.sampleCount, 300u);
    EXPECT_EQ(window.title, "take.wav");
    EXPECT_EQ(instrument.panel.sampling.point.text(), "300");
    EXPECT_TRUE(shell.postedCommands().empty());
}

// A refused file is reported and the program goes on: with a new document when it was named on
// the command line, with the record that was open when it was opened or dropped.
TEST_P(MainFrameTest, ARefusedFileIsReportedAndKeepsTheProgramAndTheOpenRecord) {
    const std::string deep = riff(chunk("fmt ", fmtBody(1, 44100, 24)) + chunk("data", std::string(30, '\0')));
    const std::vector<std::string> refusal{"A/D conversion presion greater than 16 bits is currently not supported"};
    frame.startUp(writeFile("deep.wav", deep));
    EXPECT_EQ(shell.messages(), refusal);
    EXPECT_TRUE(shell.postedCommands().empty());
    EXPECT_EQ(window.title, "Untitled");

    shell.openFileAnswers.push_back(writeFile("take.wav", MonoWav(42)).string());
    frame.OnCommand(kCommandFileOpen);
    shell.openFileAnswers.push_back((dir / "deep.wav").string());
    frame.OnCommand(kCommandFileOpen);
    EXPECT_FALSE(frame.OnDropFile(dir / "deep.wav"));
    EXPECT_EQ(shell.messages().size(), 3u);
    EXPECT_TRUE(shell.postedCommands().empty());
    EXPECT_FALSE(window.closed);
    EXPECT_EQ(instrument.document.sampleCount, 42u);
    EXPECT_EQ(window.title, "take.wav");
    EXPECT_EQ(shell.savePrompts, 0);
}

TEST_P(MainFrameTest, AFileThatCannotBeOpenedLeavesANewDocument) {
    frame.startUp(dir / "missing.wav");
    EXPECT_TRUE(shell.postedCommands().empty());
    EXPECT_EQ(window.title, "Untitled");
    EXPECT_FALSE(window.closed);
}

TEST_P(MainFrameTest, StartUpReadsTheProgramFilesAndTakesTheAutoRunSetting) {
    PanelSetting stored = BuiltInPanelSetting();
    stored.setRow(RangeTableId::SamplingFrequency, 3);  // "11025H"
    std::filesystem::create_directories(dir / "home");
    writeFile("home/default.psf", EncodePanelSetting(stored));

    frame.startUp(std::nullopt);
    EXPECT_EQ(instrument.document.riffHeader.format.samplesPerSecond, 11025u);
    EXPECT_TRUE(frame.runPressedAtStart());
    EXPECT_TRUE(frame.commandState(kCommandRunStopInput).checked);
    frame.commandBarRefreshed();  // the window has shown it once
    EXPECT_FALSE(frame.runPressedAtStart());
    EXPECT_FALSE(frame.commandState(kCommandRunStopInput).checked);
    // "Point" edits only when the display setting allows it (off by default).
    EXPECT_FALSE(instrument.panel.sampling.point.enabled());
}

// ---- panes --------------------------------------------------------------------------------

TEST_P(MainFrameTest, HidingAPaneGivesTheOtherTheWholeHeightAndShowingSplitsIt) {
    int repaints = 0;
    instrument.spectrum.setRepaintHandler([&] { ++repaints; });
    frame.OnCommand(kCommandScopePane);
    EXPECT_FALSE(frame.scopeShown());
    EXPECT_EQ(window.panes.back(), std::make_pair(false, true));
    EXPECT_EQ(repaints, 1);
    EXPECT_FALSE(frame.commandState(kCommandScopeExport).enabled);

    // The spectrum is the only pane now: hiding it does nothing.
    if (EditionHasSpectrum(edition())) {
        frame.OnCommand(kCommandSpectrumPane);
        EXPECT_TRUE(frame.spectrumShown());
        EXPECT_EQ(repaints, 1);
    }
    instrument.spectrum.setRepaintHandler({});

    frame.OnCommand(kCommandScopePane);
    EXPECT_EQ(window.panes.back(), std::make_pair(true, true));
    EXPECT_EQ(window.panes.size(), 2u);
}

TEST_P(MainFrameTest, TheOnlyShownOscilloscopeStays) {
    instrument.panel.resetPanel();
    frame.OnSplashEnded();  // the built-in panel shows the spectrum only where the edition has it
    ASSERT_EQ(frame.spectrumShown(), EditionHasSpectrum(edition()));
    if (frame.spectrumShown()) frame.OnCommand(kCommandSpectrumPane);
    const std::size_t changes = window.panes.size();
    frame.OnCommand(kCommandScopePane);
    EXPECT_TRUE(frame.scopeShown());
    EXPECT_EQ(window.panes.size(), changes);
}

TEST_P(MainFrameTest, TheSpectrumPaneToggleIsRefusedWhereTheEditionHasNoAnalyser) {
    frame.OnCommand(kCommandSpectrumPane);
    EXPECT_EQ(frame.spectrumShown(), !EditionHasSpectrum(edition()));
}

TEST_P(MainFrameTest, AppliedVisibilityFollowsThePanelAndTheEdition) {
    frame.OnSplashEnded();
    EXPECT_TRUE(frame.scopeShown());
    EXPECT_EQ(frame.spectrumShown(), EditionHasSpectrum(edition()));
    EXPECT_EQ(instrument.effects.Panes().spectrumShown, frame.spectrumShown());

    // Edition 3 opens the generator dialog once the step is done; it is flagged while open.
    EXPECT_TRUE(dialogs.calls.empty());
    shell.runPosted();
    if (edition() == kEditionGeneratorScope) {
        EXPECT_EQ(dialogs.calls, std::vector<std::string>{"generator"});
        EXPECT_TRUE(dialogs.generatorShownWhileOpen);
    } else {
        EXPECT_TRUE(dialogs.calls.empty());
    }
    EXPECT_FALSE(instrument.run.generatorShown);
}

// ---- bar slots ----------------------------------------------------------------------------

TEST_P(MainFrameTest, SlotCommandsCycleAndTheBarButtonsSwitch) {
    EXPECT_EQ(frame.slotState(BarSlot::TriggerSampling), 1);
    EXPECT_EQ(frame.slotState(BarSlot::Scope), 1);
    EXPECT_EQ(frame.slotState(BarSlot::Spectrum), 0);

    frame.OnCommand(kCommandTrigSampParameters);
    EXPECT_EQ(frame.slotState(BarSlot::TriggerSampling), 0);
    frame.OnCommand(kCommandTrigSampParameters);
    EXPECT_EQ(frame.slotState(BarSlot::TriggerSampling), 1);
    // The sampling bar showing: the command hides the slot.
    frame.OnCommand(kCommandShowSamplingBar);
    EXPECT_EQ(frame.slotState(BarSlot::TriggerSampling), 2);
    EXPECT_TRUE(frame.commandState(kCommandTrigSampParameters).checked);
    frame.OnCommand(kCommandTrigSampParameters);
    EXPECT_EQ(frame.slotState(BarSlot::TriggerSampling), 0);
    EXPECT_FALSE(frame.commandState(kCommandTrigSampParameters).checked);

    frame.OnCommand(kCommandShowScopeBar2);
    EXPECT_EQ(frame.slotState(BarSlot::Scope), 2);
    frame.OnCommand(kCommandShowScopeBar1);
    EXPECT_EQ(frame.slotState(BarSlot::Scope), 1);
    EXPECT_EQ(window.layouts, 6);  // every change re-lays out

    frame.OnCommand(kCommandSpectrumParameters);
    EXPECT_EQ(frame.slotState(BarSlot::Spectrum), EditionHasSpectrum(edition()) ? 1 : 0);
}

TEST_P(MainFrameTest, ATapOnTheOscilloscopeBringsUpItsFirstBar) {
    frame.OnCommand(kCommandShowScopeBar2);
    frame.restoreSlotState(BarSlot::Spectrum, 2);
    frame.showScopeBar1();
    EXPECT_EQ(frame.slotState(BarSlot::Scope), 1);
    EXPECT_EQ(frame.slotState(BarSlot::Spectrum), 0);
    frame.restoreSlotState(BarSlot::Scope, 7);  // not a state: ignored
    EXPECT_EQ(frame.slotState(BarSlot::Scope), 1);
    // Another edition's saved spectrum bar is not shown where the edition has no spectrum.
    frame.restoreSlotState(BarSlot::Spectrum, 1);
    EXPECT_EQ(frame.slotState(BarSlot::Spectrum), EditionHasSpectrum(edition()) ? 1 : 0);
}

TEST_P(MainFrameTest, TheOscilloscopeTakesTheWholeHeightAtStartWhenTheSpectrumIsHidden) {
    EXPECT_FALSE(frame.giveScopeWholeHeight());  // no record shown yet
    instrument.startup.scopeKeepsPanel();
    EXPECT_EQ(frame.giveScopeWholeHeight(), false);  // the spectrum is shown
    instrument.panel.resetPanel();
    frame.OnSplashEnded();
    window.lowerHeight = 40;  // the split window has not followed yet
    EXPECT_EQ(frame.giveScopeWholeHeight(), !frame.spectrumShown());
}

// ---- documents ----------------------------------------------------------------------------

TEST_P(MainFrameTest, CommandsDisabledWhileCapturingDoNotRun) {
    frame.startUp(writeFile("take.wav", MonoWav(10)));
    instrument.run.inputRunning = true;
    frame.OnCommand(kCommandFileNew);
    frame.OnCommand(kCommandNotes);
    shell.openFileAnswers.push_back((dir / "take.wav").string());
    frame.OnCommand(kCommandFileOpen);
    EXPECT_FALSE(frame.OnDropFile(dir / "take.wav"));
    EXPECT_EQ(instrument.document.sampleCount, 10u);
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_TRUE(shell.fileRequests.empty());
    EXPECT_EQ(shell.openFileAnswers.size(), 1u);
}

TEST_P(MainFrameTest, OpenOffersTheDocumentFilterAndOpensTheChosenFile) {
    frame.startUp(std::nullopt);
    ASSERT_EQ(frame.startupStage(), StartupStage::ViewsKept);
    shell.openFileAnswers.push_back(writeFile("b.wav", MonoWav(42)).string());
    frame.OnCommand(kCommandFileOpen);
    ASSERT_EQ(shell.fileRequests.size(), 1u);
    EXPECT_EQ(shell.fileRequests[0].filter.rfind("ADC (*.wav)|*.wav|", 0), 0u);
    EXPECT_EQ(instrument.document.sampleCount, 42u);
    EXPECT_EQ(window.title, "b.wav");
    EXPECT_EQ(frame.startupStage(), StartupStage::ViewsKept);  // the oscilloscope's first update with the file

    EXPECT_TRUE(frame.OnDropFile(writeFile("c.wav", MonoWav(7))));
    EXPECT_EQ(instrument.document.sampleCount, 7u);
}

TEST_P(MainFrameTest, SaveAsAppendsTheExtensionAndTheDocumentTakesTheName) {
    frame.startUp(writeFile("take.wav", MonoWav(12)));
    shell.saveFileAnswers.push_back((dir / "copy").string());
    frame.OnCommand(kCommandFileSaveAs);
    ASSERT_EQ(shell.fileRequests.size(), 1u);
    EXPECT_TRUE(shell.fileRequests[0].promptOverwrite);
    EXPECT_EQ(shell.fileRequests[0].initialPath, (dir / "take.wav").string());
    const std::string written = readFileBytes(dir / "copy.wav");
    ASSERT_GT(written.size(), 44u + 12u);
    EXPECT_EQ(written.substr(36, 8), std::string("data\x0c\0\0\0", 8));
    EXPECT_EQ(window.title, "copy.wav");
}

TEST_P(MainFrameTest, ExitAndFileCloseOfferToSaveAnOpenedModifiedDocument) {
    frame.startUp(writeFile("take.wav", MonoWav(12)));
    instrument.document.SetModifiedFlag();
    shell.savePromptAnswer = SavePromptAnswer::Cancel;
    frame.OnCommand(kCommandAppExit);
    EXPECT_EQ(shell.savePrompts, 1);
    EXPECT_FALSE(window.closed);
    frame.OnCommand(kCommandFileClose);
    EXPECT_EQ(shell.savePrompts, 2);
    EXPECT_FALSE(window.closed);
    EXPECT_FALSE(frame.OnClose());  // the close box asks too

    shell.savePromptAnswer = SavePromptAnswer::No;
    frame.OnCommand(kCommandAppExit);
    EXPECT_TRUE(window.closed);
}

TEST_P(MainFrameTest, ANewDocumentAfterStartUpResetsThePanel) {
    frame.startUp(std::nullopt);
    frame.OnSplashEnded();
    instrument.panel.sampling.frequency.userSelect(3);
    frame.OnCommand(kCommandFileNew);
    EXPECT_EQ(frame.startupStage(), StartupStage::ViewsKept);
    EXPECT_EQ(instrument.panel.sampling.frequency.selection(), 5);  // built-in "44100H"
}

TEST_P(MainFrameTest, LoadPanelSettingAppliesTheFileThroughNew) {
    frame.startUp(std::nullopt);
    PanelSetting stored = BuiltInPanelSetting();
    stored.setRow(RangeTableId::SamplingFrequency, 2);  // "8000H"
    stored.setRow(RangeTableId::TriggerMode, 0);         // "None"
    shell.openFileAnswers.push_back(writeFile("bench.psf", EncodePanelSetting(stored)).string());

    frame.OnCommand(kCommandLoadPanel);
    ASSERT_EQ(shell.fileRequests.size(), 1u);
    EXPECT_EQ(shell.fileRequests[0].filter, kPanelFileFilter);
    // -1 while loading, 0 once the new document has applied it, then the views' first updates
    // with it count one up each.
    EXPECT_EQ(frame.startupStage(), StartupStage::ViewsKept);
    EXPECT_EQ(instrument.panel.sampling.frequency.selection(), 2);
    EXPECT_EQ(instrument.document.riffHeader.format.samplesPerSecond, 8000u);
    EXPECT_FALSE(instrument.panel.trigger.edge.enabled());
}

TEST_P(MainFrameTest, ARefusedPanelFileChangesNothing) {
    frame.startUp(std::nullopt);
    instrument.panel.sampling.frequency.userSelect(2);
    shell.openFileAnswers.push_back(writeFile("bad.psf", std::string(200, 'x')).string());
    frame.OnCommand(kCommandLoadPanel);
    EXPECT_EQ(shell.messages(), std::vector<std::string>{kPanelFormatMessage});
    EXPECT_EQ(frame.startupStage(), StartupStage::ViewsKept);
    EXPECT_EQ(instrument.panel.sampling.frequency.selection(), 2);
}

TEST_P(MainFrameTest, SavePanelSettingAsksBeforeOverwritingAndAddsTheExtension) {
    frame.startUp(std::nullopt);
    shell.saveFileAnswers.push_back((dir / "mine").string());
    frame.OnCommand(kCommandSavePanel);
    ASSERT_EQ(shell.fileRequests.size(), 1u);
    EXPECT_TRUE(shell.fileRequests[0].promptOverwrite);
    EXPECT_EQ(shell.fileRequests[0].defaultExtension, "psf");
    EXPECT_EQ(readFileBytes(dir / "mine.psf").substr(0, 8), std::string("Quendal\0", 8));

    frame.OnCommand(kCommandSavePanelDefault);
    EXPECT_TRUE(std::filesystem::exists(dir / "home" / "default.psf"));
}

TEST_P(MainFrameTest, OscilloscopeExportWritesTheRecordAsText) {
    frame.startUp(writeFile("take.wav", MonoWav(3)));
    shell.saveFileAnswers.push_back((dir / "scope").string());
    frame.OnCommand(kCommandScopeExport);
    const std::string text = readFileBytes(dir / "scope.txt");
    EXPECT_EQ(text.rfind("Data Points\r\nSampling Frequency=11025 Hz\r\n", 0), 0u) << text;
}

// ---- dialogs, help, run and stop ----------------------------------------------------------

TEST_P(MainFrameTest, DialogCommandsGoToTheDialogsWhereTheEditionOffersThem) {
    frame.startUp(std::nullopt);
    instrument.configuration.autoRunAtStartup = false;  // the dialogs wait while capture runs
    frame.OnSplashEnded();  // the panes of the edition
    for (int id : {kCommandCalibration, kCommandDisplay, kCommandNotes, kCommandSignalGenerator, kCommandAudioDevice,
                   kCommandFrequencyResponse, kCommandSpectrumXScale, kCommandSpectrumYScale, kCommandAbout})
        frame.OnCommand(id);
    std::vector<std::string> expected{"calibration", "display", "notes"};
    if (EditionHasOutput(edition())) expected.push_back("generator");
    expected.push_back("audio device");
    if (edition() == kEditionAll) expected.push_back("frequency response");
    if (edition() == kEditionAll) expected.insert(expected.end(), {"x scale", "y scale"});
    expected.push_back("about");
    EXPECT_EQ(dialogs.calls, expected);
}

TEST_P(MainFrameTest, HelpOpensTheProgramsOwnFileAtItsContents) {
    // An installed program: bin/tonewell and share/tonewell/help/Celvane.htm.
    std::filesystem::create_directories(dir / "share/tonewell/help");
    std::filesystem::create_directories(dir / "bin");
    writeFile("share/tonewell/help/Celvane.htm", "<html></html>");
    frame.setProgramFolder(dir / "bin");
    frame.OnCommand(kCommandHelpTopic);
    ASSERT_EQ(dialogs.helpShown.size(), 1u);
    EXPECT_EQ(dialogs.helpShown[0].first, std::filesystem::weakly_canonical(dir / "share/tonewell/help/Celvane.htm"));
    EXPECT_EQ(dialogs.helpShown[0].second, "Main_Contents");
    EXPECT_TRUE(shell.messages().empty());
}

TEST_P(MainFrameTest, HelpThatCannotStartSaysSo) {
    std::filesystem::create_directories(dir / "help");
    writeFile("help/Celvane.htm", "<html></html>");
    frame.setProgramFolder(dir.path());
    dialogs.helpViewerWorks = false;
    frame.OnCommand(kCommandHelpTopic);
    EXPECT_EQ(dialogs.helpShown.size(), 1u);
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"Could not run peghelp.exe"});
}

TEST_P(MainFrameTest, HelpWithoutItsFileSaysSoWithoutAViewer) {
    frame.setProgramFolder(dir / "nowhere");
    frame.OnCommand(kCommandHelpTopic);
    EXPECT_TRUE(dialogs.helpShown.empty());
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"Could not run peghelp.exe"});
}

TEST_P(MainFrameTest, RunStopInputNeedsCaptureAndTheEdition) {
    EXPECT_EQ(frame.commandState(kCommandRunStopInput).enabled, EditionHasCapture(edition()));
    instrument.effects.attachInputMonitoring(nullptr);
    EXPECT_FALSE(frame.commandState(kCommandRunStopInput).enabled);
    MonitoringDouble input(instrument.run.inputRunning);
    instrument.effects.attachInputMonitoring(&input);
    frame.OnCommand(kCommandRunStopInput);
    EXPECT_EQ(input.runStops, EditionHasCapture(edition()) ? 1 : 0);
    EXPECT_EQ(frame.commandState(kCommandRunStopInput).checked, EditionHasCapture(edition()));
    instrument.effects.attachInputMonitoring(&instrument.capture);
    instrument.run.inputRunning = false;
}

TEST_P(MainFrameTest, RunStopOutputPlaysTheGeneratorWhereTheEditionHasIt) {
    frame.startUp(std::nullopt);
    frame.OnCommand(kCommandRunStopOutput);
    EXPECT_EQ(instrument.run.outputRunning.load(), EditionHasOutput(edition()));
    EXPECT_EQ(frame.commandState(kCommandRunStopOutput).checked, EditionHasOutput(edition()));
    EXPECT_EQ(frame.runCountsText().rfind("Output underruns: ", 0) == 0, EditionHasOutput(edition()));
    frame.OnCommand(kCommandRunStopOutput);
    EXPECT_FALSE(instrument.run.outputRunning);
    EXPECT_TRUE(shell.messages().empty()) << ::testing::PrintToString(shell.messages());
}

TEST_P(MainFrameTest, TimersGoToTheirHandlersAndTimer100ToTheOutput) {
    std::vector<int> fired;
    for (int id : {kTimerRecordRelease, kTimerCaptureRestart, kTimerRecordReady})
        frame.setTimerHandler(id, [&fired, id] { fired.push_back(id); });
    frame.OnTimer(kTimerRecordReady);
    frame.OnTimer(kTimerRecordRelease);
    frame.OnTimer(kTimerCaptureRestart);
    frame.OnTimer(42);  // nobody's
    EXPECT_EQ(fired, (std::vector<int>{kTimerRecordReady, kTimerRecordRelease, kTimerCaptureRestart}));

    // Timer 100 belongs to the output: it is killed, and a continuous output plays on since
    // no sweep has ended.
    frame.startUp(std::nullopt);
    instrument.output.RunStop();
    ASSERT_TRUE(instrument.run.outputRunning);
    shell.setTimer(kTimerSweepEnd, 1);
    frame.OnTimer(kTimerSweepEnd);
    EXPECT_TRUE(shell.activeTimers().empty());
    EXPECT_TRUE(instrument.run.outputRunning);
    instrument.output.RunStop();

    frame.setTimerHandler(kTimerRecordReady, nullptr);
    frame.OnTimer(kTimerRecordReady);
    EXPECT_EQ(fired.size(), 3u);
}

TEST_P(MainFrameTest, StatusCountsShowWhileTheirDeviceRuns) {
    frame.setOverrunCounter([] { return std::uint64_t{4}; });
    EXPECT_EQ(frame.runCountsText(), "");
    instrument.run.inputRunning = true;
    EXPECT_EQ(frame.runCountsText(), "Input overruns: 4");
    instrument.run.outputRunning = true;  // no run yet: none counted
    EXPECT_EQ(frame.runCountsText(), "Output underruns: 0  Input overruns: 4");
}

TEST_P(MainFrameTest, TheGeneratorInTheOscilloscopeShowsTheHiddenPane) {
    instrument.panel.resetPanel();
    frame.OnSplashEnded();
    if (frame.spectrumShown()) frame.OnCommand(kCommandSpectrumPane);
    frame.OnCommand(kCommandScopePane);  // the only pane: stays
    ASSERT_TRUE(frame.scopeShown());
    if (EditionHasSpectrum(edition())) {
        frame.OnCommand(kCommandSpectrumPane);
        frame.OnCommand(kCommandScopePane);
        ASSERT_FALSE(frame.scopeShown());
        frame.showScopePane();
        EXPECT_TRUE(frame.scopeShown());
        EXPECT_EQ(window.panes.back(), std::make_pair(true, true));
    }
    int repaints = 0;
    instrument.scope.setRepaintHandler([&] { ++repaints; });
    instrument.effects.RedrawAllViews();
    EXPECT_EQ(repaints, 1);
    instrument.scope.setRepaintHandler({});
}

INSTANTIATE_TEST_SUITE_P(Editions, MainFrameTest, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return "Edition" + std::to_string(info.param); });

TEST(AutoRunAtStartup, OnlyOnceTheViewsWereUpdatedWhereCaptureIsOfferedAndNotOnAFile) {
    EXPECT_TRUE(AutoRunCaptureAtStartup(true, false, true, kEditionAll, false));
    EXPECT_FALSE(AutoRunCaptureAtStartup(true, false, false, kEditionAll, false));
    EXPECT_FALSE(AutoRunCaptureAtStartup(true, true, true, kEditionAll, false));
    EXPECT_FALSE(AutoRunCaptureAtStartup(false, false, true, kEditionAll, false));
    EXPECT_FALSE(AutoRunCaptureAtStartup(true, false, true, kEditionGeneratorScope, false));
    EXPECT_FALSE(AutoRunCaptureAtStartup(true, false, true, kEditionAll, true));
}

}  // namespace
}  // namespace tonewell
