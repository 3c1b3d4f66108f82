// tonewell-cli play on the real sound path: a logarithmic sweep played through PortAudio into a
// PulseAudio null sink, recorded back from the sink's monitor. Skipped, saying why, only where
// the daemon cannot start. Tolerances leave room for a busy machine: what is checked is the
// length of the sound and that its frequency rises as the sweep's law says.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "main/CliRunner.h"
#include "platform/PulseNullSink.h"
#include "support/TempDir.h"

#ifdef TONEWELL_HAVE_PORTAUDIO
#include "platform/audio/portaudio/PortAudioBackend.h"
#endif

namespace tonewell {
namespace {

#ifdef TONEWELL_HAVE_PORTAUDIO

constexpr std::uint32_t kRate = 44100;

// Runs tonewell-cli play on the PortAudio backend (the sink is the default device).
testing::CliResult Play(const std::vector<std::string>& arguments, const testing::TempDir& scratch) {
    std::vector<std::string> words{"play"};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return testing::runCli(words, scratch, "TONEWELL_AUDIO=portaudio", "play");
}

// Records the monitor, mono 16 bit, in tenths of a second, until told to stop.
class MonitorRecorder {
public:
    MonitorRecorder() : input_(backend_.createInput()) {
        const WaveFormat format = MakePcmFormat(1, kRate, 16);
        ok_ = input_->open(format, notifications_) == AudioResult::NoError;
        for (auto& buffer : buffers_) {
            buffer.bytes.resize(kRate / 10 * 2);
            buffer.header.data = buffer.bytes.data();
            buffer.header.bufferLength = static_cast<std::uint32_t>(buffer.bytes.size());
            ok_ = ok_ && input_->prepare(buffer.header) == AudioResult::NoError &&
                  input_->addBuffer(buffer.header) == AudioResult::NoError;
        }
        ok_ = ok_ && input_->start() == AudioResult::NoError;
    }
    ~MonitorRecorder() {
        input_->reset();
        for (auto& buffer : buffers_) input_->unprepare(buffer.header);
        input_->close();
    }
    bool ok() const { return ok_; }

    // Takes what arrived, re-queueing each buffer; false when nothing came for a long while.
    bool collect() {
        auto got = notifications_.waitPop(std::chrono::seconds(5));
        if (!got) return false;
        if (got->kind != InputNotificationKind::Data) return true;
        WaveHeader* header = got->header;
        const std::uint32_t bytes = header->bytesRecorded.load();
        for (std::uint32_t i = 0; i + 1 < bytes; i += 2)
            samples_.push_back(static_cast<std::int16_t>(header->data[i] | (header->data[i + 1] << 8)) / 32768.0);
        header->bytesRecorded.store(0);
        return input_->addBuffer(*header) == AudioResult::NoError;
    }
    const std::vector<double>& samples() const { return samples_; }
    std::uint64_t overruns() const { return input_->overrunCount(); }

private:
    struct Buffer {
        std::vector<std::uint8_t> bytes;
        WaveHeader header;
    };
    PortAudioBackend backend_;
    InputNotificationQueue notifications_;
    std::unique_ptr<AudioInput> input_;
    std::array<Buffer, 10> buffers_;
    std::vector<double> samples_;
    bool ok_ = false;
};

// Frequency from the upward zero crossings between two sample indices.
double FrequencyBetween(const std::vector<double>& x, std::size_t from, std::size_t to) {
    double first = -1, last = -1;
    int crossings = 0;
    for (std::size_t i = from + 1; i < to && i < x.size(); ++i) {
        if (x[i - 1] < 0 && x[i] >= 0) {
            const double t = static_cast<double>(i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (first < 0) first = t;
            last = t;
            ++crossings;
        }
    }
    return crossings < 2 ? 0 : (crossings - 1) * kRate / (last - first);
}

// One play of the sweep, recorded from the monitor until the tool has ended and half a second
// more has arrived.
struct SweepTake {
    testing::CliResult result;
    std::vector<double> samples;
    std::string dropouts;  // empty when neither side lost sound
};

SweepTake PlayAndRecordSweep(const testing::TempDir& scratch) {
    SweepTake take;
    MonitorRecorder recorder;
    EXPECT_TRUE(recorder.ok());
    std::atomic<bool> finished{false};
    std::thread player([&] {
        take.result = Play({"--set", "sweepEnabled=1", "--set", "sweepLinearA=0", "--set", "sweepStartA=100", "--set",
                            "sweepEndA=10000", "--set", "sweepDuration=3", "--set", "amplitudeA=500"},
                           scratch);
        finished = true;
    });
    const auto bound = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    std::size_t samplesAtEnd = 0;
    bool recording = recorder.ok();
    while (recording && std::chrono::steady_clock::now() < bound) {
        recording = recorder.collect();
        if (finished && samplesAtEnd == 0) samplesAtEnd = recorder.samples().size();
        if (samplesAtEnd != 0 && recorder.samples().size() > samplesAtEnd + kRate / 2) break;
    }
    player.join();
    take.samples = recorder.samples();
    const std::string underruns = testing::valueOf(take.result.out, "underruns");
    if (underruns != "0" || recorder.overruns() != 0)
        take.dropouts = "output underruns " + underruns + ", input overruns " + std::to_string(recorder.overruns());
    return take;
}

// What is wrong with a recorded take of the 3-second log sweep 100 Hz -> 10 kHz, empty when
// nothing is: its sound lasts 3 s +- 0.2 s and passes 100 x 100^(t/3) Hz at time t (measured
// over a tenth of a second around 0.5 s, 1.5 s and 2.5 s), rising.
std::string SweepProblems(const std::vector<double>& x) {
    constexpr double kLevel = 0.05;  // the sweep peaks at 0.5 of full scale
    std::size_t begin = x.size(), end = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (std::fabs(x[i]) < kLevel) continue;
        begin = std::min(begin, i);
        end = i;
    }
    if (begin >= end) return "no sound reached the monitor";
    std::string problems;
    const double seconds = static_cast<double>(end - begin) / kRate;
    if (std::fabs(seconds - 3.0) > 0.2) problems += "the sound lasted " + std::to_string(seconds) + " s; ";
    const double expected[] = {100 * std::pow(100.0, 0.5 / 3), 1000, 100 * std::pow(100.0, 2.5 / 3)};
    double previous = 0;
    for (int k = 0; k < 3; ++k) {
        const std::size_t centre = begin + static_cast<std::size_t>((0.5 + k) * kRate);
        const double f = centre + kRate / 20 < x.size() ? FrequencyBetween(x, centre - kRate / 20, centre + kRate / 20) : 0;
        if (std::fabs(f - expected[k]) > expected[k] * 0.15 || f <= previous)
            problems += "at " + std::to_string(0.5 + k) + " s " + std::to_string(f) + " Hz instead of " +
                        std::to_string(expected[k]) + " Hz; ";
        previous = f;
    }
    return problems;
}

TEST(PortAudioNullSinkPlay, LogSweepRisesInFrequencyAndLastsItsDuration) {
    testing::PulseNullSink sink(kRate);
    if (!sink.running()) GTEST_SKIP() << sink.reason();
    testing::TempDir scratch;
    // A machine too busy to keep either stream fed loses or stretches sound, which says nothing
    // about the sweep (the sound server's own losses are not even counted by our devices): such
    // a take is played again, a few times at most. A fault of ours spoils every take.
    SweepTake take;
    std::string problems;
    for (int attempt = 0; attempt < 3; ++attempt) {
        take = PlayAndRecordSweep(scratch);
        if (take.result.exitCode != 0) break;
        problems = take.dropouts.empty() ? SweepProblems(take.samples) : "lost sound: " + take.dropouts;
        if (problems.empty()) break;
    }
    ASSERT_EQ(take.result.exitCode, 0) << take.result.err;
    EXPECT_EQ(testing::valueOf(take.result.out, "backend"), "PortAudio: default");
    EXPECT_EQ(problems, "") << "in every take; " << take.result.err;
}

TEST(PortAudioNullSinkPlay, MissingDeviceIsNamedAndExitsOne) {
    testing::PulseNullSink sink(kRate);
    if (!sink.running()) GTEST_SKIP() << sink.reason();
    testing::TempDir scratch;
    std::string command = "TONEWELL_AUDIO=portaudio TONEWELL_AUDIO_DEVICE='no such device' " +
                          testing::shellQuote(std::string(TONEWELL_BINARY_DIR) + "/tonewell-cli") +
                          " play --seconds 1 >/dev/null 2>" + testing::shellQuote((scratch / "err").string());
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(testing::readFileBytes(scratch / "err").find("MMSYSERR_BADDEVICEID"), std::string::npos);
}

TEST(PortAudioNullSinkPlay, SigtermStopsAContinuousToneCleanly) {
    testing::PulseNullSink sink(kRate);
    if (!sink.running()) GTEST_SKIP() << sink.reason();
    testing::TempDir scratch;
    const std::string pidFile = (scratch / "pid").string();
    // The tool runs in the background; TERM reaches it once it plays.
    std::string command = "TONEWELL_AUDIO=portaudio " +
                          testing::shellQuote(std::string(TONEWELL_BINARY_DIR) + "/tonewell-cli") + " play >" +
                          testing::shellQuote((scratch / "out").string()) + " 2>/dev/null & echo $! >" +
                          testing::shellQuote(pidFile) + "; wait $!; echo $? >" +
                          testing::shellQuote((scratch / "status").string());
    std::thread player([&] { [[maybe_unused]] int ignored = std::system(command.c_str()); });
    // Wait for the pid and give the tool time to open the device (a slow start only delays it).
    std::string pid;
    for (int i = 0; i < 200 && pid.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        pid = testing::readFileBytes(pidFile);
    }
    ASSERT_FALSE(pid.empty());
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const std::string kill = "kill -TERM " + pid;
    ASSERT_EQ(std::system(kill.c_str()), 0);
    player.join();
    EXPECT_EQ(testing::readFileBytes(scratch / "status"), "0\n");
    EXPECT_NE(testing::readFileBytes(scratch / "out").find("underruns="), std::string::npos);
}

#endif

}  // namespace
}  // namespace tonewell
