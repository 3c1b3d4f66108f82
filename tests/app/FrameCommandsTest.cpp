#include "app/FrameCommands.h"

#include <gtest/gtest.h>

#include <set>

namespace tonewell {
namespace {

// Idle, a record with samples, both panes shown, amplitude spectrum: every rule at its most
// permissive, so that each case below changes one thing.
FrameConditions Ready(int edition) {
    FrameConditions c;
    c.productEdition = edition;
    c.recordEmpty = false;
    return c;
}

bool Enabled(int id, const FrameConditions& c) { return FrameCommandState(id, c).enabled; }
bool Checked(int id, const FrameConditions& c) { return FrameCommandState(id, c).checked; }

// What each edition offers when everything else allows it.
struct EditionRow {
    int edition;
    bool spectrumExport;
    bool signalGenerator;
    bool spectrumScales;
    bool spectrumParameters;
    bool runStopInput;
    bool spectrumPane;
    bool runStopOutput;
    bool frequencyResponse;
};

class EditionRulesTest : public ::testing::TestWithParam<EditionRow> {};

TEST_P(EditionRulesTest, TheEditionDecidesTheInstrumentCommands) {
    const EditionRow& row = GetParam();
    const FrameConditions c = Ready(row.edition);
    EXPECT_EQ(Enabled(kCommandSpectrumExport, c), row.spectrumExport);
    EXPECT_EQ(Enabled(kCommandSignalGenerator, c), row.signalGenerator);
    EXPECT_EQ(Enabled(kCommandSpectrumXScale, c), row.spectrumScales);
    EXPECT_EQ(Enabled(kCommandSpectrumYScale, c), row.spectrumScales);
    EXPECT_EQ(Enabled(kCommandSpectrumParameters, c), row.spectrumParameters);
    EXPECT_EQ(Enabled(kCommandRunStopInput, c), row.runStopInput);
    EXPECT_EQ(Enabled(kCommandSpectrumPane, c), row.spectrumPane);
    EXPECT_EQ(Enabled(kCommandRunStopOutput, c), row.runStopOutput);
    EXPECT_EQ(Enabled(kCommandFrequencyResponse, c), row.frequencyResponse);
    // The window opens beside running instruments; its own Run waits for the devices.
    FrameConditions running = c;
    running.inputRunning = running.outputRunning = true;
    EXPECT_EQ(Enabled(kCommandFrequencyResponse, running), row.frequencyResponse);
}

TEST_P(EditionRulesTest, CaptureRunningDisablesDocumentDialogPanelAndHelpCommands) {
    FrameConditions c = Ready(GetParam().edition);
    c.inputRunning = true;
    for (int id : {kCommandFileNew, kCommandFileOpen, kCommandFileSave, kCommandFileSaveAs, kCommandScopeExport,
                   kCommandSpectrumExport, kCommandCalibration, kCommandDisplay, kCommandNotes, kCommandSignalGenerator,
                   kCommandAudioDevice, kCommandSpectrumXScale, kCommandSpectrumYScale, kCommandSavePanelDefault,
                   kCommandSavePanel, kCommandLoadPanel, kCommandHelpTopic, kCommandAbout})
        EXPECT_FALSE(Enabled(id, c)) << id;
    // Still there while capturing: quitting, the bars, the panes and the buttons.
    EXPECT_TRUE(Enabled(kCommandAppExit, c));
    EXPECT_TRUE(Enabled(kCommandTrigSampParameters, c));
    EXPECT_TRUE(Enabled(kCommandScopeParameters, c));
    EXPECT_TRUE(Enabled(kCommandScopePane, c));
    EXPECT_EQ(Enabled(kCommandRunStopInput, c), GetParam().runStopInput);
    EXPECT_TRUE(Checked(kCommandRunStopInput, c));
}

TEST_P(EditionRulesTest, AnEmptyRecordCannotBeSavedOrExported) {
    FrameConditions c = Ready(GetParam().edition);
    c.recordEmpty = true;
    for (int id : {kCommandFileSave, kCommandFileSaveAs, kCommandScopeExport, kCommandSpectrumExport})
        EXPECT_FALSE(Enabled(id, c)) << id;
    EXPECT_TRUE(Enabled(kCommandFileNew, c));
    EXPECT_TRUE(Enabled(kCommandNotes, c));
}

TEST_P(EditionRulesTest, HiddenPanesTakeTheirCommandsAlong) {
    const EditionRow& row = GetParam();
    FrameConditions scopeHidden = Ready(row.edition);
    scopeHidden.scopeShown = false;
    EXPECT_FALSE(Enabled(kCommandScopeExport, scopeHidden));
    EXPECT_EQ(Enabled(kCommandRunStopInput, scopeHidden), row.runStopInput);  // the spectrum pane still shows
    EXPECT_FALSE(Checked(kCommandScopePane, scopeHidden));

    FrameConditions spectrumHidden = Ready(row.edition);
    spectrumHidden.spectrumShown = false;
    EXPECT_FALSE(Enabled(kCommandSpectrumExport, spectrumHidden));
    EXPECT_FALSE(Enabled(kCommandSpectrumXScale, spectrumHidden));
    EXPECT_FALSE(Enabled(kCommandSpectrumYScale, spectrumHidden));
    EXPECT_TRUE(Enabled(kCommandScopeExport, spectrumHidden));
    EXPECT_FALSE(Checked(kCommandSpectrumPane, spectrumHidden));

    FrameConditions noPane = spectrumHidden;
    noPane.scopeShown = false;
    EXPECT_FALSE(Enabled(kCommandRunStopInput, noPane));
}

TEST_P(EditionRulesTest, TheGeneratorInTheOscilloscopeBlocksInputMonitoring) {
    FrameConditions c = Ready(GetParam().edition);
    c.displayInScopeActive = true;
    EXPECT_FALSE(Enabled(kCommandRunStopInput, c));
    EXPECT_EQ(Enabled(kCommandRunStopOutput, c), GetParam().runStopOutput);
}

TEST_P(EditionRulesTest, ScaleDialogsOnlyForTheAmplitudeSpectrum) {
    FrameConditions c = Ready(GetParam().edition);
    c.amplitudeSpectrum = false;
    EXPECT_FALSE(Enabled(kCommandSpectrumXScale, c));
    EXPECT_FALSE(Enabled(kCommandSpectrumYScale, c));
}

TEST_P(EditionRulesTest, ButtonsArePressedWhileTheirThingRunsOrShows) {
    FrameConditions c = Ready(GetParam().edition);
    EXPECT_FALSE(Checked(kCommandRunStopInput, c));
    EXPECT_FALSE(Checked(kCommandRunStopOutput, c));
    EXPECT_TRUE(Checked(kCommandScopePane, c));
    EXPECT_TRUE(Checked(kCommandSpectrumPane, c));
    c.outputRunning = true;
    EXPECT_TRUE(Checked(kCommandRunStopOutput, c));
    c.runPressedAtStart = true;
    EXPECT_TRUE(Checked(kCommandRunStopInput, c));
}

INSTANTIATE_TEST_SUITE_P(
    Editions, EditionRulesTest,
    ::testing::Values(
        //         edition  specExp gen    scales specPar runIn  specPane runOut response
        EditionRow{0, true, true, true, true, true, true, true, true},
        EditionRow{1, false, false, false, false, true, false, false, false},
        EditionRow{2, true, false, false, true, true, true, false, false},
        EditionRow{3, false, true, true, false, false, false, true, false}),
    [](const auto& info) { return "Edition" + std::to_string(info.param.edition); });

TEST(SlotCommandRules, CheckedWhileTheSlotShowsABar) {
    FrameConditions c = Ready(kEditionAll);
    for (int state : {0, 1, 2}) {
        c.trigSampBarState = c.scopeBarState = c.spectrumBarState = state;
        for (int id : {kCommandTrigSampParameters, kCommandScopeParameters, kCommandSpectrumParameters})
            EXPECT_EQ(Checked(id, c), state != 0) << id << " in state " << state;
    }
}

TEST(FrameCommandTable, EveryCommandOnceWithItsPromptAndTip) {
    std::set<int> ids;
    for (const FrameCommand& command : FrameCommandTable()) {
        EXPECT_TRUE(ids.insert(command.id).second) << command.id;
        EXPECT_FALSE(command.text.empty()) << command.id;
        EXPECT_EQ(FindFrameCommand(command.id), &command);
    }
    EXPECT_EQ(FindFrameCommand(1), nullptr);
    EXPECT_EQ(FindFrameCommand(kCommandAppExit)->prompt(), "Quit the application; prompts to save documents");
    EXPECT_EQ(FindFrameCommand(kCommandAppExit)->tip(), "Exit");
    EXPECT_EQ(FindFrameCommand(kCommandHelpTopic)->tip(), "Help Topics");
    EXPECT_EQ(FindFrameCommand(kCommandFileOpen)->tip(), "");
    EXPECT_EQ(FindFrameCommand(kCommandSignalGenerator)->prompt(), "");
    for (int id : {kCommandRunStopInput, kCommandScopePane, kCommandSpectrumPane, kCommandRunStopOutput})
        EXPECT_TRUE(FindFrameCommand(id)->checkButton) << id;
    EXPECT_FALSE(FindFrameCommand(kCommandFileNew)->checkButton);
}

}  // namespace
}  // namespace tonewell
