// Files made by another program: sox writes them, sox's "stat" measures them, and the document's
// format and statistics must agree.

#include "acquisition/SignalDoc.h"

#include "platform/RecordingShell.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>

namespace tonewell {
namespace {

std::string run(const std::string& command) {
    std::string output;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return output;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output.append(buffer, n);
    pclose(pipe);
    return output;
}

bool haveSox() { return std::system("sox --version >/dev/null 2>&1") == 0; }

// "Maximum amplitude:  0.499985" lines of sox's stat, by their first two words.
std::map<std::string, double> soxStat(const std::string& file, int channel) {
    std::map<std::string, double> values;
    std::istringstream lines(run("sox '" + file + "' -n remix " + std::to_string(channel) + " stat"));
    std::string line;
    while (std::getline(lines, line)) {
        const auto colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::istringstream key(line.substr(0, colon));
        std::string first, second;
        key >> first >> second;
        try {
            values[first + " " + second] = std::stod(line.substr(colon + 1));
        } catch (...) {
        }
    }
    return values;
}

struct SoxCase {
    const char* name;
    int rate;
    int bits;
    int channels;
    const char* synth;  // sox synth arguments after the length
};

class SoxFilesTest : public ::testing::TestWithParam<SoxCase> {};

TEST_P(SoxFilesTest, FormatAndStatisticsAgreeWithSox) {
    if (!haveSox()) GTEST_SKIP() << "sox is not installed";
    const SoxCase& c = GetParam();
    testing::TempDir dir;
    const std::string file = (dir / "made.wav").string();
    const std::string made = run("sox -D -n -r " + std::to_string(c.rate) + " -b " + std::to_string(c.bits) +
                                 " -c " + std::to_string(c.channels) + " -e " +
                                 (c.bits == 8 ? "unsigned-integer" : "signed-integer") + " '" + file +
                                 "' synth 0.5 " + c.synth);
    ASSERT_TRUE(std::filesystem::exists(file)) << made;

    RecordingShell shell;
    InstrumentConfiguration configuration;
    std::atomic<bool> inputRunning{false};
    CSignalDoc document(shell, configuration, inputRunning, FreshDocumentSelection{});
    ASSERT_TRUE(document.OnOpenDocument(file, kScopeTypeSeparate));
    EXPECT_TRUE(shell.messages().empty());
    EXPECT_EQ(document.riffHeader.format.samplesPerSecond, static_cast<std::uint32_t>(c.rate));
    EXPECT_EQ(document.riffHeader.format.channels, c.channels);
    EXPECT_EQ(document.resolutionA, c.bits);
    EXPECT_EQ(document.samplingType, c.channels == 2 ? kSamplingTypeAB : kSamplingTypeA);
    EXPECT_EQ(document.sampleCount, static_cast<std::uint32_t>(c.rate / 2));

    // With the file's +-1 V ranges a volt is sox's full-scale amplitude.
    for (int channel = 1; channel <= c.channels; ++channel) {
        SCOPED_TRACE(channel);
        auto stat = soxStat(file, channel);
        ASSERT_EQ(stat.count("Maximum amplitude"), 1u);
        const bool a = channel == 1;
        // sox prints six decimals and sums in double; the document sums in single precision.
        // A wrong zero level or scale is off by far more (one 8-bit code is 0.0078).
        const auto tolerance = [](double v) { return 2e-6 + 2e-4 * std::fabs(v); };
        const double max = std::max(stat["Maximum amplitude"], 0.0);
        const double min = std::min(stat["Minimum amplitude"], 0.0);
        EXPECT_NEAR(a ? document.maxA : document.maxB, max, tolerance(max));
        EXPECT_NEAR(a ? document.minA : document.minB, min, tolerance(min));
        EXPECT_NEAR(a ? document.meanA : document.meanB, stat["Mean amplitude"], tolerance(1.0) / 10);
        EXPECT_NEAR(a ? document.rmsA : document.rmsB, stat["RMS amplitude"], tolerance(stat["RMS amplitude"]));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, SoxFilesTest,
    ::testing::Values(SoxCase{"Mono8At8000", 8000, 8, 1, "sine 440 dcshift 0.1"},
                      SoxCase{"Stereo16At22050", 22050, 16, 2, "sine 440 square 300"},
                      SoxCase{"Mono16At44100", 44100, 16, 1, "triangle 1000 vol 0.5"},
                      SoxCase{"Stereo8At48000", 48000, 8, 2, "sawtooth 200 sine 3000 vol 0.7"},
                      SoxCase{"Stereo16At96000", 96000, 16, 2, "square 50 sine 17 dcshift -0.2"},
                      SoxCase{"Mono16At11025", 11025, 16, 1, "sine 100 dcshift 0.4"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tonewell
