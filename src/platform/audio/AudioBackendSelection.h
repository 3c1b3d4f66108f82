#pragma once
// Which audio backend the program uses. Called once by the composition root on the UI thread;
// the caller owns the result and shows its displayName() so the user knows what plays.

#include <memory>
#include <string_view>

#include "platform/audio/AudioBackend.h"
#include "platform/audio/ChosenAudioBackend.h"

namespace tonewell {

// `choice` "portaudio" or "loopback" (any case) takes that backend; anything else (empty
// included) takes PortAudio when it has an output device and otherwise a real-time loopback
// cable, so that a machine without a sound card still runs the generator and shows its signal.
// `deviceName` names the PortAudio device, empty for the default one.
std::unique_ptr<AudioBackend> CreateAudioBackend(std::string_view choice,
                                                 std::string_view deviceName);

// The same with TONEWELL_AUDIO and TONEWELL_AUDIO_DEVICE from the environment.
std::unique_ptr<AudioBackend> CreateAudioBackendFromEnvironment();

// The program's backend: the sound card and the loopback cable behind the Audio Device choice,
// or, when TONEWELL_AUDIO or TONEWELL_AUDIO_DEVICE is set (not empty), the backend they choose
// as CreateAudioBackend does, whatever is chosen.
std::unique_ptr<ChosenAudioBackend> CreateChosenAudioBackend(std::string_view choice, std::string_view deviceName);

// The same with TONEWELL_AUDIO and TONEWELL_AUDIO_DEVICE from the environment.
std::unique_ptr<ChosenAudioBackend> CreateChosenAudioBackendFromEnvironment();

}  // namespace tonewell
