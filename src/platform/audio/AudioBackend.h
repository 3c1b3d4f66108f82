#pragma once
// A source of audio devices: the sound card through PortAudio, the loopback cable, or the
// fault-injecting wrapper. Owned by the composition root; every device it creates must be
// destroyed before it.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/AudioInput.h"
#include "platform/audio/AudioOutput.h"

namespace tonewell {

enum class AudioBackendKind { PortAudio, Loopback, FaultInjecting, Chosen };

// One device a backend offers, as the Audio Device setting lists it.
struct AudioDeviceInfo {
    std::string id;    // what is remembered and chosen: "ALSA: pulse", "Loopback cable"
    bool output = false;  // plays
    bool input = false;   // records
    bool defaultOutput = false;  // the system's default for playing
    bool defaultInput = false;   // the system's default for recording
    bool operator==(const AudioDeviceInfo&) const = default;
};

// The devices chosen for output and input by id; an empty id is the system default.
struct AudioDeviceChoice {
    std::string output;
    std::string input;
    bool operator==(const AudioDeviceChoice&) const = default;
};

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

    // The devices this backend can open, in its own order. UI thread.
    virtual std::vector<AudioDeviceInfo> devices() const { return {}; }
    // The devices the next createOutput() and createInput() open, by the ids of devices();
    // empty ids: the defaults. A backend of one device ignores it. UI thread.
    virtual void chooseDevices(const AudioDeviceChoice& choice) {}
};

}  // namespace tonewell
