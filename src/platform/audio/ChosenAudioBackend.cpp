#include "platform/audio/ChosenAudioBackend.h"

#include <algorithm>

#include "platform/audio/LoopbackCable.h"

namespace tonewell {

ChosenAudioBackend::ChosenAudioBackend(std::unique_ptr<AudioBackend> soundCard, std::unique_ptr<AudioBackend> loopback)
    : soundCard_(std::move(soundCard)), loopback_(std::move(loopback)) {}

ChosenAudioBackend::ChosenAudioBackend(std::unique_ptr<AudioBackend> fixed) : soundCard_(std::move(fixed)) {}

std::unique_ptr<ChosenAudioBackend> ChosenAudioBackend::decidedByEnvironment(std::unique_ptr<AudioBackend> backend) {
    return std::unique_ptr<ChosenAudioBackend>(new ChosenAudioBackend(std::move(backend)));
}

AudioBackend* ChosenAudioBackend::defaultBackend() const {
    if (soundCard_) {
        const std::vector<AudioDeviceInfo> devices = soundCard_->devices();
        if (std::any_of(devices.begin(), devices.end(), [](const AudioDeviceInfo& d) { return d.defaultOutput; }))
            return soundCard_.get();
    }
    return loopback_.get();
}

bool ChosenAudioBackend::offered(const std::string& id, bool output) const {
    if (!soundCard_) return false;
    const std::vector<AudioDeviceInfo> devices = soundCard_->devices();
    return std::any_of(devices.begin(), devices.end(),
                       [&](const AudioDeviceInfo& d) { return d.id == id && (output ? d.output : d.input); });
}

AudioBackend& ChosenAudioBackend::backendFor(bool output) {
    if (environmentDecides()) return *soundCard_;
    const std::string& id = output ? choice_.output : choice_.input;
    if (id == kLoopbackDeviceId) return *loopback_;
    std::string cardDevice;
    if (!id.empty()) {
        if (offered(id, output)) {
            cardDevice = id;
        } else {
            std::string& reported = output ? reported_.output : reported_.input;
            if (reported != id && report_)
                report_("The audio device \"" + id + "\" is not available; the system default is used.");
            reported = id;
        }
    }
    AudioBackend* backend = cardDevice.empty() ? defaultBackend() : soundCard_.get();
    if (backend == soundCard_.get()) {
        // The sound card opens one direction at a time here; the other keeps its own choice.
        AudioDeviceChoice card;
        card.output = output ? cardDevice : (offered(choice_.output, true) ? choice_.output : "");
        card.input = output ? (offered(choice_.input, false) ? choice_.input : "") : cardDevice;
        soundCard_->chooseDevices(card);
    }
    return *backend;
}

std::string ChosenAudioBackend::displayName() const {
    if (environmentDecides()) return soundCard_->displayName();
    // Named from the choice and the device list, not from the sound card's state, which
    // follows the last device opened.
    const std::string card = soundCard_ && soundCard_->kind() == AudioBackendKind::PortAudio ? "PortAudio" : "Sound card";
    const auto nameOf = [&](const std::string& id, bool output) {
        if (id == kLoopbackDeviceId) return loopback_->displayName();
        if (!id.empty() && offered(id, output)) return card + ": " + id;
        if (defaultBackend() != soundCard_.get()) return loopback_->displayName();
        for (const AudioDeviceInfo& device : soundCard_->devices())
            if (output ? device.defaultOutput : device.defaultInput) return card + ": " + device.id;
        return card + ": no " + (output ? "output" : "input") + " device";
    };
    const std::string output = nameOf(choice_.output, true);
    const std::string input = nameOf(choice_.input, false);
    return input == output ? output : output + " / input: " + input;
}

std::unique_ptr<AudioOutput> ChosenAudioBackend::createOutput() { return backendFor(true).createOutput(); }

std::unique_ptr<AudioInput> ChosenAudioBackend::createInput() { return backendFor(false).createInput(); }

std::vector<AudioDeviceInfo> ChosenAudioBackend::devices() const {
    std::vector<AudioDeviceInfo> all = soundCard_ ? soundCard_->devices() : std::vector<AudioDeviceInfo>{};
    if (loopback_) {
        const std::vector<AudioDeviceInfo> cable = loopback_->devices();
        all.insert(all.end(), cable.begin(), cable.end());
    }
    return all;
}

void ChosenAudioBackend::chooseDevices(const AudioDeviceChoice& choice) {
    choice_ = choice;
    reported_ = {};
}

std::vector<std::string> ChosenAudioBackend::choicesFor(bool output) const {
    std::vector<std::string> choices{""};
    for (const AudioDeviceInfo& device : devices())
        if (output ? device.output : device.input) choices.push_back(device.id);
    const std::string& chosen = output ? choice_.output : choice_.input;
    if (std::find(choices.begin(), choices.end(), chosen) == choices.end()) choices.push_back(chosen);
    return choices;
}

}  // namespace tonewell
