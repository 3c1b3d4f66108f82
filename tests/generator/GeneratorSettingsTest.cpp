#include "generator/GeneratorSettings.h"
#include "generator/GeneratorTables.h"
#include "generator/OutputFormat.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tonewell {
namespace {

TEST(GeneratorSettings, FreshStartIsSineOnAOnly) {
    GeneratorSettings s;
    s.frequencyA = 5;
    s.sweepEnabled = true;
    s.channelsIndex = 1;
    SetGeneratorDefaults(s);
    EXPECT_EQ(WaveformCode(s, 0), kWaveformSine);
    EXPECT_EQ(WaveformCode(s, 1), kWaveformNone);
    EXPECT_EQ(s.frequencyA, 1000u);
    EXPECT_EQ(s.amplitudeA, 1000u);
    EXPECT_EQ(SamplingFrequency(s), 44100u);
    EXPECT_EQ(BitsPerSample(s), 16u);
    EXPECT_EQ(OutputChannels(s), 1u);
    EXPECT_FALSE(s.sweepEnabled);
    for (int channel = 0; channel < 2; ++channel) {
        SweepLaw law = ChannelSweep(s, channel);
        EXPECT_EQ(law.start, 100u);
        EXPECT_EQ(law.end, 1000u);
        EXPECT_TRUE(law.linear);
        EXPECT_EQ(law.duration, 1u);
    }
    EXPECT_FALSE(s.displayInScope);
    EXPECT_EQ(s.phaseDifference, 0);
}

TEST(GeneratorSettings, SweepFieldsAreChosenByChannel) {
    GeneratorSettings s;
    s.sweepStartA = 10, s.sweepEndA = 20, s.sweepLinearA = false;
    s.sweepStartB = 30, s.sweepEndB = 40, s.sweepLinearB = true;
    s.sweepDuration = 7;
    SweepLaw a = ChannelSweep(s, 0), b = ChannelSweep(s, 1);
    EXPECT_EQ(a.start, 10u);
    EXPECT_EQ(a.end, 20u);
    EXPECT_FALSE(a.linear);
    EXPECT_EQ(b.start, 30u);
    EXPECT_EQ(b.end, 40u);
    EXPECT_TRUE(b.linear);
    EXPECT_EQ(a.duration, 7u);
    EXPECT_EQ(b.duration, 7u);
}

struct RateRow {
    int index;
    unsigned rate;
    unsigned nyquist;
};
class GeneratorRate : public ::testing::TestWithParam<RateRow> {};

TEST_P(GeneratorRate, FrequencyLimitFollowsTheRate) {
    GeneratorSettings s;
    s.sampleRateIndex = GetParam().index;
    EXPECT_EQ(SamplingFrequency(s), GetParam().rate);
    EXPECT_EQ(MaximumOutputFrequency(s), GetParam().nyquist);
}
INSTANTIATE_TEST_SUITE_P(Rows, GeneratorRate,
                         ::testing::Values(RateRow{0, 11025, 5512}, RateRow{1, 22050, 11025},
                                           RateRow{2, 44100, 22050}, RateRow{3, 48000, 24000},
                                           RateRow{4, 96000, 48000},
                                           // rows a damaged panel file might hold read as the default
                                           RateRow{5, 44100, 22050}, RateRow{-1, 44100, 22050}));

TEST(GeneratorSettings, OutOfTableRowsFallBackSafely) {
    GeneratorSettings s;
    s.resolutionIndex = 9;
    s.waveformIndexA = 9;
    s.waveformIndexB = -3;
    s.channelsIndex = 4;
    EXPECT_EQ(BitsPerSample(s), 16u);
    EXPECT_EQ(WaveformCode(s, 0), kWaveformNone);
    EXPECT_EQ(WaveformCode(s, 1), kWaveformNone);
    EXPECT_EQ(OutputChannels(s), 1u);
}

std::vector<std::string> Names(std::span<const GeneratorTableRow> table) {
    std::vector<std::string> names;
    for (const auto& row : table) names.emplace_back(row.name);
    return names;
}

TEST(GeneratorTables, NamesAndValuesAreTheSystemsOwn) {
    EXPECT_EQ(Names(WaveformTable()), (std::vector<std::string>{"None", "Sine", "Square", "Triangle", "SawTooth",
                                                                 "WhiteNoise", "PinkNoise", "MultiTones",
                                                                 "WFLibrary"}));
    for (std::size_t i = 0; i < WaveformTable().size(); ++i) EXPECT_EQ(WaveformTable()[i].value, static_cast<int>(i));
    EXPECT_EQ(Names(RateTable()),
              (std::vector<std::string>{"11025 Hz", "22050 Hz", "44100 Hz", "48000 Hz", "96000 Hz"}));
    EXPECT_EQ(Names(ResolutionTable()), (std::vector<std::string>{"8 Bit", "16 Bit"}));
    EXPECT_EQ(ResolutionTable()[0].value, 8);
    EXPECT_EQ(ResolutionTable()[1].value, 16);
    EXPECT_EQ(Names(ChannelsTable()), (std::vector<std::string>{"A", "A&B"}));
    EXPECT_EQ(Names(FrequencyPresets()), (std::vector<std::string>{"40000", "30000", "20000", "10000", "5000", "2000",
                                                                    "1000", "500", "200", "100", "50"}));
    EXPECT_EQ(Names(AmplitudePresets()), (std::vector<std::string>{"1000", "500", "200", "100", "50"}));
    ASSERT_EQ(PhasePresets().size(), 9u);
    for (std::size_t i = 0; i < 9; ++i) {
        EXPECT_EQ(PhasePresets()[i].value, -180 + 45 * static_cast<int>(i));
        EXPECT_EQ(PhasePresets()[i].name, std::to_string(PhasePresets()[i].value));
    }
    for (const auto& table : {FrequencyPresets(), AmplitudePresets()})
        for (const auto& row : table) EXPECT_EQ(row.name, std::to_string(row.value));
    EXPECT_EQ(WaveformCodeForName("PinkNoise"), kWaveformPinkNoise);
    EXPECT_EQ(WaveformCodeForName("pinknoise"), -1);
    EXPECT_EQ(WaveformName(kWaveformSawTooth), "SawTooth");
    EXPECT_EQ(WaveformName(9), "");
}

struct FormatRow {
    int rateIndex, resolutionIndex, channelsIndex;
    unsigned channels, rate, blockAlign, bytesPerSecond;
};
class GeneratorOutputFormat : public ::testing::TestWithParam<FormatRow> {};

TEST_P(GeneratorOutputFormat, BlockAlignAndByteRate) {
    const FormatRow& row = GetParam();
    GeneratorSettings s;
    s.sampleRateIndex = row.rateIndex;
    s.resolutionIndex = row.resolutionIndex;
    s.channelsIndex = row.channelsIndex;
    WaveFormat f = OutputFormatFor(s);
    EXPECT_EQ(f.channels, row.channels);
    EXPECT_EQ(f.samplesPerSecond, row.rate);
    EXPECT_EQ(f.blockAlign, row.blockAlign);
    EXPECT_EQ(f.averageBytesPerSecond, row.bytesPerSecond);
}
INSTANTIATE_TEST_SUITE_P(Formats, GeneratorOutputFormat,
                         ::testing::Values(FormatRow{0, 0, 0, 1, 11025, 1, 11025}, FormatRow{0, 0, 1, 2, 11025, 2, 22050},
                                           FormatRow{2, 1, 0, 1, 44100, 2, 88200},
                                           FormatRow{4, 1, 1, 2, 96000, 4, 384000}));

}  // namespace
}  // namespace tonewell
