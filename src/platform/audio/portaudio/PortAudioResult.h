#pragma once
// Maps a PortAudio error to the nearest wave-audio result code.

#include "platform/audio/AudioResult.h"

namespace tonewell {

// `paError` is a PaError; for an unanticipated host error `hostError` is the host's code
// (a negative errno from ALSA).
AudioResult AudioResultFromPortAudio(int paError, long hostError = 0);

}  // namespace tonewell
