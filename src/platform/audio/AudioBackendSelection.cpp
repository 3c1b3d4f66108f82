#include "platform/audio/AudioBackendSelection.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <string>

#include "platform/audio/LoopbackCable.h"
#ifdef TONEWELL_HAVE_PORTAUDIO
#include "platform/audio/portaudio/PortAudioBackend.h"
#endif

namespace tonewell {

namespace {
std::string Lowercase(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return result;
}
}  // namespace

std::unique_ptr<AudioBackend> CreateAudioBackend(std::string_view choice,
                                                 std::string_view deviceName) {
    const std::string wanted = Lowercase(choice);
    if (wanted == "loopback") return std::make_unique<LoopbackCable>(LoopbackClock::RealTime);
#ifdef TONEWELL_HAVE_PORTAUDIO
    auto portAudio = std::make_unique<PortAudioBackend>(std::string(deviceName));
    if (wanted == "portaudio" || portAudio->hasOutputDevice()) return portAudio;
#endif
    return std::make_unique<LoopbackCable>(LoopbackClock::RealTime);
}

std::unique_ptr<AudioBackend> CreateAudioBackendFromEnvironment() {
    const char* choice = std::getenv("TONEWELL_AUDIO");
    const char* device = std::getenv("TONEWELL_AUDIO_DEVICE");
    return CreateAudioBackend(choice ? choice : "", device ? device : "");
}

std::unique_ptr<ChosenAudioBackend> CreateChosenAudioBackend(std::string_view choice, std::string_view deviceName) {
    if (!choice.empty() || !deviceName.empty())
        return ChosenAudioBackend::decidedByEnvironment(CreateAudioBackend(choice, deviceName));
    std::unique_ptr<AudioBackend> soundCard;
#ifdef TONEWELL_HAVE_PORTAUDIO
    soundCard = std::make_unique<PortAudioBackend>();
#endif
    return std::make_unique<ChosenAudioBackend>(std::move(soundCard),
                                                std::make_unique<LoopbackCable>(LoopbackClock::RealTime));
}

std::unique_ptr<ChosenAudioBackend> CreateChosenAudioBackendFromEnvironment() {
    const char* choice = std::getenv("TONEWELL_AUDIO");
    const char* device = std::getenv("TONEWELL_AUDIO_DEVICE");
    return CreateChosenAudioBackend(choice ? choice : "", device ? device : "");
}

}  // namespace tonewell
