#pragma once
// A source of audio devices: the sound card through PortAudio, the loopback cable, or the
// fault-injecting wrapper. Owned by the composition root; every device it creates must be
// destroyed before it.

#include <chrono>
#include <memory>
#include <string>

#include "platform/audio/AudioInput.h"
#include "platform/audio/AudioOutput.h"

namespace tonewell {

enum class AudioBackendKind { PortAudio, Loopback, FaultInjecting };

// How long a device waits for the instrument's threads: an output's reset for the done handlers
// of the buffers it returns, a destroyed input for its capture thread to take the close
// notification. Backends let tests shorten it.
inline constexpr std::chrono::milliseconds kDefaultHandlerWait{5000};

class AudioBackend {
public:
    virtual ~AudioBackend() = default;
    virtual AudioBackendKind kind() const = 0;
    // What the status bar shows, e.g. "PortAudio: default" or "Loopback cable".
    virtual std::string displayName() const = 0;
    virtual std::unique_ptr<AudioOutput> createOutput() = 0;
    virtual std::unique_ptr<AudioInput> createInput() = 0;
};

}  // namespace tonewell
