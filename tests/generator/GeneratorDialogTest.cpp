// The generator dialog's model: what opening shows, the checks of every field with their
// messages and corrections, the sliders, the sampling page's effect on the other pages, the
// waveform rules with the multitone dialog and the library chooser, the enable table, the pages
// read at tab change, Run, Save and close, and Run/Stop with the output on the loopback cable.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "generator/GeneratedSignalFile.h"
#include "generator/GeneratorDialog.h"
#include "generator/GeneratorEnabling.h"
#include "generator/GeneratorOutput.h"
#include "generator/GeneratorSliders.h"
#include "generator/GeneratorTables.h"
#include "generator/OutputFormat.h"
#include "platform/RecordingShell.h"
#include "platform/audio/AudioResult.h"
#include "platform/audio/LoopbackCable.h"
#include "support/TempDir.h"

namespace tonewell {
namespace {

using namespace std::chrono_literals;
using testing::readFileBytes;
using testing::TempDir;

constexpr int kRate11025 = 0, kRate96000 = 4;
constexpr int kBits8 = 0, kBits16 = 1;
constexpr int kStereo = 1;

// The skin as the dialog sees it: what it was asked, with scripted answers.
class FakeHost : public GeneratorDialogHost {
public:
    void showMultitones() override {
        ++multitonesShown;
        if (whileMultitonesShown) whileMultitonesShown();
    }
    std::optional<std::uint32_t> askDuration() override {
        ++durationsAsked;
        return duration;
    }
    ExportProgress* exportProgress() override { return progress; }
    void activate() override { ++activated; }
    void closeWindow() override { ++closed; }

    std::function<void()> whileMultitonesShown;
    std::optional<std::uint32_t> duration = 1;
    ExportProgress* progress = nullptr;
    int multitonesShown = 0, durationsAsked = 0, activated = 0, closed = 0;
};

class DialogFixture : public ::testing::Test {
protected:
    DialogFixture() { cable.setHandlerWait(2s); }
    ~DialogFixture() override {
        dialog.close();
        if (run.outputRunning.load()) output.RunStop();
    }

    // A value typed into a combo and the focus moved on.
    static void typeAndLeave(ListControl& box, const std::string& text) {
        box.userFocus(true);
        box.userEditText(text);
        box.userFocus(false);
    }
    std::vector<std::string> messages() const { return shell.messages(); }

    GeneratorSettings settings;
    ToneLists toneLists{};
    WaveformLibrary library;
    std::string toneFilePath = "old.tcf";
    OutputCalibration calibration;
    FixedSeedClock clock{7};
    RunState run;
    RecordingShell shell;
    LoopbackCable cable;
    TempDir dir;
    GeneratorOutput output{GeneratorOutputParts{settings, toneLists, library, [this] { return calibration; }, clock,
                                                shell, run, &cable, nullptr}};
    GeneratorDialog dialog{GeneratorDialogParts{settings, toneLists, library, toneFilePath,
                                                [this] { return calibration; }, clock, output, run, shell,
                                                dir.path()}};
    FakeHost host;
};

// ---- opening and closing ----------------------------------------------------------------------

TEST_F(DialogFixture, OpeningShowsTheSettingsWithTheirSliderPositions) {
    settings.frequencyB = 11025;
    settings.phaseDifference = 45;
    settings.sweepStartB = 250;
    settings.sweepLinearB = false;
    dialog.setHost(&host);
    dialog.open();
    EXPECT_EQ(std::vector<std::string>(kGeneratorTabLabels.begin(), kGeneratorTabLabels.end()),
              (std::vector<std::string>{"Function", "Sweep", "Sampling"}));
    EXPECT_EQ(dialog.tab(), kFunctionTab);
    EXPECT_EQ(dialog.runStop.caption(), "Run");
    EXPECT_TRUE(run.generatorShown.load());

    const auto& f = dialog.function;
    EXPECT_EQ(f.waveform[0].count(), 9);
    EXPECT_EQ(f.waveform[0].text(), "Sine");
    EXPECT_EQ(f.waveform[1].text(), "None");
    EXPECT_EQ(f.frequency[0].items().front(), "40000");
    EXPECT_EQ(f.amplitude[1].items().back(), "50");
    EXPECT_EQ(f.phase.items().front(), "-180");
    EXPECT_EQ(f.frequency[0].text(), "1000");
    EXPECT_EQ(f.frequency[1].text(), "11025");
    EXPECT_EQ(f.amplitude[0].text(), "1000");
    EXPECT_EQ(f.phase.text(), "45");
    // 100 - 999 x 100 / 22049 = 95.47; 100 - 11024 x 100 / 22049 = 50.0002.
    EXPECT_EQ(f.frequencySlider[0].position(), 95);
    EXPECT_EQ(f.frequencySlider[1].position(), 50);
    EXPECT_EQ(f.amplitudeSlider[0].position(), 0);
    EXPECT_EQ(f.phaseSlider.position(), 62);
    EXPECT_EQ(f.fileName.text(), "old.tcf");
    EXPECT_TRUE(f.fileName.readOnly());

    EXPECT_EQ(dialog.sweep.start[1].text(), "250");
    EXPECT_EQ(dialog.sweep.law[0].choice(), 0);
    EXPECT_EQ(dialog.sweep.law[1].choice(), 1);
    EXPECT_EQ(dialog.sweep.duration.text(), "1");
    EXPECT_EQ(dialog.sampling.rate.text(), "44100 Hz");
    EXPECT_EQ(dialog.sampling.channels.text(), "A");
    EXPECT_EQ(dialog.sampling.resolution.text(), "16 Bit");
    EXPECT_TRUE(messages().empty());
}

TEST_F(DialogFixture, OpeningShowsAnAmplitudeAboveTheCalibrationAsTheLimit) {
    calibration.outputFullScale16 = 750.9f;
    settings.amplitudeA = 1000;
    settings.amplitudeB = 300;
    dialog.open();
    EXPECT_EQ(dialog.function.amplitude[0].text(), "750");
    EXPECT_EQ(dialog.function.amplitude[1].text(), "300");
    EXPECT_TRUE(messages().empty());
    dialog.close();
    EXPECT_EQ(settings.amplitudeA, 750u);
}

TEST_F(DialogFixture, OpeningWhileTheOutputRunsSaysStopAndCountsFromZeroOnlyWhenStopped) {
    output.RunStop();
    output.RunStop();
    ASSERT_EQ(output.buffersGenerated(), 1u);
    dialog.open();
    EXPECT_EQ(output.buffersGenerated(), 0u);
    dialog.close();

    output.RunStop();
    ASSERT_TRUE(run.outputRunning.load());
    dialog.open();
    EXPECT_EQ(dialog.runStop.caption(), "Stop");
    EXPECT_EQ(output.buffersGenerated(), 1u);  // the running output keeps its count
    EXPECT_FALSE(dialog.function.waveform[0].enabled());
    // Ok closes the window; the output plays on.
    dialog.close();
    EXPECT_TRUE(run.outputRunning.load());
    EXPECT_FALSE(run.generatorShown.load());
}

TEST_F(DialogFixture, OkAsksTheSkinToCloseAndClosingReadsThePages) {
    dialog.setHost(&host);
    dialog.open();
    dialog.function.frequency[0].userEditText("440");  // no focus change: not yet checked
    dialog.ok.click();
    EXPECT_EQ(host.closed, 1);
    EXPECT_TRUE(dialog.isOpen());
    dialog.close();
    EXPECT_EQ(settings.frequencyA, 440u);
    EXPECT_FALSE(dialog.isOpen());
}

TEST_F(DialogFixture, EveryTabChangeReadsAllPages) {
    settings.channelsIndex = kStereo;
    settings.waveformIndexB = kWaveformSine;
    dialog.open();
    dialog.function.frequency[1].userEditText("123");
    dialog.function.sweep.userClick();
    dialog.sweep.end[0].userType("2000");
    dialog.sweep.law[1].userChoose(1);
    dialog.sampling.channels.userSelect(kStereo);
    EXPECT_EQ(settings.frequencyB, 1000u);
    dialog.selectTab(kSamplingTab);
    EXPECT_EQ(dialog.tab(), kSamplingTab);
    EXPECT_EQ(settings.frequencyB, 123u);
    EXPECT_EQ(settings.sweepEndA, 2000u);
    EXPECT_FALSE(settings.sweepLinearB);
    EXPECT_EQ(settings.channelsIndex, kStereo);
}

// ---- checks of the fields ---------------------------------------------------------------------

enum class Field { FrequencyA, FrequencyB, AmplitudeA, Phase, PhasePreset, SweepStartA, SweepEndB, Duration };

struct CheckRow {
    const char* name;
    Field field;
    int resolutionRow;
    std::string typed;
    std::string message;  // empty: none
    std::string shown;
};

class FieldCheck : public DialogFixture, public ::testing::WithParamInterface<CheckRow> {
protected:
    std::string enter(const CheckRow& row) {
        auto& f = dialog.function;
        auto& s = dialog.sweep;
        switch (row.field) {
        case Field::FrequencyA: typeAndLeave(f.frequency[0], row.typed); return f.frequency[0].text();
        case Field::FrequencyB: typeAndLeave(f.frequency[1], row.typed); return f.frequency[1].text();
        case Field::AmplitudeA: typeAndLeave(f.amplitude[0], row.typed); return f.amplitude[0].text();
        case Field::Phase: f.phase.userEditText(row.typed); return f.phase.text();
        case Field::PhasePreset: f.phase.userSelect(std::stoi(row.typed)); return f.phase.text();
        case Field::SweepStartA: s.start[0].userType(row.typed); return s.start[0].text();
        case Field::SweepEndB: s.end[1].userType(row.typed); return s.end[1].text();
        case Field::Duration:
            s.duration.userFocus(true);
            s.duration.userType(row.typed);
            s.duration.userFocus(false);
            return s.duration.text();
        }
        return {};
    }
};

TEST_P(FieldCheck, MessageAndCorrection) {
    const CheckRow& row = GetParam();
    settings.resolutionIndex = row.resolutionRow;
    settings.channelsIndex = kStereo;
    settings.waveformIndexB = kWaveformSine;
    settings.sweepEnabled = row.field == Field::SweepStartA || row.field == Field::SweepEndB || row.field == Field::Duration;
    dialog.open();
    EXPECT_EQ(enter(row), row.shown);
    if (row.message.empty()) {
        EXPECT_TRUE(messages().empty()) << messages().front();
    } else {
        EXPECT_EQ(messages(), std::vector<std::string>{row.message});
    }
}

const std::string kHz = "Please input a value within 1~22050 Hz";

INSTANTIATE_TEST_SUITE_P(
    Fields, FieldCheck,
    ::testing::Values(
        CheckRow{"FrequencyAboveTheLimit", Field::FrequencyA, kBits16, "30000", kHz, "22050"},
        CheckRow{"FrequencyAtTheLimit", Field::FrequencyA, kBits16, "22050", "", "22050"},
        CheckRow{"FrequencyZero", Field::FrequencyB, kBits16, "0", kHz, "1"},
        CheckRow{"FrequencyNotANumber", Field::FrequencyB, kBits16, "abc", kHz, "1"},
        CheckRow{"FrequencyNegative", Field::FrequencyA, kBits16, "-5", kHz, "1"},
        CheckRow{"AmplitudeAboveEightBitCalibration", Field::AmplitudeA, kBits8, "1500",
                 "Please input a value within 1~1000 mV", "1000"},
        CheckRow{"AmplitudeZero", Field::AmplitudeA, kBits16, "0", "Please input a value within 1~1000 mV", "1"},
        CheckRow{"AmplitudeInRange", Field::AmplitudeA, kBits8, "999", "", "999"},
        CheckRow{"PhaseAbove", Field::Phase, kBits16, "181", kPhaseRangeMessage, "180"},
        CheckRow{"PhaseBelow", Field::Phase, kBits16, "-200", kPhaseRangeMessage, "-180"},
        CheckRow{"PhaseSignAlone", Field::Phase, kBits16, "-", "", "-"},
        CheckRow{"PhasePresetRow", Field::PhasePreset, kBits16, "2", "", "-90"},
        CheckRow{"SweepStartAbove", Field::SweepStartA, kBits16, "22051", kHz, "22050"},
        CheckRow{"SweepEndEmptied", Field::SweepEndB, kBits16, "", kHz, "1"},
        CheckRow{"DurationZero", Field::Duration, kBits16, "0", kSweepDurationMessage, "1"},
        CheckRow{"DurationTooLarge", Field::Duration, kBits16, "99999999999", kSweepDurationMessage, "2147483647"},
        CheckRow{"DurationLargest", Field::Duration, kBits16, "2147483647", "", "2147483647"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogFixture, AmplitudeMessageTruncatesTheCalibration) {
    calibration.outputFullScale16 = 1234.9f;
    dialog.open();
    typeAndLeave(dialog.function.amplitude[0], "1235");
    EXPECT_EQ(messages(), std::vector<std::string>{"Please input a value within 1~1234 mV"});
    EXPECT_EQ(dialog.function.amplitude[0].text(), "1234");
}

TEST_F(DialogFixture, AValidEditMovesItsSlider) {
    settings.channelsIndex = kStereo;
    settings.waveformIndexB = kWaveformSine;
    dialog.open();
    dialog.function.phase.userEditText("-180");
    EXPECT_EQ(dialog.function.phaseSlider.position(), 0);
    typeAndLeave(dialog.function.frequency[0], "22050");
    EXPECT_EQ(dialog.function.frequencySlider[0].position(), 0);
    typeAndLeave(dialog.function.amplitude[0], "1");
    EXPECT_EQ(dialog.function.amplitudeSlider[0].position(), 100);
    typeAndLeave(dialog.function.frequency[0], "90000");  // corrected, and the slider follows
    EXPECT_EQ(dialog.function.frequencySlider[0].position(), 0);
}

// ---- sliders ----------------------------------------------------------------------------------

TEST_F(DialogFixture, ReleasedSlidersSetTheirFields) {
    settings.channelsIndex = kStereo;
    settings.waveformIndexB = kWaveformSine;
    dialog.open();
    auto& f = dialog.function;
    f.frequencySlider[0].userRelease(0);
    EXPECT_EQ(f.frequency[0].text(), "22050");
    f.frequencySlider[1].userRelease(100);
    EXPECT_EQ(f.frequency[1].text(), "1");
    f.amplitudeSlider[0].userRelease(0);
    EXPECT_EQ(f.amplitude[0].text(), "1000");
    f.amplitudeSlider[0].userRelease(100);
    EXPECT_EQ(f.amplitude[0].text(), "1");
    f.amplitudeSlider[1].userRelease(50);
    EXPECT_EQ(f.amplitude[1].text(), "500");  // 50 x 999 x 0.01 + 1.01 = 500.51
    f.frequency[1].userEditText("22050");  // equal frequencies: the phase can be set
    f.phaseSlider.userRelease(50);
    EXPECT_EQ(f.phase.text(), "0");
    f.phaseSlider.userRelease(75);
    EXPECT_EQ(f.phase.text(), "90");
    f.phaseSlider.userRelease(1);
    EXPECT_EQ(f.phase.text(), "-176");  // -176.4 toward zero
    // Dragging alone sets nothing.
    f.frequencySlider[0].userMove(60);
    EXPECT_EQ(f.frequency[0].text(), "22050");
    EXPECT_TRUE(messages().empty());
}

TEST(GeneratorSliders, FormulasAtTheirEnds) {
    EXPECT_EQ(FrequencyFromSlider(kSliderTop, 96000), 48000u);
    EXPECT_EQ(FrequencyFromSlider(kSliderTop, 11025), 5512u);
    EXPECT_EQ(FrequencyFromSlider(kSliderBottom, 96000), 1u);
    EXPECT_EQ(FrequencySliderPosition(1, 44100), kSliderBottom);
    EXPECT_EQ(FrequencySliderPosition(5512, 11025), kSliderTop);
    EXPECT_EQ(FrequencySliderPosition(90000, 44100), kSliderTop);  // beyond the range: held on the slider
    EXPECT_EQ(AmplitudeFromSlider(kSliderTop, 2500.7f), 2500u);
    EXPECT_EQ(AmplitudeFromSlider(kSliderBottom, 2500.7f), 1u);
    EXPECT_EQ(AmplitudeSliderPosition(0, 1000.0f), kSliderBottom);
    EXPECT_EQ(AmplitudeSliderPosition(1, 1.0f), kSliderTop);  // no range at all: no division by zero
    EXPECT_EQ(PhaseSliderPosition(-180), 0);
    EXPECT_EQ(PhaseSliderPosition(180), 100);
    EXPECT_EQ(PhaseSliderPosition(90), 75);
    EXPECT_EQ(PhaseFromSlider(0), -180);
    EXPECT_EQ(PhaseFromSlider(100), 180);
    // Every position gives a value inside the field's range.
    for (int p = kSliderTop; p <= kSliderBottom; ++p) {
        for (std::uint32_t fs : {11025u, 44100u, 96000u}) {
            const std::uint32_t f = FrequencyFromSlider(p, fs);
            EXPECT_GE(f, 1u);
            EXPECT_LE(f, fs / 2);
        }
        const std::uint32_t a = AmplitudeFromSlider(p, 1000.0f);
        EXPECT_GE(a, 1u);
        EXPECT_LE(a, 1000u);
    }
}

// ---- the sampling page ------------------------------------------------------------------------

TEST_F(DialogFixture, LowerSamplingFrequencyClampsAllSixFrequenciesWithoutAMessage) {
    settings.channelsIndex = kStereo;
    settings.waveformIndexB = kWaveformSine;
    settings.sampleRateIndex = kRate96000;
    settings.frequencyA = 20000;
    settings.frequencyB = 3000;
    settings.sweepStartA = 100;
    settings.sweepEndA = 48000;
    settings.sweepStartB = 6000;
    settings.sweepEndB = 5513;
    dialog.open();
    dialog.sampling.rate.userSelect(kRate11025);
    EXPECT_EQ(dialog.function.frequency[0].text(), "5512");
    EXPECT_EQ(dialog.function.frequency[1].text(), "3000");
    EXPECT_EQ(dialog.sweep.start[0].text(), "100");
    EXPECT_EQ(dialog.sweep.end[0].text(), "5512");
    EXPECT_EQ(dialog.sweep.start[1].text(), "5512");
    EXPECT_EQ(dialog.sweep.end[1].text(), "5512");
    EXPECT_EQ(dialog.function.frequencySlider[0].position(), 0);
    EXPECT_TRUE(messages().empty());
    // The new limit holds for the checks from now on.
    typeAndLeave(dialog.function.frequency[1], "6000");
    EXPECT_EQ(messages(), std::vector<std::string>{"Please input a value within 1~5512 Hz"});
}

TEST_F(DialogFixture, ResolutionChangeHoldsBothAmplitudesWithinTheNewCalibrationWithoutAMessage) {
    calibration.outputFullScale8 = 500.0f;
    settings.amplitudeA = 800;
    settings.amplitudeB = 200;
    dialog.open();
    dialog.sampling.resolution.userSelect(kBits8);
    EXPECT_EQ(dialog.function.amplitude[0].text(), "500");
    EXPECT_EQ(dialog.function.amplitude[1].text(), "200");
    EXPECT_EQ(dialog.function.amplitudeSlider[0].position(), 0);
    EXPECT_EQ(dialog.function.amplitudeSlider[1].position(), 60);  // 100 - 199 x 100 / 499 = 60.1
    EXPECT_TRUE(messages().empty());
    dialog.sampling.resolution.userSelect(kBits16);
    EXPECT_EQ(dialog.function.amplitude[0].text(), "500");
    EXPECT_EQ(dialog.function.amplitudeSlider[1].position(), 80);
}

// ---- waveforms --------------------------------------------------------------------------------

TEST_F(DialogFixture, MultiTonesOnBSelectsItOnAEmptiesTheListsAndShowsTheMultitoneDialog) {
    toneLists[0].append(kWaveformSine, 440, 1.0f);
    toneLists[1].append(kWaveformSquare, 880, 0.5f);
    settings.channelsIndex = kStereo;
    dialog.setHost(&host);
    host.whileMultitonesShown = [&] {
        EXPECT_EQ(dialog.multitones.lines[0].count(), 0);
        EXPECT_EQ(dialog.function.waveform[0].text(), "MultiTones");
        toneFilePath = "chosen.tcf";  // as a Load in the multitone dialog does
    };
    dialog.open();
    dialog.function.waveform[1].userSelect(kWaveformMultiTones);
    EXPECT_EQ(host.multitonesShown, 1);
    EXPECT_EQ(toneLists[0].count, 0u);
    EXPECT_EQ(toneLists[1].count, 0u);
    EXPECT_EQ(dialog.function.fileName.text(), "chosen.tcf");
    EXPECT_TRUE(dialog.function.configure.enabled());
    EXPECT_FALSE(dialog.function.frequency[0].enabled());

    // "..." opens it again without emptying anything.
    toneLists[0].append(kWaveformSine, 440, 1.0f);
    host.whileMultitonesShown = [&] { EXPECT_EQ(dialog.multitones.lines[0].count(), 1); };
    dialog.function.configure.click();
    EXPECT_EQ(host.multitonesShown, 2);
    EXPECT_EQ(toneLists[0].count, 1u);
    // Picking MultiTones again where it is shown throws nothing away.
    dialog.function.waveform[0].userSelect(kWaveformMultiTones);
    EXPECT_EQ(host.multitonesShown, 2);
    EXPECT_EQ(toneLists[0].count, 1u);
}

TEST_F(DialogFixture, AnotherWaveformOnOneChannelSetsAChainedOtherChannelToNone) {
    settings.channelsIndex = kStereo;
    settings.waveformIndexA = settings.waveformIndexB = kWaveformLibrary;
    dialog.open();
    EXPECT_EQ(dialog.function.fileName.text(), "old.tcf");
    dialog.function.waveform[0].userSelect(kWaveformSine);
    EXPECT_EQ(dialog.function.waveform[1].text(), "None");
    EXPECT_EQ(dialog.function.fileName.text(), "");
    EXPECT_EQ(toneFilePath, "old.tcf");
    EXPECT_FALSE(dialog.function.amplitude[1].enabled());
    dialog.selectTab(kSweepTab);
    EXPECT_EQ(settings.waveformIndexA, kWaveformSine);
    EXPECT_EQ(settings.waveformIndexB, kWaveformNone);

    // An ordinary waveform beside an ordinary one stays.
    dialog.function.waveform[1].userSelect(kWaveformTriangle);
    dialog.function.waveform[0].userSelect(kWaveformSquare);
    EXPECT_EQ(dialog.function.waveform[1].text(), "Triangle");
}

TEST_F(DialogFixture, WFLibraryOffersTheLibraryFolderAndLoadsTheChosenFile) {
    settings.channelsIndex = kStereo;
    const std::filesystem::path file = dir / "ramp.wfl";
    std::ofstream(file) << "0,0,1\n1,1,0\n2,0.5,0.5\n";
    shell.openFileAnswers.push_back(file.string());
    dialog.open();
    dialog.function.waveform[1].userSelect(kWaveformLibrary);
    EXPECT_EQ(dialog.function.waveform[0].text(), "WFLibrary");
    ASSERT_EQ(shell.fileRequests.size(), 1u);
    EXPECT_EQ(shell.fileRequests[0].filter, "Waveform Library (*.wfl)|*.wfl|All Files (*.*)|*.*|");
    EXPECT_EQ(shell.fileRequests[0].defaultExtension, "wfl");
    EXPECT_EQ(shell.fileRequests[0].initialPath, (dir / "WFLib").string());
    EXPECT_TRUE(std::filesystem::is_directory(dir / "WFLib"));
    EXPECT_EQ(library.pointCount, 3u);
    EXPECT_EQ(toneFilePath, file.string());
    EXPECT_EQ(dialog.function.fileName.text(), file.string());

    // "..." asks again; Cancel leaves the library as it was.
    dialog.function.configure.click();
    EXPECT_EQ(shell.fileRequests.size(), 2u);
    EXPECT_EQ(library.pointCount, 3u);
    EXPECT_EQ(dialog.function.fileName.text(), file.string());
}

// ---- the enable table -------------------------------------------------------------------------

struct EnableRow {
    const char* name;
    GeneratorPageState state;
    GeneratorEnabling expected;
};

class EnableTable : public ::testing::TestWithParam<EnableRow> {};

TEST_P(EnableTable, Row) { EXPECT_EQ(ComputeGeneratorEnabling(GetParam().state), GetParam().expected); }

// The page states: running, A, B, sweeping, A&B, equal frequencies.
constexpr GeneratorPageState State(bool running, std::int32_t a, std::int32_t b, bool sweeping, bool both,
                                   bool equal = true) {
    return {running, a, b, sweeping, both, equal};
}
// The answer: waveform A (with "Sweep", the scope box, the sampling lists), "...", frequency A,
// frequency B, amplitude A, waveform B, amplitude B, phase, sweep A, sweep B, sweep duration.
constexpr GeneratorEnabling Enabled(bool wa, bool dots, bool fa, bool fb, bool aa, bool wb, bool ab, bool phase,
                                    bool sa, bool sb, bool sd) {
    return {wa, dots, fa, fb, aa, wb, ab, phase, sa, sb, sd};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, EnableTable,
    ::testing::Values(
        EnableRow{"RunningDisablesEverything", State(true, kWaveformSine, kWaveformSine, true, true),
                  Enabled(0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)},
        EnableRow{"SineOnAOnly", State(false, kWaveformSine, kWaveformNone, false, false),
                  Enabled(1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0)},
        EnableRow{"StereoSinesOfEqualFrequency", State(false, kWaveformSine, kWaveformSawTooth, false, true),
                  Enabled(1, 0, 1, 1, 1, 1, 1, 1, 0, 0, 0)},
        EnableRow{"UnequalFrequenciesHaveNoPhase",
                  State(false, kWaveformSquare, kWaveformTriangle, false, true, false),
                  Enabled(1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0)},
        EnableRow{"MonoKeepsBOff", State(false, kWaveformSine, kWaveformSine, false, false),
                  Enabled(1, 0, 1, 0, 1, 0, 0, 0, 0, 0, 0)},
        EnableRow{"NoneOnBHasNoAmplitude", State(false, kWaveformSine, kWaveformNone, false, true),
                  Enabled(1, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0)},
        EnableRow{"NoneOnAHasNoAmplitude", State(false, kWaveformNone, kWaveformSine, false, true),
                  Enabled(1, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0)},
        EnableRow{"NoiseHasNoFrequencyNorPhase", State(false, kWaveformWhiteNoise, kWaveformPinkNoise, false, true),
                  Enabled(1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0)},
        EnableRow{"MultiTonesOffersDots", State(false, kWaveformMultiTones, kWaveformMultiTones, false, true),
                  Enabled(1, 1, 0, 0, 1, 1, 1, 0, 0, 0, 0)},
        EnableRow{"LibraryOffersDotsAndFrequencies", State(false, kWaveformLibrary, kWaveformLibrary, false, true),
                  Enabled(1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0)},
        EnableRow{"SweepMovesFrequenciesToTheSweepPage", State(false, kWaveformSine, kWaveformSine, true, true),
                  Enabled(1, 0, 0, 0, 1, 1, 1, 0, 1, 1, 1)},
        EnableRow{"SweepOfMultiTonesAndNoise", State(false, kWaveformMultiTones, kWaveformWhiteNoise, true, true),
                  Enabled(1, 1, 0, 0, 1, 1, 1, 0, 1, 0, 1)},
        EnableRow{"SweepOfBNeedsStereo", State(false, kWaveformSine, kWaveformSine, true, false),
                  Enabled(1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 1)},
        EnableRow{"SweepOfNothingStillHasADuration", State(false, kWaveformNone, kWaveformNone, true, true),
                  Enabled(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DialogFixture, EnablingFollowsEveryChangeOnThePages) {
    dialog.open();
    auto& f = dialog.function;
    EXPECT_FALSE(f.waveform[1].enabled());
    dialog.sampling.channels.userSelect(kStereo);
    EXPECT_TRUE(f.waveform[1].enabled());
    EXPECT_FALSE(f.amplitude[1].enabled());
    f.waveform[1].userSelect(kWaveformSine);
    EXPECT_TRUE(f.amplitudeSlider[1].enabled());
    EXPECT_TRUE(f.phase.enabled());
    EXPECT_TRUE(f.phaseLabel.enabled());
    f.frequency[1].userEditText("999");  // typed, before any check
    EXPECT_FALSE(f.phaseSlider.enabled());
    f.frequency[1].userSelect(6);  // the preset "1000"
    EXPECT_TRUE(f.phaseSlider.enabled());
    f.sweep.userClick();
    EXPECT_FALSE(f.frequency[0].enabled());
    EXPECT_TRUE(dialog.sweep.start[1].enabled());
    EXPECT_TRUE(dialog.sweep.law[0].enabled());
    EXPECT_TRUE(dialog.sweep.duration.enabled());
    EXPECT_FALSE(f.phase.enabled());
}

// ---- Run/Stop with the output --------------------------------------------------------------------

TEST_F(DialogFixture, RunReadsThePagesAndStartAndStopSetCaptionAndEnabling) {
    dialog.setHost(&host);
    dialog.open();
    dialog.function.waveform[0].userSelect(kWaveformSquare);
    dialog.function.frequency[0].userEditText("441");
    dialog.runStop.click();
    ASSERT_TRUE(run.outputRunning.load()) << (messages().empty() ? "" : messages().front());
    EXPECT_EQ(settings.waveformIndexA, kWaveformSquare);
    EXPECT_EQ(settings.frequencyA, 441u);
    EXPECT_EQ(dialog.runStop.caption(), "Stop");
    EXPECT_FALSE(dialog.function.waveform[0].enabled());
    EXPECT_FALSE(dialog.sampling.rate.enabled());
    EXPECT_FALSE(dialog.function.amplitude[0].enabled());
    EXPECT_TRUE(dialog.runStop.enabled());
    dialog.runStop.click();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_EQ(dialog.runStop.caption(), "Run");
    EXPECT_TRUE(dialog.function.waveform[0].enabled());
    EXPECT_TRUE(dialog.function.amplitude[0].enabled());
}

TEST_F(DialogFixture, FramesRunStopTakesThePagesOnlyWhileTheDialogIsOpen) {
    dialog.open();
    dialog.function.frequency[0].userEditText("441");
    output.RunStopCommand();
    ASSERT_TRUE(run.outputRunning.load());
    dialog.function.frequency[0].userEditText("442");
    output.RunStopCommand();  // a stop hands nothing over
    EXPECT_EQ(settings.frequencyA, 441u);
    dialog.close();
    settings.frequencyA = 500;  // the pages went as the dialog closed; now the settings rule
    output.RunStopCommand();
    EXPECT_EQ(settings.frequencyA, 500u);
}

TEST_F(DialogFixture, ZeroSweepDurationBecomesOneOnThePageAndNothingStarts) {
    settings.sweepEnabled = true;
    settings.sweepDuration = 0;
    dialog.open();
    EXPECT_EQ(dialog.sweep.duration.text(), "0");
    dialog.runStop.click();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_EQ(dialog.sweep.duration.text(), "1");
    dialog.runStop.click();
    EXPECT_TRUE(run.outputRunning.load());
}

TEST_F(DialogFixture, EndOfASweepClicksRunStopOfTheOpenDialog) {
    settings.sweepEnabled = true;
    dialog.open();
    dialog.runStop.click();
    ASSERT_TRUE(run.outputRunning.load());
    cable.advanceFrames(44100, 44100);
    EXPECT_TRUE(shell.activeTimers().empty());
    EXPECT_EQ(shell.runPosted(), 1);
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_EQ(dialog.runStop.caption(), "Run");
    EXPECT_TRUE(dialog.function.sweep.enabled());
}

TEST_F(DialogFixture, DeviceErrorBringsTheWindowToTheFront) {
    settings.sampleRateIndex = 2;
    dialog.setHost(&host);
    dialog.open();
    // A second output on a cable that allows one.
    auto other = cable.createOutput();
    ASSERT_EQ(other->open(OutputFormatFor(settings), [](WaveHeader&) {}), AudioResult::NoError);
    dialog.runStop.click();
    EXPECT_FALSE(run.outputRunning.load());
    EXPECT_EQ(host.activated, 1);
    EXPECT_EQ(dialog.runStop.caption(), "Run");
    EXPECT_EQ(messages().size(), 1u);
    other->close();
}

// ---- Save ---------------------------------------------------------------------------------------

TEST_F(DialogFixture, SaveReadsThePagesAsksTheDurationAndWritesTheChosenFile) {
    dialog.setHost(&host);
    dialog.open();
    dialog.function.waveform[0].userSelect(kWaveformTriangle);
    dialog.sampling.resolution.userSelect(kBits8);
    host.duration = 2;
    shell.saveFileAnswers.push_back((dir / "tri").string());
    dialog.save.click();
    EXPECT_EQ(host.durationsAsked, 1);
    EXPECT_EQ(settings.waveformIndexA, kWaveformTriangle);
    EXPECT_EQ(settings.resolutionIndex, kBits8);
    const std::string bytes = readFileBytes(dir / "tri.wav");
    ASSERT_EQ(bytes.size(), 44u + 2 * 44100 + 34 + 8);
    EXPECT_EQ(bytes[34], 8);  // bits per sample
    EXPECT_FALSE(run.outputRunning.load());

    // Cancel in the Duration dialog ends it before the chooser.
    host.duration.reset();
    dialog.save.click();
    EXPECT_EQ(shell.fileRequests.size(), 1u);
}

TEST_F(DialogFixture, SaveWhileTheOutputPlaysLeavesItPlaying) {
    dialog.setHost(&host);
    dialog.open();
    dialog.runStop.click();
    ASSERT_TRUE(run.outputRunning.load());
    shell.saveFileAnswers.push_back((dir / "during.wav").string());
    dialog.save.click();
    EXPECT_TRUE(std::filesystem::exists(dir / "during.wav"));
    EXPECT_TRUE(run.outputRunning.load());
    EXPECT_EQ(dialog.runStop.caption(), "Stop");
    EXPECT_FALSE(dialog.function.waveform[0].enabled());
}

TEST_F(DialogFixture, SaveOfAMultitoneSetOutOfRangeSaysSoAndAsksNothing) {
    settings.waveformIndexA = kWaveformMultiTones;
    toneLists[0].append(kWaveformSine, 50000, 1.0f);
    dialog.setHost(&host);
    dialog.open();
    dialog.save.click();
    EXPECT_EQ(messages(),
              std::vector<std::string>{"The multitone file contains fundamental frequency outside the range 1~44100 Hz"});
    EXPECT_EQ(host.durationsAsked, 0);
    EXPECT_TRUE(shell.fileRequests.empty());
}

}  // namespace
}  // namespace tonewell
