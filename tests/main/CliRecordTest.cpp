// tonewell-cli record: on the real-time loopback cable (silence, so only free run records) for
// the file it writes and its refusals, and end to end over the PulseAudio null sink, where play
// sends a 1 kHz sine into the sink and record captures it from the sink's monitor.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "main/CliRunner.h"
#include "platform/PulseNullSink.h"
#include "support/TempDir.h"

namespace tonewell {
namespace {

using testing::CliResult;
using testing::shellQuote;

// Runs tonewell-cli with the environment given before it ("NAME=value ...").
CliResult RunWith(const std::string& environment, const std::vector<std::string>& arguments,
                  const testing::TempDir& scratch, const std::string& name = "cli") {
    return testing::runCli(arguments, scratch, environment, name);
}

const std::string kLoopback = "TONEWELL_AUDIO=loopback";

TEST(CliRecord, FreeRunRecordIsSavedAsFileSaveWritesItWithItsInformationBlock) {
    testing::TempDir dir;
    const std::string file = (dir / "record.wav").string();
    auto result = RunWith(kLoopback,
                          {"record", "--output", file, "--set", "triggerMode=None", "--set", "channels=A&B", "--set",
                           "resolution=8B", "--set", "samplingRate=8000H", "--set", "recordLength=300", "--records", "3"},
                          dir);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(testing::valueOf(result.out, "backend"), "Loopback cable");
    EXPECT_EQ(testing::valueOf(result.out, "records"), "3");
    EXPECT_NE(testing::valueOf(result.out, "overruns"), "<missing>");

    auto info = testing::runCli({"info", file}, dir);
    ASSERT_EQ(info.exitCode, 0) << info.err;
    EXPECT_EQ(testing::valueOf(info.out, "samplingType"), "3");
    EXPECT_EQ(testing::valueOf(info.out, "samplesPerSec"), "8000");
    EXPECT_EQ(testing::valueOf(info.out, "bitsPerSample"), "8");
    EXPECT_EQ(testing::valueOf(info.out, "sampleCount"), "300");
    // The range comes from the IBIN block (a plain WAV file reads as +-1 V with exponent 12).
    EXPECT_EQ(testing::valueOf(info.out, "rangeMaxA"), "1000");
    EXPECT_EQ(testing::valueOf(info.out, "rangeExponentA"), "9");
    // The cable's silence, at mid-scale.
    EXPECT_EQ(testing::valueOf(info.out, "maxA"), "0");
    EXPECT_EQ(testing::valueOf(info.out, "minB"), "0");
}

TEST(CliRecord, NoTriggerWithinTheTimeoutExitsOneAndLeavesAnExistingFileAlone) {
    testing::TempDir dir;
    const auto file = dir / "kept.wav";
    testing::writeFileBytes(file, "previous contents");
    auto result = RunWith(kLoopback, {"record", "--output", file.string(), "--timeout", "0.3"}, dir);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("no trigger within 0.3 s"), std::string::npos) << result.err;
    EXPECT_EQ(testing::valueOf(result.out, "records"), "0");
    EXPECT_EQ(testing::readFileBytes(file), "previous contents");
}

TEST(CliRecord, ARecordLengthOfZeroGetsTheSystemsMessage) {
    testing::TempDir dir;
    auto result = RunWith(kLoopback, {"record", "--output", (dir / "r.wav").string(), "--set", "recordLength=0"}, dir);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("Number of Sampling Points can not be zero!"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "r.wav"));
}

TEST(CliRecord, KeysAndValuesOutsideTheBarsAreArgumentErrors) {
    testing::TempDir dir;
    const std::string file = (dir / "r.wav").string();
    for (const std::vector<std::string>& extra : std::vector<std::vector<std::string>>{
             {"--set", "samplingRate=12345"},
             {"--set", "resolution=24B"},
             {"--set", "triggerEdge=Sideways"},
             {"--set", "triggerLevel=high"},
             {"--set", "recordLength=1k"},
             {"--set", "gain=3"},
             {"--set", "triggerMode"},
             {"--set", "triggerSource=B"},  // channels "A": the bar offers no source B
             {"--records", "0"},
             {"--timeout", "-1"}}) {
        std::vector<std::string> arguments{"record", "--output", file};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        auto result = RunWith(kLoopback, arguments, dir);
        EXPECT_EQ(result.exitCode, 2) << extra[1] << ": " << result.err;
    }
    EXPECT_FALSE(std::filesystem::exists(file));
}

#ifdef TONEWELL_HAVE_PORTAUDIO

constexpr std::uint32_t kRate = 48000;
constexpr int kPoints = 4800;
constexpr int kFftPoints = 4096;

// The 16-bit samples of a mono record written by File Save (the data chunk right after the
// canonical 44-byte header).
std::vector<int> MonoSamples(const std::string& bytes) {
    std::vector<int> samples;
    for (std::size_t at = 44; at + 1 < 44 + 2 * static_cast<std::size_t>(kPoints) && at + 1 < bytes.size(); at += 2)
        samples.push_back(static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                                    static_cast<std::uint8_t>(bytes[at + 1]) << 8));
    return samples;
}

// The frequency of the "FA=...Hz" readout.
double PeakReadout(const std::string& err) {
    const auto at = err.find("FA=");
    if (at == std::string::npos) return -1;
    return std::atof(err.c_str() + at + 3);
}

struct EndToEndTake {
    CliResult played;
    CliResult recorded;
    std::string dropouts;  // empty when neither side lost sound
};

EndToEndTake PlayAndRecord(const testing::TempDir& dir, const std::string& file) {
    EndToEndTake take;
    std::thread player([&] {
        take.played = RunWith("TONEWELL_AUDIO=portaudio",
                              {"play", "--set", "waveformIndexA=Sine", "--set", "frequencyA=1000", "--set",
                               "amplitudeA=500", "--seconds", "6"},
                              dir, "play");
    });
    // Let the tone reach the sink. The sound server's resampler rings faintly before the tone's
    // onset, and such a ripple may make the first record: the second one, at least 180 ms later,
    // is saved.
    std::this_thread::sleep_for(std::chrono::milliseconds(800));
    take.recorded = RunWith("TONEWELL_AUDIO=portaudio",
                            {"record", "--output", file, "--set", "samplingRate=48000H", "--set", "channels=A", "--set",
                             "resolution=16B", "--set", "recordLength=" + std::to_string(kPoints), "--set",
                             "triggerMode=Repeat", "--set", "triggerEdge=Up", "--set", "triggerLevel=0", "--set",
                             "triggerDelay=0", "--records", "2", "--timeout", "5"},
                            dir, "record");
    player.join();
    const std::string underruns = testing::valueOf(take.played.out, "underruns");
    const std::string overruns = testing::valueOf(take.recorded.out, "overruns");
    if (underruns != "0" || overruns != "0")
        take.dropouts = "output underruns " + underruns + ", input overruns " + overruns;
    return take;
}

TEST(PortAudioNullSinkRecord, PlayedSineIsRecordedFromAnUpwardCrossingAndPeaksAt1000Hz) {
    testing::PulseNullSink sink(kRate);
    if (!sink.running()) GTEST_SKIP() << sink.reason();
    testing::TempDir dir;
    const std::string file = (dir / "sine.wav").string();
    // A machine too busy to keep the streams fed loses sound, which says nothing about capture:
    // such a take is made again, a few times at most.
    EndToEndTake take;
    for (int attempt = 0; attempt < 3; ++attempt) {
        take = PlayAndRecord(dir, file);
        if (take.dropouts.empty() || take.recorded.exitCode != 0) break;
    }
    ASSERT_EQ(take.recorded.exitCode, 0) << take.recorded.err;
    EXPECT_EQ(take.played.exitCode, 0) << take.played.err;
    EXPECT_TRUE(take.dropouts.empty()) << take.dropouts;
    EXPECT_EQ(testing::valueOf(take.recorded.out, "records"), "2");

    // Delay 0: the record begins where the sine has just crossed mid-scale upwards. At 1 kHz and
    // 48 kHz a sample of a 0.5 full-scale sine moves by at most 0.066 of full scale.
    const std::vector<int> x = MonoSamples(testing::readFileBytes(file));
    ASSERT_EQ(x.size(), static_cast<std::size_t>(kPoints));
    EXPECT_GE(x[0], 0);
    EXPECT_LT(x[0], 0.07 * 32768);
    EXPECT_GT(x[1], x[0]);
    EXPECT_GT(x[4], x[1]);

    // Our own spectrum: the peak within one bin of 1000 Hz.
    auto spectrum = testing::runCli({"spectrum", file, "--fft", std::to_string(kFftPoints), "--window", "HAN"}, dir);
    ASSERT_EQ(spectrum.exitCode, 0) << spectrum.err;
    EXPECT_NEAR(PeakReadout(spectrum.err), 1000.0, static_cast<double>(kRate) / kFftPoints) << spectrum.err;
}

TEST(PortAudioNullSinkRecord, MissingDeviceIsNamedAndExitsOne) {
    testing::PulseNullSink sink(kRate);
    if (!sink.running()) GTEST_SKIP() << sink.reason();
    testing::TempDir dir;
    auto result = RunWith("TONEWELL_AUDIO=portaudio TONEWELL_AUDIO_DEVICE='no such device'",
                          {"record", "--output", (dir / "r.wav").string(), "--timeout", "2"}, dir);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("MMSYSERR_BADDEVICEID"), std::string::npos) << result.err;
    EXPECT_FALSE(std::filesystem::exists(dir / "r.wav"));
}

#endif

}  // namespace
}  // namespace tonewell
