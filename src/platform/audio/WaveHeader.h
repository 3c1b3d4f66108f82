#pragma once
// The wave header record: one buffer of PCM bytes handed to a device. Owned by the caller, as is
// the data it points to. Between write/addBuffer and its done notification the header belongs
// to the device: the caller may then only read `flags` and `bytesRecorded`, which the device's
// threads update (hence atomics). The device sets the done flag before it notifies.

#include <atomic>
#include <cstdint>

#include "platform/audio/AudioResult.h"

namespace tonewell {

inline constexpr std::uint32_t kWaveHeaderDone = 0x01;       // the device has finished with it
inline constexpr std::uint32_t kWaveHeaderPrepared = 0x02;
inline constexpr std::uint32_t kWaveHeaderBeginLoop = 0x04;  // first buffer of a loop
inline constexpr std::uint32_t kWaveHeaderEndLoop = 0x08;    // last buffer of a loop
inline constexpr std::uint32_t kWaveHeaderInQueue = 0x10;    // queued in a device

// Loop count that repeats the loop until reset.
inline constexpr std::uint32_t kLoopUntilReset = 0xFFFFFFFFu;

struct WaveHeader {
    std::uint8_t* data = nullptr;
    std::uint32_t bufferLength = 0;               // bytes at data
    std::atomic<std::uint32_t> bytesRecorded{0};  // input: bytes filled by the device
    std::uintptr_t user = 0;                      // free for the caller
    std::atomic<std::uint32_t> flags{0};
    std::uint32_t loops = 0;  // on the begin-loop buffer: times the loop plays (0 plays it once)
};

// The bookkeeping every device applies to headers, so that all backends answer alike.
// Prepare: a queued header is still playing; a header without data but with a length is refused.
AudioResult PrepareWaveHeader(WaveHeader& header);
// Unprepare: refused while the header is queued; an unprepared header stays as it is.
AudioResult UnprepareWaveHeader(WaveHeader& header);
// Checks a header may be queued (prepared, not already queued), then marks it queued and not done.
AudioResult EnqueueWaveHeader(WaveHeader& header);
// Marks a header the device has finished with: done and no longer queued.
void FinishWaveHeader(WaveHeader& header);

// Whole frames of a buffer: the bytes a device plays from or records into it.
inline std::uint32_t UsableBytes(const WaveHeader& header, std::uint32_t blockAlign) {
    return blockAlign == 0 ? 0 : header.bufferLength - header.bufferLength % blockAlign;
}

}  // namespace tonewell
