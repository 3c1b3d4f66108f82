#include "platform/audio/portaudio/PortAudioBackend.h"

#include <portaudio.h>

#include <string>
#include <vector>

#include "platform/audio/portaudio/PortAudioInput.h"
#include "platform/audio/portaudio/PortAudioOutput.h"
#include "platform/audio/portaudio/PortAudioResult.h"
#include "platform/audio/portaudio/QuietAudioLibraries.h"

namespace tonewell {

namespace {

// PortAudio's start, without the sound libraries' probing on the user's terminal: their
// handlers are quietened first, and what they print before any handler can be set (JACK's
// client probing, ALSA's configuration parsing) goes nowhere while Pa_Initialize runs.
int QuietPaInitialize() {
    QuietAudioLibraryMessages();
    StderrSilenced silenced;
    const int error = Pa_Initialize();
    QuietAudioLibraryMessages();  // a library PortAudio loaded while starting
    return error;
}

// "host API: device", the id a device is listed and chosen by.
std::string DeviceId(const PaDeviceInfo& info) {
    const PaHostApiInfo* host = Pa_GetHostApiInfo(info.hostApi);
    const std::string name = info.name ? info.name : "unnamed device";
    return host && host->name ? std::string(host->name) + ": " + name : name;
}

}  // namespace

PortAudioBackend::PortAudioBackend(std::string deviceName)
    : outputDevice_(deviceName), inputDevice_(deviceName), initError_(QuietPaInitialize()) {}

std::vector<AudioDeviceInfo> PortAudioBackend::devices() const {
    std::vector<AudioDeviceInfo> list;
    if (initError_ != paNoError) return list;
    const PaDeviceIndex defaultOutput = Pa_GetDefaultOutputDevice();
    const PaDeviceIndex defaultInput = Pa_GetDefaultInputDevice();
    const PaDeviceIndex count = Pa_GetDeviceCount();
    for (PaDeviceIndex i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (info == nullptr || (info->maxOutputChannels <= 0 && info->maxInputChannels <= 0)) continue;
        list.push_back({DeviceId(*info), info->maxOutputChannels > 0, info->maxInputChannels > 0,
                        i == defaultOutput && info->maxOutputChannels > 0, i == defaultInput && info->maxInputChannels > 0});
    }
    return list;
}

void PortAudioBackend::chooseDevices(const AudioDeviceChoice& choice) {
    outputDevice_ = choice.output;
    inputDevice_ = choice.input;
}

PortAudioBackend::~PortAudioBackend() {
    if (initError_ == paNoError) Pa_Terminate();
}

AudioResult PortAudioBackend::findDevice(bool output, int& deviceIndex) const {
    deviceIndex = paNoDevice;
    if (initError_ != paNoError) return AudioResultFromPortAudio(initError_);
    const auto usable = [output](const PaDeviceInfo* info) {
        return info != nullptr && (output ? info->maxOutputChannels : info->maxInputChannels) > 0;
    };
    const std::string& wanted = output ? outputDevice_ : inputDevice_;
    if (wanted.empty()) {
        const PaDeviceIndex index = output ? Pa_GetDefaultOutputDevice() : Pa_GetDefaultInputDevice();
        if (index == paNoDevice || !usable(Pa_GetDeviceInfo(index))) return AudioResult::NoDriver;
        deviceIndex = index;
        return AudioResult::NoError;
    }
    const PaDeviceIndex count = Pa_GetDeviceCount();
    if (count <= 0) return AudioResult::NoDriver;
    // The chosen id, else the exact name, else the first name holding it (as the environment
    // names a device).
    PaDeviceIndex named = paNoDevice;
    PaDeviceIndex partial = paNoDevice;
    for (PaDeviceIndex i = 0; i < count; ++i) {
        const PaDeviceInfo* info = Pa_GetDeviceInfo(i);
        if (!usable(info) || info->name == nullptr) continue;
        const std::string name = info->name;
        if (DeviceId(*info) == wanted) {
            deviceIndex = i;
            return AudioResult::NoError;
        }
        if (named == paNoDevice && name == wanted) named = i;
        if (partial == paNoDevice && name.find(wanted) != std::string::npos) partial = i;
    }
    if (named != paNoDevice) partial = named;
    if (partial == paNoDevice) return AudioResult::BadDeviceId;
    deviceIndex = partial;
    return AudioResult::NoError;
}

bool PortAudioBackend::hasOutputDevice() const {
    int index;
    return findDevice(true, index) == AudioResult::NoError;
}

bool PortAudioBackend::hasInputDevice() const {
    int index;
    return findDevice(false, index) == AudioResult::NoError;
}

std::string PortAudioBackend::displayName() const {
    int index;
    if (findDevice(true, index) != AudioResult::NoError) return "PortAudio: no output device";
    const PaDeviceInfo* info = Pa_GetDeviceInfo(index);
    return std::string("PortAudio: ") + (info && info->name ? info->name : "unnamed device");
}

std::unique_ptr<AudioOutput> PortAudioBackend::createOutput() {
    return std::make_unique<PortAudioOutput>(*this);
}

std::unique_ptr<AudioInput> PortAudioBackend::createInput() {
    return std::make_unique<PortAudioInput>(*this);
}

}  // namespace tonewell
