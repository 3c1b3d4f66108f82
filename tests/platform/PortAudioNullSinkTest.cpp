// The real sound path: a tone played through PortAudio into a PulseAudio null sink and recorded
// back through PortAudio from the sink's monitor. Skipped, saying why, only where the daemon
// cannot start.

#include <gtest/gtest.h>

#include <algorithm>

#include <ostream>

#include <optional>
#include <chrono>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "platform/PulseNullSink.h"
#include "platform/audio/AudioBackendSelection.h"
#include "platform/audio/ChosenAudioBackend.h"
#include "platform/audio/LoopbackCable.h"
#include "platform/audio/portaudio/PortAudioBackend.h"

namespace tonewell {
namespace {

struct ToneCase {
    std::uint16_t channels;
    std::uint32_t rate;
    std::uint16_t bits;
};

void PrintTo(const ToneCase& c, std::ostream* out) {
    *out << c.bits << " bit, " << c.channels << " channel(s), " << c.rate << " Hz";
}

// Full-scale fractions of the two channels' tones.
constexpr double kLevelA = 0.5, kLevelB = 0.25;
constexpr double kFrequencyA = 1000.0, kFrequencyB = 1500.0;

std::vector<std::uint8_t> SynthesiseSecond(const WaveFormat& format) {
    std::vector<std::uint8_t> bytes(format.averageBytesPerSecond);
    for (std::uint32_t n = 0; n < format.samplesPerSecond; ++n) {
        for (int ch = 0; ch < format.channels; ++ch) {
            const double f = ch == 0 ? kFrequencyA : kFrequencyB;
            const double level = ch == 0 ? kLevelA : kLevelB;
            const double x = level * std::sin(2 * std::numbers::pi * f * n / format.samplesPerSecond);
            std::uint8_t* frame = bytes.data() + n * format.blockAlign;
            if (format.bitsPerSample == 8) {
                frame[ch] = static_cast<std::uint8_t>(std::lround(128 + 127 * x));
            } else {
                const auto v = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(32767 * x)));
                frame[2 * ch] = static_cast<std::uint8_t>(v & 0xFF);
                frame[2 * ch + 1] = static_cast<std::uint8_t>(v >> 8);
            }
        }
    }
    return bytes;
}

// One channel of recorded frames as fractions of full scale.
std::vector<double> Channel(const std::vector<std::uint8_t>& bytes, const WaveFormat& format, int ch) {
    std::vector<double> samples;
    for (std::size_t i = 0; i + format.blockAlign <= bytes.size(); i += format.blockAlign) {
        const std::uint8_t* frame = bytes.data() + i;
        if (format.bitsPerSample == 8) {
            samples.push_back((frame[ch] - 128) / 128.0);
        } else {
            const auto v = static_cast<std::int16_t>(frame[2 * ch] | (frame[2 * ch + 1] << 8));
            samples.push_back(v / 32768.0);
        }
    }
    return samples;
}

// Frequency from the first and last upward zero crossings (interpolated).
// The frequency from the median period between upward zero crossings, each counted only after
// the signal has been below -level/2 (so low noise in a gap makes none): a stretch that a loaded
// machine dropped or filled with silence spoils a period or two, not the measurement.
double MeasureFrequency(const std::vector<double>& x, double rate, double level) {
    std::vector<double> periods;
    double previous = -1;
    bool armed = false;
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (x[i] < -level / 2) armed = true;
        if (armed && x[i - 1] < 0 && x[i] >= 0) {
            armed = false;
            const double t = (i - 1) + x[i - 1] / (x[i - 1] - x[i]);
            if (previous >= 0) periods.push_back(t - previous);
            previous = t;
        }
    }
    if (periods.empty()) return 0;
    std::nth_element(periods.begin(), periods.begin() + periods.size() / 2, periods.end());
    return rate / periods[periods.size() / 2];
}

// The level from the 99th percentile of the magnitudes: a stretch of silence that the sound
// server inserts on a loaded machine lowers an average but not the tone's peaks.
double PeakLevel(std::vector<double> x) {
    if (x.empty()) return 0;
    for (double& v : x) v = std::abs(v);
    const auto at = x.begin() + static_cast<std::ptrdiff_t>(x.size() * 99 / 100);
    std::nth_element(x.begin(), at, x.end());
    return *at;
}

class PortAudioNullSink : public ::testing::TestWithParam<ToneCase> {};

// What one recording of the played tone measured.
struct ToneMeasurement {
    double frequencyA = 0, levelA = 0, frequencyB = 0, levelB = 0;
    std::string trace;

    bool matches(const ToneCase& c) const {
        return std::abs(frequencyA - kFrequencyA) <= 2.0 && std::abs(levelA - kLevelA) <= 0.1 * kLevelA &&
               (c.channels == 1 ||
                (std::abs(frequencyB - kFrequencyB) <= 3.0 && std::abs(levelB - kLevelB) <= 0.1 * kLevelB));
    }
};

// Plays the tone on a loop through PortAudio into the null sink and records it from the monitor.
void RecordTone(const ToneCase& c, ToneMeasurement& measured) {
    const WaveFormat format = MakePcmFormat(c.channels, c.rate, c.bits);

    PortAudioBackend backend;
    ASSERT_TRUE(backend.hasOutputDevice());
    InputNotificationQueue notifications;  // outlives the input, which pushes into it
    auto output = backend.createOutput();
    auto input = backend.createInput();
    std::vector<std::uint8_t> tone = SynthesiseSecond(format);
    WaveHeader played;
    played.data = tone.data();
    played.bufferLength = static_cast<std::uint32_t>(tone.size());
    played.flags = kWaveHeaderBeginLoop | kWaveHeaderEndLoop;
    played.loops = kLoopUntilReset;
    ASSERT_EQ(output->open(format, [](WaveHeader&) {}), AudioResult::NoError);
    ASSERT_EQ(output->prepare(played), AudioResult::NoError);
    ASSERT_EQ(output->write(played), AudioResult::NoError);

    // Tenths of a second, re-queued as they come back, until 0.6 s have followed the tone's
    // first loud sample: the silence before the tone lasts as long as a loaded machine makes it.
    ASSERT_EQ(input->open(format, notifications), AudioResult::NoError);
    constexpr int kBuffers = 6;
    const std::size_t tenth = format.samplesPerSecond / 10 * format.blockAlign;
    std::vector<std::vector<std::uint8_t>> storage(kBuffers, std::vector<std::uint8_t>(tenth));
    std::vector<WaveHeader> headers(kBuffers);
    for (int i = 0; i < kBuffers; ++i) {
        headers[i].data = storage[i].data();
        headers[i].bufferLength = static_cast<std::uint32_t>(storage[i].size());
        ASSERT_EQ(input->prepare(headers[i]), AudioResult::NoError);
        ASSERT_EQ(input->addBuffer(headers[i]), AudioResult::NoError);
    }
    ASSERT_EQ(input->start(), AudioResult::NoError);
    std::vector<std::uint8_t> recorded;
    std::optional<std::size_t> onset;  // byte offset of the first frame of the tone
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!onset || recorded.size() < *onset + 7 * tenth) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "no tone reached the monitor";
        auto got = notifications.waitPop(std::chrono::seconds(10));
        ASSERT_TRUE(got.has_value()) << "the input stopped delivering after " << recorded.size() << " bytes";
        if (got->kind != InputNotificationKind::Data) continue;
        WaveHeader& header = *got->header;
        recorded.insert(recorded.end(), header.data, header.data + header.bytesRecorded.load());
        if (!onset) {
            const auto a = Channel(recorded, format, 0);
            for (std::size_t i = 0; i < a.size(); ++i)
                if (std::abs(a[i]) > kLevelA / 2) {
                    onset = i * format.blockAlign;
                    break;
                }
        }
        header.bytesRecorded = 0;
        ASSERT_EQ(input->addBuffer(header), AudioResult::NoError);
    }
    // A busy machine can make the sound drop out; the devices' counts tell where.
    measured.trace = "output underruns " + std::to_string(output->underrunCount()) + ", input overruns " +
                     std::to_string(input->overrunCount());
    EXPECT_EQ(output->reset(), AudioResult::NoError);
    EXPECT_EQ(output->close(), AudioResult::NoError);
    EXPECT_EQ(input->reset(), AudioResult::NoError);
    EXPECT_EQ(input->close(), AudioResult::NoError);

    // Skip the first tenth after the onset, where the tone may still be fading in.
    recorded.erase(recorded.begin(), recorded.begin() + static_cast<std::ptrdiff_t>(*onset + tenth));
    const auto a = Channel(recorded, format, 0);
    measured.frequencyA = MeasureFrequency(a, c.rate, kLevelA);
    measured.levelA = PeakLevel(a);
    if (c.channels == 2) {
        const auto b = Channel(recorded, format, 1);
        measured.frequencyB = MeasureFrequency(b, c.rate, kLevelB);
        measured.levelB = PeakLevel(b);
    }
}

// The sound server between PortAudio and the sink is a real-time program: on a machine busy
// with other work it may drop or stretch what passes, which our devices cannot see. A fault of
// ours spoils every recording, so up to three recordings are made and one must match.
TEST_P(PortAudioNullSink, RecordedToneHasThePlayedFrequencyAndLevel) {
    testing::PulseNullSink sink;
    if (!sink.running()) GTEST_SKIP() << sink.reason();
    const ToneCase& c = GetParam();
    ToneMeasurement measured;
    for (int attempt = 0; attempt < 3; ++attempt) {
        measured = {};
        RecordTone(c, measured);
        if (::testing::Test::HasFatalFailure() || measured.matches(c)) break;
    }
    SCOPED_TRACE("while recording: " + measured.trace);
    EXPECT_NEAR(measured.frequencyA, kFrequencyA, 2.0);
    EXPECT_NEAR(measured.levelA, kLevelA, 0.1 * kLevelA);
    if (c.channels == 2) {
        EXPECT_NEAR(measured.frequencyB, kFrequencyB, 3.0);
        EXPECT_NEAR(measured.levelB, kLevelB, 0.1 * kLevelB);
    }
}

INSTANTIATE_TEST_SUITE_P(
    PcmFormats, PortAudioNullSink,
    ::testing::Values(ToneCase{2, 44100, 16}, ToneCase{1, 22050, 8}, ToneCase{2, 11025, 8},
                      ToneCase{1, 48000, 16}, ToneCase{2, 96000, 16}),
    [](const auto& info) {
        return std::to_string(info.param.bits) + "bit" +
               (info.param.channels == 1 ? "Mono" : "Stereo") + std::to_string(info.param.rate);
    });

TEST(PortAudioNullSinkDevices, DefaultChoiceAndNamedDevices) {
    testing::PulseNullSink sink;
    if (!sink.running()) GTEST_SKIP() << sink.reason();
    {
        auto chosen = CreateAudioBackend("", "");
        EXPECT_EQ(chosen->kind(), AudioBackendKind::PortAudio);
        EXPECT_EQ(chosen->displayName(), "PortAudio: default");
    }
    {
        PortAudioBackend named("pulse");
        EXPECT_EQ(named.displayName(), "PortAudio: pulse");
        auto output = named.createOutput();
        EXPECT_EQ(output->open(MakePcmFormat(2, 44100, 16), [](WaveHeader&) {}), AudioResult::NoError);
        EXPECT_EQ(output->close(), AudioResult::NoError);
    }
    {
        PortAudioBackend missing("no such device");
        EXPECT_FALSE(missing.hasOutputDevice());
        EXPECT_EQ(missing.displayName(), "PortAudio: no output device");
        InputNotificationQueue queue;
        EXPECT_EQ(missing.createOutput()->open(MakePcmFormat(2, 44100, 16), [](WaveHeader&) {}),
                  AudioResult::BadDeviceId);
        EXPECT_EQ(missing.createInput()->open(MakePcmFormat(2, 44100, 16), queue),
                  AudioResult::BadDeviceId);
    }
    // A named device that is missing falls back to the cable, unless PortAudio is asked for.
    EXPECT_EQ(CreateAudioBackend("", "no such device")->kind(), AudioBackendKind::Loopback);
    EXPECT_EQ(CreateAudioBackend("portaudio", "no such device")->kind(), AudioBackendKind::PortAudio);
}

TEST(PortAudioNullSinkDevices, ListsDevicesByHostApiAndOpensTheChosenOne) {
    testing::PulseNullSink sink;
    if (!sink.running()) GTEST_SKIP() << sink.reason();
    auto card = std::make_unique<PortAudioBackend>();
    const std::vector<AudioDeviceInfo> devices = card->devices();
    const auto pulse = std::find_if(devices.begin(), devices.end(), [](const AudioDeviceInfo& d) { return d.id == "ALSA: pulse"; });
    ASSERT_NE(pulse, devices.end()) << devices.size() << " devices";
    EXPECT_TRUE(pulse->output && pulse->input);
    EXPECT_EQ(std::count_if(devices.begin(), devices.end(), [](const AudioDeviceInfo& d) { return d.defaultOutput; }), 1);

    card->chooseDevices({"ALSA: pulse", "ALSA: pulse"});
    {
        auto output = card->createOutput();
        EXPECT_EQ(output->open(MakePcmFormat(2, 44100, 16), [](WaveHeader&) {}), AudioResult::NoError);
        EXPECT_EQ(output->close(), AudioResult::NoError);
    }
    ChosenAudioBackend chosen(std::move(card), std::make_unique<LoopbackCable>());
    const std::vector<std::string> outputs = chosen.outputChoices();
    EXPECT_EQ(outputs.front(), "");
    EXPECT_NE(std::find(outputs.begin(), outputs.end(), "ALSA: pulse"), outputs.end());
    EXPECT_EQ(outputs.back(), "Loopback cable");
}

}  // namespace
}  // namespace tonewell
