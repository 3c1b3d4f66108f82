#include "platform/audio/portaudio/PortAudioResult.h"

#include <portaudio.h>

#include <cerrno>

namespace tonewell {

AudioResult AudioResultFromPortAudio(int paError, long hostError) {
    switch (paError) {
        case paNoError:
            return AudioResult::NoError;
        case paInsufficientMemory:
            return AudioResult::NoMemory;
        case paDeviceUnavailable:
            return AudioResult::Allocated;
        case paInvalidDevice:
            return AudioResult::BadDeviceId;
        case paInvalidChannelCount:
        case paInvalidSampleRate:
        case paSampleFormatNotSupported:
        case paBadIODeviceCombination:
        case paIncompatibleHostApiSpecificStreamInfo:
        case paInvalidFlag:
            return AudioResult::BadFormat;
        case paBadStreamPtr:
            return AudioResult::InvalidHandle;
        case paUnanticipatedHostError:
            if (hostError == -EBUSY || hostError == -EAGAIN) return AudioResult::Allocated;
            if (hostError == -ENOMEM) return AudioResult::NoMemory;
            if (hostError == -ENOENT || hostError == -ENODEV || hostError == -ENXIO)
                return AudioResult::BadDeviceId;
            if (hostError == -EINVAL) return AudioResult::BadFormat;
            return AudioResult::NoDriver;
        default:
            // Not initialised, no host API, timeouts, device vanished: no working driver.
            return AudioResult::NoDriver;
    }
}

}  // namespace tonewell
