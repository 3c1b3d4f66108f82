#include "platform/audio/WaveHeader.h"

namespace tonewell {

AudioResult PrepareWaveHeader(WaveHeader& header) {
    const std::uint32_t flags = header.flags.load(std::memory_order_acquire);
    if (flags & kWaveHeaderInQueue) return AudioResult::StillPlaying;
    if (header.data == nullptr && header.bufferLength != 0) return AudioResult::InvalidHandle;
    header.flags.fetch_or(kWaveHeaderPrepared, std::memory_order_acq_rel);
    return AudioResult::NoError;
}

AudioResult UnprepareWaveHeader(WaveHeader& header) {
    const std::uint32_t flags = header.flags.load(std::memory_order_acquire);
    if (flags & kWaveHeaderInQueue) return AudioResult::StillPlaying;
    header.flags.fetch_and(~kWaveHeaderPrepared, std::memory_order_acq_rel);
    return AudioResult::NoError;
}

AudioResult EnqueueWaveHeader(WaveHeader& header) {
    const std::uint32_t flags = header.flags.load(std::memory_order_acquire);
    if (!(flags & kWaveHeaderPrepared)) return AudioResult::Unprepared;
    if (flags & kWaveHeaderInQueue) return AudioResult::StillPlaying;
    std::uint32_t expected = flags;
    std::uint32_t wanted;
    do {
        wanted = (expected & ~kWaveHeaderDone) | kWaveHeaderInQueue;
    } while (!header.flags.compare_exchange_weak(expected, wanted, std::memory_order_acq_rel));
    return AudioResult::NoError;
}

void FinishWaveHeader(WaveHeader& header) {
    std::uint32_t expected = header.flags.load(std::memory_order_relaxed);
    std::uint32_t wanted;
    do {
        wanted = (expected & ~kWaveHeaderInQueue) | kWaveHeaderDone;
    } while (!header.flags.compare_exchange_weak(expected, wanted, std::memory_order_acq_rel));
}

}  // namespace tonewell
