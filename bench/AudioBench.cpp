// The real sound path through a private PulseAudio null sink at 96000 Hz stereo 16 bit:
// - AudioRoundTripDelay: from writing a buffer on the output to receiving, on the input, the
//   buffer in which its first sample arrives (input buffers of 5 ms, so receipt lags the
//   sample's arrival by at most that);
// - AudioNotificationCpu: CPU time of the backend threads (named tw-*) per second of audio,
//   with the output looping one second and the input filling 100 ms buffers.
// Skips, saying why, where the daemon cannot start.

#include "NullSink.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "platform/audio/portaudio/PortAudioBackend.h"

namespace {

using tonewell::bench::NullSink;

using namespace tonewell;
using Clock = std::chrono::steady_clock;

const WaveFormat kFormat = MakePcmFormat(2, 96000, 16);

struct Buffer {
    explicit Buffer(std::size_t bytes) : bytes(bytes, 0) {
        header.data = this->bytes.data();
        header.bufferLength = static_cast<std::uint32_t>(bytes);
    }
    std::vector<std::uint8_t> bytes;
    WaveHeader header;
};

bool HasSound(const WaveHeader& header) {
    const std::uint32_t bytes = header.bytesRecorded.load();
    for (std::uint32_t i = 0; i + 1 < bytes; i += 2) {
        const auto v = static_cast<std::int16_t>(header.data[i] | (header.data[i + 1] << 8));
        if (v > 8000 || v < -8000) return true;
    }
    return false;
}

void AudioRoundTripDelay(benchmark::State& state) {
    NullSink sink;
    if (!sink.running()) {
        state.SkipWithError(sink.reason().c_str());
        return;
    }
    PortAudioBackend backend;
    InputNotificationQueue notifications;
    auto output = backend.createOutput();
    auto input = backend.createInput();
    if (output->open(kFormat, [](WaveHeader&) {}) != AudioResult::NoError ||
        input->open(kFormat, notifications) != AudioResult::NoError) {
        state.SkipWithError("the null sink's devices did not open");
        return;
    }
    std::vector<std::unique_ptr<Buffer>> ring;
    for (int i = 0; i < 40; ++i) {
        ring.push_back(std::make_unique<Buffer>(kFormat.samplesPerSecond / 200 * kFormat.blockAlign));
        input->prepare(ring.back()->header);
        input->addBuffer(ring.back()->header);
    }
    input->start();
    // 20 ms of a full-scale square wave.
    Buffer burst(kFormat.samplesPerSecond / 50 * kFormat.blockAlign);
    for (std::size_t i = 0; i + 1 < burst.bytes.size(); i += 2) {
        const std::int16_t v = (i / kFormat.blockAlign / 48) % 2 ? 30000 : -30000;
        burst.bytes[i] = static_cast<std::uint8_t>(v & 0xFF);
        burst.bytes[i + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8);
    }
    output->prepare(burst.header);

    auto requeue = [&](WaveHeader* header) {
        header->flags.fetch_and(~kWaveHeaderDone);
        input->addBuffer(*header);
    };
    // Drains what is queued, then waits until the line is quiet.
    auto waitForSilence = [&] {
        int quiet = 0;
        const auto limit = Clock::now() + std::chrono::seconds(5);
        while (quiet < 10 && Clock::now() < limit) {
            auto got = notifications.waitPop(std::chrono::milliseconds(200));
            if (!got || got->kind != InputNotificationKind::Data) continue;
            quiet = HasSound(*got->header) ? 0 : quiet + 1;
            requeue(got->header);
        }
    };
    waitForSilence();
    for (auto _ : state) {
        const auto written = Clock::now();
        output->write(burst.header);
        Clock::time_point received{};
        const auto limit = written + std::chrono::seconds(5);
        while (received == Clock::time_point{} && Clock::now() < limit) {
            auto got = notifications.waitPop(std::chrono::milliseconds(200));
            if (!got || got->kind != InputNotificationKind::Data) continue;
            if (HasSound(*got->header)) received = Clock::now();
            requeue(got->header);
        }
        if (received == Clock::time_point{}) {
            state.SkipWithError("the burst never arrived");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(received - written).count());
        waitForSilence();
    }
    output->reset();
    input->reset();
    output->close();
    input->close();
}
BENCHMARK(AudioRoundTripDelay)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(30);

// Nanoseconds each tw-* thread of this process has run, by name.
std::map<std::string, double> BackendThreadCpu() {
    std::map<std::string, double> result;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        std::ifstream commFile(task.path() / "comm");
        std::string name;
        std::getline(commFile, name);
        std::ifstream schedstat(task.path() / "schedstat");
        double ns = 0;
        schedstat >> ns;
        const std::string key = name.rfind("tw-", 0) == 0 ? name : "other";
        result[key] += ns;
    }
    return result;
}

void AudioNotificationCpu(benchmark::State& state) {
    NullSink sink;
    if (!sink.running()) {
        state.SkipWithError(sink.reason().c_str());
        return;
    }
    PortAudioBackend backend;
    const double seconds = 5;
    std::map<std::string, double> total;
    for (auto _ : state) {
        InputNotificationQueue notifications;
        auto output = backend.createOutput();
        auto input = backend.createInput();
        Buffer tone(kFormat.averageBytesPerSecond);
        for (std::size_t i = 0; i < tone.bytes.size(); ++i) tone.bytes[i] = static_cast<std::uint8_t>(i * 37);
        tone.header.flags = kWaveHeaderBeginLoop | kWaveHeaderEndLoop;
        tone.header.loops = kLoopUntilReset;
        if (output->open(kFormat, [](WaveHeader&) {}) != AudioResult::NoError ||
            input->open(kFormat, notifications) != AudioResult::NoError) {
            state.SkipWithError("the null sink's devices did not open");
            return;
        }
        std::vector<std::unique_ptr<Buffer>> buffers;
        for (int i = 0; i < 3; ++i) {
            buffers.push_back(std::make_unique<Buffer>(kFormat.averageBytesPerSecond / 10));
            input->prepare(buffers.back()->header);
            input->addBuffer(buffers.back()->header);
        }
        output->prepare(tone.header);
        output->write(tone.header);
        input->start();
        const auto before = BackendThreadCpu();
        const auto end = Clock::now() + std::chrono::duration<double>(seconds);
        int received = 0;
        Clock::time_point first{}, last{};
        while (Clock::now() < end) {
            auto got = notifications.waitPop(std::chrono::milliseconds(200));
            if (!got || got->kind != InputNotificationKind::Data) continue;
            ++received;
            last = Clock::now();
            if (received == 1) first = last;
            got->header->flags.fetch_and(~kWaveHeaderDone);
            input->addBuffer(*got->header);
        }
        const auto after = BackendThreadCpu();
        for (const auto& [name, ns] : after) {
            const auto it = before.find(name);
            total[name] += ns - (it == before.end() ? 0 : it->second);
        }
        state.counters["buffers_received_per_s"] = received / seconds;
        state.counters["first_buffer_after_s"] =
            std::chrono::duration<double>(first - (end - std::chrono::duration_cast<Clock::duration>(
                                                              std::chrono::duration<double>(seconds))))
                .count();
        if (received > 1)
            state.counters["steady_buffers_per_s"] =
                (received - 1) / std::chrono::duration<double>(last - first).count();
        state.counters["input_overruns"] = static_cast<double>(input->overrunCount());
        state.counters["output_underruns"] = static_cast<double>(output->underrunCount());
        output->reset();
        input->reset();
        output->close();
        input->close();
    }
    for (const auto& [name, ns] : total)
        state.counters[name + "_ms_per_s"] = ns / 1e6 / (seconds * state.iterations());
}
BENCHMARK(AudioNotificationCpu)->Unit(benchmark::kSecond)->Iterations(2);

}  // namespace
