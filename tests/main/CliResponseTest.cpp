// tonewell-cli response: from files that sox made (a sweep through sox's own filters, whose
// response is computed here), refusing bad pairs of files, and live on the loopback cable and
// through a PulseAudio null sink and its monitor.

#include "main/CliRunner.h"
#include "platform/PulseNullSink.h"
#include "response/KnownFilters.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <complex>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <numbers>
#include <sstream>

namespace tonewell {
namespace {

bool HaveSox() { return std::system("sox --version >/dev/null 2>&1") == 0; }

void Sox(const std::string& arguments) {
    ASSERT_EQ(std::system(("sox -D " + arguments + " 2>/dev/null").c_str()), 0) << arguments;
}

// The table's header and its columns: frequency, magnitude, phase.
std::pair<std::string, std::vector<std::array<double, 3>>> ReadTable(const std::filesystem::path& path) {
    std::istringstream lines(testing::readFileBytes(path));
    std::string header;
    std::getline(lines, header);
    std::vector<std::array<double, 3>> rows;
    char comma;
    for (std::array<double, 3> row; lines >> row[0] >> comma >> row[1] >> comma >> row[2];) rows.push_back(row);
    return {header, rows};
}

// The largest magnitude and phase errors of the table against `exact` between two frequencies.
std::pair<double, double> WorstErrors(const std::filesystem::path& table, double from, double to,
                                      const std::function<std::complex<double>(double)>& exact) {
    double db = 0, degrees = 0;
    for (const auto& [f, magnitude, phase] : ReadTable(table).second) {
        if (f < from || f > to) continue;
        db = std::max(db, std::fabs(magnitude - 20 * std::log10(std::abs(exact(f)))));
        degrees = std::max(degrees, std::fabs(std::remainder(phase - std::arg(exact(f)) * 180 / std::numbers::pi, 360.0)));
    }
    return {db, degrees};
}

struct SoxSystem {
    const char* name;
    const char* effects;
    testing::FilterKind kind;
    double f0, delaySeconds, sign;
};

class CliResponseFiles : public ::testing::TestWithParam<SoxSystem> {};

TEST_P(CliResponseFiles, MatchTheExactResponseOfSoxsFilters) {
    if (!HaveSox()) GTEST_SKIP() << "sox is not installed";
    const SoxSystem& c = GetParam();
    testing::TempDir scratch;
    const std::string s = (scratch / "s.wav").string(), r = (scratch / "r.wav").string();
    Sox("-n -r 48000 -b 16 -c 1 '" + s + "' synth 3 sine 20/20000 gain -12");
    Sox("'" + s + "' '" + r + "' " + c.effects);
    std::vector<std::string> words{"response", "--stimulus", s, "--recorded", r, "--output",
                                   (scratch / "t.txt").string(), "--impulse", (scratch / "ir.wav").string()};
#ifdef TONEWELL_HAVE_PICTURES
    words.insert(words.end(), {"--png", (scratch / "t.png").string()});
#endif
    const testing::CliResult result = testing::runCli(words, scratch);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const double latency = std::stod(testing::valueOf(result.out, "latencyMs")) / 1000;
    EXPECT_EQ(testing::valueOf(result.out, "inverted"), c.sign < 0 ? "1" : "0");
    EXPECT_NEAR(latency, c.delaySeconds, c.kind == testing::FilterKind::Through ? 1e-4 : 1e-3);
    const auto [header, rows] = ReadTable(scratch / "t.txt");
    EXPECT_EQ(header, "frequency,magnitude,phase");
    EXPECT_GE(rows.size(), static_cast<std::size_t>(48 * std::log2(15000.0 / 50)));  // 48 per octave
    const testing::Biquad filter = testing::MakeBiquad(c.kind, c.f0, std::sqrt(0.5), 48000);
    const auto [db, degrees] = WorstErrors(scratch / "t.txt", 50, 15000, [&](double f) {
        return c.sign * filter.at(f) * std::polar(1.0, -2 * std::numbers::pi * f * (c.delaySeconds - latency));
    });
    EXPECT_LT(db, 0.1);
    EXPECT_LT(degrees, 2.0);
    EXPECT_EQ(testing::readFileBytes(scratch / "ir.wav").substr(0, 4), "RIFF");
#ifdef TONEWELL_HAVE_PICTURES
    EXPECT_EQ(testing::readFileBytes(scratch / "t.png").substr(1, 3), "PNG");
#endif
}

INSTANTIATE_TEST_SUITE_P(
    Sox, CliResponseFiles,
    ::testing::Values(SoxSystem{"HighPassDelayed", "highpass 100 delay 0.01", testing::FilterKind::HighPass, 100, 0.01, 1},
                      SoxSystem{"LowPass", "lowpass 2000", testing::FilterKind::LowPass, 2000, 0, 1},
                      SoxSystem{"Inverted", "vol -1 delay 480s", testing::FilterKind::Through, 0, 0.01, -1}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadPair {
    const char* name;
    const char* recording;  // sox arguments after the input file (the stimulus), or the options
    int exitCode;
    const char* message;
};

class CliResponseRefusals : public ::testing::TestWithParam<BadPair> {};

TEST_P(CliResponseRefusals, SayWhyAndWriteNothing) {
    if (!HaveSox()) GTEST_SKIP() << "sox is not installed";
    testing::TempDir scratch;
    const std::string s = (scratch / "s.wav").string(), r = (scratch / "r.wav").string();
    Sox("-n -r 48000 -b 16 -c 1 '" + s + "' synth 1 sine 20/20000 gain -12");
    std::vector<std::string> words{"response", "--output", (scratch / "t.txt").string()};
    if (GetParam().exitCode == 1) {
        Sox("'" + s + "' '" + r + "' " + GetParam().recording);
        words.insert(words.end(), {"--stimulus", s, "--recorded", r});
    } else {
        std::istringstream options(GetParam().recording);
        for (std::string word; options >> word;) words.push_back(word == "S" ? s : word);
    }
    const testing::CliResult result = testing::runCli(words, scratch);
    EXPECT_EQ(result.exitCode, GetParam().exitCode);
    EXPECT_NE(result.err.find(GetParam().message), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(scratch / "t.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CliResponseRefusals,
    ::testing::Values(BadPair{"DifferentRates", "rate 44100", 1, "(48000 Hz) and the recording (44100 Hz) have different"},
                      BadPair{"Silent", "vol 0", 1, "the recording is silent"},
                      BadPair{"Shorter", "trim 0 0.5", 1, "(0.500 s) is shorter than the stimulus (1.000 s)"},
                      BadPair{"NoRecording", "--stimulus S", 2, "give --stimulus and --recorded, or --live"},
                      BadPair{"LiveWithFiles", "--live --stimulus S", 2, "--stimulus is not for --live"},
                      BadPair{"SweepBackwards", "--live --from 5000 --to 100", 2, "third of an octave"},
                      BadPair{"NoTakes", "--live --tries 0", 2, "--tries takes a whole number from 1 to 10"},
                      BadPair{"TriesWithFiles", "--stimulus S --recorded S --tries 2", 2, "--tries is for --live"}),
    [](const auto& info) { return std::string(info.param.name); });

// The table of a live run: flat within 0.5 dB from 100 Hz to 10 kHz.
void ExpectFlat(const std::filesystem::path& path) {
    EXPECT_LT(WorstErrors(path, 100, 10000, [](double) { return std::complex<double>(1.0); }).first, 0.5);
}

TEST(CliResponseLive, LoopbackCableIsFlat) {
    testing::TempDir scratch;
    const testing::CliResult result = testing::runCli(
        {"response", "--live", "--seconds", "1", "--output", (scratch / "t.txt").string()}, scratch, "TONEWELL_AUDIO=loopback");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(testing::valueOf(result.out, "backend"), "Loopback cable");
    EXPECT_EQ(testing::valueOf(result.out, "takes"), "1");
    EXPECT_EQ(testing::valueOf(result.out, "points"), "480");  // 48 per octave over 20 Hz - 20 kHz
    EXPECT_GE(std::stod(testing::valueOf(result.out, "latencyMs")), 0.0);
    ExpectFlat(scratch / "t.txt");
}

#ifdef TONEWELL_HAVE_PORTAUDIO
TEST(CliResponseLive, PulseAudioNullSinkMonitorIsFlatAndLate) {
    testing::PulseNullSink sink(48000);
    if (!sink.running()) GTEST_SKIP() << sink.reason();
    testing::TempDir scratch;
    // A machine too busy to feed either stream loses sound, which the tool finds and measures
    // again. A fault of ours spoils every take.
    const testing::CliResult result = testing::runCli(
        {"response", "--live", "--seconds", "2", "--tries", "6", "--output", (scratch / "t.txt").string()}, scratch,
        "TONEWELL_AUDIO=portaudio");
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(testing::valueOf(result.out, "underruns"), "0");
    EXPECT_EQ(testing::valueOf(result.out, "overruns"), "0");
    EXPECT_GT(std::stod(testing::valueOf(result.out, "latencyMs")), 0.0);
    ExpectFlat(scratch / "t.txt");
}
#endif

}  // namespace
}  // namespace tonewell
