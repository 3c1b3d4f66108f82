// The loopback cable: what the output plays arrives at the input, sample for sample.

#include <gtest/gtest.h>

#include <ostream>

#include <deque>
#include <thread>
#include <vector>

#include "platform/audio/FaultInjectingBackend.h"
#include "platform/audio/LoopbackCable.h"

namespace tonewell {
namespace {

struct Buffer {
    explicit Buffer(std::size_t bytes) : bytes(bytes) {
        header.data = this->bytes.data();
        header.bufferLength = static_cast<std::uint32_t>(bytes);
    }
    std::vector<std::uint8_t> bytes;
    WaveHeader header;
};

// A pattern that differs in every sample, so a shifted, swapped or dropped sample shows.
void FillPattern(std::vector<std::uint8_t>& bytes, std::uint32_t seed) {
    std::uint32_t state = seed;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
}

// Plays `played` on the output and records `recordedBytes` in `inFormat`, both from the start.
std::vector<std::uint8_t> PlayAndRecord(AudioBackend& backend, LoopbackCable& cable,
                                        const WaveFormat& outFormat, Buffer& played,
                                        const WaveFormat& inFormat, std::size_t recordedBytes) {
    InputNotificationQueue notifications;  // outlives the input, which pushes into it
    auto output = backend.createOutput();
    auto input = backend.createInput();
    EXPECT_EQ(output->open(outFormat, [](WaveHeader&) {}), AudioResult::NoError);
    EXPECT_EQ(input->open(inFormat, notifications), AudioResult::NoError);
    Buffer recorded(recordedBytes);
    EXPECT_EQ(input->prepare(recorded.header), AudioResult::NoError);
    EXPECT_EQ(input->addBuffer(recorded.header), AudioResult::NoError);
    EXPECT_EQ(input->start(), AudioResult::NoError);
    EXPECT_EQ(output->prepare(played.header), AudioResult::NoError);
    EXPECT_EQ(output->write(played.header), AudioResult::NoError);
    cable.advanceFrames(recordedBytes / inFormat.blockAlign, inFormat.samplesPerSecond);
    EXPECT_EQ(recorded.header.bytesRecorded.load(), recorded.header.bufferLength);
    input->reset();
    output->reset();
    return recorded.bytes;
}

struct FormatCase {
    std::uint16_t channels;
    std::uint32_t rate;
    std::uint16_t bits;
    bool throughFaultBackend;
};

void PrintTo(const FormatCase& c, std::ostream* out) {
    *out << c.bits << " bit, " << c.channels << " channel(s), " << c.rate << " Hz";
}

class LoopbackCableFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(LoopbackCableFormats, FramesArriveSampleExact) {
    const FormatCase& c = GetParam();
    const WaveFormat format = MakePcmFormat(c.channels, c.rate, c.bits);
    LoopbackCable cable;
    FaultInjectingBackend faults(cable);
    AudioBackend& backend = c.throughFaultBackend ? static_cast<AudioBackend&>(faults) : cable;
    // 0.3 s of sound, a length that does not fill the 10 ms steps of the clock evenly.
    Buffer played(format.blockAlign * (c.rate * 3 / 10 + 7));
    FillPattern(played.bytes, c.rate + c.bits);
    const auto recorded = PlayAndRecord(backend, cable, format, played, format,
                                        played.bytes.size() + 20 * format.blockAlign);
    ASSERT_EQ(std::vector<std::uint8_t>(recorded.begin(), recorded.begin() + played.bytes.size()),
              played.bytes);
    // Then the cable is silent.
    const std::uint8_t silence = c.bits == 8 ? 0x80 : 0x00;
    for (std::size_t i = played.bytes.size(); i < recorded.size(); ++i)
        ASSERT_EQ(recorded[i], silence) << "byte " << i;
}

INSTANTIATE_TEST_SUITE_P(
    PcmFormats, LoopbackCableFormats,
    ::testing::Values(FormatCase{1, 11025, 8, false}, FormatCase{2, 11025, 8, false},
                      FormatCase{1, 22050, 16, false}, FormatCase{2, 44100, 16, false},
                      FormatCase{2, 48000, 8, false}, FormatCase{1, 96000, 16, false},
                      FormatCase{2, 96000, 16, true}, FormatCase{1, 44100, 8, true}),
    [](const auto& info) {
        return std::to_string(info.param.bits) + "bit" +
               (info.param.channels == 1 ? "Mono" : "Stereo") + std::to_string(info.param.rate) +
               (info.param.throughFaultBackend ? "ThroughFaults" : "");
    });

TEST(LoopbackCable, ConvertsBetweenResolutionsAndChannelCounts) {
    LoopbackCable cable;
    // 8-bit mono out, 16-bit stereo in: both channels carry (u - 128) * 256.
    Buffer played(4);
    played.bytes = {0x00, 0x80, 0xFF, 0x41};
    played.header.data = played.bytes.data();
    const auto wide = PlayAndRecord(cable, cable, MakePcmFormat(1, 44100, 8), played,
                                    MakePcmFormat(2, 44100, 16), 16);
    const std::vector<std::uint8_t> expected = {0x00, 0x80, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,
                                                0x00, 0x7F, 0x00, 0x7F, 0x00, 0xC1, 0x00, 0xC1};
    EXPECT_EQ(wide, expected);

    // 16-bit stereo out, 8-bit mono in: channel A, top byte, offset binary.
    Buffer stereo(8);
    stereo.bytes = {0x00, 0x80, 0xFF, 0x7F, 0xFF, 0x7F, 0x00, 0x80};  // A: -32768, 32767
    stereo.header.data = stereo.bytes.data();
    const auto narrow = PlayAndRecord(cable, cable, MakePcmFormat(2, 44100, 16), stereo,
                                      MakePcmFormat(1, 44100, 8), 2);
    EXPECT_EQ(narrow, (std::vector<std::uint8_t>{0x00, 0xFF}));
}

TEST(LoopbackCable, HoldsEachSampleWhenTheInputRunsFaster) {
    LoopbackCable cable;
    Buffer played(4);
    played.bytes = {10, 20, 30, 40};
    played.header.data = played.bytes.data();
    const auto recorded = PlayAndRecord(cable, cable, MakePcmFormat(1, 22050, 8), played,
                                        MakePcmFormat(1, 44100, 8), 8);
    EXPECT_EQ(recorded, (std::vector<std::uint8_t>{10, 10, 20, 20, 30, 30, 40, 40}));
}

TEST(LoopbackCable, CountedLoopPlaysItsBufferThatManyTimes) {
    LoopbackCable cable;
    Buffer played(3);
    played.bytes = {1, 2, 3};
    played.header.data = played.bytes.data();
    played.header.flags = kWaveHeaderBeginLoop | kWaveHeaderEndLoop;
    played.header.loops = 3;
    const auto recorded = PlayAndRecord(cable, cable, MakePcmFormat(1, 11025, 8), played,
                                        MakePcmFormat(1, 11025, 8), 11);
    EXPECT_EQ(recorded, (std::vector<std::uint8_t>{1, 2, 3, 1, 2, 3, 1, 2, 3, 0x80, 0x80}));
}

TEST(LoopbackCable, LoopSpanningBuffersRepeatsThemInOrder) {
    LoopbackCable cable;
    const WaveFormat format = MakePcmFormat(1, 11025, 8);
    InputNotificationQueue notifications;
    auto output = cable.createOutput();
    auto input = cable.createInput();
    std::vector<std::uint8_t> doneOrder;
    ASSERT_EQ(output->open(format, [&](WaveHeader& h) { doneOrder.push_back(h.data[0]); }),
              AudioResult::NoError);
    ASSERT_EQ(input->open(format, notifications), AudioResult::NoError);
    Buffer recorded(10);
    input->prepare(recorded.header);
    input->addBuffer(recorded.header);
    input->start();
    Buffer first(2), second(1), third(1);
    first.bytes = {1, 2};
    second.bytes = {3};
    third.bytes = {4};
    first.header.flags = kWaveHeaderBeginLoop;
    first.header.loops = 2;
    second.header.flags = kWaveHeaderEndLoop;
    for (Buffer* b : {&first, &second, &third}) {
        b->header.data = b->bytes.data();
        output->prepare(b->header);
        output->write(b->header);
    }
    cable.advanceFrames(10, format.samplesPerSecond);
    EXPECT_EQ(recorded.bytes,
              (std::vector<std::uint8_t>{1, 2, 3, 1, 2, 3, 4, 0x80, 0x80, 0x80}));
    EXPECT_EQ(doneOrder, (std::vector<std::uint8_t>{1, 3, 4}));
    output->close();
    input->close();
}

// The instrument's sweep: each done notification queues the next buffer, and the sound has no
// gap as long as one buffer is queued ahead.
TEST(LoopbackCable, BuffersQueuedFromDoneNotificationsPlayWithoutGaps) {
    LoopbackCable cable;
    const WaveFormat format = MakePcmFormat(1, 11025, 8);
    const std::size_t frames = 1000;
    std::deque<Buffer> buffers;
    for (int i = 0; i < 3; ++i) buffers.emplace_back(frames);
    auto output = cable.createOutput();
    int written = 0;
    std::thread::id callbackThread;
    auto fill = [&](Buffer& b) {
        std::fill(b.bytes.begin(), b.bytes.end(), static_cast<std::uint8_t>(++written));
    };
    ASSERT_EQ(output->open(format,
                           [&](WaveHeader& header) {
                               callbackThread = std::this_thread::get_id();
                               if (written >= 5) return;
                               Buffer& b = buffers[written % 3];
                               fill(b);
                               output->unprepare(b.header);
                               output->prepare(b.header);
                               output->write(b.header);
                           }),
              AudioResult::NoError);
    InputNotificationQueue notifications;
    auto input = cable.createInput();
    ASSERT_EQ(input->open(format, notifications), AudioResult::NoError);
    Buffer recorded(6 * frames);
    input->prepare(recorded.header);
    input->addBuffer(recorded.header);
    input->start();
    for (int i = 0; i < 2; ++i) {
        fill(buffers[i]);
        output->prepare(buffers[i].header);
        output->write(buffers[i].header);
    }
    cable.advanceFrames(6 * frames, format.samplesPerSecond);
    EXPECT_NE(callbackThread, std::this_thread::get_id());
    for (std::size_t i = 0; i < 5 * frames; ++i)
        ASSERT_EQ(recorded.bytes[i], 1 + i / frames) << "frame " << i;
    EXPECT_EQ(recorded.bytes[5 * frames], 0x80);
    EXPECT_EQ(output->underrunCount(), 0u);
    EXPECT_EQ(input->overrunCount(), 0u);
    output->reset();
    input->reset();
}

TEST(LoopbackCable, OnlyOneOutputAndOneInputOpenAtATime) {
    LoopbackCable cable;
    InputNotificationQueue queue;
    auto first = cable.createOutput();
    auto second = cable.createOutput();
    const WaveFormat format = MakePcmFormat(2, 44100, 16);
    ASSERT_EQ(first->open(format, [](WaveHeader&) {}), AudioResult::NoError);
    EXPECT_EQ(second->open(format, [](WaveHeader&) {}), AudioResult::Allocated);
    WaveHeader header;
    EXPECT_EQ(second->prepare(header), AudioResult::InvalidHandle);
    EXPECT_EQ(first->close(), AudioResult::NoError);
    EXPECT_EQ(second->open(format, [](WaveHeader&) {}), AudioResult::NoError);

    auto in1 = cable.createInput();
    auto in2 = cable.createInput();
    ASSERT_EQ(in1->open(format, queue), AudioResult::NoError);
    EXPECT_EQ(in2->open(format, queue), AudioResult::Allocated);
}

TEST(LoopbackCable, RealTimeClockRunsWithoutBeingAdvanced) {
    LoopbackCable cable(LoopbackClock::RealTime);
    InputNotificationQueue queue;
    auto input = cable.createInput();
    const WaveFormat format = MakePcmFormat(1, 8000, 8);
    ASSERT_EQ(input->open(format, queue), AudioResult::NoError);
    queue.tryPop();
    Buffer buffer(80);
    input->prepare(buffer.header);
    input->addBuffer(buffer.header);
    input->start();
    auto got = queue.waitPop(std::chrono::seconds(10));
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(got->header->bytesRecorded.load(), 80u);
    input->close();
}

}  // namespace
}  // namespace tonewell
