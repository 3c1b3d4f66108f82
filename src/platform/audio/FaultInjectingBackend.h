#pragma once
// A backend for tests that wraps another one and makes any call return a chosen code: the call
// then does nothing else. Calls without a fault pass through to the wrapped backend's devices.
// Faults may be armed from any thread. The wrapped backend must outlive this one.

#include <array>
#include <cstdint>
#include <mutex>

#include "platform/audio/AudioBackend.h"

namespace tonewell {

enum class AudioCall {
    OutputOpen, OutputPrepare, OutputUnprepare, OutputWrite, OutputReset, OutputClose,
    InputOpen, InputPrepare, InputUnprepare, InputAddBuffer, InputStart, InputReset, InputClose,
};
inline constexpr std::size_t kAudioCallCount = 13;

class FaultInjectingBackend : public AudioBackend {
public:
    static constexpr std::uint32_t kEveryTime = 0xFFFFFFFFu;

    explicit FaultInjectingBackend(AudioBackend& wrapped) : wrapped_(wrapped) {}

    AudioBackendKind kind() const override { return AudioBackendKind::FaultInjecting; }
    std::string displayName() const override;
    std::unique_ptr<AudioOutput> createOutput() override;
    std::unique_ptr<AudioInput> createInput() override;

    // The next `times` calls of `call` (on any device of this backend) return `result`.
    void failCall(AudioCall call, AudioResult result, std::uint32_t times = kEveryTime);
    void clearFaults();
    // Calls made so far, failed ones included.
    std::uint32_t callCount(AudioCall call) const;

    // Used by the devices: the armed fault for this call, or NoError to pass it through.
    AudioResult takeFault(AudioCall call);

private:
    struct Fault {
        AudioResult result = AudioResult::NoError;
        std::uint32_t remaining = 0;
    };
    AudioBackend& wrapped_;
    mutable std::mutex mutex_;
    std::array<Fault, kAudioCallCount> faults_{};
    std::array<std::uint32_t, kAudioCallCount> calls_{};
};

}  // namespace tonewell
