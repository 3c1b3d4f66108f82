#include "app/Instrument.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "acquisition/CaptureRestart.h"
#include "acquisition/WavBytes.h"
#include "app/InstrumentConfigurationFile.h"
#include "app/PanelSetting.h"
#include "app/ProgramDirectory.h"
#include "platform/RecordingCanvas.h"
#include "platform/RecordingShell.h"
#include "platform/audio/LoopbackCable.h"
#include "support/ProgramHome.h"
#include "support/TempDir.h"

namespace tonewell {
namespace {

using Id = RangeTableId;

using testing::ProgramHome;

class ViewsDouble : public FrameViews {
public:
    std::vector<std::string> calls;
    void ApplyViewVisibility(const PaneFlags&) override { calls.push_back("visibility"); }
    void OpenSpectrumXScaleDialog() override { calls.push_back("x scale"); }
    void OpenSpectrumYScaleDialog() override { calls.push_back("y scale"); }
};

class MonitoringDouble : public InputMonitoring {
public:
    explicit MonitoringDouble(std::atomic<bool>& running) : running_(running) {}
    void RunStop() override { running_ = !running_; }

private:
    std::atomic<bool>& running_;
};

class InstrumentTest : public ::testing::Test {
protected:
    int rowNamed(Id id, std::string_view name) { return instrument.tables[id].rowNamed(name).value(); }

    testing::TempDir dir;
    std::filesystem::path home = dir / "home";  // not made yet
    ProgramHome programHome{home};
    RecordingShell shell;
    LoopbackCable cable;
    Instrument instrument{shell, cable};
};

TEST_F(InstrumentTest, OpenedRecordIsFollowedByTheSamplingBar) {
    using namespace testing;
    std::string samples(2 * 300, '\x40');
    auto wav = dir / "stereo8.wav";
    writeFileBytes(wav, riff(chunk("fmt ", fmtBody(2, 22050, 8)) + chunk("data", samples)));

    ASSERT_TRUE(instrument.document.OnOpenDocument(wav, kScopeTypeSeparate)) << ::testing::PrintToString(shell.messages());
    const SamplingBar& sampling = instrument.panel.sampling;
    EXPECT_EQ(sampling.frequency.selection(), rowNamed(Id::SamplingFrequency, "22050H"));
    EXPECT_EQ(sampling.channels.selection(), rowNamed(Id::SamplingChannels, "A&B"));
    EXPECT_EQ(sampling.resolution.selection(), rowNamed(Id::SamplingResolution, "8B"));
    EXPECT_EQ(sampling.point.text(), "300");
    EXPECT_EQ(instrument.acquisition.samplingRate, 22050);
    EXPECT_EQ(instrument.acquisition.samplingBits, 8);
    EXPECT_EQ(instrument.document.sampleCount, 300u);
}

TEST_F(InstrumentTest, PickedTimeRangeSetsTheRecordLengthAndTheViewsFollow) {
    instrument.panel.scope.timeRange.userSelect(rowNamed(Id::ScopeTimeRange, "20ms"));

    // 20 ms at 44100 Hz; the document takes the new length at once.
    EXPECT_EQ(instrument.panel.sampling.point.text(), "882");
    EXPECT_EQ(instrument.acquisition.recordLength, 882);
    EXPECT_EQ(instrument.scope.settings().xRange, RangeCode(0x3014));  // the oscilloscope follows
    EXPECT_EQ(instrument.effects.ScopeTimeRange(), RangeCode(0x3014));
}

TEST_F(InstrumentTest, TheOscilloscopeFollowsItsBars) {
    instrument.startUp();
    EXPECT_EQ(instrument.scope.points().capacity(), PointBuffers::kCapacityMin);  // its first update
    ScopeBars& bars = instrument.panel.scope;
    bars.rangeA.userSelect(rowNamed(Id::ScopeRangeA, "±5v"));
    EXPECT_EQ(instrument.scope.settings().aRange, RangeCode(0xC005));
    bars.timeRange.userSelect(rowNamed(Id::ScopeTimeRange, "50ms"));
    EXPECT_EQ(instrument.scope.settings().xRange, RangeCode(0x3032));

    // A record of both channels: the type list works, and A+B switches B off.
    using namespace testing;
    std::string samples(4 * 100, '\x01');
    auto wav = dir / "stereo16.wav";
    writeFileBytes(wav, riff(chunk("fmt ", fmtBody(2, 44100, 16)) + chunk("data", samples)));
    ASSERT_TRUE(instrument.document.OnOpenDocument(wav, instrument.scopePanel.settings().type));
    // As for every document the frame shows. Both views have had their start-up update, so the
    // oscilloscope fits its ranges to the record: B enabled at the record's full scale.
    instrument.takeRecordInViews();
    EXPECT_EQ(instrument.startup.stage(), StartupStage::ViewsKept);
    EXPECT_TRUE(bars.rangeB.enabled());
    EXPECT_EQ(instrument.scope.settings().bRange, RangeCode(0xC001));
    bars.rangeB.userSelect(rowNamed(Id::ScopeRangeB, "±2v"));
    EXPECT_EQ(instrument.scope.settings().bRange, RangeCode(0xC002));
    bars.type.userSelect(1);
    EXPECT_EQ(instrument.scopePanel.settings().type, 1);
    EXPECT_TRUE(instrument.scope.settings().bRange.isOff());
    EXPECT_FALSE(bars.rangeB.enabled());
}

TEST_F(InstrumentTest, TheSpectrumViewFollowsItsBarsAndThePanelsAxisChoices) {
    // "default.psf" with a dB axis: the first update at start-up keeps it.
    PanelSetting stored = BuiltInPanelSetting();
    stored.spectrumYScale = 1;
    stored.spectrumNormalized = false;
    std::filesystem::create_directories(home);
    ASSERT_TRUE(WritePanelSettingFile(home / kDefaultPanelFileName, stored, instrument.toneLists, home,
                                      instrument.toneFilePath, shell));
    instrument.startUp();
    CSpectrumView& spectrum = instrument.spectrum;
    EXPECT_EQ(spectrum.points().capacity(), PointBuffers::kCapacityMin);  // its first update
    EXPECT_EQ(instrument.spectrumPanel.settings().scales, (SpectrumScaleModes{SpectrumXScale::Linear, SpectrumYScale::Db, false}));
    EXPECT_EQ(instrument.effects.ShownSpectrumScales()->yScale, 1);

    SpectrumSelectors& bars = instrument.panel.spectrum;
    bars.fftPoints.userSelect(instrument.tables[Id::FftPoints].rowNamed("4096").value());
    EXPECT_EQ(spectrum.settings().fftSize, 4096);
    EXPECT_EQ(instrument.spectrumAnalysis.fftSize(), 4096);
    bars.type.userSelect(1);  // "PHS"
    EXPECT_EQ(spectrum.settings().type, SpectrumType::Phase);
    EXPECT_FALSE(bars.window.enabled());

    // A record of one channel: adapting the toolbars takes "CCR" away.
    using namespace testing;
    auto wav = dir / "mono16.wav";
    writeFileBytes(wav, riff(chunk("fmt ", fmtBody(1, 8000, 16)) + chunk("data", std::string(2 * 100, '\x01'))));
    ASSERT_TRUE(instrument.document.OnOpenDocument(wav, instrument.scopePanel.settings().type));
    instrument.effects.AdaptViewToolbars();
    EXPECT_EQ(bars.type.count(), 3);
    EXPECT_FALSE(bars.rangeB.enabled());

    // Its double taps ask the frame for the axis dialogs.
    ViewsDouble views;
    instrument.effects.attachViews(&views);
    bars.type.userSelect(0);
    RecordingCanvas canvas(640, 480);
    spectrum.OnDraw(canvas);
    spectrum.OnLButtonDblClk(300, 479);
    spectrum.OnLButtonDblClk(1, 200);
    EXPECT_EQ(views.calls, (std::vector<std::string>{"x scale", "y scale"}));
}

TEST_F(InstrumentTest, ASamplingChangeRestartsRunningCaptureThroughTimerTwo) {
    MonitoringDouble monitoring(instrument.run.inputRunning);
    instrument.effects.attachInputMonitoring(&monitoring);
    instrument.run.inputRunning = true;
    instrument.panel.trigger.edge.userSelect(1);

    EXPECT_FALSE(instrument.run.inputRunning);
    EXPECT_EQ(instrument.acquisition.restartPending, 1);
    EXPECT_EQ(shell.activeTimers(), std::vector<int>{kTimerCaptureRestart});
}

TEST_F(InstrumentTest, ProgramFilesComeFromTonewellHomeWhichIsMadeOnlyWhenSaving) {
    EXPECT_EQ(instrument.programDir, home);
    instrument.startUp();  // nothing there: built-in values, and no folder made
    EXPECT_FALSE(std::filesystem::exists(home));
    EXPECT_TRUE(shell.messages().empty());

    instrument.panel.sampling.frequency.userSelect(rowNamed(Id::SamplingFrequency, "22050H"));
    ASSERT_TRUE(instrument.saveDefaultPanel());
    InstrumentConfiguration calibrated;
    calibrated.inputFullScale16 = 500.0f;
    ASSERT_TRUE(SaveInstrumentConfigurationPart(home / kInstrumentConfigurationFileName, calibrated,
                                                ConfigurationPart::Calibration));

    RecordingShell nextShell;
    Instrument next(nextShell, cable);
    next.startUp();
    EXPECT_EQ(next.panel.sampling.frequency.selection(), rowNamed(Id::SamplingFrequency, "22050H"));
    EXPECT_EQ(next.document.riffHeader.format.samplesPerSecond, 22050u);
    EXPECT_FALSE(next.document.IsModified());
    EXPECT_EQ(next.configuration.inputFullScale16, 500.0f);
    EXPECT_TRUE(nextShell.messages().empty());
}

struct DirectoryCase {
    std::vector<std::pair<std::string, std::string>> environment;
    std::string expected;
};

class ProgramDirectoryTest : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(ProgramDirectoryTest, FollowsTheEnvironment) {
    const DirectoryCase& row = GetParam();
    auto lookup = [&](const char* name) -> std::optional<std::string> {
        for (const auto& [key, value] : row.environment)
            if (key == name) return value;
        return std::nullopt;
    };
    EXPECT_EQ(ProgramDirectory(lookup).string(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, ProgramDirectoryTest,
    ::testing::Values(
        DirectoryCase{{{"TONEWELL_HOME", "/data/tw"}, {"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}}, "/data/tw"},
        DirectoryCase{{{"TONEWELL_HOME", ""}, {"XDG_CONFIG_HOME", "/x"}, {"HOME", "/h"}},
                      "/x/Quendal Technology/Tonewell"},
        DirectoryCase{{{"XDG_CONFIG_HOME", "relative"}, {"HOME", "/h"}}, "/h/.config/Quendal Technology/Tonewell"},
        DirectoryCase{{{"XDG_CONFIG_HOME", ""}, {"HOME", "/h"}}, "/h/.config/Quendal Technology/Tonewell"},
        DirectoryCase{{}, "./Quendal Technology/Tonewell"}));

}  // namespace
}  // namespace tonewell
