// The fault-injecting backend: a call told to fail returns its code and does nothing else.

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <vector>

#include "platform/audio/FaultInjectingBackend.h"
#include "platform/audio/LoopbackCable.h"

namespace tonewell {
namespace {

const WaveFormat kFormat = MakePcmFormat(1, 11025, 8);

// Devices open with one queued buffer each, ready for the call under test.
struct Rig {
    Rig() : faults(cable) {
        output = faults.createOutput();
        input = faults.createInput();
        outBytes.assign(100, 0x80);
        inBytes.assign(100, 0);
        outHeader.data = outBytes.data();
        outHeader.bufferLength = 100;
        inHeader.data = inBytes.data();
        inHeader.bufferLength = 100;
    }
    void openBoth() {
        ASSERT_EQ(output->open(kFormat, [this](WaveHeader&) { ++dones; }), AudioResult::NoError);
        ASSERT_EQ(input->open(kFormat, queue), AudioResult::NoError);
        queue.tryPop();
    }
    LoopbackCable cable;
    FaultInjectingBackend faults;
    InputNotificationQueue queue;  // outlives the input, which pushes into it
    std::unique_ptr<AudioOutput> output;
    std::unique_ptr<AudioInput> input;
    std::vector<std::uint8_t> outBytes, inBytes;
    WaveHeader outHeader, inHeader;
    int dones = 0;
};

struct FaultCase {
    const char* name;
    AudioCall call;
    AudioResult code;
    std::function<void(Rig&)> before;   // brings the devices to the call
    std::function<AudioResult(Rig&)> act;
    std::function<void(Rig&)> nothingHappened;  // checks the failed call had no effect
};

void PrintTo(const FaultCase& c, std::ostream* out) { *out << c.name; }

class AudioFaultInjection : public ::testing::TestWithParam<FaultCase> {};

TEST_P(AudioFaultInjection, FailedCallReturnsItsCodeOnceAndChangesNothing) {
    const FaultCase& c = GetParam();
    Rig rig;
    c.before(rig);
    rig.faults.failCall(c.call, c.code, 1);
    const std::uint32_t callsBefore = rig.faults.callCount(c.call);
    EXPECT_EQ(c.act(rig), c.code);
    EXPECT_EQ(rig.faults.callCount(c.call), callsBefore + 1);
    c.nothingHappened(rig);
    // Armed once: the same call now reaches the device.
    EXPECT_EQ(c.act(rig), AudioResult::NoError);
}

void OpenBoth(Rig& r) { r.openBoth(); }
void Nothing(Rig&) {}
void PrepareBoth(Rig& r) {
    r.openBoth();
    ASSERT_EQ(r.output->prepare(r.outHeader), AudioResult::NoError);
    ASSERT_EQ(r.input->prepare(r.inHeader), AudioResult::NoError);
}
void QueueBoth(Rig& r) {
    PrepareBoth(r);
    ASSERT_EQ(r.output->write(r.outHeader), AudioResult::NoError);
    ASSERT_EQ(r.input->addBuffer(r.inHeader), AudioResult::NoError);
}
void ResetBoth(Rig& r) {
    QueueBoth(r);
    r.output->reset();
    r.input->reset();
    r.queue.tryPop();
}

INSTANTIATE_TEST_SUITE_P(
    Audio, AudioFaultInjection,
    ::testing::Values(
        FaultCase{"OutputOpen", AudioCall::OutputOpen, AudioResult::Allocated, Nothing,
                  [](Rig& r) { return r.output->open(kFormat, [](WaveHeader&) {}); },
                  [](Rig& r) { EXPECT_EQ(r.output->reset(), AudioResult::InvalidHandle); }},
        FaultCase{"OutputPrepare", AudioCall::OutputPrepare, AudioResult::NoMemory, OpenBoth,
                  [](Rig& r) { return r.output->prepare(r.outHeader); },
                  [](Rig& r) { EXPECT_EQ(r.outHeader.flags.load(), 0u); }},
        FaultCase{"OutputUnprepare", AudioCall::OutputUnprepare, AudioResult::InvalidHandle,
                  PrepareBoth, [](Rig& r) { return r.output->unprepare(r.outHeader); },
                  [](Rig& r) { EXPECT_TRUE(r.outHeader.flags.load() & kWaveHeaderPrepared); }},
        FaultCase{"OutputWrite", AudioCall::OutputWrite, AudioResult::NoDriver, PrepareBoth,
                  [](Rig& r) { return r.output->write(r.outHeader); },
                  [](Rig& r) {
                      EXPECT_FALSE(r.outHeader.flags.load() & kWaveHeaderInQueue);
                      r.cable.advance(std::chrono::milliseconds(100));
                      EXPECT_EQ(r.dones, 0);
                  }},
        FaultCase{"OutputReset", AudioCall::OutputReset, AudioResult::NotSupported, QueueBoth,
                  [](Rig& r) { return r.output->reset(); },
                  [](Rig& r) {
                      EXPECT_EQ(r.dones, 0);
                      EXPECT_TRUE(r.outHeader.flags.load() & kWaveHeaderInQueue);
                  }},
        FaultCase{"OutputClose", AudioCall::OutputClose, AudioResult::StillPlaying, ResetBoth,
                  [](Rig& r) { return r.output->close(); },
                  [](Rig& r) { EXPECT_EQ(r.output->reset(), AudioResult::NoError); }},
        FaultCase{"InputOpen", AudioCall::InputOpen, AudioResult::BadFormat, Nothing,
                  [](Rig& r) { return r.input->open(kFormat, r.queue); },
                  [](Rig& r) { EXPECT_EQ(r.queue.size(), 0u); }},
        FaultCase{"InputPrepare", AudioCall::InputPrepare, AudioResult::NoMemory, OpenBoth,
                  [](Rig& r) { return r.input->prepare(r.inHeader); },
                  [](Rig& r) { EXPECT_EQ(r.inHeader.flags.load(), 0u); }},
        FaultCase{"InputUnprepare", AudioCall::InputUnprepare, AudioResult::NoDriver,
                  PrepareBoth, [](Rig& r) { return r.input->unprepare(r.inHeader); },
                  [](Rig& r) { EXPECT_TRUE(r.inHeader.flags.load() & kWaveHeaderPrepared); }},
        FaultCase{"InputAddBuffer", AudioCall::InputAddBuffer, AudioResult::Unprepared,
                  PrepareBoth, [](Rig& r) { return r.input->addBuffer(r.inHeader); },
                  [](Rig& r) { EXPECT_FALSE(r.inHeader.flags.load() & kWaveHeaderInQueue); }},
        FaultCase{"InputStart", AudioCall::InputStart, AudioResult::InvalidHandle, QueueBoth,
                  [](Rig& r) { return r.input->start(); },
                  [](Rig& r) {
                      r.cable.advance(std::chrono::milliseconds(100));
                      EXPECT_EQ(r.inHeader.bytesRecorded.load(), 0u);
                  }},
        FaultCase{"InputReset", AudioCall::InputReset, AudioResult::NoMemory, QueueBoth,
                  [](Rig& r) { return r.input->reset(); },
                  [](Rig& r) { EXPECT_EQ(r.queue.size(), 0u); }},
        FaultCase{"InputClose", AudioCall::InputClose, AudioResult::NoDriver, ResetBoth,
                  [](Rig& r) { return r.input->close(); },
                  [](Rig& r) { EXPECT_EQ(r.queue.size(), 0u); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AudioFaultInjectionCount, FaultsLastTheirCountAndClear) {
    LoopbackCable cable;
    FaultInjectingBackend faults(cable);
    auto output = faults.createOutput();
    faults.failCall(AudioCall::OutputOpen, AudioResult::NoDriver, 2);
    EXPECT_EQ(output->open(kFormat, [](WaveHeader&) {}), AudioResult::NoDriver);
    EXPECT_EQ(output->open(kFormat, [](WaveHeader&) {}), AudioResult::NoDriver);
    EXPECT_EQ(output->open(kFormat, [](WaveHeader&) {}), AudioResult::NoError);
    output->close();

    // Every time, and codes without a name pass through as they are.
    faults.failCall(AudioCall::OutputOpen, static_cast<AudioResult>(1));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(output->open(kFormat, [](WaveHeader&) {}), static_cast<AudioResult>(1));
    faults.clearFaults();
    EXPECT_EQ(output->open(kFormat, [](WaveHeader&) {}), AudioResult::NoError);
    EXPECT_EQ(faults.callCount(AudioCall::OutputOpen), 7u);
}

// Shutting a device down is no call the instrument makes, so no fault stops it.
TEST(AudioFaultInjectionCount, DestroyingOpenDevicesClosesThemWhateverFails) {
    Rig rig;
    QueueBoth(rig);
    for (std::size_t call = 0; call < kAudioCallCount; ++call)
        rig.faults.failCall(static_cast<AudioCall>(call), AudioResult::NoDriver);
    rig.output.reset();
    rig.input.reset();
    EXPECT_EQ(rig.dones, 1);
    EXPECT_FALSE(rig.outHeader.flags.load() & kWaveHeaderInQueue);
    EXPECT_FALSE(rig.inHeader.flags.load() & kWaveHeaderInQueue);
    auto output = rig.cable.createOutput();
    auto input = rig.cable.createInput();
    EXPECT_EQ(output->open(kFormat, [](WaveHeader&) {}), AudioResult::NoError);
    EXPECT_EQ(input->open(kFormat, rig.queue), AudioResult::NoError);
}

}  // namespace
}  // namespace tonewell
