#pragma once
// The backends the audio contract runs against, and how a test lets time pass on each: the
// manual loopback clock is advanced, the others run in real time and are only waited for.
// Every wait is bounded so that a misbehaving device fails a test instead of hanging it.

#include <chrono>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>

#include "platform/audio/FaultInjectingBackend.h"
#include "platform/audio/LoopbackCable.h"
#include "platform/PulseNullSink.h"
#ifdef TONEWELL_HAVE_PORTAUDIO
#include "platform/audio/portaudio/PortAudioBackend.h"
#endif

namespace tonewell {

// Failing expectations show the code's name.
inline void PrintTo(AudioResult result, std::ostream* out) {
    const std::string_view name = AudioResultName(result);
    if (name.empty()) *out << "code " << static_cast<std::uint32_t>(result);
    else *out << name;
}

}  // namespace tonewell

namespace tonewell::testing {

enum class TestBackend { LoopbackManual, LoopbackRealTime, FaultOverLoopback, PortAudioNullSink };

inline std::string TestBackendName(TestBackend which) {
    switch (which) {
        case TestBackend::LoopbackManual: return "LoopbackManual";
        case TestBackend::LoopbackRealTime: return "LoopbackRealTime";
        case TestBackend::FaultOverLoopback: return "FaultOverLoopback";
        case TestBackend::PortAudioNullSink: return "PortAudioNullSink";
    }
    return "Unknown";
}

inline void PrintTo(TestBackend which, std::ostream* out) { *out << TestBackendName(which); }

class BackendUnderTest {
public:
    explicit BackendUnderTest(TestBackend which) {
        switch (which) {
            case TestBackend::LoopbackManual:
                cable_ = std::make_unique<LoopbackCable>(LoopbackClock::Manual);
                backend_ = cable_.get();
                break;
            case TestBackend::LoopbackRealTime:
                cable_ = std::make_unique<LoopbackCable>(LoopbackClock::RealTime);
                backend_ = cable_.get();
                break;
            case TestBackend::FaultOverLoopback:
                cable_ = std::make_unique<LoopbackCable>(LoopbackClock::Manual);
                faults_ = std::make_unique<FaultInjectingBackend>(*cable_);
                backend_ = faults_.get();
                break;
            case TestBackend::PortAudioNullSink:
#ifdef TONEWELL_HAVE_PORTAUDIO
                sink_ = std::make_unique<PulseNullSink>();
                if (!sink_->running()) {
                    skipReason_ = sink_->reason();
                    break;
                }
                portAudio_ = std::make_unique<PortAudioBackend>();
                backend_ = portAudio_.get();
#else
                skipReason_ = "built without PortAudio";
#endif
                break;
        }
    }

    // Empty when the backend is usable.
    const std::string& skipReason() const { return skipReason_; }
    AudioBackend& backend() { return *backend_; }
    LoopbackCable* cable() { return cable_.get(); }
    FaultInjectingBackend* faults() { return faults_.get(); }
    bool manualClock() const { return cable_ && cable_->clock() == LoopbackClock::Manual; }

    // Bounds the devices' waits for the test's handlers.
    void setHandlerWait(std::chrono::milliseconds wait) {
        if (cable_) cable_->setHandlerWait(wait);
#ifdef TONEWELL_HAVE_PORTAUDIO
        if (portAudio_) portAudio_->setHandlerWait(wait);
#endif
    }

    // Lets `duration` of device time pass.
    void letPass(std::chrono::milliseconds duration) {
        if (manualClock()) cable_->advance(duration);
        else std::this_thread::sleep_for(duration);
    }

    // Lets time pass until `done` holds; false if it still does not after `bound` of device
    // time (manual clock) or of real time.
    bool waitUntil(const std::function<bool()>& done,
                   std::chrono::milliseconds bound = std::chrono::seconds(10)) {
        const auto step = std::chrono::milliseconds(manualClock() ? 10 : 2);
        for (auto waited = std::chrono::milliseconds(0); waited <= bound; waited += step) {
            if (done()) return true;
            letPass(step);
        }
        return done();
    }

private:
    std::string skipReason_;
#ifdef TONEWELL_HAVE_PORTAUDIO
    std::unique_ptr<PulseNullSink> sink_;
    std::unique_ptr<PortAudioBackend> portAudio_;
#endif
    std::unique_ptr<LoopbackCable> cable_;
    std::unique_ptr<FaultInjectingBackend> faults_;
    AudioBackend* backend_ = nullptr;
};

}  // namespace tonewell::testing
