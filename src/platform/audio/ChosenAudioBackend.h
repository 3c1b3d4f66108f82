#pragma once
// The program's audio: the output and input devices chosen in the Audio Device setting, each
// either a device of the sound card's backend or the loopback cable; the system default unless
// chosen. A choice takes effect at the next createOutput() / createInput(): a device already
// open keeps playing or recording. A chosen device the sound card no longer offers falls back
// to the default, once with a message. When the environment decides (TONEWELL_AUDIO,
// TONEWELL_AUDIO_DEVICE) the backend it chose serves everything and a choice is only kept.
// UI thread; both backends live as long as this object, so every device it created must be
// destroyed before it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/AudioBackend.h"

namespace tonewell {

// The text of the choice "system default" in the lists.
inline constexpr const char* kSystemDefaultDeviceName = "System default";

class ChosenAudioBackend : public AudioBackend {
public:
    // soundCard may be null (a build without one); loopback is the cable. The system default
    // is the sound card's default devices when it has a default output device, else the cable.
    ChosenAudioBackend(std::unique_ptr<AudioBackend> soundCard, std::unique_ptr<AudioBackend> loopback);
    // The environment's backend serves output and input whatever is chosen.
    static std::unique_ptr<ChosenAudioBackend> decidedByEnvironment(std::unique_ptr<AudioBackend> backend);

    AudioBackendKind kind() const override { return AudioBackendKind::Chosen; }
    // What plays and what records: "PortAudio: ALSA: pulse", "Loopback cable", the input's
    // after " / input: " when it is another.
    std::string displayName() const override;
    std::unique_ptr<AudioOutput> createOutput() override;
    std::unique_ptr<AudioInput> createInput() override;
    // The sound card's devices, then the cable.
    std::vector<AudioDeviceInfo> devices() const override;
    // Remembers the choice for the next start of output or capture.
    void chooseDevices(const AudioDeviceChoice& choice) override;

    const AudioDeviceChoice& choice() const { return choice_; }
    bool environmentDecides() const { return loopback_ == nullptr; }

    // The lists of the Audio Device setting: the system default (empty id) first, then every
    // device that plays (records), the cable included; a chosen device that is missing is
    // listed after them so the setting still shows it.
    std::vector<std::string> outputChoices() const { return choicesFor(true); }
    std::vector<std::string> inputChoices() const { return choicesFor(false); }

    // Receives "The audio device "X" is not available; the system default is used." when a
    // chosen device has gone.
    void setReport(std::function<void(const std::string&)> report) { report_ = std::move(report); }

private:
    explicit ChosenAudioBackend(std::unique_ptr<AudioBackend> fixed);
    // The backend that opens the direction's device now, after telling the sound card which.
    AudioBackend& backendFor(bool output);
    AudioBackend* defaultBackend() const;
    bool offered(const std::string& id, bool output) const;
    std::vector<std::string> choicesFor(bool output) const;

    std::unique_ptr<AudioBackend> soundCard_;
    std::unique_ptr<AudioBackend> loopback_;
    AudioDeviceChoice choice_;
    AudioDeviceChoice reported_;  // the missing devices already reported
    std::function<void(const std::string&)> report_;
};

}  // namespace tonewell
