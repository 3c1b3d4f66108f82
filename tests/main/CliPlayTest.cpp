// tonewell-cli play on the loopback cable (real-time clock): the sweep's own end, the limit in
// seconds, refusals and argument errors. The real sound path is in CliPlayNullSinkTest.

#include "main/CliRunner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace tonewell {
namespace {

using testing::TempDir;

testing::CliResult PlayOnCable(const std::vector<std::string>& arguments, const TempDir& scratch) {
    std::vector<std::string> words{"play"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return testing::runCli(words, scratch, "TONEWELL_AUDIO=loopback", "play");
}

TEST(CliPlayLoopback, ASweepEndsByItselfAndContinuousOutputAtTheLimit) {
    TempDir dir;
    const auto before = std::chrono::steady_clock::now();
    auto sweep = PlayOnCable({"--set", "sweepEnabled=1", "--set", "sweepDuration=2", "--set", "sampleRateIndex=0"}, dir);
    const double sweepSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
    ASSERT_EQ(sweep.exitCode, 0) << sweep.err;
    EXPECT_EQ(testing::valueOf(sweep.out, "backend"), "Loopback cable");
    EXPECT_EQ(testing::valueOf(sweep.out, "underruns"), "0");
    // Two seconds of sound at least; the end is its own (no limit given).
    EXPECT_GE(sweepSeconds, 1.9);

    auto limited = PlayOnCable({"--seconds", "0.5"}, dir);
    ASSERT_EQ(limited.exitCode, 0) << limited.err;
    EXPECT_EQ(testing::valueOf(limited.out, "underruns"), "0");
}

TEST(CliPlayLoopback, RefusalsExitOneWithTheirMessage) {
    TempDir dir;
    // A value outside the dialog's range is an argument error with the dialog's message.
    auto zero = PlayOnCable({"--set", "sweepEnabled=1", "--set", "sweepDuration=0"}, dir);
    EXPECT_EQ(zero.exitCode, 2);
    EXPECT_NE(zero.err.find("Please enter an integer between 1 and 2147483647."), std::string::npos) << zero.err;

    auto library = PlayOnCable({"--set", "waveformIndexA=WFLibrary"}, dir);
    EXPECT_EQ(library.exitCode, 1);
    EXPECT_NE(library.err.find("Waveform Library File have not been loaded."), std::string::npos) << library.err;

    auto tones = dir / "high.tcf";
    testing::writeFileBytes(tones, "#1\n1:Sine,1000Hz,1.000000\n2:Sine,12000Hz,0.500000\n#2\n");
    auto multitone = PlayOnCable({"--tones", tones.string(), "--set", "waveformIndexA=MultiTones", "--set",
                                  "sampleRateIndex=0", "--seconds", "1"},
                                 dir);
    EXPECT_EQ(multitone.exitCode, 1);
    EXPECT_NE(multitone.err.find("outside the range 1~11025 Hz"), std::string::npos) << multitone.err;
}

TEST(CliPlayLoopback, BadArgumentsExitTwo) {
    TempDir dir;
    EXPECT_EQ(PlayOnCable({"--seconds", "-1"}, dir).exitCode, 2);
    EXPECT_EQ(PlayOnCable({"--seconds", "soon"}, dir).exitCode, 2);
    EXPECT_EQ(PlayOnCable({"--set", "frequencyA=-3"}, dir).exitCode, 2);
    EXPECT_EQ(PlayOnCable({"extra"}, dir).exitCode, 2);
}

}  // namespace
}  // namespace tonewell
