#pragma once
// Result codes of the wave-audio calls. The user sees a failing call's code by its name
// ("MMSYSERR_NODRIVER", "WAVERR_BADFORMAT", ...); codes without a name are not reported.

#include <cstdint>
#include <string_view>

namespace tonewell {

enum class AudioResult : std::uint32_t {
    NoError = 0,
    BadDeviceId = 2,
    Allocated = 4,
    InvalidHandle = 5,
    NoDriver = 6,
    NoMemory = 7,
    NotSupported = 8,
    BadFormat = 32,
    StillPlaying = 33,
    Unprepared = 34,
    Sync = 35,
};

// "MMSYSERR_NOERROR" for NoError, the code's name for every code above, and an empty text for
// any other value (such codes are ignored by the instrument).
std::string_view AudioResultName(AudioResult result);

}  // namespace tonewell
