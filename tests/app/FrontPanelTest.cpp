#include "app/FrontPanel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "generator/GeneratorTables.h"
#include "platform/RecordingShell.h"
#include "support/TempDir.h"

namespace tonewell {
namespace {

using Id = RangeTableId;

class FrameDouble : public PanelEffects {
public:
    PaneFlags panes;
    std::optional<SpectrumScales> scales;
    std::vector<std::string> calls;

    RangeCode ScopeTimeRange() const override { return RangeCode(0x300A); }
    void ConfigureDocumentFormat() override { calls.push_back("configure"); }
    void ApplyScopeRanges() override { calls.push_back("apply ranges"); }
    void OnScopeTypeChanged() override { calls.push_back("type changed"); }
    void ApplySpectrumControls() override { calls.push_back("spectrum controls"); }
    void OnSpectrumTypeChanged() override { calls.push_back("spectrum type"); }
    void AdaptViewToolbars() override { calls.push_back("adapt toolbars"); }
    void RestartCaptureIfRunning() override { calls.push_back("restart"); }
    void RedrawAllViews() override { calls.push_back("redraw"); }
    PaneFlags Panes() const override { return panes; }
    std::optional<SpectrumScales> ShownSpectrumScales() const override { return scales; }
    void ApplyViewVisibility(const PaneFlags&) override { calls.push_back("visibility"); }
};

class FrontPanelTest : public ::testing::Test {
protected:
    FrontPanelTest() {
        startup.scopeKeepsPanel();  // a record has been shown
        panel.createBars();
    }

    void pick(ListControl& list, std::string_view name) {
        for (int row = 0; row < list.count(); ++row)
            if (list.items()[static_cast<std::size_t>(row)] == name) return list.userSelect(row);
        FAIL() << name;
    }

    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{false};
    CSignalDoc document{shell, configuration, inputRunning, FreshDocumentSelection{}};
    RangeTables tables;
    AcquisitionParameters acquisition;
    GeneratorSettings generator;
    std::string toneFilePath;
    Startup startup;
    FrameDouble frame;
    FrontPanel panel{PanelHomes{tables, acquisition, generator, toneFilePath, startup}, document, frame, shell};
    testing::TempDir dir;
};

TEST_F(FrontPanelTest, APanelReadWithTriggerModeNoneDisablesTheTriggerControlsOnApply) {
    PanelSetting stored = BuiltInPanelSetting();
    stored.setRow(Id::TriggerMode, 0);
    stored.setRow(Id::SamplingChannels, 1);
    ToneLists tones;
    ASSERT_TRUE(WritePanelSettingFile(dir.path() / "none.psf", stored, tones, dir.path(), toneFilePath, shell));
    ASSERT_TRUE(panel.loadPanel(dir.path() / "none.psf"));
    EXPECT_TRUE(panel.trigger.edge.enabled());  // not applied yet

    startup.panelLoaded();
    panel.ApplyNewDocumentPanel(document);
    EXPECT_EQ(startup.stage(), StartupStage::PanelApplied);
    EXPECT_EQ(panel.trigger.mode.text(), "None");
    for (const Control* control : std::initializer_list<const Control*>{
             &panel.trigger.source, &panel.trigger.edge, &panel.trigger.level, &panel.trigger.levelSpin,
             &panel.trigger.delay, &panel.trigger.delaySpin})
        EXPECT_FALSE(control->enabled()) << control->id();
    EXPECT_EQ(acquisition.triggerMode, 0);
    EXPECT_TRUE(document.skipSavePrompt);
}

TEST_F(FrontPanelTest, TheOscilloscopeBarsRescaleTheViewOrChangeItsType) {
    pick(panel.scope.rangeA, "±5v");
    pick(panel.scope.timeMultiplier, "x10");
    pick(panel.scope.multiplierA, "x2");
    pick(panel.scope.rangeB, "±2v");
    pick(panel.scope.multiplierB, "x1");
    EXPECT_EQ(frame.calls, std::vector<std::string>(5, "apply ranges"));
    frame.calls.clear();
    pick(panel.scope.type, " + ");
    EXPECT_EQ(frame.calls, (std::vector<std::string>{"type changed"}));
}

TEST_F(FrontPanelTest, ApplyOffersToSaveAModifiedDocumentOnlyWhileAPaneIsShown) {
    document.SetModifiedFlag();
    document.skipSavePrompt = false;
    frame.panes.scopeShown = false;
    frame.panes.spectrumShown = false;
    panel.applyPanel();
    EXPECT_EQ(shell.savePrompts, 0);
    document.skipSavePrompt = false;
    frame.panes.scopeShown = true;
    panel.applyPanel();
    EXPECT_EQ(shell.savePrompts, 1);
}

TEST_F(FrontPanelTest, ANewDocumentAfterStartUpResetsThePanel) {
    pick(panel.scope.timeRange, "1s");
    tables.setDefaultIndex(Id::ScopeTimeRange, 12);
    generator.frequencyA = 7;
    document.notes = "old note";
    panel.ApplyNewDocumentPanel(document);
    EXPECT_EQ(panel.scope.timeRange.text(), "10ms");
    EXPECT_EQ(generator.frequencyA, 1000u);
    EXPECT_EQ(document.notes, "");
    EXPECT_EQ(startup.stage(), StartupStage::PanelApplied);

    // Before the splash ends the bars keep what creation gave them.
    pick(panel.scope.timeRange, "1s");
    panel.ApplyNewDocumentPanel(document);
    EXPECT_EQ(panel.scope.timeRange.text(), "1s");
}

TEST_F(FrontPanelTest, SavingTakesTheControlsAndLoadingBringsThemBack) {
    pick(panel.sampling.channels, "A&B");
    pick(panel.trigger.source, "B");
    panel.trigger.levelSpin.userStep(+1);
    panel.trigger.delaySpin.setPosition(-40);
    pick(panel.sampling.frequency, "48000H");
    pick(panel.scope.multiplierB, "x5");
    pick(panel.spectrum.window, "HAN");
    generator.waveformIndexA = kWaveformLibrary;
    toneFilePath = "lib/aaaaaaaaaaaa.wfl";  // 20 characters
    frame.panes.generatorShown = true;
    ToneLists tones;
    ASSERT_TRUE(panel.savePanel(dir.path() / "p.psf", tones, dir.path()));
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "p.psf"), kPanelFixedSize + 20);

    panel.resetPanel();
    toneFilePath.clear();
    panel.applyPanel();
    ASSERT_EQ(panel.trigger.source.text(), "A");

    ASSERT_TRUE(panel.loadPanel(dir.path() / "p.psf"));
    panel.applyPanel();
    EXPECT_EQ(panel.sampling.channels.text(), "A&B");
    EXPECT_EQ(panel.trigger.source.text(), "B");
    EXPECT_EQ(panel.trigger.level.text(), "1%");
    EXPECT_EQ(panel.trigger.delay.text(), "-40%");
    EXPECT_EQ(panel.sampling.frequency.text(), "48000H");
    EXPECT_EQ(panel.sampling.point.text(), "480");
    EXPECT_EQ(panel.scope.multiplierB.text(), "x5");
    EXPECT_EQ(panel.spectrum.window.text(), "HAN");
    EXPECT_EQ(generator.waveformIndexA, kWaveformLibrary);
    EXPECT_EQ(toneFilePath, "lib/aaaaaaaaaaaa.wfl");
    EXPECT_TRUE(panel.loadedPanel().generatorShown);
}

TEST_F(FrontPanelTest, SavingAMultitonePanelRemembersTheDefaultToneFile) {
    generator.waveformIndexA = kWaveformMultiTones;
    toneFilePath = "WFLib/old.wfl";
    ToneLists tones;
    tones[0].append(kWaveformSine, 440, 1.0f);
    ASSERT_TRUE(panel.savePanel(dir.path() / "m.psf", tones, dir.path()));
    EXPECT_EQ(toneFilePath, (dir.path() / kDefaultToneFileName).string());
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "m.psf"), kPanelFixedSize);

    // A tone file that cannot be written leaves the remembered path alone.
    generator.waveformIndexA = kWaveformMultiTones;
    toneFilePath = "WFLib/old.wfl";
    std::filesystem::create_directory(dir.path() / "ro");
    std::filesystem::create_directory(dir.path() / "ro" / kDefaultToneFileName);  // a folder in its place
    ASSERT_TRUE(panel.savePanel(dir.path() / "m.psf", tones, dir.path() / "ro"));
    EXPECT_EQ(toneFilePath, "WFLib/old.wfl");
    EXPECT_EQ(shell.messages(), std::vector<std::string>{"fail to create the file"});
}

TEST_F(FrontPanelTest, TheSharedSpectrumListsAreSavedForTheRangeTheyStandFor) {
    PanelSetting stored = BuiltInPanelSetting();
    stored.setRow(Id::SpectrumType, 2);  // "ACR": the X list shows time lags
    stored.setRow(Id::CorrelationRangeA, 1);
    stored.setRow(Id::SpectrumRangeA, 9);
    ToneLists tones;
    ASSERT_TRUE(WritePanelSettingFile(dir.path() / "acr.psf", stored, tones, dir.path(), toneFilePath, shell));
    ASSERT_TRUE(panel.loadPanel(dir.path() / "acr.psf"));
    panel.applyPanel();
    ASSERT_EQ(panel.spectrum.xRange.text(), "±10ms");
    panel.spectrum.xRange.userSelect(2);  // "±500μs"
    panel.spectrum.rangeA.userSelect(0);  // correlation A "Off"

    frame.scales.reset();  // spectrum pane hidden: the Y lists keep their remembered rows
    PanelSetting hidden = panel.currentPanel();
    EXPECT_EQ(hidden.row(Id::SymmetricTimeRange), 2);
    EXPECT_EQ(hidden.row(Id::SpectrumFrequencyRange), 1);
    EXPECT_EQ(hidden.row(Id::CorrelationRangeA), 1);

    frame.scales = SpectrumScales{1, 1, false};
    PanelSetting shown = panel.currentPanel();
    EXPECT_EQ(shown.row(Id::CorrelationRangeA), 0);
    EXPECT_EQ(shown.row(Id::SpectrumRangeA), 9);
    EXPECT_EQ(shown.spectrumXScale, 1);
    EXPECT_FALSE(shown.spectrumNormalized);
}

TEST_F(FrontPanelTest, TheXRangeIsSavedForTheListItShowsNotForTheTypeList) {
    // Another type picked while the X range list still shows the old type's ranges.
    ASSERT_EQ(panel.spectrum.xRangeTable(), Id::SpectrumFrequencyRange);
    pick(panel.spectrum.type, "ACR");
    pick(panel.spectrum.xRange, "10kH");  // row 3
    PanelSetting saved = panel.currentPanel();
    EXPECT_EQ(saved.row(Id::SpectrumType), 2);
    EXPECT_EQ(saved.row(Id::SpectrumFrequencyRange), 3);
    EXPECT_EQ(saved.row(Id::SymmetricTimeRange), 6);

    tables.setDefaultIndex(Id::SpectrumType, 3);  // "CCR"
    panel.spectrum.fill(tables, true);
    ASSERT_EQ(panel.spectrum.xRangeTable(), Id::SymmetricTimeRange);
    pick(panel.spectrum.type, "PHS");
    panel.spectrum.xRange.userSelect(9);
    saved = panel.currentPanel();
    EXPECT_EQ(saved.row(Id::SpectrumType), 1);
    EXPECT_EQ(saved.row(Id::SymmetricTimeRange), 9);
    EXPECT_EQ(saved.row(Id::SpectrumFrequencyRange), 1);
}

TEST_F(FrontPanelTest, ATimeRangeLeftUnselectedSavesTheRememberedRow) {
    panel.scope.timeRange.setSelection(ListControl::kNoSelection);
    EXPECT_EQ(panel.currentPanel().row(Id::ScopeTimeRange), 6);
}

TEST_F(FrontPanelTest, AnOpenedFileSelectsItsFormatInTheSamplingBar) {
    EXPECT_TRUE(panel.SelectSamplingFrequency(22050));
    EXPECT_EQ(panel.sampling.frequency.text(), "22050H");
    EXPECT_EQ(acquisition.samplingRate, 22050);
    EXPECT_FALSE(panel.SelectSamplingFrequency(12345));
    EXPECT_EQ(panel.sampling.frequency.text(), "22050H");
    EXPECT_TRUE(panel.SelectResolution(8));
    EXPECT_EQ(acquisition.samplingBits, 8);
    EXPECT_FALSE(panel.SelectResolution(12));
    panel.SelectChannels(true, false);
    EXPECT_EQ(panel.sampling.channels.text(), "A&B");
    EXPECT_FALSE(panel.trigger.source.enabled());
    panel.ShowRecordLength("12000");
    EXPECT_EQ(panel.sampling.point.text(), "12000");
}

}  // namespace
}  // namespace tonewell
