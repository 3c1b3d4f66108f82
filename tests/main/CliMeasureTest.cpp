#include "main/CliRunner.h"

#include "acquisition/WaveDocumentWriter.h"
#include "measurement/ToneRecord.h"

#include <gtest/gtest.h>

namespace tonewell {
namespace {

using testing::runCli;
using testing::TempDir;
using testing::valueOf;

double number(const std::string& output, const std::string& key) { return std::stod(valueOf(output, key)); }

TEST(CliMeasure, PrintsEachChannelsValuesAndAppliesTheClockCorrection) {
    TempDir dir;
    const auto wav = dir / "tones.wav";
    testing::writeFileBytes(wav, EncodeWaveDocument(testing::ToneRecord(
                                     16, 48000, 1.0, {{1000.0, 0.8, {0.1, 0.05, 0.02}, 1e-4}, {1500.5, 0.25, {}, 1e-3}})));
    auto plain = runCli({"measure", wav.string()}, dir);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    for (const char* key : {"frequency", "level", "thd", "thdPercent", "thdn", "sinad", "snr", "enob"})
        for (const char* channel : {"A", "B"}) EXPECT_NE(valueOf(plain.out, key + std::string(channel)), "<missing>");
    EXPECT_NEAR(number(plain.out, "frequencyA"), 1000.0, 1e-3);
    EXPECT_NEAR(number(plain.out, "frequencyB"), 1500.5, 1e-3);
    EXPECT_NEAR(number(plain.out, "levelB"), 0.25 / std::sqrt(2.0), 1e-4);
    EXPECT_NEAR(number(plain.out, "thdPercentA"), 11.35782, 0.01);

    auto corrected = runCli({"measure", wav.string(), "--clock-ppm", "-50", "--band", "20:5000", "--harmonics", "2"}, dir);
    ASSERT_EQ(corrected.exitCode, 0) << corrected.err;
    EXPECT_NEAR(number(corrected.out, "frequencyA"), 999.95, 1e-3);
    EXPECT_NEAR(number(corrected.out, "thdPercentA"), 10.0, 0.01);  // the second harmonic alone
    EXPECT_NEAR(number(corrected.out, "levelA"), number(plain.out, "levelA"), 1e-6);

    auto given = runCli({"measure", wav.string(), "--fundamental", "3000"}, dir);
    EXPECT_NEAR(number(given.out, "frequencyA"), 3000.0, 1e-3);  // the third harmonic as the fundamental
}

TEST(CliMeasure, SilentShortAndBadInputSayWhy) {
    TempDir dir;
    const auto silent = dir / "silent.wav";
    testing::writeFileBytes(silent, EncodeWaveDocument(testing::ToneRecord(8, 8000, 1.0, {{440.0, 0.0, {}}})));
    auto result = runCli({"measure", silent.string()}, dir);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("channel A is silent"), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "");

    const auto bogus = dir / "bogus.wav";
    testing::writeFileBytes(bogus, "RIFX");
    result = runCli({"measure", bogus.string()}, dir);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Non-RIFF file is currently not supported"), std::string::npos) << result.err;

    for (const std::vector<std::string>& options : {std::vector<std::string>{"--band", "500:100"}, {"--band", "100"},
                                                    {"--harmonics", "1"}, {"--fundamental", "-3"}, {"--clock-ppm", "x"}}) {
        std::vector<std::string> words{"measure", silent.string()};
        words.insert(words.end(), options.begin(), options.end());
        EXPECT_EQ(runCli(words, dir).exitCode, 2) << options[0] << " " << options[1];
    }
    auto help = runCli({"measure", "--help"}, dir);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--clock-ppm PPM"), std::string::npos);
}

}  // namespace
}  // namespace tonewell
