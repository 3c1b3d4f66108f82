#pragma once
// Opening and closing one PortAudio stream in a PCM wave format, shared by output and input.
// Called on the controlling thread of a device.

#include <portaudio.h>

#include "platform/audio/AudioResult.h"
#include "platform/audio/WaveFormat.h"

namespace tonewell {

class PortAudioBackend;

// Finds the device, checks that it takes the format, opens a callback stream and starts it.
// On failure nothing stays open and `stream` is null.
AudioResult StartPortAudioStream(const PortAudioBackend& backend, bool output,
                                 const WaveFormat& format, PaStreamCallback* callback,
                                 void* userData, PaStream*& stream);

// Stops the stream at once (no draining) and closes it; the callback has stopped on return.
void StopPortAudioStream(PaStream*& stream);

// Period at which the backend threads serve the ring: short against its capacity.
inline constexpr int kServicePeriodMilliseconds = 5;
// Ring capacity in bytes for a format: about a second, well above the output's buffer, and
// room for what an input hands over at once when it catches up after the machine kept it waiting.
std::size_t RingBytesFor(const WaveFormat& format);
// The shortest output buffer asked of a device, in seconds.
inline constexpr double kShortestOutputBuffer = 0.2;

}  // namespace tonewell
