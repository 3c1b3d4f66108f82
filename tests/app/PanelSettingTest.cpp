#include "app/PanelSetting.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "generator/GeneratorTables.h"
#include "platform/RecordingShell.h"
#include "support/TempDir.h"

namespace tonewell {
namespace {

using Id = RangeTableId;

std::vector<std::uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

std::uint16_t WordAt(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[at]) | (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

// A panel with every field away from its built-in value.
PanelSetting EveryFieldChanged() {
    PanelSetting panel = BuiltInPanelSetting();
    RangeTables tables;
    for (int i = 0; i < kRangeTableCount; ++i) {
        const RangeTable& table = *tables.at(i);
        if (!table.editable) panel.rows[i] = (RangeTables::BuiltInDefault(static_cast<Id>(i)) + 1) % table.count;
    }
    // The trigger-level lists hold no stored row: the level is the spin position.
    panel.setRow(Id::TriggerLevel, 0);
    panel.setRow(Id::TriggerLevelSecond, 0);
    panel.setRow(Id::RecordLength, 12345);
    panel.spectrumXScale = 1;
    panel.spectrumYScale = 1;
    panel.spectrumNormalized = false;
    panel.triggerLevelPercent = -37;
    panel.triggerDelayPercent = 64;
    panel.scopeShown = false;
    panel.spectrumShown = false;
    panel.thirdPane = true;
    panel.generatorShown = true;
    GeneratorSettings& g = panel.generator;
    g.sampleRateIndex = 4;
    g.resolutionIndex = 0;
    g.channelsIndex = 1;
    g.waveformIndexA = kWaveformLibrary;
    g.waveformIndexB = kWaveformTriangle;
    g.frequencyA = 40000;
    g.frequencyB = 123;
    g.amplitudeA = 500;
    g.amplitudeB = 50;
    g.phaseDifference = -135;
    g.sweepEnabled = true;
    g.displayInScope = true;
    g.sweepStartA = 20;
    g.sweepEndA = 20000;
    g.sweepStartB = 30;
    g.sweepEndB = 30000;
    g.sweepDuration = 86400;
    g.sweepLinearA = false;
    g.sweepLinearB = false;
    panel.toneFilePath = "/home/user/WFLib/a.wfl";  // 22 characters
    // The generator's lists follow the generator's values.
    panel.setRow(Id::GeneratorSamplingFrequency, 4);
    panel.setRow(Id::GeneratorResolution, 0);
    panel.setRow(Id::GeneratorChannels, 1);
    panel.setRow(Id::GeneratorWaveformA, kWaveformLibrary);
    panel.setRow(Id::GeneratorWaveformB, kWaveformTriangle);
    panel.setRow(Id::GeneratorFrequencyA, 40000);
    panel.setRow(Id::GeneratorFrequencyB, 123);
    panel.setRow(Id::GeneratorAmplitudeA, 500);
    panel.setRow(Id::GeneratorAmplitudeB, 50);
    panel.setRow(Id::GeneratorPhase, -135);
    return panel;
}

TEST(PanelSetting, BuiltInPanelIsTheFixedLayoutEndingInAZeroPathLength) {
    std::string bytes = EncodePanelSetting(BuiltInPanelSetting());
    ASSERT_EQ(bytes.size(), kPanelFixedSize);
    EXPECT_EQ(bytes.substr(0, 8), std::string("Quendal\0", 8));
    EXPECT_EQ(WordAt(bytes, 8), 6);     // time range "10ms"
    EXPECT_EQ(WordAt(bytes, 22), 1);    // spectrum frequency range "50kH"
    EXPECT_EQ(WordAt(bytes, 24), 6);    // time lag "±10ms"
    EXPECT_EQ(WordAt(bytes, 58), 1);    // "Normalized"
    EXPECT_EQ(WordAt(bytes, 60), 1);    // trigger mode "Repeat"
    EXPECT_EQ(WordAt(bytes, 70), 441);  // record length, low word
    EXPECT_EQ(WordAt(bytes, 72), 0);
    EXPECT_EQ(WordAt(bytes, 74), 5);    // "44100H"
    EXPECT_EQ(WordAt(bytes, 146), 0);   // waveform A "Sine": no path
}

TEST(PanelSetting, EveryFieldSurvivesARoundTrip) {
    PanelSetting changed = EveryFieldChanged();
    std::string bytes = EncodePanelSetting(changed);
    ASSERT_EQ(bytes.size(), kPanelFixedSize + 22);
    EXPECT_EQ(WordAt(bytes, 146), 22);
    EXPECT_EQ(bytes.substr(148), changed.toneFilePath);

    PanelSetting read = BuiltInPanelSetting();
    ASSERT_TRUE(DecodePanelSetting(Bytes(bytes), read));
    EXPECT_EQ(EncodePanelSetting(read), bytes);
    EXPECT_EQ(read.rows, changed.rows);
    EXPECT_EQ(read.triggerLevelPercent, -37);
    EXPECT_EQ(read.generator.phaseDifference, -135);
    EXPECT_EQ(read.generator.sweepDuration, 86400u);
    EXPECT_FALSE(read.generator.sweepLinearB);
    EXPECT_TRUE(read.thirdPane);
    EXPECT_EQ(read.toneFilePath, changed.toneFilePath);
}

TEST(PanelSetting, OnlyALibraryPanelWritesItsPath) {
    PanelSetting panel = BuiltInPanelSetting();
    panel.toneFilePath = "tones.tcf";
    panel.generator.waveformIndexA = kWaveformMultiTones;
    std::string bytes = EncodePanelSetting(panel);
    EXPECT_EQ(bytes.size(), kPanelFixedSize);
    PanelSetting read = BuiltInPanelSetting();
    read.toneFilePath = "before";
    ASSERT_TRUE(DecodePanelSetting(Bytes(bytes), read));
    EXPECT_EQ(read.toneFilePath, "");
}

TEST(PanelSetting, PathBytesAboveAsciiAreKept) {
    PanelSetting panel = BuiltInPanelSetting();
    panel.generator.waveformIndexA = kWaveformLibrary;
    panel.toneFilePath = "/m\xC3\xBCsik/\xFF.wfl";
    PanelSetting read = BuiltInPanelSetting();
    ASSERT_TRUE(DecodePanelSetting(Bytes(EncodePanelSetting(panel)), read));
    EXPECT_EQ(read.toneFilePath, panel.toneFilePath);
}

class RefusedPanel : public ::testing::TestWithParam<std::size_t> {};

TEST_P(RefusedPanel, ABrokenFileChangesNothing) {
    std::string bytes = EncodePanelSetting(EveryFieldChanged());
    bytes.resize(GetParam());
    PanelSetting panel = BuiltInPanelSetting();
    EXPECT_FALSE(DecodePanelSetting(Bytes(bytes), panel));
    EXPECT_EQ(EncodePanelSetting(panel), EncodePanelSetting(BuiltInPanelSetting()));
}

// Cut inside the signature, after it, in the middle, before the length word, inside the path.
INSTANTIATE_TEST_SUITE_P(CutShort, RefusedPanel, ::testing::Values(0, 7, 8, 9, 75, 146, 147, 148, 169));

TEST(PanelSetting, ValuesOutsideTheirListsAreClampedAndFlagsReadAsOneOnly) {
    std::string bytes = EncodePanelSetting(BuiltInPanelSetting());
    auto put = [&](std::size_t at, std::uint16_t value) {
        bytes[at] = static_cast<char>(value & 0xFF);
        bytes[at + 1] = static_cast<char>(value >> 8);
    };
    put(8, 40);       // time range: 21 rows
    put(48, 0xFFFF);  // FFT points: 9 rows
    put(54, 2);       // X scale, read as stored
    put(58, 2);       // "Normalized": on only when 1
    put(66, 0xFF38);  // level -200
    put(68, 300);     // delay
    put(80, 2);       // oscilloscope pane flag
    put(88, 9);       // generator rate row: 5 rows
    put(94, 12);      // waveform A: 9 rows
    PanelSetting panel = BuiltInPanelSetting();
    ASSERT_TRUE(DecodePanelSetting(Bytes(bytes), panel));
    EXPECT_EQ(panel.row(Id::ScopeTimeRange), 20);
    EXPECT_EQ(panel.row(Id::FftPoints), 8);
    EXPECT_EQ(panel.spectrumXScale, 2);
    EXPECT_FALSE(panel.spectrumNormalized);
    EXPECT_EQ(panel.triggerLevelPercent, -100);
    EXPECT_EQ(panel.triggerDelayPercent, 100);
    EXPECT_FALSE(panel.scopeShown);
    EXPECT_EQ(panel.generator.sampleRateIndex, 4);
    EXPECT_EQ(panel.generator.waveformIndexA, 8);
    EXPECT_EQ(panel.row(Id::GeneratorWaveformA), 8);
}

TEST(PanelSettingFile, ReadsWritesAndReportsRefusals) {
    testing::TempDir dir;
    RecordingShell shell;
    ToneLists tones;
    PanelSetting changed = EveryFieldChanged();
    std::string toneFilePath;
    ASSERT_TRUE(WritePanelSettingFile(dir.path() / "a.psf", changed, tones, dir.path(), toneFilePath, shell));
    PanelSetting read = BuiltInPanelSetting();
    ASSERT_TRUE(ReadPanelSettingFile(dir.path() / "a.psf", read, shell));
    EXPECT_EQ(EncodePanelSetting(read), EncodePanelSetting(changed));
    EXPECT_TRUE(shell.messages().empty());

    // A missing file changes nothing and says nothing.
    EXPECT_FALSE(ReadPanelSettingFile(dir.path() / "missing.psf", read, shell));
    EXPECT_TRUE(shell.messages().empty());

    std::ofstream(dir.path() / "bad.psf", std::ios::binary) << "Quendax";
    EXPECT_FALSE(ReadPanelSettingFile(dir.path() / "bad.psf", read, shell));
    EXPECT_EQ(shell.messages(), std::vector<std::string>{kPanelFormatMessage});
}

TEST(PanelSettingFile, AFailedWriteKeepsTheOldFileAndSaysSo) {
    testing::TempDir dir;
    RecordingShell shell;
    ToneLists tones;
    std::string toneFilePath = "kept.tcf";
    PanelSetting panel = BuiltInPanelSetting();
    panel.generator.waveformIndexA = kWaveformMultiTones;
    EXPECT_FALSE(WritePanelSettingFile(dir.path() / "no-such-folder" / "a.psf", panel, tones, dir.path(),
                                       toneFilePath, shell));
    EXPECT_EQ(shell.messages(), std::vector<std::string>{kPanelCreateFailedMessage});
    EXPECT_FALSE(std::filesystem::exists(dir.path() / kDefaultToneFileName));
    EXPECT_EQ(toneFilePath, "kept.tcf");
}

TEST(PanelSettingFile, AMultitonePanelAlsoWritesTheDefaultToneFile) {
    testing::TempDir dir;
    RecordingShell shell;
    ToneLists tones;
    tones[0].append(kWaveformSine, 440, 1.0f);
    PanelSetting panel = BuiltInPanelSetting();
    panel.generator.waveformIndexA = kWaveformMultiTones;
    std::string toneFilePath = "WFLib/a.wfl";
    ASSERT_TRUE(WritePanelSettingFile(dir.path() / "m.psf", panel, tones, dir.path(), toneFilePath, shell));
    EXPECT_TRUE(std::filesystem::exists(dir.path() / kDefaultToneFileName));
    EXPECT_EQ(toneFilePath, (dir.path() / kDefaultToneFileName).string());
    EXPECT_EQ(std::filesystem::file_size(dir.path() / "m.psf"), kPanelFixedSize);

    // Other waveforms write no tone file and leave the remembered path alone.
    std::filesystem::remove(dir.path() / kDefaultToneFileName);
    panel.generator.waveformIndexA = kWaveformSine;
    ASSERT_TRUE(WritePanelSettingFile(dir.path() / "s.psf", panel, tones, dir.path(), toneFilePath, shell));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / kDefaultToneFileName));
    EXPECT_EQ(toneFilePath, (dir.path() / kDefaultToneFileName).string());
}

}  // namespace
}  // namespace tonewell
