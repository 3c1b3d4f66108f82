#include "main/CliRunner.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace tonewell {
namespace {

using testing::readFileBytes;
using testing::runCli;
using testing::TempDir;
using testing::valueOf;

bool haveSox() { return std::system("command -v sox >/dev/null 2>&1") == 0; }

int lineCount(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

TEST(CliGenerate, WritesWhatInfoAndSoxReadBackWithEverySetKind) {
    TempDir dir;
    auto wav = dir / "stereo.wav";
    auto result = runCli({"generate", "--output", wav.string(), "--duration", "2", "--set", "channelsIndex=1",
                          "--set", "waveformIndexB=Square", "--set", "frequencyA=500", "--set", "phaseDifference=-90",
                          "--set", "sweepLinearA=0", "--set", "resolutionIndex=0", "--set", "sampleRateIndex=0"},
                         dir);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    auto info = runCli({"info", wav.string()}, dir);
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(valueOf(info.out, "samplingType"), "3");
    EXPECT_EQ(valueOf(info.out, "samplesPerSec"), "11025");
    EXPECT_EQ(valueOf(info.out, "bitsPerSample"), "8");
    EXPECT_EQ(valueOf(info.out, "sampleCount"), "22050");
    EXPECT_NEAR(std::stof(valueOf(info.out, "maxB")), 1.0f, 0.02f);  // 8 bit: 126/128
    if (haveSox()) {
        std::string soxi = "soxi -D " + wav.string() + " > " + (dir / "soxi.txt").string();
        ASSERT_EQ(std::system(soxi.c_str()), 0);
        EXPECT_NEAR(std::stod(readFileBytes(dir / "soxi.txt")), 2.0, 1e-6);
    }
}

TEST(CliGenerate, TextFormatFollowsTheExtensionOrTheOption) {
    TempDir dir;
    auto text = dir / "one.txt";
    auto result = runCli({"generate", "--output", text.string(), "--set", "sampleRateIndex=0"}, dir);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::string table = readFileBytes(text);
    EXPECT_EQ(table.rfind("Data Points\r\n", 0), 0u);
    EXPECT_GT(lineCount(table), 11025);

    auto noExtension = dir / "plain";
    ASSERT_EQ(runCli({"generate", "--output", noExtension.string(), "--format", "txt"}, dir).exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "plain.txt"));
}

TEST(CliGenerate, BadSettingsAreArgumentErrorsAndNothingIsWritten) {
    TempDir dir;
    auto out = dir / "x.wav";
    EXPECT_EQ(runCli({"generate", "--output", out.string(), "--set", "frequencyA=-3"}, dir).exitCode, 2);
    EXPECT_EQ(runCli({"generate", "--output", out.string(), "--set", "bogus=1"}, dir).exitCode, 2);
    EXPECT_EQ(runCli({"generate", "--output", out.string(), "--format", "mp3"}, dir).exitCode, 2);
    EXPECT_EQ(runCli({"generate", "--output", out.string(), "--duration", "1.5"}, dir).exitCode, 2);
    EXPECT_EQ(runCli({"generate"}, dir).exitCode, 2);
    // Values outside the generator dialog's ranges get its messages (44100 Hz, 16 bit, 1 V).
    const std::vector<std::pair<std::string, std::string>> outside{
        {"frequencyA=99999", "Please input a value within 1~22050 Hz"},
        {"sweepEndB=0", "Please input a value within 1~22050 Hz"},
        {"amplitudeB=1001", "Please input a value within 1~1000 mV"},
        {"phaseDifference=-181", "Please input a value within -180~180 Degree"},
        {"sweepDuration=0", "Please enter an integer between 1 and 2147483647."}};
    for (const auto& [set, message] : outside) {
        const testing::CliResult result = runCli({"generate", "--output", out.string(), "--set", set}, dir);
        EXPECT_EQ(result.exitCode, 2) << set;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    // The rate set afterwards is the one the frequency is held to.
    EXPECT_EQ(runCli({"generate", "--output", out.string(), "--set", "frequencyA=40000", "--set", "sampleRateIndex=4"}, dir)
                  .exitCode,
              0);
}

TEST(CliGenerate, RefusedToneFileExitsOneWithItsMessage) {
    TempDir dir;
    auto tones = dir / "bad.tcf";
    testing::writeFileBytes(tones, "this is not a tone file\n");
    auto result = runCli({"generate", "--output", (dir / "x.wav").string(), "--tones", tones.string(),
                          "--set", "waveformIndexA=MultiTones"},
                         dir);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("not in Tone Configuration File (tcf) Format"), std::string::npos) << result.err;
}

TEST(CliSpectrum, AmplitudeSpectrumPeakAndExportOfAGeneratedTone) {
    TempDir dir;
    auto wav = dir / "tone.wav";
    // 44100 / 1024 Hz bins: 43.07 Hz apart; 1033.59 Hz is bin 24 exactly.
    ASSERT_EQ(runCli({"generate", "--output", wav.string(), "--set", "frequencyA=1034"}, dir).exitCode, 0);
    auto result = runCli({"spectrum", wav.string(), "--fft", "1024", "--window", "HAN"}, dir);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.rfind("RMS Spectrum\r\n", 0), 0u);
    EXPECT_NE(result.out.find("FFT Point=1024"), std::string::npos);
    EXPECT_NE(result.err.find("FA=1033.6Hz"), std::string::npos) << result.err;
    EXPECT_EQ(result.err.find("FB="), std::string::npos);

    auto file = dir / "spectrum";
    ASSERT_EQ(runCli({"spectrum", wav.string(), "--type", "ACR", "--output", file.string()}, dir).exitCode, 0);
    EXPECT_EQ(readFileBytes(file).rfind("Auto-Correlation\r\n", 0), 0u);
    EXPECT_EQ(runCli({"spectrum", wav.string(), "--fft", "1000"}, dir).exitCode, 2);
    EXPECT_EQ(runCli({"spectrum", wav.string(), "--window", "KAI"}, dir).exitCode, 2);
    EXPECT_EQ(runCli({"spectrum", wav.string(), "--type", "XYZ"}, dir).exitCode, 2);
}

TEST(CliSpectrum, CrossCorrelationOfBothChannelsGivesTheDelayReadout) {
    TempDir dir;
    auto wav = dir / "pair.wav";
    ASSERT_EQ(runCli({"generate", "--output", wav.string(), "--set", "channelsIndex=1", "--set",
                      "waveformIndexB=Sine"},
                     dir)
                  .exitCode,
              0);
    auto result = runCli({"spectrum", wav.string(), "--type", "CCR"}, dir);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.err.find("dT=0.000ms, R=1.000"), std::string::npos) << result.err;
}

TEST(CliScopeExport, WritesTheTableAndWarningsKeepExitZero) {
    if (!haveSox()) GTEST_SKIP() << "sox is not installed";
    TempDir dir;
    auto wav = dir / "odd-rate.wav";
    ASSERT_EQ(std::system(("sox -D -n -r 32000 -c 1 -b 16 " + wav.string() + " synth 0.01 sine 500").c_str()), 0);
    auto info = runCli({"info", wav.string()}, dir);
    EXPECT_EQ(info.exitCode, 0);
    EXPECT_NE(info.out.find("message=Sampling Frequency not recognized"), std::string::npos) << info.out;

    auto result = runCli({"scope-export", wav.string()}, dir);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.rfind("Data Points\r\n", 0), 0u);
    EXPECT_NE(result.out.find("\r\n319,   "), std::string::npos);
    EXPECT_EQ(runCli({"scope-export", (dir / "missing.wav").string()}, dir).exitCode, 1);
}

}  // namespace
}  // namespace tonewell
