#pragma once
// The sound card through PortAudio: the default output and input devices, the device whose
// name is given (TONEWELL_AUDIO_DEVICE), or the devices chosen by id ("host API: device"). Initialises PortAudio for its lifetime; create and
// destroy it on the UI thread, and destroy every device it created before it.

#include <atomic>
#include <chrono>
#include <string>

#include "platform/audio/AudioBackend.h"

namespace tonewell {

class PortAudioBackend : public AudioBackend {
public:
    // `deviceName` empty: the default devices. Otherwise the device of exactly that name, or
    // failing that the first whose name contains it.
    explicit PortAudioBackend(std::string deviceName = {});
    ~PortAudioBackend() override;
    PortAudioBackend(const PortAudioBackend&) = delete;
    PortAudioBackend& operator=(const PortAudioBackend&) = delete;

    AudioBackendKind kind() const override { return AudioBackendKind::PortAudio; }
    // "PortAudio: " and the output device's name, or "PortAudio: no output device".
    std::string displayName() const override;
    std::unique_ptr<AudioOutput> createOutput() override;
    std::unique_ptr<AudioInput> createInput() override;
    // Every device of every host API, named "host API: device"; the default devices are
    // those of the default host API.
    std::vector<AudioDeviceInfo> devices() const override;
    // Replaces the name given at construction for the next device opened; an empty id is the
    // default device of that direction.
    void chooseDevices(const AudioDeviceChoice& choice) override;

    // Bounds the devices' waits for the instrument's threads (kDefaultHandlerWait unless set).
    void setHandlerWait(std::chrono::milliseconds wait) { handlerWait_ = wait.count(); }
    std::chrono::milliseconds handlerWait() const {
        return std::chrono::milliseconds(handlerWait_.load());
    }

    bool hasOutputDevice() const;
    bool hasInputDevice() const;

    // The PortAudio device index to open for output or input, or the error to report
    // (NoDriver without a device, BadDeviceId when the named one is missing).
    AudioResult findDevice(bool output, int& deviceIndex) const;

private:
    std::string outputDevice_;
    std::string inputDevice_;
    int initError_;
    std::atomic<std::chrono::milliseconds::rep> handlerWait_{kDefaultHandlerWait.count()};
};

}  // namespace tonewell
