#include "platform/audio/FaultInjectingBackend.h"

namespace tonewell {

namespace {

// Destroys the wrapped device in the wrapper's destructor, while the wrapper still forwards to
// it: a handler or capture thread that calls the wrapper during the shutdown reaches the wrapped
// device, which refuses the call, rather than a half-destroyed wrapper. No fault applies here.
template <typename Device>
void ShutDownWrapped(std::unique_ptr<Device>& wrapped) {
    delete wrapped.get();
    (void)wrapped.release();
}

class FaultInjectingOutput final : public AudioOutput {
public:
    FaultInjectingOutput(FaultInjectingBackend& faults, std::unique_ptr<AudioOutput> wrapped)
        : faults_(faults), wrapped_(std::move(wrapped)) {}
    ~FaultInjectingOutput() override { ShutDownWrapped(wrapped_); }

    AudioResult open(const WaveFormat& format, DoneCallback onDone) override {
        if (AudioResult r = faults_.takeFault(AudioCall::OutputOpen); r != AudioResult::NoError)
            return r;
        return wrapped_->open(format, std::move(onDone));
    }
    AudioResult prepare(WaveHeader& header) override {
        if (AudioResult r = faults_.takeFault(AudioCall::OutputPrepare); r != AudioResult::NoError)
            return r;
        return wrapped_->prepare(header);
    }
    AudioResult unprepare(WaveHeader& header) override {
        if (AudioResult r = faults_.takeFault(AudioCall::OutputUnprepare);
            r != AudioResult::NoError)
            return r;
        return wrapped_->unprepare(header);
    }
    AudioResult write(WaveHeader& header) override {
        if (AudioResult r = faults_.takeFault(AudioCall::OutputWrite); r != AudioResult::NoError)
            return r;
        return wrapped_->write(header);
    }
    AudioResult reset() override {
        if (AudioResult r = faults_.takeFault(AudioCall::OutputReset); r != AudioResult::NoError)
            return r;
        return wrapped_->reset();
    }
    AudioResult close() override {
        if (AudioResult r = faults_.takeFault(AudioCall::OutputClose); r != AudioResult::NoError)
            return r;
        return wrapped_->close();
    }
    std::uint64_t underrunCount() const override { return wrapped_->underrunCount(); }

private:
    FaultInjectingBackend& faults_;
    std::unique_ptr<AudioOutput> wrapped_;
};

class FaultInjectingInput final : public AudioInput {
public:
    FaultInjectingInput(FaultInjectingBackend& faults, std::unique_ptr<AudioInput> wrapped)
        : faults_(faults), wrapped_(std::move(wrapped)) {}
    ~FaultInjectingInput() override { ShutDownWrapped(wrapped_); }

    AudioResult open(const WaveFormat& format, InputNotificationQueue& notifications) override {
        if (AudioResult r = faults_.takeFault(AudioCall::InputOpen); r != AudioResult::NoError)
            return r;
        return wrapped_->open(format, notifications);
    }
    AudioResult prepare(WaveHeader& header) override {
        if (AudioResult r = faults_.takeFault(AudioCall::InputPrepare); r != AudioResult::NoError)
            return r;
        return wrapped_->prepare(header);
    }
    AudioResult unprepare(WaveHeader& header) override {
        if (AudioResult r = faults_.takeFault(AudioCall::InputUnprepare);
            r != AudioResult::NoError)
            return r;
        return wrapped_->unprepare(header);
    }
    AudioResult addBuffer(WaveHeader& header) override {
        if (AudioResult r = faults_.takeFault(AudioCall::InputAddBuffer);
            r != AudioResult::NoError)
            return r;
        return wrapped_->addBuffer(header);
    }
    AudioResult start() override {
        if (AudioResult r = faults_.takeFault(AudioCall::InputStart); r != AudioResult::NoError)
            return r;
        return wrapped_->start();
    }
    AudioResult reset() override {
        if (AudioResult r = faults_.takeFault(AudioCall::InputReset); r != AudioResult::NoError)
            return r;
        return wrapped_->reset();
    }
    AudioResult close() override {
        if (AudioResult r = faults_.takeFault(AudioCall::InputClose); r != AudioResult::NoError)
            return r;
        return wrapped_->close();
    }
    std::uint64_t overrunCount() const override { return wrapped_->overrunCount(); }

private:
    FaultInjectingBackend& faults_;
    std::unique_ptr<AudioInput> wrapped_;
};

}  // namespace

std::string FaultInjectingBackend::displayName() const {
    return "Fault injection over " + wrapped_.displayName();
}

std::unique_ptr<AudioOutput> FaultInjectingBackend::createOutput() {
    return std::make_unique<FaultInjectingOutput>(*this, wrapped_.createOutput());
}

std::unique_ptr<AudioInput> FaultInjectingBackend::createInput() {
    return std::make_unique<FaultInjectingInput>(*this, wrapped_.createInput());
}

void FaultInjectingBackend::failCall(AudioCall call, AudioResult result, std::uint32_t times) {
    std::lock_guard lock(mutex_);
    faults_[static_cast<std::size_t>(call)] = {result, times};
}

void FaultInjectingBackend::clearFaults() {
    std::lock_guard lock(mutex_);
    faults_.fill({});
}

std::uint32_t FaultInjectingBackend::callCount(AudioCall call) const {
    std::lock_guard lock(mutex_);
    return calls_[static_cast<std::size_t>(call)];
}

AudioResult FaultInjectingBackend::takeFault(AudioCall call) {
    std::lock_guard lock(mutex_);
    const auto index = static_cast<std::size_t>(call);
    ++calls_[index];
    Fault& fault = faults_[index];
    if (fault.remaining == 0 || fault.result == AudioResult::NoError) return AudioResult::NoError;
    if (fault.remaining != kEveryTime) --fault.remaining;
    return fault.result;
}

}  // namespace tonewell
