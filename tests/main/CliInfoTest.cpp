#include "main/CliRunner.h"

#include <gtest/gtest.h>

namespace tonewell {
namespace {

using testing::runCli;
using testing::TempDir;
using testing::valueOf;

bool haveSox() { return std::system("command -v sox >/dev/null 2>&1") == 0; }

TEST(CliInfo, PrintsFormatAndStatisticsOfARecordMadeBySox) {
    if (!haveSox()) GTEST_SKIP() << "sox is not installed";
    TempDir dir;
    auto wav = dir / "tone.wav";
    ASSERT_EQ(std::system(("sox -D -n -r 22050 -c 2 -b 8 " + wav.string() + " synth 0.5 sine 100 vol 0.5").c_str()), 0);

    auto result = runCli({"info", wav.string()}, dir);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(valueOf(result.out, "samplingType"), "3");
    EXPECT_EQ(valueOf(result.out, "channels"), "2");
    EXPECT_EQ(valueOf(result.out, "samplesPerSec"), "22050");
    EXPECT_EQ(valueOf(result.out, "bitsPerSample"), "8");
    EXPECT_EQ(valueOf(result.out, "sampleCount"), "11025");
    EXPECT_EQ(valueOf(result.out, "zeroA"), "128");
    EXPECT_NE(valueOf(result.out, "rmsB"), "<missing>");
    EXPECT_EQ(valueOf(result.out, "note"), "");
    EXPECT_EQ(result.out.find("message="), std::string::npos);
    float maxA = std::stof(valueOf(result.out, "maxA"));
    EXPECT_NEAR(maxA, 0.5f, 0.01f);
}

TEST(CliInfo, RefusedFileExitsOneWithTheMessageOnStderr) {
    TempDir dir;
    auto bogus = dir / "not-a-wave.wav";
    testing::writeFileBytes(bogus, "this is no RIFF file at all");
    auto result = runCli({"info", bogus.string()}, dir);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Non-RIFF file is currently not supported"), std::string::npos) << result.err;
    EXPECT_NE(result.out.find("message=Non-RIFF file is currently not supported"), std::string::npos);
    EXPECT_EQ(valueOf(result.out, "sampleCount"), "<missing>");
}

TEST(CliArguments, BadArgumentsExitTwoWithAUsageLine) {
    TempDir dir;
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"info"}, {"info", "x.wav", "--bogus"}, {"info", "x.wav", "--scope-type", "7"},
          {"info", "x.wav", "--scope-type"}, {"no-such-command"}, {}}) {
        auto result = runCli(arguments, dir);
        EXPECT_EQ(result.exitCode, 2) << (arguments.empty() ? "" : arguments[0]);
        EXPECT_TRUE(result.err.find("usage: tonewell-cli") != std::string::npos ||
                    result.out.find("usage: tonewell-cli") != std::string::npos);
    }
    auto help = runCli({"info", "--help"}, dir);
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("--scope-type"), std::string::npos);
}

}  // namespace
}  // namespace tonewell
