#include "platform/audio/portaudio/PortAudioStream.h"

#include "platform/audio/portaudio/PortAudioBackend.h"
#include "platform/audio/portaudio/PortAudioResult.h"

#include <algorithm>

namespace tonewell {

namespace {
AudioResult LastResult(PaError error) {
    long host = 0;
    if (error == paUnanticipatedHostError) {
        if (const PaHostErrorInfo* info = Pa_GetLastHostErrorInfo()) host = info->errorCode;
    }
    return AudioResultFromPortAudio(error, host);
}
}  // namespace

std::size_t RingBytesFor(const WaveFormat& format) {
    return static_cast<std::size_t>(format.averageBytesPerSecond) + format.blockAlign;
}

AudioResult StartPortAudioStream(const PortAudioBackend& backend, bool output,
                                 const WaveFormat& format, PaStreamCallback* callback,
                                 void* userData, PaStream*& stream) {
    stream = nullptr;
    int device = paNoDevice;
    if (AudioResult found = backend.findDevice(output, device); found != AudioResult::NoError)
        return found;
    const PaDeviceInfo* info = Pa_GetDeviceInfo(device);
    if (info == nullptr) return AudioResult::BadDeviceId;

    PaStreamParameters parameters{};
    parameters.device = device;
    parameters.channelCount = format.channels;
    parameters.sampleFormat = format.bitsPerSample == 8 ? paUInt8 : paInt16;
    // The higher default latency: the instrument streams whole seconds and must not drop out
    // on a busy machine. An output buffer of a few tens of milliseconds (what a sound server's
    // devices offer) runs dry whenever the machine keeps the callback waiting that long, and a
    // sound server then plays silence and goes on late without telling anyone, so the output
    // buffers at least kShortestOutputBuffer.
    parameters.suggestedLatency =
        output ? std::max(info->defaultHighOutputLatency, kShortestOutputBuffer) : info->defaultHighInputLatency;
    parameters.hostApiSpecificStreamInfo = nullptr;
    const PaStreamParameters* in = output ? nullptr : &parameters;
    const PaStreamParameters* out = output ? &parameters : nullptr;

    const PaError supported = Pa_IsFormatSupported(in, out, format.samplesPerSecond);
    if (supported != paFormatIsSupported) {
        const AudioResult result = LastResult(supported);
        // A device that exists but refuses the parameters refuses the format.
        return result == AudioResult::NoDriver ? AudioResult::BadFormat : result;
    }
    PaError error = Pa_OpenStream(&stream, in, out, format.samplesPerSecond,
                                  paFramesPerBufferUnspecified, paClipOff | paDitherOff, callback,
                                  userData);
    if (error != paNoError) {
        stream = nullptr;
        return LastResult(error);
    }
    error = Pa_StartStream(stream);
    if (error != paNoError) {
        const AudioResult result = LastResult(error);
        Pa_CloseStream(stream);
        stream = nullptr;
        return result;
    }
    return AudioResult::NoError;
}

void StopPortAudioStream(PaStream*& stream) {
    if (stream == nullptr) return;
    Pa_AbortStream(stream);
    Pa_CloseStream(stream);
    stream = nullptr;
}

}  // namespace tonewell
